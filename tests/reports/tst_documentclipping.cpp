// Every document on the ten-year demo shop, over its whole history: no printed figure is cut and
// no column heading is cut, whatever widths the designs give.
#include "DemoData.h"
#include "TestSupport.h"
#include "core/Database.h"
#include "core/schema/Schema.h"
#include "reports/ReportDocument.h"
#include "reports/ReportRegistry.h"

#include <QTemporaryDir>
#include <QTest>

using namespace reports;

namespace {

const QDate kToday(2026, 12, 1);

QString iso(const QDate &d)
{
    return d.toString(Qt::ISODate);
}

QString first(const QString &sql)
{
    return DbConnection().scalar(sql).toString();
}

// The widest request each document takes: the whole history, the largest shipment and order,
// the busiest customers.
QMap<QString, QString> widest(const Document &doc)
{
    QMap<QString, QString> a;
    for (const Argument &arg : doc.arguments) {
        const QString &n = arg.name;
        if (n == QLatin1String("from"))
            a[n] = QStringLiteral("2000-01-01");
        else if (n == QLatin1String("to") || n == QLatin1String("asof"))
            a[n] = iso(kToday);
        else if (n == QLatin1String("shipment"))
            a[n] = first(QStringLiteral("SELECT ShipmentID FROM ShipmentItems GROUP BY ShipmentID "
                                        "ORDER BY count(*) DESC, ShipmentID DESC"));
        else if (n == QLatin1String("order"))
            a[n] = first(QStringLiteral("SELECT OrderID FROM OrderItem GROUP BY OrderID "
                                        "ORDER BY count(*) DESC, OrderID DESC"));
        else if (n == QLatin1String("po"))
            a[n] = first(QStringLiteral("SELECT max(ID) FROM PurchaseOrder"));
        else if (n == QLatin1String("import"))
            a[n] = first(QStringLiteral("SELECT max(ImportID) FROM ImportXLSLog"));
        else if (n.size() == 2 && n.at(0) == u'c' && arg.required)
            a[n] =
                first(QStringLiteral("SELECT Customer FROM Orders GROUP BY Customer ORDER BY count(*) DESC "
                                     "LIMIT 1 OFFSET %1")
                          .arg(n.mid(1).toInt() - 1));
    }
    return a;
}

} // namespace

class TestDocumentClipping : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        // Pages are laid out from rows alone; the rows on both engines are compared elsewhere.
        SKIP_ON_SERVER("the layout does not depend on the engine");
        auto db = schema::createDatabaseFile(m_dir.filePath(QStringLiteral("shop.db")));
        DemoOptions options;
        options.size = 40;
        options.today = kToday;
        fillDemoData(*db, options);
        setDbConnection(std::move(db));
    }
    void cleanupTestCase() { takeDbConnection(); }

    void nothingPrintedIsCut_data()
    {
        QTest::addColumn<QString>("name");
        for (const Document *d : registry())
            QTest::newRow(qPrintable(d->name())) << d->name();
    }
    void nothingPrintedIsCut()
    {
        QFETCH(QString, name);
        const Document &doc = *find(name);
        const ReportDocument document(buildJob(doc, widest(doc)));
        const QStringList cut = document.clippedTexts();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.mid(0, 5).join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestDocumentClipping)
#include "tst_documentclipping.moc"
