#include "InventoryFixture.h"
#include "core/schema/Schema.h"
#include "inventory/InventoryReports.h"
#include "reports/ReportRegistry.h"

#include <QTest>

#include <memory>

using namespace inventory;

// The rows of the four material documents against hand-built movements.
class TestInventoryDocs : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;
    qint64 open = 0, closed = 0, voided = 0, later = 0;

    // "field=value" of every row's named columns, for compact comparisons.
    static QStringList rows(const ReportJob &job, const QStringList &fields)
    {
        QStringList out;
        for (const Row &r : job.rows) {
            QStringList cells;
            for (const QString &f : fields)
                cells << r.text(f);
            out << cells.join(u'|');
        }
        return out;
    }
    static const Row *rowOf(const ReportJob &job, const QString &material)
    {
        for (const Row &r : job.rows) {
            if (r.text(QStringLiteral("Material")) == material)
                return &r;
        }
        return nullptr;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        t->addMaterial(QStringLiteral("BLK"));
        t->addMaterial(QStringLiteral("TAN"));
        t->addMaterial(QStringLiteral("O'HARA"));
        t->addMaterial(QStringLiteral("OLD"));
        t->db().exec(QStringLiteral("UPDATE Material SET Status = 'InActive' WHERE ID = 'OLD'"));
        t->addEmployee(QStringLiteral("111"), QStringLiteral("Ann"), QStringLiteral("Lee"));
        for (const char *c : {"Acme", "Bolt", "Cove", "Dune", "Elm", "Fir"})
            t->addCustomer(QString::fromLatin1(c));
        t->addSet(QStringLiteral("S1"), QStringLiteral("Acme"), 100); // ReqFeet 12.5, standard 12
        t->addSet(QStringLiteral("H1"), QStringLiteral("Acme"), 100, QStringLiteral("Hide"));
        t->addSet(QStringLiteral("V1"), QStringLiteral("Acme"), 100, QStringLiteral("Vinyl"));
        open = t->addOrder(QStringLiteral("Acme"), QStringLiteral("O1"), QStringLiteral("Open"),
                           QDate(2010, 3, 1));
        closed = t->addOrder(QStringLiteral("Bolt"), QStringLiteral("O2"), QStringLiteral("Closed"),
                             QDate(2010, 3, 2));
        voided = t->addOrder(QStringLiteral("Cove"), QStringLiteral("O3"), QStringLiteral("Void"),
                             QDate(2010, 3, 3));
        later = t->addOrder(QStringLiteral("Fir"), QStringLiteral("O4"), QStringLiteral("Open"),
                            QDate(2010, 7, 1));
        fixture::line(open, 1, 5, QStringLiteral("S1"), QStringLiteral("BLK"), 40);
        fixture::line(closed, 1, 2, QStringLiteral("S1"), QStringLiteral("BLK"));
        fixture::line(voided, 1, 7, QStringLiteral("S1"), QStringLiteral("BLK"));
        fixture::line(later, 1, 3, QStringLiteral("S1"), QStringLiteral("BLK"));
        fixture::line(open, 2, 1, QStringLiteral("S1"), QString()); // names no material
        fixture::adjust(QDate(2010, 1, 5), {{"BLK", 100, 4}, {"O'HARA", 8, 2}});
        fixture::adjust(QDate(2010, 4, 1), {{"BLK", -10, 5}}, QStringLiteral("Damaged"));
        fixture::adjust(QDate(2010, 2, 1), {{"GONE", 6, 1}}, QStringLiteral("Unlisted")); // not a material
        fixture::cut(open, 1, 2, 30, QDate(2010, 3, 10));
        fixture::cut(open, 1, 1, 14, QDate(2010, 6, 20)); // after the as-of day used below
        fixture::cut(open, 2, 1, 5, QDate(2010, 4, 2));
        fixture::value(QStringLiteral("BLK"), 4.5);
        fixture::value(QStringLiteral("TAN"), 9); // never adjusted
        const qint64 ship = t->addShipment(QStringLiteral("Acme"), QDate(2010, 3, 20));
        t->addShipmentLine(ship, 1, open, 1, 1);
        const qint64 lateShip = t->addShipment(QStringLiteral("Acme"), QDate(2010, 6, 1));
        t->addShipmentLine(lateShip, 1, open, 1, 1);
    }
    void cleanup() { t.reset(); }

    void availableInventory_data()
    {
        QTest::addColumn<bool>("inactive");
        QTest::addColumn<QStringList>("expected");
        // Still to cut: open 5 - 3 cut (whatever the date) + closed 2 never cut, 12.5 ft a set;
        // the void order and the order after the day do not count.
        // A file that could not take the running figures yet counts every row, to the same rows.
        QTest::addColumn<bool>("figures");
        const QStringList active = {"BLK|90|30|50", "O'HARA|8|0|0", "TAN|0|0|0"};
        QTest::newRow("active only") << false << active << true;
        QTest::newRow("inactive too") << true << (active + QStringList{"OLD|0|0|0"}) << true;
        QTest::newRow("without figures") << true << (active + QStringList{"OLD|0|0|0"}) << false;
    }
    void availableInventory()
    {
        QFETCH(bool, inactive);
        QFETCH(QStringList, expected);
        QFETCH(bool, figures);
        if (!figures)
            schema::dropCutFigures(t->db());
        const ReportJob job = availableInventoryJob(QDate(2010, 5, 14), inactive);
        QCOMPARE(job.design, QStringLiteral("crptAvailableInventoryReport"));
        QCOMPARE(rows(job, {"Material", "OnHandAdj", "OnHandCut", "QtyOrdered"}), expected);
        QCOMPARE(job.rows.columns(), QStringList({"Material", "Description", "Status", "Type", "OnHandAdj",
                                                  "OnHandCut", "QtyOrdered"}));
        QCOMPARE(job.textSlots.value(0).second, QStringLiteral("5/14/2010"));
    }

    void valuation_data()
    {
        QTest::addColumn<QDate>("asOf");
        QTest::addColumn<QString>("material");
        QTest::addColumn<QString>("expected");
        // OnHandAdj | OnHandCut | Average | CutValue
        const QDate day(2010, 5, 14);
        // 2 sets cut by the day, 1 shipped by then, 40 a set; today's value 4.5.
        QTest::newRow("adjusted, cut, unshipped") << day << "BLK"
                                                  << "90|30|4.5|40";
        QTest::newRow("no value row") << day << "O'HARA"
                                      << "8|0|0|0";
        QTest::newRow("value but never adjusted") << day << "TAN"
                                                  << "0|0|0|0";
        // Before the backdated damage and the first cut; today's value all the same.
        QTest::newRow("earlier day") << QDate(2010, 3, 5) << "BLK"
                                     << "100|0|4.5|0";
        // Three cut, two shipped by then.
        QTest::newRow("later day") << QDate(2010, 6, 30) << "BLK"
                                   << "90|44|4.5|40";
        QTest::newRow("later day, without figures") << QDate(2010, 6, 30) << "BLK"
                                                    << "90|44|4.5|40";
    }
    void valuation()
    {
        QFETCH(QDate, asOf);
        QFETCH(QString, material);
        QFETCH(QString, expected);
        if (QByteArray(QTest::currentDataTag()).endsWith("without figures"))
            schema::dropCutFigures(t->db());
        const ReportJob job = inventoryValuationJob(asOf, false);
        QVERIFY(!rowOf(job, QStringLiteral("OLD")));
        const Row *r = rowOf(job, material);
        QVERIFY(r);
        QCOMPARE(
            QStringList({r->text("OnHandAdj"), r->text("OnHandCut"), r->text("Average"), r->text("CutValue")})
                .join(u'|'),
            expected);
        QCOMPARE(job.rows.columns(), QStringList({"Material", "Description", "Type", "Status", "OnHandAdj",
                                                  "OnHandCut", "Average", "CutValue"}));
        QVERIFY(rowOf(inventoryValuationJob(asOf, true), QStringLiteral("OLD")));
    }

    void materialHistory_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("material");
        QTest::addColumn<bool>("cutsheets");
        QTest::addColumn<QStringList>("expected");
        // Material | Date | Description | Who | Qty | BegBal
        const QDate from(2010, 3, 10);
        QTest::newRow("all, with cut sheets")
            << from << QString() << true
            << QStringList{"|2010-04-02|Cutsheet|Ann Lee|-5|6", "BLK|2010-03-10|Cutsheet|Ann Lee|-30|100",
                           "BLK|2010-04-01|Damaged|N/A|-10|100", "BLK|2010-06-20|Cutsheet|Ann Lee|-14|100"};
        QTest::newRow("cut sheets left out")
            << from << QString() << false << QStringList{"BLK|2010-04-01|Damaged|N/A|-10|100"};
        QTest::newRow("one material")
            << from << "blk" << false << QStringList{"BLK|2010-04-01|Damaged|N/A|-10|100"};
        QTest::newRow("quoted material")
            << QDate(2010, 1, 1) << "O'HARA" << true << QStringList{"O'HARA|2010-01-05|Count|N/A|8|0"};
        // The unlisted adjustment of 2/1 and the line without material stand together.
        QTest::newRow("unlisted in the period")
            << QDate(2010, 1, 6) << QString() << true
            << QStringList{"|2010-02-01|Unlisted|N/A|6|0", "|2010-04-02|Cutsheet|Ann Lee|-5|0",
                           "BLK|2010-03-10|Cutsheet|Ann Lee|-30|100", "BLK|2010-04-01|Damaged|N/A|-10|100",
                           "BLK|2010-06-20|Cutsheet|Ann Lee|-14|100"};
        // The opening of no material: the unlisted GONE in, less the cut on the line without one.
        const QStringList noMaterial = {"|2010-05-01|Late|N/A|2|1", "BLK|2010-06-20|Cutsheet|Ann Lee|-14|60"};
        QTest::newRow("opening of no material") << QDate(2010, 4, 3) << QString() << true << noMaterial;
        QTest::newRow("opening of no material, without figures")
            << QDate(2010, 4, 3) << QString() << true << noMaterial;
        // A movement on the first day belongs to the period; the backdated damage is opening.
        QTest::newRow("opening balance before the first day")
            << QDate(2010, 4, 2) << "BLK" << true << QStringList{"BLK|2010-06-20|Cutsheet|Ann Lee|-14|60"};
    }
    void materialHistory()
    {
        QFETCH(QDate, from);
        QFETCH(QString, material);
        QFETCH(bool, cutsheets);
        QFETCH(QStringList, expected);
        const QByteArray tag = QTest::currentDataTag();
        if (tag.startsWith("opening of no material"))
            fixture::adjust(QDate(2010, 5, 1), {{"GONE", 2, 1}}, QStringLiteral("Late"));
        if (tag.endsWith("without figures"))
            schema::dropCutFigures(t->db());
        const ReportJob job = materialHistoryJob(
            from, QDate(2010, 12, 31), material.isEmpty() ? std::nullopt : std::optional<QString>(material),
            cutsheets);
        QCOMPARE(rows(job, {"Material", "Date", "Description", "Who", "Qty", "BegBal"}), expected);
        QCOMPARE(job.rows.columns(),
                 QStringList({"Material", "Date", "Description", "ID", "Who", "Qty", "BegBal"}));
        QCOMPARE(job.textSlots.value(0).second, from.toString(QStringLiteral("M/d/yyyy")));
    }

    void salesWeeks_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("weeks");
        const QDate sunday(2010, 5, 2);
        QTest::newRow("same day") << sunday << sunday << 0;
        QTest::newRow("within one week") << sunday << sunday.addDays(6) << 0;
        QTest::newRow("saturday to sunday") << sunday.addDays(6) << sunday.addDays(7) << 1;
        QTest::newRow("sunday to sunday") << sunday << sunday.addDays(7) << 1;
        QTest::newRow("four weeks and a bit") << sunday.addDays(3) << sunday.addDays(30) << 4;
        QTest::newRow("end before begin") << sunday.addDays(7) << sunday << 0;
    }
    void salesWeeks()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, weeks);
        QCOMPARE(inventory::salesWeeks(from, to), weeks);
        const auto refusal = refuseSalesRequest(from, to, 4);
        QCOMPARE(refusal.has_value(), weeks == 0);
        if (refusal) {
            QCOMPARE(refusal->text, QStringLiteral("You must select 1 week intervals for the dates."));
            QCOMPARE(refusal->title, QStringLiteral("Invalid Date Selection"));
        }
    }

    void salesNeedsFourCustomers_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::newRow("3") << 3;
        QTest::newRow("5") << 5;
    }
    void salesNeedsFourCustomers()
    {
        QFETCH(int, chosen);
        const auto refusal = refuseSalesRequest(QDate(2010, 1, 1), QDate(2010, 2, 1), chosen);
        QVERIFY(refusal);
        QCOMPARE(refusal->text, QStringLiteral("You must select 4 customers from the list."));
        QCOMPARE(refusal->title, QStringLiteral("Invalid Selection"));
    }

    void salesSplitByCustomer()
    {
        const qint64 elm = t->addOrder(QStringLiteral("Elm"), QStringLiteral("E1"), QStringLiteral("Open"),
                                       QDate(2010, 3, 4));
        fixture::line(elm, 1, 4, QStringLiteral("S1"), QStringLiteral("TAN"));
        fixture::line(elm, 2, 9, QStringLiteral("H1"), QStringLiteral("TAN"));    // a hide: left out
        fixture::line(elm, 3, 9, QStringLiteral("V1"), QStringLiteral("TAN"));    // vinyl: left out
        fixture::line(elm, 4, 9, QStringLiteral("NOSET"), QStringLiteral("TAN")); // no set: left out
        const ReportJob job = leatherSalesJob(
            QDate(2010, 3, 1), QDate(2010, 3, 31),
            {QStringLiteral("Cove"), QStringLiteral("Acme"), QStringLiteral("Dune"), QStringLiteral("Bolt")});
        // Production standard 12 a set: Acme 5 sets of BLK (and a line without material),
        // Bolt 2, Cove only void (void orders are orders all the same), Elm 4 of TAN as others.
        QCOMPARE(
            rows(job, {"Material", "C1Sales", "C2Sales", "C3Sales", "C4Sales", "OtherSales", "Weeks"}),
            QStringList({"BLK|84|60|0|24|0|4", "O'HARA|0|0|0|0|0|4", "OLD|0|0|0|0|0|4", "TAN|0|0|0|0|48|4"}));
        QCOMPARE(job.textSlots.value(2).second, QStringLiteral("Cove"));
        QCOMPARE(job.textSlots.value(5).second, QStringLiteral("Bolt"));
    }

    // What the command line hands over: the same builders behind the registry's arguments.
    void commandLineArguments_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error"); // empty when the rows are built
        QTest::newRow("slash dates") << "crptInventoryValuationReport" << QStringList{"asof=5/14/2010"} << "";
        QTest::newRow("iso dates") << "crptAvailableInventoryReport"
                                   << QStringList{"asof=2010-05-14", "inactive=yes"} << "";
        QTest::newRow("bad yes/no") << "crptAvailableInventoryReport"
                                    << QStringList{"asof=2010-05-14", "inactive=maybe"} << "takes yes or no";
        QTest::newRow("history") << "crptMaterialHistoryReport"
                                 << QStringList{"from=3/10/2010", "to=12/31/2010", "material=BLK",
                                                "cutsheets=no"}
                                 << "";
        QTest::newRow("week rule") << "crptLeatherSalesReport"
                                   << QStringList{"from=5/2/2010", "to=5/8/2010", "c1=Acme",
                                                  "c2=Bolt",       "c3=Cove",     "c4=Dune"}
                                   << "You must select 1 week intervals for the dates.";
        QTest::newRow("sales") << "crptLeatherSalesReport"
                               << QStringList{"from=3/1/2010", "to=3/31/2010", "c1=Cove",
                                              "c2=Acme",       "c3=Dune",      "c4=Bolt"}
                               << "";
    }
    void commandLineArguments()
    {
        QFETCH(QString, document);
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const reports::Document *d = reports::find(document);
        QVERIFY(d);
        QMap<QString, QString> args;
        for (const QString &a : arguments)
            args.insert(a.section(u'=', 0, 0), a.section(u'=', 1));
        try {
            const ReportJob job = reports::buildJob(*d, args);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(job.design, d->name());
            QVERIFY(!job.rows.isEmpty());
            if (document == QLatin1String("crptMaterialHistoryReport"))
                QCOMPARE(rows(job, {"Material", "Qty"}), QStringList{"BLK|-10"});
        } catch (const reports::UsageError &e) {
            QVERIFY2(!error.isEmpty() && e.text().contains(error), qPrintable(e.text()));
        }
    }
};

QTEST_GUILESS_MAIN(TestInventoryDocs)
#include "tst_inventorydocs.moc"
