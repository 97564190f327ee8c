#include "WindowDriver.h"
#include "production/CustomerEntry.h"

#include <QComboBox>
#include <QPushButton>

class TestCustomerEntry : public QObject
{
    Q_OBJECT

private:
    drive::Session<CustomerEntry> s{QStringLiteral("CustomerEntry"), QStringLiteral("Customer"),
                                    QStringLiteral("Name")};
    // Fills what a save requires besides the name.
    void fillRequired(CustomerEntry *w)
    {
        drive::type(w->txtTerms, QStringLiteral("Net 10"));
        drive::type(w->txtDays, QStringLiteral("10"));
    }

private Q_SLOTS:
    void init()
    {
        s.start();
        s.fixture().addCustomer(QStringLiteral("Bolt Marine"), 45, QStringLiteral("Net 45"));
        s.fixture().addCustomer(QStringLiteral("Bolt"));
        s.db().insert(QStringLiteral("Customer"), {{"Name", QStringLiteral("Anchor Co")},
                                                   {"Status", QStringLiteral("InActive")},
                                                   {"Phone", QStringLiteral("555-0100")}});
    }
    void cleanup() { s.finish(); }

    void opensWithEveryCustomerAndEmptyFields()
    {
        CustomerEntry *w = s.open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Customer Entry/Edit"));
        QStringList names;
        for (int i = 0; i < w->cmbCustomer->count(); ++i)
            names << w->cmbCustomer->itemText(i);
        QCOMPARE(names, QStringList({"Anchor Co", "Bolt", "Bolt Marine"}));
        QCOMPARE(w->cmbCustomer->currentText(), QString());
        QCOMPARE(w->txtAddress1->text(), QString());
        QCOMPARE(w->cmbStatus->currentIndex(), -1);
        const QList<QWidget *> tabs = {
            w->cmbCustomer,   w->txtAddress1,    w->txtAddress2,       w->txtCity,
            w->txtState,      w->txtZip,         w->txtPhone,          w->txtFax,
            w->cmbStatus,     w->txtShipTo,      w->txtShipToAddress1, w->txtShipToAddress2,
            w->txtShipToCity, w->txtShipToState, w->txtShipToZip,      w->txtShipToPhone,
            w->txtShipToFax,  w->txtTerms,       w->txtDays,           w->btnSave,
            w->btnExit};
        QCOMPARE(drive::tabStops(w), tabs);
    }

    void lookupRunsOnEveryKeystroke()
    {
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, QStringLiteral("Bolt"));
        QCOMPARE(w->txtAddress1->text(), QStringLiteral("1 Main St"));
        QCOMPARE(w->txtShipToZip->text(), QStringLiteral("45403"));
        QCOMPARE(w->txtTerms->text(), QStringLiteral("Net 30"));
        QCOMPARE(w->txtDays->text(), QStringLiteral("30"));
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active"));

        w->cmbStatus->setCurrentIndex(1);
        // One more character begins another customer's name: it is offered, completed and loaded.
        QTest::keyClick(w->cmbCustomer, Qt::Key_Space);
        QCOMPARE(w->cmbCustomer->currentText(), QStringLiteral("Bolt Marine"));
        QCOMPARE(w->cmbCustomer->lineEdit()->selectedText(), QStringLiteral("Marine"));
        QCOMPARE(w->txtTerms->text(), QStringLiteral("Net 45"));
        QTest::keyClick(w->cmbCustomer, Qt::Key_Delete); // declined: a new customer
        QCOMPARE(w->cmbCustomer->currentText(), QStringLiteral("Bolt "));
        QCOMPARE(w->txtAddress1->text(), QString());
        QCOMPARE(w->txtShipTo->text(), QString());
        QCOMPARE(w->txtTerms->text(), QString());
        QCOMPARE(w->txtDays->text(), QString());
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active"));

