#include "production/MasterData.h"

#include "ui/MessageBox.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace MasterData {

std::optional<Row> findByKey(const QString &table, const QString &keyColumn, const QString &key)
{
    const RowSet rows = DbConnection().query(
        QStringLiteral("SELECT rowid AS RowKey, * FROM %1 WHERE %2 = ? ORDER BY rowid LIMIT 1").arg(table, keyColumn),
        {key});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

bool saveByKey(const QString &table, const QString &keyColumn, const QString &key, const Fields &fields,
               const Fields &newRowFields)
{
    Database &db = DbConnection();
    Transaction tx(db);
    const std::optional<Row> stored = findByKey(table, keyColumn, key);
    if (stored) {
        if (!fields.empty())
            db.update(table, fields, QStringLiteral("rowid = ?"), {stored->value(QStringLiteral("RowKey"))});
    } else {
        Fields all = newRowFields;
        all.insert(all.end(), fields.begin(), fields.end());
        db.insert(table, all);
    }
    tx.commit();
    return !stored;
}

std::optional<double> parseNumber(const QString &text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> parseWholeNumber(const QString &text)
{
    bool ok = false;
    const int v = QLocale::c().toInt(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

namespace {

// Fires the leave handler on focus-out towards another control of the same form.
class LeaveFilter : public QObject
{
public:
    LeaveFilter(QWidget *form, QWidget *field, std::function<void()> handler)
        : QObject(field), m_form(form), m_field(field), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::FocusOut || m_running)
            return false;
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
        QWidget *next = QApplication::focusWidget();
        if (!m_form || !next || !m_form->isAncestorOf(next) || !m_form->isVisible())
            return false;
        m_running = true;
        m_handler();
        m_running = false;
        // The handler put the focus back: the field keeps it, so it must not act as if left.
        return m_field && m_field->hasFocus();
    }

private:
    QPointer<QWidget> m_form;
    QPointer<QWidget> m_field;
    std::function<void()> m_handler;
    bool m_running = false;
};

class SelectAllFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the cursor.
            QPointer<QLineEdit> field = qobject_cast<QLineEdit *>(watched);
            QTimer::singleShot(0, this, [field] {
                if (field && field->hasFocus())
                    field->selectAll();
            });
        }
        return false;
    }
};

} // namespace

void onLeave(QWidget *form, QWidget *field, std::function<void()> handler)
{
    field->installEventFilter(new LeaveFilter(form, field, std::move(handler)));
}

void selectAllOnEntry(QLineEdit *field)
{
    field->installEventFilter(new SelectAllFilter(field));
}

QLineEdit *makeText(QWidget *form, const QString &name)
{
    auto *field = new QLineEdit(form);
    field->setObjectName(name);
    selectAllOnEntry(field);
    return field;
}

QComboBox *makeList(QWidget *form, const QString &name, const QStringList &entries)
{
    auto *list = new QComboBox(form);
    list->setObjectName(name);
    list->addItems(entries);
    list->setCurrentIndex(-1);
    return list;
}

void showListEntry(QComboBox *list, const QString &text)
{
    list->setCurrentIndex(text.isEmpty() ? -1 : list->findText(text, Qt::MatchFixedString));
}

void addRow(QGridLayout *grid, int row, int column, const QString &label, QWidget *field)
{
    auto *caption = new QLabel(label);
    caption->setBuddy(field);
    grid->addWidget(caption, row, column);
    grid->addWidget(field, row, column + 1);
}

QWidget *cityStateZip(QWidget *form, QLineEdit *city, QLineEdit *state, QLineEdit *zip)
{
    auto *row = new QWidget(form);
    auto *box = new QHBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    state->setMaximumWidth(40);
    zip->setMaximumWidth(80);
    box->addWidget(city, 1);
    box->addWidget(state);
    box->addWidget(zip);
    return row;
}

void loadTexts(const std::vector<TextColumn> &texts, const Row *row)
{
    for (const TextColumn &t : texts)
        t.field->setText(row ? row->text(t.column) : QString());
}

void appendTexts(Fields &fields, const std::vector<TextColumn> &texts)
{
    for (const TextColumn &t : texts)
        fields.emplace_back(t.column, t.field->text());
}

QPushButton *addButtons(QWidget *form, QGridLayout *grid, int row, int columns, QPushButton **exit)
{
    auto *save = new QPushButton(QStringLiteral("Save And Close"), form);
    save->setObjectName(QStringLiteral("btnSave"));
    auto *leave = new QPushButton(QStringLiteral("Exit"), form);
    leave->setObjectName(QStringLiteral("btnExit"));
    QObject::connect(leave, &QPushButton::clicked, form, [form] { closeChildWindow(form); });
    auto *box = new QHBoxLayout;
    box->addStretch();
    box->addWidget(save);
    box->addWidget(leave);
    grid->addLayout(box, row, 0, 1, columns);
    *exit = leave;
    return save;
}

bool refuseNonNumeric(QWidget *parent, const std::vector<NumberCheck> &checks)
{
    for (const NumberCheck &c : checks) {
        if (c.ok)
            continue;
        MessageBox::show(parent, QStringLiteral("%1 must be a number. Please re-enter.").arg(c.label),
                         QStringLiteral("Invalid Number"));
        c.field->setFocus();
        return true;
    }
    return false;
}

void chainTabOrder(const std::vector<QWidget *> &widgets)
{
    for (size_t i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

} // namespace MasterData
