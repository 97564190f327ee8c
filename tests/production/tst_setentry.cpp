#include "WindowDriver.h"
#include "ui/MoneyField.h"
#include "production/SetEntry.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

class TestSetEntry : public QObject
{
    Q_OBJECT

private:
    drive::Session<SetEntry> s{QStringLiteral("SetEntry"), QStringLiteral("Sets"), QStringLiteral("CustomerRefNo")};
    // Types the reference number and leaves the field, as a user tabbing on.
    void loadRef(SetEntry *w, const QString &ref)
    {
        drive::type(w->txtRefNo, ref);
        drive::focus(w->txtStyle);
    }
    Row stored(const QString &ref)
    {
        const RowSet rows = s.rows(ref);
        if (rows.size() != 1)
            qFatal("expected one set %s, found %d", qPrintable(ref), rows.size());
        return rows.first();
    }

private Q_SLOTS:
    void init()
    {
        s.start();
        s.fixture().addCustomer(QStringLiteral("Bolt Marine"));
        s.fixture().addCustomer(QStringLiteral("Acme Seating"));
        s.db().insert(QStringLiteral("Customer"), {{"Name", QStringLiteral("Old Co")}, {"Status", QStringLiteral("InActive")}});
        s.fixture().addMaterial(QStringLiteral("BLK-01"));
        s.fixture().addMaterial(QStringLiteral("TAN-02"));
        s.fixture().addSet(QStringLiteral("R100"), QStringLiteral("Acme Seating"), 100.0);
    }
    void cleanup()
    {
        s.finish();
    }

    void opensWithActiveCustomersAndFixedLists()
    {
        SetEntry *w = s.open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Set Entry/Edit"));
        QStringList customers, types, statuses;
        for (int i = 0; i < w->cmbCustomer->count(); ++i)
            customers << w->cmbCustomer->itemText(i);
        for (int i = 0; i < w->cmbType->count(); ++i)
            types << w->cmbType->itemText(i);
        for (int i = 0; i < w->cmbStatus->count(); ++i)
            statuses << w->cmbStatus->itemText(i);
        QCOMPARE(customers, QStringList({"Acme Seating", "Bolt Marine"}));
        QCOMPARE(types, QStringList({"Set", "Hide", "Vinyl", "Kit"}));
        QCOMPARE(statuses, QStringList({"Active", "InActive"}));
        QCOMPARE(w->cmbCustomer->currentIndex(), -1);
        QCOMPARE(w->cmbType->currentIndex(), -1);
        QCOMPARE(w->cmbStatus->currentIndex(), -1);
    }

