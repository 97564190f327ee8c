#include "TestSupport.h"
#include "production/CutsheetData.h"
#include "production/YieldData.h"

#include <QTest>

using namespace cutsheets;

namespace {

const QString kOrdered10 = QStringLiteral("R10");

// Order 1 (open): line 1 of 10 sets of R10 with 4 + 2 cut, line 2 a kit, line 3 a reference
// without a catalogue row. Order 2 is closed.
struct Shop
{
    TestDatabase t;
    qint64 open = 0;
    qint64 closed = 0;
    qint64 cutA = 0;
    qint64 cutB = 0;

    Shop()
    {
        t.addSet(kOrdered10, QStringLiteral("Cove"), 100);
        t.addSet(QStringLiteral("K1"), QStringLiteral("Cove"), 5, QStringLiteral("Kit"));
        open = t.addOrder(QStringLiteral("Cove"), QStringLiteral("PO-1"));
        closed = t.addOrder(QStringLiteral("Cove"), QStringLiteral("PO-2"), QStringLiteral("Closed"));
        t.addOrderLine(open, 1, 10, kOrdered10, 100);
        t.addOrderLine(open, 2, 3, QStringLiteral("K1"), 5);
        t.addOrderLine(open, 3, 3, QStringLiteral("NOSET"), 5);
        t.addOrderLine(closed, 1, 10, kOrdered10, 100);
        cutA = cut(QStringLiteral("111"), QDate(2010, 5, 3), open, 1, 4, 50.0);
        cutB = cut(QStringLiteral("222"), QDate(2010, 5, 4), open, 1, 2, QVariant());
    }
    qint64 cut(const QString &ssn, const QDate &date, qint64 order, int item, int sets, const QVariant &feet)
    {
        return t.db().insert(QStringLiteral("Cutsheets"), {{"SSN", ssn},
                                                           {"Date", date},
                                                           {"OrderID", order},
                                                           {"Item", item},
                                                           {"Sets", sets},
                                                           {"Feet", feet}});
    }
    int count(const QString &table)
    {
        return t.db().scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
    }
};

Entry entryFor(const QString &id, qint64 order, const QString &sets, const QString &used)
{
    return {id,
            QStringLiteral("Lee, Ann"),
            QStringLiteral("111"),
            QDate(2010, 5, 14),
            QString::number(order),
            QStringLiteral("1"),
            sets,
            used,
            {}};
}

} // namespace

