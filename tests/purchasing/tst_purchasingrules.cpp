#include "PurchasingTestSupport.h"
#include "purchasing/DemandImport.h"
#include "purchasing/PurchaseOrders.h"

#include <QtTest>

using namespace purchasingtest;

// What the import, import log and pending items windows refuse, without the windows.
class TestPurchasingRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void importRefusals_data();
    void importRefusals();
    void logChoice_data();
    void logChoice();
    void emptyPurchaseOrder();
};

void TestPurchasingRules::importRefusals_data()
{
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("path"); // a fixture's name, or a path as typed when it holds a blank or nothing
    QTest::addColumn<QString>("text"); // empty: the run may go ahead

    const QString noCustomer = QStringLiteral("You must select a customer before clicking ok.");
    const QString noFile = QStringLiteral("The Selected File Does Not Exist.  Choose Again.");
    QTest::newRow("customer and file") << "O'Hare Trim" << "demand.xls" << "";
    QTest::newRow("no customer") << "" << "demand.xls" << noCustomer;
    QTest::newRow("customer asked first") << "" << "missing.xls" << noCustomer;
    QTest::newRow("no path") << "O'Hare Trim" << "" << noFile;
    QTest::newRow("blank path") << "O'Hare Trim" << "   " << noFile;
    QTest::newRow("missing file") << "O'Hare Trim" << "missing.xls" << noFile;
    QTest::newRow("a folder") << "O'Hare Trim" << "." << noFile;
}

void TestPurchasingRules::importRefusals()
{
    QFETCH(QString, customer);
    QFETCH(QString, path);
    QFETCH(QString, text);
    const QString typed = path.trimmed().isEmpty() ? path : fixture(path);
    const std::optional<Refusal> r = purchasing::refuseImport(customer, typed);
    QCOMPARE(r.has_value(), !text.isEmpty());
    if (r) {
        QCOMPARE(r->text, text);
        QCOMPARE(r->title, QCoreApplication::applicationName());
        QCOMPARE(r->field, QString());
    }
    // Blanks typed around a good path do not count.
    if (!r && !path.isEmpty())
        QVERIFY(!purchasing::refuseImport(customer, QStringLiteral("  ") + typed + QStringLiteral(" ")));
}

void TestPurchasingRules::logChoice_data()
{
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("runs");
    QTest::addColumn<bool>("refused");
    QTest::newRow("first") << 0 << 2 << false;
    QTest::newRow("last") << 1 << 2 << false;
    QTest::newRow("none chosen") << -1 << 2 << true;
    QTest::newRow("no runs logged") << -1 << 0 << true;
    QTest::newRow("past the end") << 2 << 2 << true;
}

void TestPurchasingRules::logChoice()
{
    QFETCH(int, chosen);
    QFETCH(int, runs);
    QFETCH(bool, refused);
    const std::optional<Refusal> r = purchasing::refuseLogChoice(chosen, runs);
    QCOMPARE(r.has_value(), refused);
    if (r) {
        QCOMPARE(r->text, QStringLiteral("You must select a log."));
        QCOMPARE(r->title, QCoreApplication::applicationName());
    }
}

void TestPurchasingRules::emptyPurchaseOrder()
{
    const std::optional<Refusal> r = purchasing::refuseEmptyPurchaseOrder({});
    QVERIFY(r);
    QCOMPARE(r->text, QStringLiteral("No Item Selected."));
    QCOMPARE(r->title, QCoreApplication::applicationName());
    QVERIFY(!purchasing::refuseEmptyPurchaseOrder({purchasing::POLine{}}));
}

QTEST_GUILESS_MAIN(TestPurchasingRules)
#include "tst_purchasingrules.moc"
