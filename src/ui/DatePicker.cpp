#include "ui/DatePicker.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "ui/MessageBox.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

// month/day/year: at most two digits, two digits, four digits.
constexpr int kMaxDigits[] = {2, 2, 4};

} // namespace

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(Clock::dateFormat());
    setDateRange(Clock::firstDate(), Clock::lastDate());
    lineEdit()->installEventFilter(this);
}

QString DatePicker::refusalTitle()
{
    return QStringLiteral("Invalid Date");
}

bool DatePicker::wholeTextSelected() const
{
    const QLineEdit *edit = lineEdit();
    return !edit->text().isEmpty() && edit->selectedText() == edit->text();
}

void DatePicker::startTyping()
{
    m_typing = true;
    m_autoSlash = false;
    m_typed.clear();
    m_before = date();
}

void DatePicker::type(QChar c)
{
    const int part = int(m_typed.count(u'/'));
    const int digits = int(m_typed.size() - (m_typed.lastIndexOf(u'/') + 1));
    if (c == u'/') {
        if (m_autoSlash) {
            m_autoSlash = false;
            return;
        }
        if (digits == 0 || part == 2)
            return;
        m_typed += c;
    } else {
        if (digits == kMaxDigits[part])
            return;
        m_typed += c;
        m_autoSlash = false;
        if (part < 2 && digits + 1 == kMaxDigits[part]) {
            m_typed += u'/';
            m_autoSlash = true;
        }
    }
    showTyped();
    if (part == 2 && digits + 1 == kMaxDigits[2])
        finishTyping();
}

void DatePicker::backspace()
{
    if (m_typed.endsWith(u'/') && m_autoSlash)
        m_typed.chop(1);
    m_autoSlash = false;
    m_typed.chop(1);
    showTyped();
}

void DatePicker::showTyped()
{
    lineEdit()->setText(m_typed);
    lineEdit()->setCursorPosition(int(m_typed.size()));
}

bool DatePicker::finishTyping()
{
    if (!m_typing)
        return true;
    m_typing = false;
    const QString typed = m_typed;
    m_typed.clear();
    if (typed.isEmpty()) {
        showDate(m_before);
        return true;
    }
    // A two-digit year is read as parseDate reads it everywhere else.
    const QDate d = typed.count(u'/') == 2 ? parseDate(typed) : QDate();
    if (d.isValid() && d >= minimumDate() && d <= maximumDate()) {
        showDate(d);
        lineEdit()->setCursorPosition(int(lineEdit()->text().size()));
        return true;
    }
    refuse(typed);
    return false;
}

void DatePicker::cancelTyping()
{
    if (!m_typing)
        return;
    m_typing = false;
    m_typed.clear();
    showDate(m_before);
    selectAll();
}

void DatePicker::showDate(const QDate &d)
{
    setDate(d);
    // The typed text is replaced even when the date itself does not change.
    lineEdit()->setText(d.toString(displayFormat()));
}

void DatePicker::refuse(const QString &typed)
{
    showDate(m_before);
    selectAll();
    MessageBox::show(this,
                     QStringLiteral("\"%1\" is not a date. Type the date as month/day/year, for example %2.")
                         .arg(typed, QDate(Clock::today().year(), 3, 5).toString(displayFormat())),
                     refusalTitle(), MessageBox::OkOnly, MessageBox::Exclamation);
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const bool plain = !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
    const QChar c = text.size() == 1 ? text.at(0) : QChar();
    const bool dateChar = plain && (c.isDigit() || c == u'/');
    if (!m_typing && dateChar && c.isDigit() && wholeTextSelected())
        startTyping();
    if (m_typing) {
        if (dateChar) {
            type(c);
            event->accept();
            return;
        }
        switch (event->key()) {
        case Qt::Key_Backspace:
            backspace();
            event->accept();
            return;
        case Qt::Key_Escape:
            cancelTyping();
            event->accept();
            return;
        default:
            // Any other key (Enter too) ends the typing first, so it acts on a whole date.
            if (!finishTyping()) {
                event->accept();
                return;
            }
            break;
        }
    }
    QDateEdit::keyPressEvent(event);
}

void DatePicker::focusInEvent(QFocusEvent *event)
{
    QDateEdit::focusInEvent(event);
    // The base box selects only the month (or the year, backwards), so a date typed after Tab
    // landed in the middle of the old one.
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        selectAll();
        break;
    case Qt::MouseFocusReason:
        // The click itself still places the cursor in the text; the release selects.
        m_enteredByClick = true;
        break;
    default:
        break;
    }
}

bool DatePicker::eventFilter(QObject *watched, QEvent *event)
{
    // A left release changes no selection of its own, so selecting before it is delivered holds.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease && m_enteredByClick) {
        m_enteredByClick = false;
        selectAll();
    }
    return QDateEdit::eventFilter(watched, event);
}

void DatePicker::focusOutEvent(QFocusEvent *event)
{
    m_enteredByClick = false;
    if (m_typing)
        finishTyping();
    QDateEdit::focusOutEvent(event);
}

void DatePicker::mousePressEvent(QMouseEvent *event)
{
    m_enteredByClick = false; // the arrow or the calendar button, not the text
    cancelTyping();
    QDateEdit::mousePressEvent(event);
}

QValidator::State DatePicker::validate(QString &input, int &pos) const
{
    // Half a typed date is neither a date nor wrong yet; the box must not read it by sections.
    if (m_typing)
        return QValidator::Intermediate;
    return QDateEdit::validate(input, pos);
}
