#include "ui/MoneyField.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QTest>

// The money field against a second field that takes the focus away.
class TestMoneyField : public QObject
{
    Q_OBJECT

private:
    QWidget *m_form = nullptr;
    MoneyField *m_field = nullptr;
    MoneyField *m_three = nullptr;
    QLineEdit *m_other = nullptr;

    void focus(QWidget *w)
    {
        w->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

private Q_SLOTS:
    void init()
    {
        m_form = new QWidget;
        auto *box = new QHBoxLayout(m_form);
        m_field = new MoneyField(m_form);
        m_three = new MoneyField(m_form, 3);
        m_other = new QLineEdit(m_form);
        box->addWidget(m_field);
        box->addWidget(m_three);
        box->addWidget(m_other);
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        focus(m_other);
    }
    void cleanup()
    {
        delete m_form;
        m_form = nullptr;
    }

    void typedTextAndDisplay_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("shownThree");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("plain") << "1234.5" << "$1,234.50" << "$1,234.500" << true;
        QTest::newRow("negative") << "-12" << "($12.00)" << "($12.000)" << true;
        QTest::newRow("half to even") << "2.125" << "$2.12" << "$2.125" << true;
        QTest::newRow("zero") << "0" << "$0.00" << "$0.000" << true;
        QTest::newRow("empty") << "" << "" << "" << true;
        QTest::newRow("not a number") << "12x" << "12x" << "12x" << false;
    }
    void typedTextAndDisplay()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, shownThree);
        QFETCH(bool, numeric);
        for (MoneyField *f : {m_field, m_three}) {
            focus(f);
            QTest::keyClicks(f, typed);
            QCOMPARE(f->text(), typed); // as typed while it has the focus
        }
        focus(m_other);
        QCOMPARE(m_field->text(), shown);
        QCOMPARE(m_three->text(), shownThree);
        QCOMPARE(m_field->rawText(), typed);
        QCOMPARE(m_field->isNumeric(), numeric);
        QCOMPARE(m_field->value().has_value(), numeric && !typed.isEmpty());
        focus(m_field);
        QCOMPARE(m_field->text(), typed); // back to what was typed
    }

    void valueIsTheTypedNumberNotTheDisplay()
    {
        focus(m_field);
        QTest::keyClicks(m_field, QStringLiteral("0.1234"));
        focus(m_other);
        QCOMPARE(m_field->text(), QStringLiteral("$0.12"));
        QCOMPARE(m_field->value(), std::optional<Money>(Money::fromUnits(1234)));
    }

    void enteringSelectsEverything()
    {
        m_field->setRawText(QStringLiteral("45.5"));
        focus(m_field);
        QCOMPARE(m_field->selectedText(), QStringLiteral("45.5"));
        QTest::keyClicks(m_field, QStringLiteral("7"));
        QCOMPARE(m_field->rawText(), QStringLiteral("7"));
    }

    void setWhileFocusedOrNot()
    {
        m_field->setRawText(QStringLiteral("3"));
        QCOMPARE(m_field->text(), QStringLiteral("$3.00"));
        focus(m_field);
        m_field->setValue(Money::fromUnits(52500));
        QCOMPARE(m_field->text(), QStringLiteral("5.25"));
        focus(m_other);
        QCOMPARE(m_field->text(), QStringLiteral("$5.25"));
    }

    // A context menu takes the focus for a moment; what is pasted from it is kept.
    void popupKeepsTheTypedText()
    {
        focus(m_field);
        QTest::keyClicks(m_field, QStringLiteral("12"));
        QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(m_field, &out);
        m_field->insert(QStringLiteral("3"));
        QFocusEvent in(QEvent::FocusIn, Qt::PopupFocusReason);
        QApplication::sendEvent(m_field, &in);
        QCOMPARE(m_field->rawText(), QStringLiteral("123"));
        focus(m_other);
        QCOMPARE(m_field->text(), QStringLiteral("$123.00"));
    }

    // Plain line-edit calls from outside change the value, not just the display.
    void clearAndSetTextFromOutside()
    {
        m_field->setRawText(QStringLiteral("9"));
        m_field->clear();
        QCOMPARE(m_field->rawText(), QString());
        focus(m_field);
        QCOMPARE(m_field->text(), QString());
        focus(m_other);
        m_field->setText(QStringLiteral("4.5"));
        QCOMPARE(m_field->rawText(), QStringLiteral("4.5"));
        QCOMPARE(m_field->text(), QStringLiteral("$4.50"));
    }

    // A focus that comes back while the field is still being edited keeps the edit.
    void secondFocusInKeepsTheEdit()
    {
        focus(m_field);
        QTest::keyClicks(m_field, QStringLiteral("8"));
        QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
        QApplication::sendEvent(m_field, &in);
        QCOMPARE(m_field->rawText(), QStringLiteral("8"));
    }
};

QTEST_MAIN(TestMoneyField)
#include "tst_moneyfield.moc"
