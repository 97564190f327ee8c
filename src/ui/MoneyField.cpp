#include "ui/MoneyField.h"

#include <QFocusEvent>
#include <QTimer>

MoneyField::MoneyField(QWidget *parent, int decimals) : QLineEdit(parent), m_decimals(decimals)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Plain setText()/clear() from outside set the value, not just what is shown.
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_editing || m_showing)
            return;
        m_raw = text;
        showDisplay();
    });
}

QString MoneyField::rawText() const
{
    return m_editing ? text() : m_raw;
}

void MoneyField::setRawText(const QString &text)
{
    m_raw = text;
    if (m_editing)
        setText(text);
    else
        showDisplay();
}

void MoneyField::setValue(const Money &value)
{
    setRawText(value.toPlainString());
}

std::optional<Money> MoneyField::value() const
{
    return Money::parse(rawText());
}

void MoneyField::showDisplay()
{
    const std::optional<Money> v = Money::parse(m_raw);
    m_showing = true;
    setText(v ? v->toDisplayString(m_decimals) : m_raw);
    m_showing = false;
}

void MoneyField::focusInEvent(QFocusEvent *event)
{
    // Back from a popup (or a focus handed back while editing): the text is still the typed one.
    if (!m_editing) {
        m_editing = true;
        m_showing = true;
        setText(m_raw);
        m_showing = false;
    }
    QLineEdit::focusInEvent(event);
    // Entering a field selects its whole text.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            selectAll();
    });
}

void MoneyField::focusOutEvent(QFocusEvent *event)
{
    // A context menu borrows the focus; what it pastes belongs to the typed text.
    if (event->reason() == Qt::PopupFocusReason) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    m_raw = text();
    m_editing = false;
    showDisplay();
    QLineEdit::focusOutEvent(event);
}
