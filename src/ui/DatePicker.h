#pragma once

#include <QDate>
#include <QDateEdit>

// A date box that takes a whole typed date. Entering the box (Tab, Shift+Tab, a click) selects
// it whole, as a text field does. Once its text is all selected (entering, Ctrl+A, a double click), typing
// digits and "/" builds month/day/year freely, with or without leading zeros; the date is set when it is
// complete, and a date that does not exist is refused with a message while the box keeps its old date.
// Otherwise it edits section by section and its calendar pops up as any date box does.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    // The text typed so far while a whole date is being typed; empty otherwise.
    QString typedText() const { return m_typing ? m_typed : QString(); }

    static QString refusalTitle();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    QValidator::State validate(QString &input, int &pos) const override;

private:
    bool wholeTextSelected() const;
    void startTyping();
    void type(QChar c);
    void backspace();
    void showTyped();
    // Ends the typing: sets the date when the text is a real one, otherwise refuses it and puts
    // the old date back. Returns whether a date was taken.
    bool finishTyping();
    void cancelTyping();
    // Sets `d` and shows it in the display format.
    void showDate(const QDate &d);
    void refuse(const QString &typed);

    bool m_typing = false;
    bool m_enteredByClick = false; // the click that gave the focus ends by selecting the whole date
    bool m_autoSlash = false;      // the last "/" was put in after two digits, so a typed one is skipped
    QString m_typed;
    QDate m_before;
};