    // The material is picked from the active materials; a typed beginning completes to the first
    // material it begins, with the list closed or open, and Tab takes it.
    void materialListCompletesTheFirstActiveMaterial_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("list closed") << false;
        QTest::newRow("list open") << true;
    }
    void materialListCompletesTheFirstActiveMaterial()
    {
        QFETCH(bool, open);
        s.fixture().addMaterial(QStringLiteral("TAN-01"));
        s.db().insert(QStringLiteral("Material"),
                      {{"ID", QStringLiteral("TAN-00")}, {"Status", QStringLiteral("InActive")}});
        SetEntry *w = s.open();
        QStringList materials;
        for (int i = 0; i < w->txtMaterial->count(); ++i)
            materials << w->txtMaterial->itemText(i);
        QCOMPARE(materials, QStringList({"BLK-01", "TAN-01", "TAN-02"}));
        drive::focus(w->txtMaterial);
        if (open) {
            w->txtMaterial->showPopup();
            QTRY_VERIFY(w->txtMaterial->view()->isVisible());
            QTest::keyClicks(w->txtMaterial->view(), QStringLiteral("ta"));
            QCOMPARE(w->txtMaterial->view()->currentIndex().row(), 1);
            QCOMPARE(w->txtMaterial->lineEdit()->text(), QStringLiteral("TAN-01")); // completed
            QTest::keyClick(w->txtMaterial->view(), Qt::Key_Return);
            QTRY_VERIFY(!w->txtMaterial->view()->isVisible());
        } else {
            QTest::keyClicks(w->txtMaterial, QStringLiteral("ta"));
        }
        QCOMPARE(w->txtMaterial->currentText(), QStringLiteral("TAN-01"));
        QTest::keyClick(w->txtMaterial, Qt::Key_Tab);
        QCOMPARE(w->txtMaterial->currentText(), QStringLiteral("TAN-01"));
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    // A stored set whose material is no longer active still shows it.
    void inactiveMaterialOfAStoredSetIsShown()
    {
        s.db().exec(QStringLiteral("UPDATE Material SET Status = 'InActive' WHERE ID = 'BLK-01'"));
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("R100"));
        QCOMPARE(w->txtMaterial->currentText(), QStringLiteral("BLK-01"));
        QCOMPARE(w->txtMaterial->findText(QStringLiteral("BLK-01")), -1);
    }

    void tabOrderFollowsTheForm()
    {
        SetEntry *w = s.open();
        const QList<QWidget *> expected = {w->cmbCustomer, w->txtRefNo,     w->txtStyle,     w->txtMaterial,
                                           w->txtFeetReq,  w->txtProdStandard, w->cmbType,   w->cmbStatus,
                                           w->txtEmployeeRate, w->txtCut,   w->txtSew,       w->txtVinyl,
                                           w->txtLeather,  w->txtKit,       w->txtTotal,     w->btnSave,
                                           w->btnExit};
        QCOMPARE(drive::tabStops(w), expected);
    }

    void newSetIsCreatedWithDateAdded()
    {
        SetEntry *w = s.open();
        w->cmbCustomer->setCurrentIndex(1);
        loadRef(w, QStringLiteral("R200"));
        QCOMPARE(w->txtStyle->text(), QString());
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active"));
        drive::type(w->txtStyle, QStringLiteral("Bench"));
        drive::type(w->txtMaterial, QStringLiteral("TAN-02"));
        drive::type(w->txtFeetReq, QStringLiteral("8.25"));
        drive::focus(w->cmbType);
        w->cmbType->setCurrentIndex(3);
        drive::type(w->txtEmployeeRate, QStringLiteral("2.75"));
        drive::type(w->txtCut, QStringLiteral("12"));
        drive::type(w->txtSew, QStringLiteral("8"));
        drive::focus(w->txtVinyl);
        QCOMPARE(w->txtTotal->rawText(), QStringLiteral("20"));
        drive::click(w->btnSave);

        QVERIFY(!s.windowOpen());
        const Row r = stored(QStringLiteral("R200"));
        QCOMPARE(r.text("Customer"), QStringLiteral("Bolt Marine"));
        QCOMPARE(r.text("Style"), QStringLiteral("Bench"));
        QCOMPARE(r.text("Material"), QStringLiteral("TAN-02"));
        QCOMPARE(r.number("ReqFeet"), 8.25);
        QVERIFY(r.isNull("ProductionStandard"));
        QCOMPARE(r.money("EmployeeRate"), Money::fromUnits(27500));
        QCOMPARE(r.money("TotalPrice"), Money::fromUnits(200000));
        QVERIFY(r.isNull("KitPrice"));
        QCOMPARE(r.text("Type"), QStringLiteral("Kit"));
        QCOMPARE(r.text("Status"), QStringLiteral("Active"));
        QCOMPARE(r.text("DateAdded"), QStringLiteral("2010-05-14 10:30:00"));
    }

    void storedSetIsLoaded()
    {
        s.db().exec(QStringLiteral("UPDATE Sets SET Status = 'InActive', Type = 'Hide'"));
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("r100")); // the catalogue ignores case
        QCOMPARE(w->txtStyle->text(), QStringLiteral("ST-R100"));
        QCOMPARE(w->txtMaterial->currentText(), QStringLiteral("BLK-01"));
        QCOMPARE(w->txtFeetReq->text(), QStringLiteral("12.5"));
        QCOMPARE(w->txtProdStandard->text(), QStringLiteral("12"));
        QCOMPARE(w->txtEmployeeRate->text(), QStringLiteral("$3.50"));
        QCOMPARE(w->txtLeather->rawText(), QStringLiteral("70"));
        QCOMPARE(w->txtTotal->text(), QStringLiteral("$100.00"));
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("InActive"));
        QCOMPARE(w->cmbType->currentText(), QStringLiteral("Hide"));
        QCOMPARE(w->cmbCustomer->currentIndex(), -1); // the stored customer is not shown
    }

    void unknownReferenceEmptiesFieldsButKeepsTypeAndCustomer()
    {
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("R100"));
        w->cmbCustomer->setCurrentIndex(0);
        w->cmbType->setCurrentIndex(2);
        loadRef(w, QStringLiteral("R999"));
        QCOMPARE(w->txtStyle->text(), QString());
        QCOMPARE(w->txtFeetReq->text(), QString());
        QCOMPARE(w->txtTotal->rawText(), QString());
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active"));
        QCOMPARE(w->cmbType->currentText(), QStringLiteral("Vinyl"));
        QCOMPARE(w->cmbCustomer->currentText(), QStringLiteral("Acme Seating"));
    }

    void saveNeverChangesTheKeyFieldsOfAStoredSet()
    {
        SetEntry *w = s.open();
        w->cmbCustomer->setCurrentIndex(1);
        loadRef(w, QStringLiteral("R100"));
        drive::type(w->txtStyle, QStringLiteral("Other"));
        drive::type(w->txtMaterial, QStringLiteral("TAN-02"));
        drive::type(w->txtFeetReq, QStringLiteral("13"));
        drive::type(w->txtCut, QStringLiteral("11"));
        drive::focus(w->txtSew);
        drive::click(w->btnSave);

        QVERIFY(!s.windowOpen());
        const Row r = stored(QStringLiteral("R100"));
        QCOMPARE(r.text("Customer"), QStringLiteral("Acme Seating"));
        QCOMPARE(r.text("Style"), QStringLiteral("ST-R100"));
        QCOMPARE(r.text("Material"), QStringLiteral("BLK-01"));
        QCOMPARE(r.text("DateAdded"), QStringLiteral("2010-01-02 09:00:00"));
        QCOMPARE(r.number("ReqFeet"), 13.0);
        QCOMPARE(r.money("CuttingPrice"), Money::fromUnits(110000));
        QCOMPARE(r.money("TotalPrice"), Money::fromUnits(1010000));
    }

    void emptiedFieldsKeepStoredValues()
    {
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("R100"));
        drive::type(w->txtFeetReq, QString());
        drive::type(w->txtEmployeeRate, QString());
        drive::type(w->txtTotal, QString());
        drive::type(w->txtSew, QString()); // saved before a component is left again
        drive::click(w->btnSave);

        QVERIFY(!s.windowOpen());
        const Row r = stored(QStringLiteral("R100"));
        QCOMPARE(r.number("ReqFeet"), 12.5);
        QCOMPARE(r.money("EmployeeRate"), Money::fromUnits(35000));
        QCOMPARE(r.money("SewingPrice"), Money::fromUnits(200000));
        // Leaving the emptied sewing price made the total 80.
        QCOMPARE(r.money("TotalPrice"), Money::fromUnits(800000));
    }

    void totalOfComponents_data()
    {
        QTest::addColumn<QStringList>("components");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("shown");
        QTest::newRow("with zero and empty") << QStringList{"10", "5", "0", "2.5", ""} << "17.5" << "$17.50";
        QTest::newRow("exact decimals") << QStringList{"0.1", "0.2", "", "", ""} << "0.3" << "$0.30";
        QTest::newRow("negative") << QStringList{"-12.5", "2", "", "", ""} << "-10.5" << "($10.50)";
        QTest::newRow("thousands") << QStringList{"1000", "250.135", "", "", ""} << "1250.135" << "$1,250.14";
        QTest::newRow("not a number counts 0") << QStringList{"abc", "4", "", "", ""} << "4" << "$4.00";
        QTest::newRow("all empty") << QStringList{"", "", "", "", ""} << "0" << "$0.00";
    }
    void totalOfComponents()
    {
        QFETCH(QStringList, components);
        QFETCH(QString, raw);
        QFETCH(QString, shown);
        SetEntry *w = s.open();
        const QList<MoneyField *> fields = {w->txtCut, w->txtSew, w->txtVinyl, w->txtLeather, w->txtKit};
        for (int i = 0; i < fields.size(); ++i)
            drive::type(fields[i], components[i]);
        drive::focus(w->txtTotal);
        drive::focus(w->txtEmployeeRate);
        QCOMPARE(w->txtTotal->rawText(), raw);
        QCOMPARE(w->txtTotal->text(), shown);
    }

    void typedTotalStaysUntilAComponentIsLeft()
    {
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("R100"));
        drive::type(w->txtTotal, QStringLiteral("55"));
        drive::focus(w->txtEmployeeRate); // neither total nor rate recomputes
        drive::focus(w->txtTotal);
        drive::focus(w->txtEmployeeRate);
        QCOMPARE(w->txtTotal->rawText(), QStringLiteral("55"));
        drive::focus(w->txtVinyl);
        drive::focus(w->txtLeather);
        QCOMPARE(w->txtTotal->rawText(), QStringLiteral("100"));
    }

    void leavingCustomerListReloadsStoredSet()
    {
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("R100"));
        drive::type(w->txtStyle, QStringLiteral("Changed"));
        drive::type(w->txtCut, QStringLiteral("99"));
        drive::focus(w->txtSew);
        QCOMPARE(w->txtTotal->rawText(), QStringLiteral("189"));
        drive::focus(w->cmbCustomer);
        QTest::keyClick(w->cmbCustomer, Qt::Key_B); // type-ahead picks "Bolt Marine"
        QCOMPARE(w->cmbCustomer->currentText(), QStringLiteral("Bolt Marine"));
        drive::focus(w->txtRefNo);
        QCOMPARE(w->txtStyle->text(), QStringLiteral("ST-R100"));
        QCOMPARE(w->txtCut->rawText(), QStringLiteral("10"));
        QCOMPARE(w->txtTotal->rawText(), QStringLiteral("100"));
    }

    void unknownMaterialIsRefusedOnLeaving()
    {
        SetEntry *w = s.open();
        drive::type(w->txtMaterial, QStringLiteral("TAN-02"));
        drive::focus(w->txtFeetReq);
        QCOMPARE(MessageBox::shown().size(), 0);
        drive::type(w->txtMaterial, QStringLiteral("NOPE"));
        drive::focus(w->txtFeetReq);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].text, QStringLiteral("Invalid Materail Type. Please Re-enter."));
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Invalid Material"));
        QVERIFY(w->txtMaterial->hasFocus());
    }

    // With a real message box the refused field gets the focus back and keeps what was typed.
    void realMessageBoxPutsFocusBack()
    {
        SetEntry *w = s.open();
        MessageBox::stopScripting();
        QString boxText;
        // Answers the box whenever it opens, however long the machine takes to show it.
        QTimer answer;
        answer.setInterval(10);
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxText = box->text();
                box->accept();
                answer.stop();
            }
        });
        answer.start();
        drive::type(w->txtMaterial, QStringLiteral("NOPE"));
        drive::focus(w->txtFeetReq);
        QTRY_VERIFY(!boxText.isEmpty());
        // The window manager gives the window back its focus, which is the refused field.
        QCOMPARE(w->focusWidget(), w->txtMaterial);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QVERIFY(w->txtMaterial->hasFocus());
        QCOMPARE(boxText, QStringLiteral("Invalid Materail Type. Please Re-enter."));
        QCOMPARE(w->txtMaterial->currentText(), QStringLiteral("NOPE"));
        QTest::keyClicks(w->txtMaterial, QStringLiteral("X")); // still an edit field that takes keys
        QVERIFY(w->txtMaterial->currentText().endsWith(u'X'));
        MessageBox::script();
    }

    // Save only asks for a material; it does not check it again.
    void saveAcceptsAnyMaterialTyped()
    {
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("R300"));
        drive::focus(w->cmbType);
        w->cmbType->setCurrentIndex(0);
        drive::type(w->txtMaterial, QStringLiteral("NOPE"));
        drive::click(w->btnSave); // leaving the field still says so
        QCOMPARE(drive::shownTexts(), QStringList{"Invalid Materail Type. Please Re-enter."});
        QVERIFY(!s.windowOpen());
        QCOMPARE(stored(QStringLiteral("R300")).text("Material"), QStringLiteral("NOPE"));
    }

    void requiredFields_data()
    {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<QString>("material");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("status");
        QTest::newRow("reference") << "" << "BLK-01" << 0 << 0;
        QTest::newRow("blank reference") << "  " << "BLK-01" << 0 << 0;
        QTest::newRow("material") << "R400" << "" << 0 << 0;
        QTest::newRow("type") << "R400" << "BLK-01" << -1 << 0;
        QTest::newRow("status") << "R400" << "BLK-01" << 0 << -1;
    }
    void requiredFields()
    {
        QFETCH(QString, ref);
        QFETCH(QString, material);
        QFETCH(int, type);
        QFETCH(int, status);
        SetEntry *w = s.open();
        drive::type(w->txtRefNo, ref);
        drive::type(w->txtMaterial, material);
        drive::focus(w->cmbType);
        w->cmbType->setCurrentIndex(type);
        w->cmbStatus->setCurrentIndex(status);
        drive::click(w->btnSave);
        QCOMPARE(drive::shownTexts(), QStringList{"Reference Number, Material, and Status are required."});
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Required Fields"));
        QVERIFY(s.windowOpen());
        QCOMPARE(s.count(), 1);
    }

    void nonNumericValuesAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("cost standard") << "txtFeetReq" << "Cost Standard must be a number. Please re-enter.";
        QTest::newRow("prod standard") << "txtProdStandard" << "Prod. Standard must be a number. Please re-enter.";
        QTest::newRow("rate") << "txtEmployeeRate" << "Employee Rate must be a number. Please re-enter.";
        QTest::newRow("kit") << "txtKit" << "Kit Price must be a number. Please re-enter.";
        QTest::newRow("total") << "txtTotal" << "Total Price must be a number. Please re-enter.";
    }
    void nonNumericValuesAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, message);
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("R100"));
        auto *target = w->findChild<QLineEdit *>(field);
        QVERIFY(target);
        drive::type(w->txtSew, QStringLiteral("21"));
        drive::focus(w->txtVinyl);
        drive::type(target, QStringLiteral("12x"));
        drive::click(w->btnSave);
        QCOMPARE(drive::shownTexts(), QStringList{message});
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Invalid Number"));
        QVERIFY(s.windowOpen());
        QVERIFY(target->hasFocus());
        // Nothing was written, not even the valid fields.
        QCOMPARE(stored(QStringLiteral("R100")).money("SewingPrice"), Money::fromUnits(200000));
    }

    void quotesInKeys()
    {
        s.fixture().addMaterial(QStringLiteral("D'ARCY"));
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("O'Brien 7"));
        drive::type(w->txtMaterial, QStringLiteral("D'ARCY"));
        drive::type(w->txtTotal, QStringLiteral("45"));
        drive::focus(w->cmbType);
        QCOMPARE(MessageBox::shown().size(), 0);
        w->cmbType->setCurrentIndex(0);
        drive::click(w->btnSave);
        QVERIFY(!s.windowOpen());
        QCOMPARE(stored(QStringLiteral("O'Brien 7")).text("Material"), QStringLiteral("D'ARCY"));

        w = s.open();
        loadRef(w, QStringLiteral("O'Brien 7"));
        QCOMPARE(w->txtTotal->rawText(), QStringLiteral("45"));
    }

    void storedSetWithoutTypeShowsNoType()
    {
        s.db().exec(QStringLiteral("UPDATE Sets SET Type = NULL"));
        SetEntry *w = s.open();
        w->cmbType->setCurrentIndex(1);
        loadRef(w, QStringLiteral("R100"));
        QCOMPARE(w->cmbType->currentIndex(), -1);
    }

    void exitSavesNothing()
    {
        SetEntry *w = s.open();
        loadRef(w, QStringLiteral("R100"));
        drive::type(w->txtTotal, QStringLiteral("1"));
        drive::click(w->btnExit);
        QVERIFY(!s.windowOpen());
        QCOMPARE(stored(QStringLiteral("R100")).money("TotalPrice"), Money::fromUnits(1000000));
    }
};

QTEST_MAIN(TestSetEntry)
#include "tst_setentry.moc"
