#include "ui/GridModel.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Money.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

int decimalsOf(const QString &format)
{
    const int dot = format.indexOf(u'.');
    if (dot < 0)
        return 0;
    int n = 0;
    for (int i = dot + 1; i < format.size() && (format.at(i) == u'#' || format.at(i) == u'0'); ++i)
        ++n;
    return std::min(n, 4);
}

QString groupedNumber(const Money &value, int decimals, bool thousands)
{
    const Money r = value.rounded(decimals);
    const std::int64_t a = r.units() < 0 ? -r.units() : r.units();
    QString whole = QString::number(a / Money::Scale);
    if (thousands) {
        for (int i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, u',');
    }
    if (decimals > 0)
        whole += u'.' + QString::number(a % Money::Scale).rightJustified(4, u'0').left(decimals);
    return r.units() < 0 ? u'-' + whole : whole;
}

bool checkedText(const QString &text)
{
    const QString t = text.trimmed();
    return !t.isEmpty() && t != u"0" && t.compare(u"false", Qt::CaseInsensitive) != 0;
}

std::optional<qint64> wholeNumber(const QString &text)
{
    static const QRegularExpression whole(QStringLiteral("^[+-]?(\\d{1,15}|\\d{1,3}(,\\d{3}){1,4})$"));
    const QString t = text.trimmed();
    if (!whole.match(t).hasMatch())
        return std::nullopt;
    return QString(t).remove(u',').toLongLong();
}

} // namespace

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

void GridModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    m_rows.clear();
    endResetModel();
}

void GridModel::setHeaders(const QStringList &headers)
{
    QList<GridColumn> columns;
    for (int c = 0; c < headers.size(); ++c) {
        GridColumn col = c < m_columns.size() ? m_columns.at(c) : GridColumn();
        col.header = headers.at(c);
        columns << col;
    }
    setColumns(columns);
}

QStringList GridModel::headers() const
{
    QStringList out;
    for (const GridColumn &c : m_columns)
        out << c.header;
    return out;
}

void GridModel::setColumnType(int column, CellType type)
{
    if (column < 0 || column >= m_columns.size() || m_columns.at(column).type == type)
        return;
    QStringList texts;
    for (int r = 0; r < m_rows.size(); ++r)
        texts << text(r, column);
    m_columns[column].type = type;
    for (int r = 0; r < m_rows.size(); ++r)
        m_rows[r].cells[column] = parse(column, texts.at(r)).value_or(QVariant());
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, column), index(int(m_rows.size()) - 1, column));
}

void GridModel::setColumnFormat(int column, const QString &format)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].format = format;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, column), index(int(m_rows.size()) - 1, column), {Qt::DisplayRole});
}

void GridModel::setColumnHidden(int column, bool hidden)
{
    if (column < 0 || column >= m_columns.size() || m_columns.at(column).hidden == hidden)
        return;
    m_columns[column].hidden = hidden;
    Q_EMIT columnHiddenChanged(column, hidden);
}

bool GridModel::isColumnHidden(int column) const
{
    return column >= 0 && column < m_columns.size() && m_columns.at(column).hidden;
}

void GridModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    m_alignments.insert(column, alignment);
    if (!m_rows.isEmpty() && column >= 0 && column < m_columns.size())
        Q_EMIT dataChanged(index(0, column), index(int(m_rows.size()) - 1, column), {Qt::TextAlignmentRole});
}

void GridModel::setDefaultAlignment(Qt::Alignment alignment)
{
    m_alignments.clear();
    m_defaultAlignment = alignment;
    if (!m_rows.isEmpty() && !m_columns.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, int(m_columns.size()) - 1),
                           {Qt::TextAlignmentRole});
}

Qt::Alignment GridModel::columnAlignment(int column) const
{
    return m_alignments.value(column, m_defaultAlignment);
}

int GridModel::addRow(const QStringList &texts)
{
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c)
        values << parse(c, texts.value(c)).value_or(QVariant());
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append({values, false});
    endInsertRows();
    return row;
}

void GridModel::addValueRows(const QList<QVariantList> &rows)
{
    if (rows.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    for (const QVariantList &values : rows) {
        QVariantList cells;
        for (int c = 0; c < m_columns.size(); ++c)
            cells << converted(c, values.value(c));
        m_rows.append({cells, false});
    }
    endInsertRows();
}

int GridModel::addValues(const QVariantList &values)
{
    QVariantList cells;
    for (int c = 0; c < m_columns.size(); ++c)
        cells << converted(c, values.value(c));
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append({cells, false});
    endInsertRows();
    return row;
}

void GridModel::clearRows()
{
    if (m_rows.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, int(m_rows.size()) - 1);
    m_rows.clear();
    endRemoveRows();
}

bool GridModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > m_rows.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.remove(row, count);
    endRemoveRows();
    return true;
}

