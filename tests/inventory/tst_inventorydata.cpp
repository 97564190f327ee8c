#include "InventoryFixture.h"
#include "inventory/InventoryData.h"

#include <QTest>

#include <memory>

using namespace inventory;

// Stock on hand, the adjustment save with its running unit value, and the item value rules.
class TestInventoryData : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;
    qint64 order = 0;

    const StockLine *find(const std::vector<StockLine> &lines, const QString &material)
    {
        for (const StockLine &l : lines) {
            if (l.material == material)
                return &l;
        }
        return nullptr;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        for (const char *m : {"BOTH", "INONLY", "CUTONLY", "NONE"})
            t->addMaterial(QString::fromLatin1(m));
        t->addMaterial(QStringLiteral("VIN'YL"), QStringLiteral("Vinyl"));
        t->addMaterial(QStringLiteral("OLD"));
        t->db().exec(QStringLiteral("UPDATE Material SET Status = 'InActive' WHERE ID = 'OLD'"));
        t->addCustomer(QStringLiteral("Cove"));
        order = t->addOrder(QStringLiteral("Cove"), QStringLiteral("PO-1"));
        fixture::line(order, 1, 9, QStringLiteral("R1"), QStringLiteral("BOTH"));
        fixture::line(order, 2, 9, QStringLiteral("R2"), QStringLiteral("CUTONLY"));
        fixture::adjust(QDate(2010, 3, 1), {{"BOTH", 10, 4}, {"INONLY", 5, 2}});
        fixture::adjust(QDate(2010, 4, 1), {{"BOTH", 2, 6}});
        fixture::cut(order, 1, 1, 3, QDate(2010, 3, 2));
        fixture::cut(order, 2, 1, 4.25, QDate(2010, 3, 2));
        // After the day asked for in most rows below: they do not count then.
        fixture::adjust(QDate(2010, 6, 1), {{"BOTH", 100, 50}});
        fixture::cut(order, 1, 1, 20, QDate(2010, 6, 1));
    }
    void cleanup() { t.reset(); }

    void stockOnHand_data()
    {
        QTest::addColumn<QDate>("asOf");
        QTest::addColumn<QString>("material");
        QTest::addColumn<double>("onHand");
        QTest::addColumn<double>("average");
        const QDate day(2010, 5, 14);
        QTest::newRow("adjusted and cut") << day << "BOTH" << 9.0 << 5.0;
        QTest::newRow("adjusted only") << day << "INONLY" << 5.0 << 2.0;
        QTest::newRow("cut only: negative") << day << "CUTONLY" << -4.25 << 0.0;
        QTest::newRow("neither") << day << "NONE" << 0.0 << 0.0;
        QTest::newRow("the day itself counts") << QDate(2010, 4, 1) << "BOTH" << 9.0 << 5.0;
        QTest::newRow("the day before does not") << QDate(2010, 3, 31) << "BOTH" << 7.0 << 4.0;
        QTest::newRow("later movements once dated") << QDate(2010, 6, 1) << "BOTH" << 89.0 << 20.0;
        QTest::newRow("before everything") << QDate(2010, 1, 1) << "CUTONLY" << 0.0 << 0.0;
    }
    void stockOnHand()
    {
        QFETCH(QDate, asOf);
        QFETCH(QString, material);
        QFETCH(double, onHand);
        QFETCH(double, average);
        const std::vector<StockLine> lines = inventory::stockOnHand(asOf);
        QCOMPARE(lines.size(), size_t(6)); // every material, whatever its status
        const StockLine *l = find(lines, material);
        QVERIFY(l);
        QCOMPARE(l->onHand, onHand);
        QCOMPARE(l->averagePrice.toDouble(), average);
    }

    void stockOrderAndUnits()
    {
        QStringList order;
        QStringList units;
        for (const StockLine &l : inventory::stockOnHand(QDate(2010, 5, 14))) {
            order << l.material;
            units << unitOfMeasure(l.type);
        }
        QCOMPARE(order, QStringList({"BOTH", "CUTONLY", "INONLY", "NONE", "VIN'YL", "OLD"}));
        QCOMPARE(units, QStringList({"Feet", "Feet", "Feet", "Feet", "Yards", "Feet"}));
        QCOMPARE(unitOfMeasure(QStringLiteral("vinyl")), QStringLiteral("Feet"));
    }

    void runningAverage_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "10"
                               << "11.30"
                               << "10.65";
        QTest::newRow("half to even, down") << "10"
                                            << "11.25"
                                            << "10.62";
        QTest::newRow("4.625 goes down") << "4.62"
                                         << "4.63"
                                         << "4.62";
        QTest::newRow("4.635 goes up") << "4.63"
                                       << "4.64"
                                       << "4.64";
        QTest::newRow("not rounded twice") << "0.0001"
                                           << "0.01"
                                           << "0.01";
        QTest::newRow("negative half") << "-0.01"
                                       << "0"
                                       << "0";
        QTest::newRow("negative") << "-3"
                                  << "1.5"
                                  << "-0.75";
    }
    void runningAverage()
    {
        QFETCH(QString, current);
        QFETCH(QString, unit);
        QFETCH(QString, expected);
        QCOMPARE(inventory::runningAverage(*Money::parse(current), *Money::parse(unit)),
                 *Money::parse(expected));
    }

    void cellNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("blank") << "" << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("plain") << "12.5" << true << 12.5;
        QTest::newRow("negative") << "-3" << true << -3.0;
        QTest::newRow("display form") << "$1,234.50" << true << 1234.5;
    }
    void cellNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        QCOMPARE(isNumeric(text), numeric);
        QCOMPARE(cellNumber(text).toDouble(), value);
        QCOMPARE(plainNumber(0.1 + 0.2), QStringLiteral("0.3"));
    }

    void saveWritesHeaderLinesAndValues()
    {
        fixture::value(QStringLiteral("BOTH"), 10);
        const SavedAdjustment saved = saveAdjustment(
            {QDate(2010, 5, 3),
             QStringLiteral("Year-end count"),
             {{QStringLiteral("BOTH"), QStringLiteral("3"), QStringLiteral("11.30"), QStringLiteral("33.9")},
              {QStringLiteral("NONE"), QStringLiteral("0"), QStringLiteral("4.625"), QStringLiteral("0")}}});
        QVERIFY(!saved.refusal);
        const RowSet header =
            t->db().query(QStringLiteral("SELECT * FROM Adjustment WHERE ID = ?"), {saved.id});
        QCOMPARE(header.size(), 1);
        QCOMPARE(header.first().date(QStringLiteral("Date")), QDate(2010, 5, 3));
        QCOMPARE(header.first().date(QStringLiteral("DateAdded")), QDate(2010, 5, 14));
        QCOMPARE(header.first().text(QStringLiteral("Reason")), QStringLiteral("Year-end count"));
        const RowSet lines =
            t->db().query(QStringLiteral("SELECT * FROM AdjustmentItem WHERE AdjustmentID = ? ORDER BY %1")
                              .arg(t->db().rowKey()),
                          {saved.id});
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].text(QStringLiteral("MaterialID")), QStringLiteral("BOTH"));
        QCOMPARE(lines[0].number(QStringLiteral("Adjustment")), 3.0);
        QCOMPARE(lines[0].money(QStringLiteral("PriceEach")), *Money::parse(QStringLiteral("11.3")));
        QCOMPARE(lines[0].money(QStringLiteral("PriceExt")), *Money::parse(QStringLiteral("33.9")));
        QCOMPARE(lines[1].number(QStringLiteral("Adjustment")), 0.0);
        // Halfway from 10 to 11.30; a first value starts at the unit price, to the cent.
        QCOMPARE(fixture::storedValue(QStringLiteral("BOTH")), 10.65);
        QCOMPARE(fixture::storedValue(QStringLiteral("NONE")), 4.62);
        QCOMPARE(fixture::count(QStringLiteral("ItemValue")), 2);
    }

    void reasonLength_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("refused");
        QTest::newRow("empty") << 0 << false;
        QTest::newRow("255") << 255 << false;
        QTest::newRow("256") << 256 << true;
    }
    void reasonLength()
    {
        QFETCH(int, length);
        QFETCH(bool, refused);
        const int before = fixture::count(QStringLiteral("Adjustment"));
        const SavedAdjustment saved =
            saveAdjustment({QDate(2010, 5, 3),
                            QString(length, u'x'),
                            {{"NONE", QStringLiteral("1"), QStringLiteral("2"), "2"}}});
        QCOMPARE(saved.refusal.has_value(), refused);
        QCOMPARE(fixture::count(QStringLiteral("Adjustment")), before + (refused ? 0 : 1));
        if (refused) {
            QCOMPARE(saved.refusal->text,
                     QStringLiteral("You may only enter up to 255 characters in the Description Field."));
            QCOMPARE(saved.refusal->title, QStringLiteral("Too Many Characters"));
        }
    }

    void failedSaveLeavesNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("material");
        QTest::newRow("second line") << "AdjustmentItem"
                                     << "INSERT"
                                     << "NONE";
        QTest::newRow("value update") << "ItemValue"
                                      << "UPDATE"
                                      << "BOTH";
        QTest::newRow("new value") << "ItemValue"
                                   << "INSERT"
                                   << "NONE";
    }
    void failedSaveLeavesNothing()
    {
        QFETCH(QString, table);
        QFETCH(QString, event);
        QFETCH(QString, material);
        fixture::value(QStringLiteral("BOTH"), 10);
        RefusedWrites refused(t->db(), table, event, QStringLiteral("refused"),
                              QStringLiteral("NEW.MaterialID = '%1'").arg(material));
        const int headers = fixture::count(QStringLiteral("Adjustment"));
        const int lines = fixture::count(QStringLiteral("AdjustmentItem"));
        QVERIFY_THROWS_EXCEPTION(
            DbError,
            saveAdjustment({QDate(2010, 5, 3),
                            QStringLiteral("r"),
                            {{"BOTH", QStringLiteral("1"), QStringLiteral("12"), QStringLiteral("12")},
                             {"NONE", QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("3")}}}));
        QCOMPARE(fixture::count(QStringLiteral("Adjustment")), headers);
        QCOMPARE(fixture::count(QStringLiteral("AdjustmentItem")), lines);
        QCOMPARE(fixture::count(QStringLiteral("ItemValue")), 1);
        QCOMPARE(fixture::storedValue(QStringLiteral("BOTH")), 10.0);
    }

    void itemValuesListEveryMaterial()
    {
        fixture::value(QStringLiteral("BOTH"), 7.5);
        QStringList seen;
        for (const ValueLine &l : itemValues())
            seen << l.material + u'=' + l.price.toPlainString();
        // By type, status and ID; no value reads as 0.
        QCOMPARE(seen, QStringList({"BOTH=7.5", "CUTONLY=0", "INONLY=0", "NONE=0", "OLD=0", "VIN'YL=0"}));
    }

    void newPricesRoundToCents_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::newRow("0.125 down") << "0.125" << 0.12;
        QTest::newRow("0.375 up") << "0.375" << 0.38;
        QTest::newRow("zero entry") << "0.00" << 0.0;
        QTest::newRow("display form") << "$1,234.565" << 1234.56;
    }
    void newPricesRoundToCents()
    {
        QFETCH(QString, typed);
        QFETCH(double, stored);
        fixture::value(QStringLiteral("BOTH"), 7.5);
        saveItemValues({{QStringLiteral("BOTH"), typed, {}}, {QStringLiteral("VIN'YL"), typed, {}}});
        QCOMPARE(fixture::storedValue(QStringLiteral("BOTH")), stored);
        QCOMPARE(fixture::storedValue(QStringLiteral("VIN'YL")), stored); // added: it had none
        QCOMPARE(fixture::count(QStringLiteral("ItemValue")), 2);
    }

    void newPriceMustBeNumeric_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::newRow("blank") << "" << true;
        QTest::newRow("letters") << "ten" << true;
        QTest::newRow("number") << "10" << false;
    }
    void newPriceMustBeNumeric()
    {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        const auto refusal = refuseNewPrice(typed);
        QCOMPARE(refusal.has_value(), refused);
        if (refusal) {
            QCOMPARE(refusal->text, QStringLiteral("The Value must be Numeric."));
            QCOMPARE(refusal->title, QStringLiteral("Invalid Entry"));
        }
    }

    void resetAveragesEveryLine()
    {
        fixture::value(QStringLiteral("NONE"), 99); // no adjustment lines: loses its value
        fixture::value(QStringLiteral("BOTH"), 99);
        fixture::adjust(QDate(2010, 5, 1), {{"INONLY", -1, 3}});
        resetItemPrices();
        // BOTH: 4, 6, 50 plain (not weighted by quantity); INONLY: 2 and 3.
        QCOMPARE(fixture::storedValue(QStringLiteral("BOTH")), 20.0);
        QCOMPARE(fixture::storedValue(QStringLiteral("INONLY")), 2.5);
        QCOMPARE(fixture::count(QStringLiteral("ItemValue")), 2);
    }

    void resetRoundsAndFailsWhole()
    {
        fixture::adjust(QDate(2010, 5, 1), {{"NONE", 1, 10}});
        fixture::adjust(QDate(2010, 5, 2), {{"NONE", 9, 11.005}});
        fixture::value(QStringLiteral("BOTH"), 99);
        RefusedWrites refused(t->db(), QStringLiteral("ItemValue"), QStringLiteral("INSERT"),
                              QStringLiteral("refused"), QStringLiteral("NEW.MaterialID = 'NONE'"));
        QVERIFY_THROWS_EXCEPTION(DbError, resetItemPrices());
        QCOMPARE(fixture::count(QStringLiteral("ItemValue")), 1);
        QCOMPARE(fixture::storedValue(QStringLiteral("BOTH")), 99.0);
        refused.lift();
        resetItemPrices();
        QCOMPARE(fixture::storedValue(QStringLiteral("NONE")), 10.5); // 10.5025 to the cent
        QVERIFY(resetQuestion().startsWith(QStringLiteral("By clicking yes you will over-write")));
    }
};

QTEST_GUILESS_MAIN(TestInventoryData)
#include "tst_inventorydata.moc"
