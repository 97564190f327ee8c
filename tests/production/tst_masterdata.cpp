#include "TestSupport.h"
#include "production/MasterData.h"

#include <QTest>

using namespace MasterData;

// The master-data rules without a window: what each save requires, and add-or-edit by key.
class TestMasterData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusals_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("text"); // empty: accepted
        QTest::addColumn<QString>("field");
        const QString customer = QStringLiteral("Customer Name, Status, Terms, and Days are required.");
        const QString days =
            QStringLiteral("You must enter a number in days for this field. Please re-enter.");
        const QString employee =
            QStringLiteral("Employee SSN, First Name, Last Name, and Status are required.");
        const QString material = QStringLiteral("ID, Description, Status, and Type are required.");
        const QString set = QStringLiteral("Reference Number, Material, and Status are required.");
        QTest::newRow("customer ok") << "customer" << QStringList{"Cove", "Active", "Net 10", " 10 "} << ""
                                     << "";
        QTest::newRow("customer blank name")
            << "customer" << QStringList{"  ", "Active", "Net 10", "10"} << customer << "cmbCustomer";
        QTest::newRow("customer no terms")
            << "customer" << QStringList{"Cove", "Active", "", "10"} << customer << "txtTerms";
        QTest::newRow("customer fractional days")
            << "customer" << QStringList{"Cove", "Active", "Net", "2.5"} << days << "txtDays";
        QTest::newRow("customer text days")
            << "customer" << QStringList{"Cove", "Active", "Net", "ten"} << days << "txtDays";
        QTest::newRow("employee ok") << "employee" << QStringList{"123", "Ann", "Lee", "Active"} << ""
                                     << "";
        QTest::newRow("employee no last name")
            << "employee" << QStringList{"123", "Ann", " ", "Active"} << employee << "txtLName";
        QTest::newRow("material ok") << "material" << QStringList{"BLK", "Black", "Active", "Leather"} << ""
                                     << "";
        QTest::newRow("material no type")
            << "material" << QStringList{"BLK", "Black", "Active", ""} << material << "cmbType";
        QTest::newRow("set ok") << "set" << QStringList{"R1", "Active", "Set", "BLK"} << ""
                                << "";
        QTest::newRow("set no material") << "set" << QStringList{"R1", "Active", "Set", ""} << set << "txtMaterial";
        QTest::newRow("set, several empty: the first") << "set" << QStringList{"", "Active", "", ""} << set
                                                         << "txtRefNo";
        QTest::newRow("set no type") << "set" << QStringList{"R1", "Active", "", "BLK"} << set << "cmbType";
    }
    void refusals()
    {
        QFETCH(QString, record);
        QFETCH(QStringList, values);
        QFETCH(QString, text);
        QFETCH(QString, field);
        const auto &v = values;
        std::optional<Refusal> r;
        if (record == QLatin1String("customer"))
            r = refuseCustomer(v[0], v[1], v[2], v[3]);
        else if (record == QLatin1String("employee"))
            r = refuseEmployee(v[0], v[1], v[2], v[3]);
        else if (record == QLatin1String("material"))
            r = refuseMaterial(v[0], v[1], v[2], v[3]);
        else
            r = refuseSet(v[0], v[1], v[2], v[3]);
        QCOMPARE(r.has_value(), !text.isEmpty());
        if (!r)
            return;
        QCOMPARE(r->text, text);
        QCOMPARE(r->field, field);
        QVERIFY(!r->title.isEmpty());
    }

    // The set window's number fields: standards take a plain number, prices what a price takes.
    void setNumbers_data()
    {
        QTest::addColumn<QString>("feet");
        QTest::addColumn<QString>("cut");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("text"); // empty: accepted
        QTest::addColumn<QString>("field");
        QTest::newRow("all empty") << "" << "" << "" << "" << "";
        QTest::newRow("blanks are empty") << "  " << " " << "" << "" << "";
        QTest::newRow("numbers") << "-2.5" << "$1,095.50" << "($12.00)" << "" << "";
        QTest::newRow("dollar in a standard") << "$12" << "" << "" << "Cost Standard must be a number. Please re-enter."
                                              << "txtFeetReq";
        QTest::newRow("letters in a price") << "12" << "abc" << "" << "Cutting Price must be a number. Please re-enter."
                                            << "txtCut";
        QTest::newRow("trailing letters") << "" << "" << "12abc" << "Total Price must be a number. Please re-enter."
                                          << "txtTotal";
        QTest::newRow("first bad field wins") << "x" << "y" << "z" << "Cost Standard must be a number. Please re-enter."
                                              << "txtFeetReq";
    }
    void setNumbers()
    {
        QFETCH(QString, feet);
        QFETCH(QString, cut);
        QFETCH(QString, total);
        QFETCH(QString, text);
        QFETCH(QString, field);
        const std::optional<Refusal> r =
            refuseNonNumeric({{QStringLiteral("Cost Standard"), QStringLiteral("txtFeetReq"), feet},
                              {QStringLiteral("Cutting Price"), QStringLiteral("txtCut"), cut, true},
                              {QStringLiteral("Total Price"), QStringLiteral("txtTotal"), total, true}});
        QCOMPARE(r.has_value(), !text.isEmpty());
        if (!r)
            return;
        QCOMPARE(r->text, text);
        QCOMPARE(r->title, QStringLiteral("Invalid Number"));
        QCOMPARE(r->field, field);
    }

    void setMaterial_data()
    {
        QTest::addColumn<QString>("material");
        QTest::addColumn<bool>("refused");
        QTest::newRow("known") << "BLK" << false;
        QTest::newRow("empty is not looked up") << "" << false;
        QTest::newRow("unknown") << "RED" << true;
        QTest::newRow("a prefix of a known one") << "BL" << true;
    }
    void setMaterial()
    {
        QFETCH(QString, material);
        QFETCH(bool, refused);
        TestDatabase t;
        t.addMaterial(QStringLiteral("BLK"));
        const std::optional<Refusal> r = refuseSetMaterial(material);
        QCOMPARE(r.has_value(), refused);
        if (!r)
            return;
        QCOMPARE(r->text, QStringLiteral("Invalid Materail Type. Please Re-enter."));
        QCOMPARE(r->title, QStringLiteral("Invalid Material"));
        QCOMPARE(r->field, QStringLiteral("txtMaterial"));
    }

    // A second save of the same key edits the first row and keeps what only a new row gets.
    void saveByKeyAddsOnceThenEdits()
    {
        TestDatabase t;
        SetValues v;
        v.customer = QStringLiteral("Cove");
        v.refNo = QStringLiteral("R1");
        v.material = QStringLiteral("BLK");
        v.totalPrice = Money::parse(QStringLiteral("10.10"));
        v.type = QStringLiteral("Set");
        v.status = QStringLiteral("Active");
        QVERIFY(SaveSet(v));
        v.customer = QStringLiteral("Other");
        v.totalPrice = Money::parse(QStringLiteral("12.30"));
        v.reqFeet.reset();
        QVERIFY(!SaveSet(v));
        const RowSet rows =
            t.db().query(QStringLiteral("SELECT Customer, TotalPrice FROM Sets WHERE CustomerRefNo = ?"),
                         {QStringLiteral("R1")});
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].text("Customer"), QStringLiteral("Cove"));
        QCOMPARE(rows[0].money("TotalPrice"), *Money::parse(QStringLiteral("12.30")));
        QVERIFY(FindSet(QStringLiteral("R1")).has_value());
        QVERIFY(!FindSet(QStringLiteral("r2")).has_value());
    }
};

QTEST_GUILESS_MAIN(TestMasterData)
#include "tst_masterdata.moc"
