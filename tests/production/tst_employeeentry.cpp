#include "production/EmployeeEntry.h"
#include "WindowDriver.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

class TestEmployeeEntry : public QObject
{
    Q_OBJECT

private:
    drive::Session<EmployeeEntry> s{QStringLiteral("EmployeeEntry"), QStringLiteral("Employee"), QStringLiteral("SSN")};
    void loadSsn(EmployeeEntry *w, const QString &ssn)
    {
        drive::type(w->txtSSN, ssn);
        drive::focus(w->txtFName);
    }

private Q_SLOTS:
    void init()
    {
        s.start();
        s.fixture().addEmployee(QStringLiteral("111-22-3333"), QStringLiteral("Ada"), QStringLiteral("Stone"));
        s.db().exec(QStringLiteral("UPDATE Employee SET Address = '4 Elm St', City = 'Canton', Zip = '44702'"));
    }
    void cleanup()
    {
        s.finish();
    }

    void opensEmptyWithTodaysHireDate()
    {
        EmployeeEntry *w = s.open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Employee Entry/Edit"));
        QCOMPARE(w->dtHireDate->date(), QDate(2010, 5, 14));
        QCOMPARE(w->cmbStatus->currentIndex(), -1);
        QCOMPARE(w->cmbStatus->itemText(1), QStringLiteral("InActive"));
        const QList<QWidget *> tabs = {w->txtSSN,  w->txtFName, w->txtLName,     w->txtAddress,
                                       w->txtCity, w->txtState, w->txtZip,       w->txtPhone,
                                       w->dtHireDate, w->cmbStatus, w->btnSave,  w->btnExit};
        QCOMPARE(drive::tabStops(w), tabs);
    }

    void storedEmployeeIsLoaded()
    {
        s.db().exec(QStringLiteral("UPDATE Employee SET Status = 'InActive'"));
        EmployeeEntry *w = s.open();
        loadSsn(w, QStringLiteral("111-22-3333"));
        QCOMPARE(w->txtFName->text(), QStringLiteral("Ada"));
        QCOMPARE(w->txtLName->text(), QStringLiteral("Stone"));
        QCOMPARE(w->txtAddress->text(), QStringLiteral("4 Elm St"));
        QCOMPARE(w->txtState->text(), QString());
        QCOMPARE(w->dtHireDate->date(), QDate(2005, 3, 1));
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("InActive"));
    }

    void unknownSsnEmptiesFieldsButKeepsHireDate()
    {
        EmployeeEntry *w = s.open();
        loadSsn(w, QStringLiteral("111-22-3333"));
        loadSsn(w, QStringLiteral("999-00-1111"));
        QCOMPARE(w->txtFName->text(), QString());
        QCOMPARE(w->txtAddress->text(), QString());
        QCOMPARE(w->txtZip->text(), QString());
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active"));
        QCOMPARE(w->dtHireDate->date(), QDate(2005, 3, 1));
    }

    void newEmployeeIsAddedWithDateAndTime()
    {
        EmployeeEntry *w = s.open();
        loadSsn(w, QStringLiteral("222-33-4444"));
        drive::type(w->txtFName, QStringLiteral("Ben"));
        drive::type(w->txtLName, QStringLiteral("Cole"));
        drive::type(w->dtHireDate, QStringLiteral("11/2/2009"));
        drive::click(w->btnSave);
        QVERIFY(!s.windowOpen());
        const RowSet rows = s.rows(QStringLiteral("222-33-4444"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].text("FirstName"), QStringLiteral("Ben"));
        QCOMPARE(rows[0].text("HireDate"), QStringLiteral("2009-11-02"));
        QCOMPARE(rows[0].text("Status"), QStringLiteral("Active"));
        QCOMPARE(rows[0].text("DateAdded"), QStringLiteral("2010-05-14 10:30:00"));
        QVERIFY(!rows[0].isNull("Phone"));
    }

    void storedEmployeeIsEditedInPlace()
    {
        EmployeeEntry *w = s.open();
        loadSsn(w, QStringLiteral("111-22-3333"));
        drive::type(w->txtAddress, QString());
        drive::type(w->txtPhone, QStringLiteral("555-0101"));
        drive::click(w->btnSave);
        QVERIFY(!s.windowOpen());
        const RowSet rows = s.rows(QStringLiteral("111-22-3333"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].text("Address"), QString());
        QVERIFY(!rows[0].isNull("Address"));
        QCOMPARE(rows[0].text("Phone"), QStringLiteral("555-0101"));
        QCOMPARE(rows[0].text("City"), QStringLiteral("Canton"));
        QCOMPARE(rows[0].text("DateAdded"), QStringLiteral("2010-01-02 09:00:00"));
    }

    void changedSsnMakesANewEmployee()
    {
        EmployeeEntry *w = s.open();
        loadSsn(w, QStringLiteral("111-22-3333"));
        drive::type(w->txtLName, QStringLiteral("Stone-Ray"));
        // Leaving the changed SSN empties the fields (a new employee): the names are typed again.
        drive::type(w->txtSSN, QStringLiteral("111-22-4444"));
        drive::type(w->txtFName, QStringLiteral("Ada"));
        drive::type(w->txtLName, QStringLiteral("Stone-Ray"));
        drive::click(w->btnSave);
        QCOMPARE(s.rows(QStringLiteral("111-22-4444")).size(), 1);
        const RowSet old = s.rows(QStringLiteral("111-22-3333"));
        QCOMPARE(old.size(), 1);
        QCOMPARE(old[0].text("LastName"), QStringLiteral("Stone"));
    }

    void requiredFields_data()
    {
        QTest::addColumn<QString>("ssn");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("status");
        QTest::newRow("ssn") << "" << "Ben" << "Cole" << 0;
        QTest::newRow("first") << "222" << "" << "Cole" << 0;
        QTest::newRow("last") << "222" << "Ben" << " " << 0;
        QTest::newRow("status") << "222" << "Ben" << "Cole" << -1;
    }
    void requiredFields()
    {
        QFETCH(QString, ssn);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(int, status);
        EmployeeEntry *w = s.open();
        loadSsn(w, ssn);
        drive::type(w->txtFName, first);
        drive::type(w->txtLName, last);
        drive::focus(w->cmbStatus);
        w->cmbStatus->setCurrentIndex(status);
        drive::click(w->btnSave);
        QCOMPARE(drive::shownTexts(), QStringList{"Employee SSN, First Name, Last Name, and Status are required."});
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Required Fields"));
        QVERIFY(s.windowOpen());
        QCOMPARE(s.count(), 1);
    }

    void ssnWithQuote()
    {
        EmployeeEntry *w = s.open();
        loadSsn(w, QStringLiteral("12'34"));
        drive::type(w->txtFName, QStringLiteral("Cy"));
        drive::type(w->txtLName, QStringLiteral("Dunn"));
        drive::click(w->btnSave);
        QCOMPARE(s.rows(QStringLiteral("12'34")).size(), 1);
        w = s.open();
        loadSsn(w, QStringLiteral("12'34"));
        QCOMPARE(w->txtLName->text(), QStringLiteral("Dunn"));
    }
};

QTEST_MAIN(TestEmployeeEntry)
#include "tst_employeeentry.moc"
