#include "MoneyField.h"

#include <QFocusEvent>
#include <QTimer>

MoneyField::MoneyField(QWidget *parent, int decimals) : QLineEdit(parent), m_decimals(decimals)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
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
    setText(v ? v->toDisplayString(m_decimals) : m_raw);
}

void MoneyField::focusInEvent(QFocusEvent *event)
{
    m_editing = true;
    setText(m_raw);
    QLineEdit::focusInEvent(event);
    // Entering a field selects its whole text.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            selectAll();
    });
}

void MoneyField::focusOutEvent(QFocusEvent *event)
{
    m_raw = text();
    m_editing = false;
    showDisplay();
    QLineEdit::focusOutEvent(event);
}
