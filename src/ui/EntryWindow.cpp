#include "ui/EntryWindow.h"

#include "core/Clock.h"
#include "ui/DatePicker.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace entry {

namespace {

// Fires the leave handler on focus-out towards another control of the same form.
class LeaveFilter : public QObject
{
public:
    LeaveFilter(QWidget *form, QWidget *field, std::function<bool()> handler)
        : QObject(field), m_form(form), m_field(field), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // A focus move made by another field's handler (a refusal putting the focus back) is
        // not the user leaving this field.
        if (event->type() != QEvent::FocusOut || m_running || s_handling > 0)
            return false;
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
        QWidget *next = QApplication::focusWidget();
        if (!m_form || !next || !m_form->isAncestorOf(next) || !m_form->isVisible())
            return false;
        m_running = true;
        ++s_handling;
        const bool accepted = m_handler();
        --s_handling;
        m_running = false;
        if (!accepted && m_field)
            m_field->setFocus();
        // The field kept the focus, so it must not act as if left.
        return m_field && m_field->hasFocus();
    }

private:
    QPointer<QWidget> m_form;
    QPointer<QWidget> m_field;
    std::function<bool()> m_handler;
    bool m_running = false;
    static inline int s_handling = 0;
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

namespace {

// A long text set by the program shows its beginning, not its end.
void showStartOfText(QLineEdit *field)
{
    QObject::connect(field, &QLineEdit::textChanged, field, [field] {
        if (!field->hasFocus())
            field->setCursorPosition(0);
    });
}

} // namespace

QPushButton *commandButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *makeText(QWidget *form, const QString &name)
{
    auto *field = new QLineEdit(form);
    field->setObjectName(name);
    field->setMaxLength(kMaxTextLength);
    selectAllOnEntry(field);
    showStartOfText(field);
    return field;
}

QLineEdit *displayBox(const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEnabled(false);
    keepTextReadable(e);
    showStartOfText(e);
    return e;
}

QDateEdit *datePicker(const QString &name, QWidget *parent)
{
    auto *d = new DatePicker(parent);
    d->setObjectName(name);
    return d;
}

QDateEdit *todayPicker(const QString &name, QWidget *parent)
{
    QDateEdit *d = datePicker(name, parent);
    d->setDate(Clock::today());
    return d;
}

QComboBox *makeList(QWidget *form, const QString &name, const QStringList &entries)
{
    auto *list = new QComboBox(form);
    list->setObjectName(name);
    list->addItems(entries);
    list->setCurrentIndex(-1);
    keepListWidth(list);
    return list;
}

void addRow(QGridLayout *grid, int row, int column, const QString &label, QWidget *field)
{
    auto *caption = new QLabel(label);
    caption->setBuddy(field);
    grid->addWidget(caption, row, column);
    grid->addWidget(field, row, column + 1);
}

void chainTabOrder(const std::vector<QWidget *> &widgets)
{
    for (size_t i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void selectAllOnEntry(QLineEdit *field)
{
    field->installEventFilter(new SelectAllFilter(field));
}

void onLeave(QWidget *form, QWidget *field, std::function<bool()> handler)
{
    field->installEventFilter(new LeaveFilter(form, field, std::move(handler)));
}

namespace {

std::pair<QPushButton *, QPushButton *> addButtonPair(QWidget *form, QGridLayout *grid, int row, int columns,
                                                      const QString &first, const QString &firstName,
                                                      const QString &second, const QString &secondName)
{
    auto *a = new QPushButton(first, form);
    a->setObjectName(firstName);
    auto *b = new QPushButton(second, form);
    b->setObjectName(secondName);
    QObject::connect(b, &QPushButton::clicked, form, [form] { closeChildWindow(form); });
    auto *box = new QHBoxLayout;
    box->addStretch();
    box->addWidget(a);
    box->addWidget(b);
    grid->addLayout(box, row, 0, 1, columns);
    return {a, b};
}

} // namespace

SaveExit addSaveExit(QWidget *form, QGridLayout *grid, int row, int columns)
{
    const auto [save, leave] =
        addButtonPair(form, grid, row, columns, QStringLiteral("Save And Close"), QStringLiteral("btnSave"),
                      QStringLiteral("Exit"), QStringLiteral("btnExit"));
    bindSaveKey(form, save);
    return {save, leave};
}

void bindSaveKey(QWidget *form, QAbstractButton *save)
{
    // Bound to the form, not the window: inner windows share one frame, and each saves its own.
    auto *key = new QShortcut(QKeySequence::Save, form);
    key->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(key, &QShortcut::activated, save, [save] {
        if (save->isEnabled() && save->isVisible())
            save->click();
    });
}

OkCancel addOkCancel(QWidget *form, QGridLayout *grid, int row, int columns)
{
    const auto [ok, cancel] =
        addButtonPair(form, grid, row, columns, QStringLiteral("Ok"), QStringLiteral("btnOK"),
                      QStringLiteral("Cancel"), QStringLiteral("btnCancel"));
    ok->setDefault(true);
    return {ok, cancel};
}

void showRefusal(QWidget *form, const Refusal &refusal, MessageBox::Icon icon)
{
    MessageBox::show(form, refusal.text, refusal.title, MessageBox::OkOnly, icon);
    if (refusal.field.isEmpty())
        return;
    if (auto *field = form->findChild<QWidget *>(refusal.field))
        field->setFocus();
}

void keepTextReadable(QWidget *w)
{
    QPalette p = w->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Window).darker(104));
    w->setPalette(p);
}

void showDbError(QWidget *parent, const DbError &error)
{
    MessageBox::error(parent, error);
}

} // namespace entry