class TestCutsheetData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void orderLine_data()
    {
        QTest::addColumn<QString>("order"); // "open", "closed" or literal text
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("title"); // empty: accepted
        QTest::newRow("open set line") << "open"
                                       << "1"
                                       << "ST-R10"
                                       << "";
        QTest::newRow("no catalogue row passes") << "open"
                                                 << "3"
                                                 << "ST-NOSET"
                                                 << "";
        QTest::newRow("kit") << "open"
                             << "2"
                             << ""
                             << "Invalid Order/Line Item Combination";
        QTest::newRow("missing line") << "open"
                                      << "9"
                                      << ""
                                      << "Invalid Order/Item";
        QTest::newRow("closed order") << "closed"
                                      << "1"
                                      << ""
                                      << "Invalid Order/Item";
        QTest::newRow("not a number") << "1 OR 1=1"
                                      << "1"
                                      << ""
                                      << "Invalid Order/Item";
    }
    void orderLine()
    {
        QFETCH(QString, order);
        QFETCH(QString, item);
        QFETCH(QString, style);
        QFETCH(QString, title);
        Shop s;
        const QString id = order == QLatin1String("open")     ? QString::number(s.open)
                           : order == QLatin1String("closed") ? QString::number(s.closed)
                                                              : order;
        const LineCheck c = checkOrderLine(id, item);
        QCOMPARE(c.style, style);
        QCOMPARE(c.refusal ? c.refusal->title : QString(), title);
        if (title == QLatin1String("Invalid Order/Item"))
            QCOMPARE(c.refusal->text,
                     QStringLiteral("Order %1 Line Item %2 is not a valid combination. Please re-enter.")
                         .arg(id, item));
    }

    void tooManySets_data()
    {
        QTest::addColumn<bool>("editA"); // editing the stored cut sheet of 4 sets
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("sets");
        QTest::addColumn<QString>("text"); // empty: accepted
        const QString tooMany =
            QStringLiteral("Too many sets cut for Order/Item. There were only %1 sets ordered and "
                           "%2 have been previously cut. Please check data.");
        QTest::newRow("new, exactly what is left") << false << "1"
                                                   << "4"
                                                   << "";
        QTest::newRow("new, one more") << false << "1"
                                       << "5" << tooMany.arg("10", "6");
        QTest::newRow("edit does not count itself") << true << "1"
                                                    << "8"
                                                    << "";
        QTest::newRow("edit, one more") << true << "1"
                                        << "9" << tooMany.arg("10", "2");
        QTest::newRow("leading number is read") << false << "1"
                                                << "5 sets" << tooMany.arg("10", "6");
        QTest::newRow("unknown line shows no quantity") << false << "7"
                                                        << "1" << tooMany.arg("", "0");
        QTest::newRow("no sets") << false << "1"
                                 << ""
                                 << "You must enter an Order/Line Item combination.";
    }
    void tooManySets()
    {
        QFETCH(bool, editA);
        QFETCH(QString, item);
        QFETCH(QString, sets);
        QFETCH(QString, text);
        Shop s;
        const auto r = refuseTooManySets(editA ? QString::number(s.cutA) : QString(), QString::number(s.open),
                                         item, sets);
        QCOMPARE(r ? r->text : QString(), text);
    }

    void saveLogsEachChange()
    {
        Shop s;
        const Saved added = saveCutsheet(entryFor(QString(), s.open, QStringLiteral("3"), QString()));
        QVERIFY(!added.refusal);
        RowSet row = s.t.db().query(QStringLiteral("SELECT * FROM Cutsheets WHERE ID = ?"), {added.id});
        QCOMPARE(row.size(), 1);
        QVERIFY(row[0].value(QStringLiteral("Feet")).isNull());
        QCOMPARE(row[0].text(QStringLiteral("SSN")), QStringLiteral("111"));

        // An edit with empty feet keeps the stored feet.
        const Saved edited =
            saveCutsheet(entryFor(QString::number(s.cutA), s.open, QStringLiteral("5"), QString()));
        QCOMPARE(edited.id, s.cutA);
        row = s.t.db().query(QStringLiteral("SELECT Sets, Feet FROM Cutsheets WHERE ID = ?"), {s.cutA});
        QCOMPARE(row[0].value(QStringLiteral("Sets")).toInt(), 5);
        QCOMPARE(row[0].value(QStringLiteral("Feet")).toDouble(), 50.0);

        deleteCutsheet(entryFor(QString::number(s.cutB), s.open, QStringLiteral("2"), QStringLiteral("7.5")));
        deleteCutsheet(entryFor(QStringLiteral("99999"), s.open, QStringLiteral("1"), QString()));
        QCOMPARE(s.count(QStringLiteral("Cutsheets")), 2);

        const RowSet log =
            s.t.db().query(QStringLiteral("SELECT ID, Action, Sets, Feet FROM CutsheetsTEMP ORDER BY %1")
                               .arg(s.t.db().rowKey()));
        QCOMPARE(log.size(), 4);
        const QList<QPair<qint64, QString>> expected = {
            {added.id, "**New**"}, {s.cutA, "**Edit**"}, {s.cutB, "**Delete**"}, {99999, "**Delete**"}};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(log[i].value(QStringLiteral("ID")).toLongLong(), expected[i].first);
            QCOMPARE(log[i].text(QStringLiteral("Action")), expected[i].second);
        }
        QVERIFY(log[0].value(QStringLiteral("Feet")).isNull());
        QCOMPARE(log[2].value(QStringLiteral("Feet")).toDouble(), 7.5);
        QVERIFY(!logIsEmpty());
        clearLog();
        QVERIFY(logIsEmpty());
    }

    void refusedSaveWritesNothing_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("employee");
        QTest::addColumn<QString>("sets");
        QTest::addColumn<QString>("used");
        QTest::addColumn<QString>("title");
        QTest::newRow("no employee") << ""
                                     << ""
                                     << "1"
                                     << ""
                                     << "Not a Valid Cutsheet";
        QTest::newRow("no sets") << ""
                                 << "Lee, Ann"
                                 << ""
                                 << ""
                                 << "Not a Valid Cutsheet";
        QTest::newRow("sets not whole") << ""
                                        << "Lee, Ann"
                                        << "1.5"
                                        << ""
                                        << "Invalid Number";
        QTest::newRow("sets text") << ""
                                   << "Lee, Ann"
                                   << "two"
                                   << ""
                                   << "Invalid Number";
        QTest::newRow("feet text") << ""
                                   << "Lee, Ann"
                                   << "1"
                                   << "lots"
                                   << "Invalid Number";
        QTest::newRow("unknown id") << "99999"
                                    << "Lee, Ann"
                                    << "1"
                                    << ""
                                    << "Invalid Cutsheet ID";
    }
    void refusedSaveWritesNothing()
    {
        QFETCH(QString, id);
        QFETCH(QString, employee);
        QFETCH(QString, sets);
        QFETCH(QString, used);
        QFETCH(QString, title);
        Shop s;
        Entry e = entryFor(id, s.open, sets, used);
        e.employeeName = employee;
        const Saved saved = saveCutsheet(e);
        QVERIFY(saved.refusal);
        QCOMPARE(saved.refusal->title, title);
        QCOMPARE(s.count(QStringLiteral("Cutsheets")), 2);
        QVERIFY(logIsEmpty());
    }

    // The log row is written in the same transaction as the cut sheet.
    void failedLogLeavesNoCutsheet()
    {
        Shop s;
        RefusedWrites refused(s.t.db(), QStringLiteral("CutsheetsTEMP"), QStringLiteral("INSERT"),
                              QStringLiteral("disk full"));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 saveCutsheet(entryFor(QString(), s.open, QStringLiteral("1"), QString())));
        QVERIFY_THROWS_EXCEPTION(DbError, deleteCutsheet(entryFor(QString::number(s.cutA), s.open,
                                                                  QStringLiteral("4"), QString())));
        QCOMPARE(s.count(QStringLiteral("Cutsheets")), 2);
    }

    void yieldRows_data()
    {
        QTest::addColumn<int>("kind"); // 0 employee, 1 customer, 2 earnings
        QTest::addColumn<bool>("cost");
        QTest::addColumn<QString>("only");
        QTest::addColumn<QString>("design");
        QTest::addColumn<QStringList>("rows"); // key|sets|required|used per row
        QTest::newRow("employees, production")
            << 0 << false << ""
            << "crptEmployeeYieldReport" << QStringList{"111|4|48|50", "222|2|24|"};
        QTest::newRow("employees, cost")
            << 0 << true << ""
            << "crptEmployeeYieldReport2" << QStringList{"111|4|50|50", "222|2|25|"};
        QTest::newRow("one employee") << 0 << false << "222"
                                      << "crptEmployeeYieldReport" << QStringList{"222|2|24|"};
        QTest::newRow("customers") << 1 << false << ""
                                   << "crptCustomerYieldReport" << QStringList{"Cove|6|72|50"};
        QTest::newRow("one customer, quote in name") << 1 << true << "O'Neil"
                                                     << "crptCustomerYieldReport2" << QStringList{};
        QTest::newRow("earnings") << 2 << false << ""
                                  << "crptEmployeeEarningsReport" << QStringList{"111||48|50", "222||24|"};
    }
    void yieldRows()
    {
        QFETCH(int, kind);
        QFETCH(bool, cost);
        QFETCH(QString, only);
        QFETCH(QString, design);
        QFETCH(QStringList, rows);
        Shop s;
        // Outside the period, and a kit line inside it: neither counts.
        s.cut(QStringLiteral("111"), QDate(2010, 5, 5), s.open, 1, 1, 9.0);
        s.cut(QStringLiteral("111"), QDate(2010, 5, 3), s.open, 2, 1, 9.0);
        const QDate from(2010, 5, 3), to(2010, 5, 4);
        const auto standard = cost ? yield::Standard::Cost : yield::Standard::Production;
        std::optional<QString> pick;
        if (!only.isEmpty())
            pick = only;
        const ReportJob j = kind == 0   ? yield::employeeYieldJob(from, to, standard, pick)
                            : kind == 1 ? yield::customerYieldJob(from, to, standard, pick)
                                        : yield::employeeEarningsJob(from, to);
        QCOMPARE(j.design, design);
        QCOMPARE(j.slot(QStringLiteral("StartDate")), QStringLiteral("5/3/2010"));
        QCOMPARE(j.slot(QStringLiteral("EndDate")), QStringLiteral("5/4/2010"));
        QCOMPARE(j.slot(QStringLiteral("SingleSelection")), pick ? QStringLiteral("true") : QString());
        const auto shown = [](const Row &r, const char *column) {
            const QVariant v = r.value(QString::fromLatin1(column));
            return v.isNull() ? QString() : QString::number(v.toDouble());
        };
        QStringList got;
        for (const Row &r : j.rows) {
            const QString key =
                kind == 1 ? r.text(QStringLiteral("Customer")) : r.text(QStringLiteral("SSN"));
            if (kind == 2)
                got << QStringList{key, QString(), shown(r, "FeetReq"), shown(r, "FeetUsed")}.join(u'|');
            else
                got << QStringList{key, shown(r, "Sets"), shown(r, "Required"), shown(r, "Used")}.join(u'|');
        }
        QCOMPARE(got, rows);
    }
};

QTEST_GUILESS_MAIN(TestCutsheetData)
#include "tst_cutsheetdata.moc"