        QTest::keyClicks(w->cmbCustomer, QStringLiteral("Marine"));
        QCOMPARE(w->txtTerms->text(), QStringLiteral("Net 45"));
        QCOMPARE(w->txtDays->text(), QStringLiteral("45"));
    }

    // A typed beginning of a name, in any case, completes to the first customer it begins, and Tab
    // takes that customer; a name no customer begins with stays as typed.
    void typedBeginningCompletesToTheFirstCustomer_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("taken");
        QTest::newRow("beginning") << "Bolt M"
                                   << "Bolt Marine";
        QTest::newRow("beginning in other case") << "bolt m"
                                                 << "Bolt Marine";
        QTest::newRow("whole name that begins another") << "Bolt"
                                                        << "Bolt";
        QTest::newRow("whole name in other case") << "bolt"
                                                  << "Bolt";
        QTest::newRow("new name") << "Bolton Canvas"
                                  << "Bolton Canvas";
    }
    void typedBeginningCompletesToTheFirstCustomer()
    {
        QFETCH(QString, typed);
        QFETCH(QString, taken);
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, typed);
        QTest::keyClick(w->cmbCustomer, Qt::Key_Tab);
        QCOMPARE(w->cmbCustomer->currentText(), taken);
        QCOMPARE(w->txtTerms->text(), taken == QLatin1String("Bolt Marine") ? QStringLiteral("Net 45")
                                      : taken == QLatin1String("Bolt")      ? QStringLiteral("Net 30")
                                                                            : QString());
    }

    void pickingFromTheListLoads()
    {
        CustomerEntry *w = s.open();
        w->cmbCustomer->setCurrentIndex(0);
        QCOMPARE(w->txtPhone->text(), QStringLiteral("555-0100"));
        QCOMPARE(w->txtAddress1->text(), QString()); // unset column
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("InActive"));
    }

    void newCustomerIsAddedWithDateAndTime()
    {
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, QStringLiteral("Cove Upholstery"));
        drive::type(w->txtAddress1, QStringLiteral("9 Pier Ln"));
        drive::type(w->txtShipToCity, QStringLiteral("Erie"));
        fillRequired(w);
        drive::click(w->btnSave);
        QVERIFY(!s.windowOpen());
        const RowSet rows = s.rows(QStringLiteral("Cove Upholstery"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].text("Address1"), QStringLiteral("9 Pier Ln"));
        QCOMPARE(rows[0].text("ShipToCity"), QStringLiteral("Erie"));
        QCOMPARE(rows[0].text("Status"), QStringLiteral("Active"));
        QCOMPARE(rows[0].text("Terms"), QStringLiteral("Net 10"));
        QCOMPARE(rows[0].value("Days"), QVariant(qint64(10)));
        QCOMPARE(rows[0].text("DateAdded"), QStringLiteral("2010-05-14 10:30:00"));
        // Empty fields are written as empty text.
        QCOMPARE(rows[0].value("Fax"), QVariant(QString()));
        QVERIFY(!rows[0].isNull("Fax"));
    }

    // A new customer with no ship-to at all is shipped to its billing address; one ship-to field
    // typed, or a stored customer, keeps the ship-to as it was.
    void emptyShipToTakesTheBillingAddress_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shipToCity");
        QTest::addColumn<QStringList>("stored"); // ShipTo, ShipToAddress1, ShipToCity, ShipToPhone
        QTest::newRow("new, ship-to empty")
            << "Cove Upholstery"
            << "" << QStringList{"Cove Upholstery", "9 Pier Ln", "Erie", "555-0142"};
        QTest::newRow("new, one ship-to field typed") << "Cove Upholstery"
                                                      << "Akron" << QStringList{"", "", "Akron", ""};
        QTest::newRow("stored customer") << "Bolt"
                                         << "" << QStringList{"", "", "", ""};
    }
    void emptyShipToTakesTheBillingAddress()
    {
        QFETCH(QString, name);
        QFETCH(QString, shipToCity);
        QFETCH(QStringList, stored);
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, name);
        for (QLineEdit *shipTo : {w->txtShipTo, w->txtShipToAddress1, w->txtShipToAddress2, w->txtShipToCity,
                                  w->txtShipToState, w->txtShipToZip, w->txtShipToPhone, w->txtShipToFax})
            drive::type(shipTo, QString());
        drive::type(w->txtAddress1, QStringLiteral("9 Pier Ln"));
        drive::type(w->txtCity, QStringLiteral("Erie"));
        drive::type(w->txtPhone, QStringLiteral("555-0142"));
        if (!shipToCity.isEmpty())
            drive::type(w->txtShipToCity, shipToCity);
        fillRequired(w);
        drive::click(w->btnSave);
        QVERIFY(!s.windowOpen());
        const RowSet rows = s.rows(name);
        QCOMPARE(rows.size(), 1);
        QCOMPARE((QStringList{rows[0].text("ShipTo"), rows[0].text("ShipToAddress1"),
                              rows[0].text("ShipToCity"), rows[0].text("ShipToPhone")}),
                 stored);
    }

    void storedCustomerIsEditedInPlace()
    {
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, QStringLiteral("Bolt Marine"));
        drive::type(w->txtAddress1, QString());
        drive::type(w->txtPhone, QStringLiteral("555-0199"));
        drive::focus(w->cmbStatus);
        w->cmbStatus->setCurrentIndex(1);
        drive::type(w->txtDays, QStringLiteral(" 60 "));
        drive::click(w->btnSave);
        QVERIFY(!s.windowOpen());
        const RowSet rows = s.rows(QStringLiteral("Bolt Marine"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].text("Address1"), QString());
        QVERIFY(!rows[0].isNull("Address1"));
        QCOMPARE(rows[0].text("Phone"), QStringLiteral("555-0199"));
        QCOMPARE(rows[0].text("Status"), QStringLiteral("InActive"));
        QCOMPARE(rows[0].value("Days"), QVariant(qint64(60)));
        QCOMPARE(rows[0].text("DateAdded"), QStringLiteral("2010-01-02 09:00:00"));
    }

    void changedNameMakesANewCustomer()
    {
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, QStringLiteral("Bolt"));
        QCOMPARE(w->txtAddress1->text(), QStringLiteral("1 Main St"));
        drive::type(w->txtAddress2, QStringLiteral("Suite 4")); // typed after the name
        drive::type(w->cmbCustomer, QStringLiteral("Bolt Two"));
        fillRequired(w);
        drive::click(w->btnSave);
        QCOMPARE(s.rows(QStringLiteral("Bolt Two")).size(), 1);
        const RowSet old = s.rows(QStringLiteral("Bolt"));
        QCOMPARE(old.size(), 1);
        QCOMPARE(old[0].text("Terms"), QStringLiteral("Net 30"));
        QCOMPARE(old[0].text("Address2"), QString());
    }

    void daysCheckOnLeaving_data()
    {
        QTest::addColumn<QString>("days");
        QTest::addColumn<bool>("refused");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("text") << "abc" << true;
        QTest::newRow("fraction") << "2.5" << true;
        QTest::newRow("whole") << "15" << false;
        QTest::newRow("spaced") << " 15 " << false;
    }
    void daysCheckOnLeaving()
    {
        QFETCH(QString, days);
        QFETCH(bool, refused);
        CustomerEntry *w = s.open();
        drive::type(w->txtDays, days);
        drive::focus(w->txtTerms);
        if (!refused) {
            QCOMPARE(MessageBox::shown().size(), 0);
            QVERIFY(w->txtTerms->hasFocus());
            return;
        }
        QCOMPARE(drive::shownTexts(),
                 QStringList{"You must enter a number in days for this field. Please re-enter."});
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Invalid Terms"));
        QVERIFY(w->txtDays->hasFocus());
    }

    void requiredFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("terms");
        QTest::addColumn<QString>("days");
        QTest::newRow("name") << "" << 0 << "Net 10"
                              << "10";
        QTest::newRow("status") << "Cove" << -1 << "Net 10"
                                << "10";
        QTest::newRow("terms") << "Cove" << 0 << ""
                               << "10";
        QTest::newRow("days") << "Cove" << 0 << "Net 10"
                              << "";
    }
    void requiredFields()
    {
        QFETCH(QString, name);
        QFETCH(int, status);
        QFETCH(QString, terms);
        QFETCH(QString, days);
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, name);
        w->cmbStatus->setCurrentIndex(status);
        drive::type(w->txtDays, days);
        drive::type(w->txtTerms, terms); // leaving empty days says so first
        MessageBox::clearShown();
        drive::click(w->btnSave); // with empty days, leaving it says so before the save runs
        QVERIFY(!MessageBox::shown().isEmpty());
        QCOMPARE(MessageBox::shown().last().text,
                 QStringLiteral("Customer Name, Status, Terms, and Days are required."));
        QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Required Fields"));
        QVERIFY(s.windowOpen());
        QCOMPARE(s.count(), 3);
    }

    // Save refuses days that are not a number even when the field was never left.
    void saveRefusesNonNumericDays()
    {
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, QStringLiteral("Cove"));
        drive::type(w->txtTerms, QStringLiteral("Net 10"));
        drive::type(w->txtDays, QStringLiteral("ten"));
        w->btnSave->click();
        QCOMPARE(drive::shownTexts(),
                 QStringList{"You must enter a number in days for this field. Please re-enter."});
        QVERIFY(s.windowOpen());
        QCOMPARE(s.rows(QStringLiteral("Cove")).size(), 0);
    }

    void nameWithQuote()
    {
        CustomerEntry *w = s.open();
        drive::type(w->cmbCustomer, QStringLiteral("O'Hara Trim"));
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active"));
        drive::type(w->txtCity, QStringLiteral("Akron"));
        fillRequired(w);
        drive::click(w->btnSave);
        QCOMPARE(s.rows(QStringLiteral("O'Hara Trim")).size(), 1);

        w = s.open();
        drive::type(w->cmbCustomer, QStringLiteral("O'Hara Trim"));
        QCOMPARE(w->txtCity->text(), QStringLiteral("Akron"));
        QVERIFY(w->cmbCustomer->findText(QStringLiteral("O'Hara Trim")) >= 0);
    }
};

QTEST_MAIN(TestCustomerEntry)
#include "tst_customerentry.moc"
