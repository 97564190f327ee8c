// The load driver: a short run of two clerks on a small demo shop, and the invariant checker
// catching what a broken save would leave behind.

#include "TestSupport.h"

#include "DemandWorkbook.h"
#include "DemoData.h"
#include "Invariants.h"

#include "purchasing/DemandImport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

namespace {

QStringList brokenNames(Database &db)
{
    QStringList names;
    for (const soak::Broken &b : soak::brokenInvariants(db))
        names << b.invariant;
    return names;
}

} // namespace

class tst_soak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every kind of operation gets done at least once, nothing unexpected happens, and the
    // invariants and the check hold afterwards.
    void twoClerksOnADemoShop()
    {
        TestDatabase fx;
        // The clerks' processes live on the real calendar.
        fillDemoData(fx.db(), DemoOptions{1, 20101, QDate::currentDate()});
        QProcess soak;
        soak.setProcessChannelMode(QProcess::MergedChannels);
        soak.start(QDir(qEnvironmentVariable("CORVANE_BIN")).filePath(QStringLiteral("corvane-soak")),
                   {QStringLiteral("--db"), fx.path(), QStringLiteral("--clerks"), QStringLiteral("2"),
                    QStringLiteral("--seconds"), QStringLiteral("6"), QStringLiteral("--seed"),
                    QStringLiteral("7")});
        QVERIFY(soak.waitForFinished(180000));
        const QString report = QString::fromUtf8(soak.readAll());
        QVERIFY2(soak.exitStatus() == QProcess::NormalExit && soak.exitCode() == 0, qPrintable(report));
        for (const char *op :
             {"order", "cut sheet", "shipment", "shipment re-save", "payment", "manual invoice", "adjustment",
              "item values", "demand import", "create PO", "PO delete"}) {
            const QRegularExpression line(QStringLiteral("^%1 +(\\d+) ").arg(QLatin1String(op)),
                                          QRegularExpression::MultilineOption);
            const QRegularExpressionMatch m = line.match(report);
            QVERIFY2(m.hasMatch(), qPrintable(report));
            QVERIFY2(m.captured(1).toInt() >= 1,
                     qPrintable(QStringLiteral("no %1 done:\n").arg(QLatin1String(op)) + report));
        }
        QVERIFY2(report.contains(QLatin1String("invariants hold; the database check passes")),
                 qPrintable(report));
    }

    void brokenInvariantIsNamed_data()
    {
        QTest::addColumn<QStringList>("corruption");
        QTest::addColumn<QString>("invariant");
        QTest::newRow("shipped beyond cut") << QStringList{"UPDATE ShipmentItems SET Qty = Qty + 1000 WHERE "
                                                           "ShipmentID = (SELECT MAX(ShipmentID) "
                                                           "FROM ShipmentItems) AND Item = 1"}
                                            << "sets shipped beyond what was cut";
        QTest::newRow("cut beyond the line") << QStringList{"UPDATE Cutsheets SET Sets = Sets + 1000 WHERE "
                                                            "ID = (SELECT MIN(ID) FROM Cutsheets)"}
                                             << "order lines cut beyond their quantity";
        QTest::newRow("paid beyond the total")
            << QStringList{"UPDATE Payments SET Amount = 1000000 WHERE ID = (SELECT MIN(ID) FROM Payments)"}
            << "invoices paid beyond their total";
        QTest::newRow("a shipment without its invoice")
            << QStringList{"UPDATE Invoice SET Shipment = NULL WHERE Invoice = (SELECT MIN(Invoice) FROM "
                           "Invoice "
                           "WHERE Shipment IS NOT NULL)"}
            << "shipments without exactly one automatic invoice";
        QTest::newRow("a shipment with two invoices")
            << QStringList{"INSERT INTO Invoice (Customer, Shipment, Total, Type) SELECT Customer, Shipment, "
                           "Total, "
                           "Type FROM Invoice WHERE Invoice = (SELECT MIN(Invoice) FROM Invoice WHERE "
                           "Shipment IS "
                           "NOT NULL)"}
            << "shipments without exactly one automatic invoice";
        QTest::newRow("an invoice total off its lines")
            << QStringList{"UPDATE Invoice SET Total = Total + 0.01 WHERE Invoice = (SELECT MAX(Invoice) "
                           "FROM "
                           "Invoice WHERE Shipment IS NOT NULL)"}
            << "automatic invoices whose total is not their lines'";
        QTest::newRow("a pending item on two purchase orders")
            << QStringList{"INSERT INTO PurchaseOrderItem (POID, PendingPOItemID) VALUES (90001, 90005)",
                           "INSERT INTO PurchaseOrderItem (POID, PendingPOItemID) VALUES (90002, 90005)"}
            << "pending items on two purchase orders";
        QTest::newRow("two imports under one number")
            << QStringList{"INSERT INTO ImportXLSLog (ImportID, Description) VALUES (90001, '1 line imported "
                           "into "
                           "1 order, 0 errors')",
                           "INSERT INTO ImportXLSLog (ImportID, Description) VALUES (90001, '2 lines "
                           "imported "
                           "into 2 orders, 0 errors')"}
            << "imports sharing an ImportID";
    }
    void brokenInvariantIsNamed()
    {
        QFETCH(QStringList, corruption);
        QFETCH(QString, invariant);
        TestDatabase fx;
        fillDemoData(fx.db(), DemoOptions{1, 20101, QDate(2010, 5, 14)});
        QCOMPARE(brokenNames(fx.db()), QStringList());
        for (const QString &sql : corruption)
            QCOMPARE(fx.db().exec(sql), 1);
        QVERIFY2(brokenNames(fx.db()).contains(invariant), qPrintable(brokenNames(fx.db()).join(u'|')));
    }

    // The clerks' generated workbook reads back through the import's own reader.
    void demandWorkbookReadsBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("demand.xlsx"));
        QVERIFY(soak::writeDemandWorkbook(path, {{"5/14/2010", "PO-1", "Q100", "4", "6/1/2010", "95.50"},
                                                 {"5/14/2010", "PO <2> & co", "Q200", "2", "", "12"}}));
        const purchasing::DemandSheet sheet = purchasing::readDemandSheet(path);
        QCOMPARE(int(sheet.lines.size()), 2);
        QCOMPARE(sheet.lines[0].row, purchasing::kFirstDemandRow);
        QCOMPARE(sheet.lines[0].refNumber, QStringLiteral("Q100"));
        QCOMPARE(sheet.lines[0].price, QStringLiteral("95.50"));
        QCOMPARE(sheet.lines[1].poNumber, QStringLiteral("PO <2> & co"));
        QCOMPARE(sheet.lines[1].dueDate, QString());
    }
};

QTEST_MAIN(tst_soak)
#include "tst_soak.moc"
