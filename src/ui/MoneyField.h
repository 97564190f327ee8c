#pragma once

#include "core/Money.h"

#include <QLineEdit>

#include <optional>

// A money entry field: holds the number as typed; without the focus it shows it as
// "$#,##0.00;($#,##0.00)" (or three decimals). Its value is the typed number, not the display.
class MoneyField : public QLineEdit
{
    Q_OBJECT
public:
    explicit MoneyField(QWidget *parent = nullptr, int decimals = 2);

    // What the user typed (or what was set), never the display form.
    QString rawText() const;
    void setRawText(const QString &text);
    void setValue(const Money &value);
    void clearValue() { setRawText(QString()); }

    bool isEmpty() const { return rawText().trimmed().isEmpty(); }
    // True when the field is empty or holds a number.
    bool isNumeric() const { return isEmpty() || value().has_value(); }
    // The typed number; nullopt when empty or not a number.
    std::optional<Money> value() const;
    // The typed number, empty reading as zero.
    Money valueOrZero() const { return value().value_or(Money()); }

    int decimals() const { return m_decimals; }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showDisplay();

    QString m_raw;
    int m_decimals;
    bool m_editing = false;
    bool m_showing = false; // the field itself is changing the text
};
