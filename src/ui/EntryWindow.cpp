#include "ui/EntryWindow.h"

#include "core/Clock.h"
#include "ui/DatePicker.h"
#include "ui/Grid.h"
#include "ui/MessageBox.h"
#include "ui/MoneyField.h"
#include "ui/PickList.h"
#include "ui/Widgets.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

#include <optional>

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

namespace {

class FillOnEntry : public QObject
{
public:
    FillOnEntry(QComboBox *list, std::function<void(QComboBox *)> fill)
        : QObject(list), m_list(list), m_fill(std::move(fill))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            const QSignalBlocker quiet(m_list);
            m_list->clear();
            m_fill(m_list);
            m_list->setCurrentIndex(-1);
        }
        return false;
    }

private:
    QComboBox *m_list;
    std::function<void(QComboBox *)> m_fill;
};

} // namespace

QComboBox *makePickList(QWidget *form, const QString &name, std::function<void(QComboBox *)> fill)
{
    QComboBox *list = makeList(form, name, {});
    installTypeAhead(list);
    list->installEventFilter(new FillOnEntry(list, std::move(fill)));
    return list;
}

QLabel *makeStatusLine(QWidget *form)
{
    auto *line = new QLabel(form);
    line->setObjectName(QStringLiteral("lblMessage"));
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return line;
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
    QObject::connect(b, &QPushButton::clicked, form, [form] { exitChildWindow(form); });
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
    guardUnsaved(form, save);
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

namespace {

class ReturnClicks : public QObject
{
public:
    ReturnClicks(QWidget *form, QAbstractButton *button) : QObject(form), m_form(form), m_button(button) {}

protected:
    // Sees the keys the focused control left alone, on their way up to the form.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_form || event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = key->modifiers() == Qt::NoModifier ||
                           (key->modifiers() == Qt::KeypadModifier && key->key() == Qt::Key_Enter);
        if (!plain || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
            return false;
        // A focused button takes Return for itself, as in a dialog.
        auto *focused = qobject_cast<QPushButton *>(m_form->focusWidget());
        QAbstractButton *target = focused && m_form->isAncestorOf(focused) ? focused : m_button.data();
        if (target && target->isEnabled())
            target->click();
        return true;
    }

private:
    QWidget *m_form;
    QPointer<QAbstractButton> m_button;
};

} // namespace

void returnClicks(QWidget *form, QAbstractButton *button)
{
    form->installEventFilter(new ReturnClicks(form, button));
}

OkCancel addOkCancel(QWidget *form, QGridLayout *grid, int row, int columns)
{
    const auto [ok, cancel] =
        addButtonPair(form, grid, row, columns, QStringLiteral("Ok"), QStringLiteral("btnOK"),
                      QStringLiteral("Cancel"), QStringLiteral("btnCancel"));
    ok->setDefault(true);
    return {ok, cancel};
}

namespace {

const char kTrackedLabel[] = "trackedLabel";

using Snapshot = QHash<const QWidget *, QString>;

// Parts of a compound control (a list's line, a date box's calendar, a grid's editor) are read
// through the control itself.
bool insideCompound(const QWidget *w, const QWidget *form)
{
    for (const QWidget *p = w->parentWidget(); p && p != form; p = p->parentWidget()) {
        if (qobject_cast<const QComboBox *>(p) || qobject_cast<const QAbstractSpinBox *>(p) ||
            qobject_cast<const QAbstractItemView *>(p))
            return true;
    }
    return false;
}

std::optional<QString> shownValue(const QWidget *w)
{
    if (const auto *grid = qobject_cast<const Grid *>(w)) {
        QString all;
        for (int r = 0; r < grid->rowCount(); ++r) {
            for (int c = 0; c < grid->columnCount(); ++c)
                all += grid->text(r, c) + u'\t';
            all += u'\n';
        }
        return all;
    }
    // A money field shows another text without the focus; its value is what was typed.
    if (const auto *m = qobject_cast<const MoneyField *>(w))
        return m->rawText();
    if (const auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (const auto *c = qobject_cast<const QComboBox *>(w))
        return c->currentText();
    if (const auto *d = qobject_cast<const QAbstractSpinBox *>(w))
        return d->text();
    if (const auto *b = qobject_cast<const QAbstractButton *>(w); b && b->isCheckable())
        return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (const auto *l = qobject_cast<const QLabel *>(w); l && l->property(kTrackedLabel).toBool())
        return l->text();
    return std::nullopt;
}

void record(Snapshot &into, const QWidget *form, const QWidget *w)
{
    if (insideCompound(w, form))
        return;
    if (const std::optional<QString> value = shownValue(w))
        into.insert(w, *value);
}

class UnsavedGuard;
QHash<const QWidget *, UnsavedGuard *> &guards()
{
    static QHash<const QWidget *, UnsavedGuard *> all;
    return all;
}

class UnsavedGuard : public QObject
{
public:
    UnsavedGuard(QWidget *form, QAbstractButton *save) : QObject(form), m_form(form), m_save(save)
    {
        guards().insert(form, this);
        form->installEventFilter(this);
    }
    ~UnsavedGuard() override { guards().remove(m_form); }

    // The state to compare with is taken when the clerk first touches the window, so whatever the
    // window filled in while opening counts as loaded.
    void touched()
    {
        if (!m_taken)
            markClean();
    }

    void markClean()
    {
        m_clean = take();
        m_taken = true;
    }

    void markClean(const std::vector<QWidget *> &controls)
    {
        if (!m_taken) {
            markClean();
            return;
        }
        for (QWidget *w : controls) {
            m_clean.remove(w);
            record(m_clean, m_form, w);
        }
    }

    bool changed() const
    {
        if (!m_taken)
            return false;
        const Snapshot now = take();
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const auto was = m_clean.constFind(it.key());
            if (was == m_clean.cend() ? !it.value().isEmpty() : *was != it.value())
                return true;
        }
        return false;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            // An Escape no control of the form used.
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier)
                return false;
            exitChildWindow(m_form);
            return true;
        }
        if (event->type() != QEvent::Close || m_asking)
            return false;
        const bool closingSaved = m_form->property(kClosingSaved).toBool();
        m_form->setProperty(kClosingSaved, false);
        if (closingSaved || !changed())
            return false;
        m_asking = true;
        const bool mayClose = askBeforeClosing();
        m_asking = false;
        if (mayClose)
            return false;
        event->ignore();
        return true;
    }

private:
    Snapshot take() const
    {
        Snapshot s;
        for (const QWidget *w : m_form->findChildren<QWidget *>())
            record(s, m_form, w);
        return s;
    }

    bool askBeforeClosing()
    {
        const MessageBox::Button answer = MessageBox::show(
            m_form,
            QStringLiteral("%1 has changes that are not saved. Save them before closing?")
                .arg(m_form->windowTitle()),
            QStringLiteral("Unsaved Changes"), MessageBox::SaveDiscardCancel, MessageBox::Exclamation);
        if (answer == MessageBox::Discard)
            return true;
        if (answer != MessageBox::Save || !m_save || !m_save->isEnabled())
            return false;
        // A save that succeeds closes the window itself, or leaves it clean for the next entry.
        m_save->click();
        const bool closedBySave = m_form->property(kClosingSaved).toBool();
        m_form->setProperty(kClosingSaved, false);
        return closedBySave || !changed();
    }

    QWidget *m_form;
    QPointer<QAbstractButton> m_save;
    Snapshot m_clean;
    bool m_taken = false;
    bool m_asking = false;
};