void GridModel::setRowHidden(int row, bool hidden)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).hidden == hidden)
        return;
    m_rows[row].hidden = hidden;
    Q_EMIT rowHiddenChanged(row, hidden);
}

bool GridModel::isRowHidden(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).hidden;
}

QVariant GridModel::value(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return QVariant();
    return m_rows.at(row).cells.at(column);
}

void GridModel::setValue(int row, int column, const QVariant &value)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return;
    m_rows[row].cells[column] = converted(column, value);
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i);
}

QString GridModel::text(int row, int column) const
{
    const QVariant v = value(row, column);
    if (column < 0 || column >= m_columns.size())
        return QString();
    switch (m_columns.at(column).type) {
    case CellType::Text:
        return v.toString();
    case CellType::Whole:
        return v.isNull() ? QString() : QString::number(v.toLongLong());
    case CellType::Money:
        return v.isNull() ? QString() : v.value<Money>().toPlainString();
    case CellType::Date:
        return v.isNull() ? QString() : isoDate(v.toDate());
    case CellType::Check:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    }
    return QString();
}

bool GridModel::setText(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return false;
    const std::optional<QVariant> v = parse(column, text);
    if (!v)
        return false;
    m_rows[row].cells[column] = *v;
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i);
    return true;
}

QStringList GridModel::rowTexts(int row) const
{
    QStringList out;
    for (int c = 0; c < m_columns.size(); ++c)
        out << text(row, c);
    return out;
}

QString GridModel::displayText(int row, int column) const
{
    if (column < 0 || column >= m_columns.size())
        return QString();
    const GridColumn &col = m_columns.at(column);
    if (col.type == CellType::Check)
        return value(row, column).toBool() ? QStringLiteral("X") : QString();
    if (col.type == CellType::Date && col.format.isEmpty()) {
        const QVariant v = value(row, column);
        return v.isNull() ? QString() : v.toDate().toString(Clock::dateFormat());
    }
    return formatText(text(row, column), col.format);
}

void GridModel::sortRows(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_columns.size())
        return;
    const CellType type = m_columns.at(column).type;
    const auto less = [type, column](const Row &a, const Row &b) {
        const QVariant &x = a.cells.value(column);
        const QVariant &y = b.cells.value(column);
        if (x.isNull() || y.isNull())
            return x.isNull() && !y.isNull();
        switch (type) {
        case CellType::Whole:
            return x.toLongLong() < y.toLongLong();
        case CellType::Money:
            return x.value<Money>() < y.value<Money>();
        case CellType::Date:
            return x.toDate() < y.toDate();
        case CellType::Check:
            return !x.toBool() && y.toBool();
        case CellType::Text:
            break;
        }
        return x.toString().compare(y.toString(), Qt::CaseInsensitive) < 0;
    };
    beginResetModel();
    if (order == Qt::AscendingOrder)
        std::stable_sort(m_rows.begin(), m_rows.end(), less);
    else
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [&less](const Row &a, const Row &b) { return less(b, a); });
    endResetModel();
}

bool GridModel::mayEdit(int row, int column) const
{
    return m_gate && row >= 0 && row < m_rows.size() && column >= 0 && column < m_columns.size() &&
           m_gate(row, column);
}

std::optional<Refusal> GridModel::refusalFor(int column, const QString &text) const
{
    if (column < 0 || column >= m_columns.size())
        return std::nullopt;
    // Stored dates load whatever their year; a typed one must be a year a shop could mean.
    if (const std::optional<QVariant> v = parse(column, text);
        v && (m_columns.at(column).type != CellType::Date || v->isNull() || Clock::isTypeable(v->toDate())))
        return std::nullopt;
    const QString header = m_columns.at(column).header;
    const QString what = header.isEmpty() ? QStringLiteral("The value") : header;
    switch (m_columns.at(column).type) {
    case CellType::Whole:
        return Refusal{what + QStringLiteral(" must be a whole number, such as 12."),
                       QStringLiteral("Not a Valid Number"),
                       {}};
    case CellType::Money:
        return Refusal{what + QStringLiteral(" must be an amount, such as 95.50."),
                       QStringLiteral("Not a Valid Amount"),
                       {}};
    case CellType::Date:
        return Refusal{what + QStringLiteral(" must be a date, such as 5/14/2010."),
                       QStringLiteral("Not a Valid Date"),
                       {}};
    case CellType::Text:
    case CellType::Check:
        break;
    }
    return std::nullopt;
}

