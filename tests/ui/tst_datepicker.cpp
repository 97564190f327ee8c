#include "ui/DatePicker.h"
#include "ui/EntryWindow.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

class TestDatePicker : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void typedDates_data();
    void typedDates();
    void sectionEditingAndCalendarStillWork();
    void enteringSelectsTheWholeDate_data();
    void enteringSelectsTheWholeDate();

private:
    std::unique_ptr<QWidget> m_form;
    DatePicker *m_picker = nullptr;
    QLineEdit *m_next = nullptr;
};

static const QDate kBefore(2026, 12, 9);

void TestDatePicker::init()
{
    MessageBox::script();
    MessageBox::clearShown();
    m_form = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_form.get());
    m_picker = static_cast<DatePicker *>(entry::datePicker(QStringLiteral("dtDate"), m_form.get()));
    m_next = new QLineEdit(m_form.get());
    layout->addWidget(m_picker);
    layout->addWidget(m_next);
    m_picker->setDate(kBefore);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_picker->setFocus(Qt::TabFocusReason);
    m_picker->selectAll();
}

void TestDatePicker::cleanup()
{
    m_form.reset();
    MessageBox::stopScripting();
}

void TestDatePicker::typedDates_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("leave"); // Tab out after typing
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<bool>("refused");

    QTest::newRow("m/d/yyyy") << "3/5/2027" << false << QDate(2027, 3, 5) << false;
    QTest::newRow("leading zeros") << "03/05/2027" << false << QDate(2027, 3, 5) << false;
    QTest::newRow("two-digit day") << "1/15/2027" << false << QDate(2027, 1, 15) << false;
    QTest::newRow("two-digit month") << "12/9/2027" << false << QDate(2027, 12, 9) << false;
    QTest::newRow("digits only") << "03052027" << false << QDate(2027, 3, 5) << false;
    QTest::newRow("two-digit year on leaving") << "3/5/27" << true << QDate(2027, 3, 5) << false;
    QTest::newRow("typo mended with backspace") << "4\b3/5/2027" << false << QDate(2027, 3, 5) << false;
    QTest::newRow("February 30th") << "2/30/2027" << false << kBefore << true;
    QTest::newRow("month 13") << "13/1/2027" << false << kBefore << true;
    QTest::newRow("half a date") << "3/5" << true << kBefore << true;
    QTest::newRow("year with its digits turned") << "3/5/5202" << false << kBefore << true;
    QTest::newRow("year before 1900") << "12/31/1899" << false << kBefore << true;
    QTest::newRow("last year there is") << "12/31/2099" << false << QDate(2099, 12, 31) << false;
    QTest::newRow("escape") << "3/5\x1b" << true << kBefore << false;
}

void TestDatePicker::typedDates()
{
    QFETCH(QString, keys);
    QFETCH(bool, leave);
    QFETCH(QDate, expected);
    QFETCH(bool, refused);

    for (QChar c : keys) {
        if (c == u'\b')
            QTest::keyClick(m_picker, Qt::Key_Backspace);
        else if (c == u'\x1b')
            QTest::keyClick(m_picker, Qt::Key_Escape);
        else
            QTest::keyClicks(m_picker, QString(c));
    }
    if (leave)
        QTest::keyClick(m_picker, Qt::Key_Tab);

    QCOMPARE(m_picker->date(), expected);
    QCOMPARE(m_picker->text(), expected.toString(QStringLiteral("M/d/yyyy")));
    QCOMPARE(m_picker->typedText(), QString());
    QCOMPARE(MessageBox::shown().size(), refused ? 1 : 0);
    if (refused) {
        QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Invalid Date"));
        QVERIFY2(MessageBox::shown().at(0).text.contains(keys.left(4)),
                 qPrintable(MessageBox::shown().at(0).text));
    }
}

void TestDatePicker::sectionEditingAndCalendarStillWork()
{
    // Up steps the section under the cursor, as in any date box.
    m_picker->findChild<QLineEdit *>()->setCursorPosition(0);
    m_picker->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(m_picker, Qt::Key_Up);
    QCOMPARE(m_picker->date(), QDate(2026, 12, 10));

    // The calendar pops up and a day picked there is taken.
    QTest::mouseClick(m_picker, Qt::LeftButton, {}, QPoint(m_picker->width() - 6, m_picker->height() / 2));
    QCalendarWidget *calendar = m_picker->calendarWidget();
    QTRY_VERIFY(calendar->isVisible());
    QTest::keyClick(calendar->focusWidget() ? calendar->focusWidget() : calendar, Qt::Key_Right);
    QTest::keyClick(calendar->focusWidget() ? calendar->focusWidget() : calendar, Qt::Key_Return);
    QTRY_VERIFY(!calendar->isVisible());
    QCOMPARE(m_picker->date(), QDate(2026, 12, 11));
}

void TestDatePicker::enteringSelectsTheWholeDate_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Tab from the field before") << "tab";
    QTest::newRow("Shift+Tab from the field after") << "backtab";
    QTest::newRow("a click into the text") << "click";
    QTest::newRow("a click into a box that had the focus") << "click twice";
}

// Entering the box and typing a date replaces the whole date, however the box was entered; a
// click into a box that already had the focus places the cursor as in any text.
void TestDatePicker::enteringSelectsTheWholeDate()
{
    QFETCH(QString, how);
    QWidget form;
    auto *layout = new QVBoxLayout(&form);
    auto *before = new QLineEdit(&form);
    auto *picker = static_cast<DatePicker *>(entry::datePicker(QStringLiteral("dtOrderDate"), &form));
    auto *after = new QLineEdit(&form);
    layout->addWidget(before);
    layout->addWidget(picker);
    layout->addWidget(after);
    picker->setDate(QDate(2026, 12, 9));
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QLineEdit *text = picker->findChild<QLineEdit *>();

    if (how == QLatin1String("tab")) {
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
    } else if (how == QLatin1String("backtab")) {
        after->setFocus();
        QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    } else {
        before->setFocus();
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(4, text->height() / 2));
    }
    QTRY_VERIFY(picker->hasFocus());
    if (how == QLatin1String("click twice")) {
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(4, text->height() / 2));
        QCOMPARE(text->selectedText(), QString());
        return;
    }
    QCOMPARE(text->selectedText(), QStringLiteral("12/9/2026"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3/5/2027"));
    QCOMPARE(picker->date(), QDate(2027, 3, 5));
    QCOMPARE(MessageBox::shown().size(), 0);
}

QTEST_MAIN(TestDatePicker)
#include "tst_datepicker.moc"