// Sees the first key or click that reaches a guarded window.
class FirstTouch : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            break;
        default:
            return false;
        }
        if (!watched->isWidgetType() || guards().isEmpty())
            return false;
        for (auto *w = static_cast<QWidget *>(watched); w; w = w->parentWidget()) {
            if (UnsavedGuard *guard = guards().value(w)) {
                guard->touched();
                break;
            }
        }
        return false;
    }
};

UnsavedGuard *guardOf(QWidget *form)
{
    return guards().value(form);
}

} // namespace

void guardUnsaved(QWidget *form, QAbstractButton *save)
{
    if (guardOf(form))
        return;
    static FirstTouch *firstTouch = nullptr;
    if (!firstTouch) {
        firstTouch = new FirstTouch(qApp);
        qApp->installEventFilter(firstTouch);
    }
    new UnsavedGuard(form, save);
}

void markClean(QWidget *form)
{
    if (UnsavedGuard *guard = guardOf(form))
        guard->markClean();
}

void markClean(QWidget *form, const std::vector<QWidget *> &controls)
{
    if (UnsavedGuard *guard = guardOf(form))
        guard->markClean(controls);
}

bool hasUnsavedChanges(QWidget *form)
{
    UnsavedGuard *guard = guardOf(form);
    return guard && guard->changed();
}

void trackLabel(QLabel *label)
{
    label->setProperty(kTrackedLabel, true);
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