std::optional<QVariant> GridModel::parse(int column, const QString &text) const
{
    const CellType type = m_columns.at(column).type;
    if (type == CellType::Text)
        return QVariant(text);
    if (type == CellType::Check)
        return QVariant(checkedText(text));
    if (text.trimmed().isEmpty())
        return QVariant();
    switch (type) {
    case CellType::Whole:
        if (const std::optional<qint64> n = wholeNumber(text))
            return QVariant(*n);
        break;
    case CellType::Money:
        if (const std::optional<Money> m = Money::parse(text.trimmed()))
            return QVariant::fromValue(*m);
        break;
    case CellType::Date:
        if (const QDate d = parseDate(text.trimmed()); d.isValid())
            return QVariant(d);
        break;
    case CellType::Text:
    case CellType::Check:
        break;
    }
    return std::nullopt;
}

QVariant GridModel::converted(int column, const QVariant &value) const
{
    if (column < 0 || column >= m_columns.size())
        return QVariant();
    const CellType type = m_columns.at(column).type;
    const bool isMoney = value.metaType() == QMetaType::fromType<Money>();
    if (type == CellType::Text)
        return isMoney ? value.value<Money>().toPlainString() : value.toString();
    if (type == CellType::Check && value.typeId() == QMetaType::Bool)
        return value;
    if (value.isNull() || !value.isValid())
        return type == CellType::Check ? QVariant(false) : QVariant();
    switch (type) {
    case CellType::Money:
        if (isMoney)
            return value;
        if (value.typeId() != QMetaType::QString)
            return QVariant::fromValue(Money::fromVariant(value));
        break;
    case CellType::Whole:
        if (isMoney)
            return QVariant(qint64(value.value<Money>().units() / Money::Scale));
        if (value.typeId() != QMetaType::QString)
            return QVariant(value.toLongLong());
        break;
    case CellType::Date:
        if (value.typeId() == QMetaType::QDate)
            return value;
        if (value.typeId() == QMetaType::QDateTime)
            return QVariant(value.toDateTime().date());
        break;
    case CellType::Text:
    case CellType::Check:
        break;
    }
    return parse(column, isMoney ? value.value<Money>().toPlainString() : value.toString())
        .value_or(QVariant());
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return QVariant();
    const int r = index.row();
    const int c = index.column();
    const bool check = m_columns.at(c).type == CellType::Check;
    switch (role) {
    case Qt::DisplayRole:
        return check ? QVariant() : QVariant(displayText(r, c));
    case Qt::EditRole:
        if (m_columns.at(c).type == CellType::Date)
            return displayText(r, c);
        return text(r, c);
    case Qt::CheckStateRole:
        if (check)
            return value(r, c).toBool() ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(c));
    case ValueRole:
        return value(r, c);
    default:
        return QVariant();
    }
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return false;
    const bool check = m_columns.at(index.column()).type == CellType::Check;
    if ((check && role == Qt::CheckStateRole) || (!check && role == Qt::EditRole))
        return userEdit(index, value);
    return false;
}

bool GridModel::userEdit(const QModelIndex &index, const QVariant &value)
{
    const int r = index.row();
    const int c = index.column();
    if (!mayEdit(r, c))
        return false;
    QString typed = value.toString();
    if (m_columns.at(c).type == CellType::Check)
        typed = value.toInt() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    if (const std::optional<Refusal> refusal = refusalFor(c, typed)) {
        Q_EMIT editRefused(r, c, *refusal);
        return false;
    }
    const QString before = text(r, c);
    m_rows[r].cells[c] = parse(c, typed).value_or(QVariant());
    const QString after = text(r, c);
    Q_EMIT dataChanged(index, index);
    if (after != before)
        Q_EMIT cellEdited(r, c, before, after);
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (mayEdit(index.row(), index.column()))
        f |= m_columns.at(index.column()).type == CellType::Check ? Qt::ItemIsUserCheckable
                                                                  : Qt::ItemIsEditable;
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_columns.size() ? QVariant(m_columns.at(section).header)
                                                          : QVariant();
    return section >= 0 && section < m_rows.size() ? QVariant(section + 1) : QVariant();
}

QString GridModel::formatText(const QString &text, const QString &format)
{
    if (format.isEmpty() || text.isEmpty())
        return text;
    const QString lower = format.toLower();
    if (lower.contains(QLatin1String("yy")) || lower.contains(u'd')) {
        const QDate d = parseDate(text);
        if (!d.isValid())
            return text;
        QString qt = format;
        qt.replace(u'm', u'M');
        return d.toString(qt);
    }
    const std::optional<Money> value = Money::parse(text);
    if (!value)
        return text;
    const int decimals = decimalsOf(format);
    if (format.contains(u'$'))
        return value->toDisplayString(decimals);
    return groupedNumber(*value, decimals, format.contains(u','));
}
