#include "TestSupport.h"
#include "reports/Letterhead.h"
#include "reports/ReportDocument.h"
#include "reports/ReportRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace reports;

// The shop's letterhead read beside the configuration and drawn on the shop's own documents.
class TestLetterhead : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QImage firstPage(const QString &design, const QMap<QString, QString> &args)
    {
        return ReportDocument(buildJob(*find(design), args)).pageImage(0, 1);
    }

private Q_SLOTS:
    void cleanup() { LetterheadFolder().clear(); }

    void readsNameLinesAndLogo()
    {
        QVERIFY(readLetterhead(dir.path()).isEmpty());
        write(QStringLiteral("letterhead.txt"),
              "Corvane Leather Works\r\n\n  1 Tannery Row  \nPhone 555-0100\n");
        Letterhead l = readLetterhead(dir.path());
        QCOMPARE(l.lines, QStringList({"Corvane Leather Works", "1 Tannery Row", "Phone 555-0100"}));
        QVERIFY(l.logo.isNull());
        QImage logo(40, 20, QImage::Format_RGB32);
        logo.fill(Qt::darkRed);
        QVERIFY(logo.save(dir.filePath(QStringLiteral("logo.png")), "PNG"));
        QVERIFY(!readLetterhead(dir.path()).logo.isNull());
        write(QStringLiteral("logo.png"), "not a picture");
        l = readLetterhead(dir.path());
        QVERIFY(l.logo.isNull());
        QCOMPARE(l.lines.size(), 3);
    }

    // The invoice, packing slip and purchase order carry it; other documents and a shop without
    // the files look as before.
    void drawnOnTheShopsDocuments()
    {
        TestDatabase t;
        t.addCustomer(QStringLiteral("Cove"));
        t.addSet(QStringLiteral("S1"), QStringLiteral("Cove"), 10);
        const qint64 order = t.addOrder(QStringLiteral("Cove"), QStringLiteral("PO-1"));
        t.addOrderLine(order, 1, 2, QStringLiteral("S1"), 10);
        const qint64 s = t.addShipment(QStringLiteral("Cove"), QDate(2010, 5, 1));
        t.addShipmentLine(s, 1, order, 1, 2);
        const QMap<QString, QString> invoice = {{QStringLiteral("shipment"), QString::number(s)},
                                                {QStringLiteral("invoice"), QStringLiteral("9")}};
        const QMap<QString, QString> slip = {{QStringLiteral("shipment"), QString::number(s)}};
        QTemporaryDir empty;
        LetterheadFolder() = empty.path();
        const QImage plainInvoice = firstPage(QStringLiteral("crptInvoice"), invoice);
        const QImage plainSlip = firstPage(QStringLiteral("crptPackingSlip"), slip);
        const QImage plainCustomers = firstPage(QStringLiteral("crptCustomerReport"), {});
        write(QStringLiteral("letterhead.txt"), "Corvane Leather Works\n1 Tannery Row\n");
        LetterheadFolder() = dir.path();
        QVERIFY(firstPage(QStringLiteral("crptInvoice"), invoice) != plainInvoice);
        QVERIFY(firstPage(QStringLiteral("crptPackingSlip"), slip) != plainSlip);
        QCOMPARE(firstPage(QStringLiteral("crptCustomerReport"), {}), plainCustomers);
        QVERIFY(find(QStringLiteral("crptPurchaseOrder"))->design.letterhead);
        LetterheadFolder() = empty.path();
        QCOMPARE(firstPage(QStringLiteral("crptInvoice"), invoice), plainInvoice);
    }
};

QTEST_MAIN(TestLetterhead)
#include "tst_letterhead.moc"
