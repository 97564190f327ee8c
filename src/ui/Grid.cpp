#include "ui/Grid.h"

#include "core/Database.h"
#include "core/Money.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

// Shows each cell through its column's format and alignment; the stored text stays as it is.
class FormatDelegate : public QStyledItemDelegate
{
public:
    explicit FormatDelegate(Grid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = Grid::formatText(index.data(Qt::DisplayRole).toString(), m_grid->columnFormat(index.column()));
        option->displayAlignment = m_grid->columnAlignment(index.column());
        if (m_grid->isCheckColumn(index.column()))
            option->text.clear();
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString before = m_grid->text(index.row(), index.column());
        QStyledItemDelegate::setModelData(editor, model, index);
        const QString after = m_grid->text(index.row(), index.column());
        if (after != before)
            Q_EMIT m_grid->cellEdited(index.row(), index.column(), before, after);
    }

    // A check box toggles only where the gate allows, and reports the change like an edit.
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override
    {
        if (!m_grid->isCheckColumn(index.column()))
            return QStyledItemDelegate::editorEvent(event, model, option, index);
        if (!m_grid->mayEdit(index.row(), index.column()))
            return false;
        const QString before = m_grid->text(index.row(), index.column());
        const bool handled = QStyledItemDelegate::editorEvent(event, model, option, index);
        const QString after = m_grid->text(index.row(), index.column());
        if (after != before)
            Q_EMIT m_grid->cellEdited(index.row(), index.column(), before, after);
        return handled;
    }

private:
    Grid *m_grid;
};

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

} // namespace

Grid::Grid(QWidget *parent) : QTableWidget(parent)
{
    setItemDelegate(new FormatDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setWordWrap(false);
    verticalHeader()->hide(); // no fixed column
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow, int) {
        if (row != previousRow)
            Q_EMIT currentDataRowChanged(row);
    });
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int) {
        Q_EMIT rowDoubleClicked(-1);
    });
}

void Grid::setHeaders(const QStringList &headers)
{
    setRowCount(0);
    setColumnCount(int(headers.size()));
    setHorizontalHeaderLabels(headers);
}

QStringList Grid::headers() const
{
    QStringList out;
    for (int c = 0; c < columnCount(); ++c) {
        const QTableWidgetItem *h = horizontalHeaderItem(c);
        out << (h ? h->text() : QString());
    }
    return out;
}

int Grid::addRow(const QStringList &cells)
{
    const int row = rowCount();
    insertRow(row);
    for (int c = 0; c < columnCount(); ++c)
        setText(row, c, cells.value(c));
    return row;
}

QString Grid::text(int row, int column) const
{
    const QTableWidgetItem *i = item(row, column);
    if (!i)
        return QString();
    if (isCheckColumn(column))
        return i->checkState() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    return i->text();
}

void Grid::setText(int row, int column, const QString &text)
{
    QTableWidgetItem *i = item(row, column);
    if (!i) {
        i = new QTableWidgetItem;
        setItem(row, column, i);
    }
    if (isCheckColumn(column)) {
        i->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool on = !text.isEmpty() && text != u"0" && text.compare(u"false", Qt::CaseInsensitive) != 0;
        i->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    } else {
        i->setText(text);
    }
}

void Grid::setCheckColumn(int column, bool check)
{
    if (check == isCheckColumn(column))
        return;
    QStringList texts;
    for (int r = 0; r < rowCount(); ++r)
        texts << text(r, column);
    if (check)
        m_checkColumns.insert(column);
    else
        m_checkColumns.remove(column);
    for (int r = 0; r < rowCount(); ++r) {
        delete takeItem(r, column);
        setText(r, column, texts.at(r));
    }
}

void Grid::setEditGate(EditGate gate)
{
    m_gate = std::move(gate);
    const EditTriggers open = DoubleClicked | EditKeyPressed | AnyKeyPressed;
    setEditTriggers(m_gate ? open : NoEditTriggers);
}

bool Grid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // Check boxes are gated where they toggle; a call from code (AllEditTriggers) always opens.
    const bool gated = index.isValid() && !isCheckColumn(index.column()) && trigger != AllEditTriggers;
    if (gated && !mayEdit(index.row(), index.column()))
        return false;
    return QTableWidget::edit(index, trigger, event);
}

QStringList Grid::rowTexts(int row) const
{
    QStringList out;
    for (int c = 0; c < columnCount(); ++c)
        out << text(row, c);
    return out;
}

QString Grid::displayText(int row, int column) const
{
    return formatText(text(row, column), columnFormat(column));
}

void Grid::setColumnFormat(int column, const QString &format)
{
    m_formats.insert(column, format);
    viewport()->update();
}

void Grid::setColumnAlignment(int column, Qt::Alignment alignment)
{
    m_alignments.insert(column, alignment);
    viewport()->update();
}

void Grid::setAllAlignment(Qt::Alignment alignment)
{
    m_alignments.clear();
    m_defaultAlignment = alignment;
    horizontalHeader()->setDefaultAlignment(alignment);
    viewport()->update();
}

Qt::Alignment Grid::columnAlignment(int column) const
{
    return m_alignments.value(column, m_defaultAlignment);
}

void Grid::autoSize()
{
    resizeColumnsToContents();
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, columnWidth(c) + 8);
    viewport()->update();
}

void Grid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableWidget::mouseDoubleClickEvent(event);
    Q_EMIT rowDoubleClicked(index.isValid() ? index.row() : -1);
}

QString Grid::formatText(const QString &text, const QString &format)
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
