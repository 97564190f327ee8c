#include "OrderCatalogue.h"
#include "orders/OrderData.h"
#include "orders/QuintarWorkbook.h"

#include <QtTest>

using namespace ordertest;

namespace {

OrderLine line(int item, const QString &ref, int qty = 1, double price = 10)
{
    OrderLine l;
    l.itemNumber = item;
    l.customerRefNo = ref;
    l.qty = qty;
    l.priceEach = Money::fromDouble(price);
    return l;
}

int count(const QString &sql)
{
    return DbConnection().scalar(sql).toInt();
}

} // namespace

// The order window's rules, without the window.
class TestOrderRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { m_db.reset(); }

    void nextLineNumber_data();
    void nextLineNumber();
    void lineRefusals_data();
    void lineRefusals();
    void newLineAndPriceOffer_data();
    void newLineAndPriceOffer();
    void changedLine_data();
    void changedLine();
    void importSteps();
    void orderRefusals_data();
    void orderRefusals();

private:
    std::unique_ptr<TestDatabase> m_db;
};

void TestOrderRules::init()
{
    m_db = std::make_unique<TestDatabase>();
    seedCatalogue(*m_db);
}

void TestOrderRules::nextLineNumber_data()
{
    QTest::addColumn<QList<int>>("items");
    QTest::addColumn<int>("next");
    QTest::newRow("no lines") << QList<int>{} << 1;
    QTest::newRow("a gap stays") << QList<int>{1, 3} << 4;
    QTest::newRow("one past the last, not the highest") << QList<int>{5, 2} << 3;
}

void TestOrderRules::nextLineNumber()
{
    QFETCH(QList<int>, items);
    QFETCH(int, next);
    std::vector<OrderLine> lines;
    for (int i : items)
        lines.push_back(line(i, QStringLiteral("A100"), 2, 1.25));
    QCOMPARE(orders::nextLineNumber(lines), next);
    QCOMPARE(orders::linesTotal(lines), Money::fromUnits(25000 * qint64(items.size())));
}

void TestOrderRules::lineRefusals_data()
{
    lineRefusalRows();
}

void TestOrderRules::lineRefusals()
{
    QFETCH(QString, qty);
    QFETCH(QString, ref);
    QFETCH(QString, price);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, focusBox);
    LineEntry entry;
    entry.qty = qty;
    entry.customerRefNo = ref;
    entry.priceEach = price;
    const LineChange change = orders::prepareLine(entry, {line(1, QStringLiteral("Q100"))});
    QVERIFY(change.refusal);
    QCOMPARE(change.refusal->text, text);
    QCOMPARE(change.refusal->title, title);
    QCOMPARE(change.refusal->field, focusBox);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM PriceUpdate")), 0);
}

void TestOrderRules::newLineAndPriceOffer_data()
{
    QTest::addColumn<QString>("lastChange"); // PriceUpdate date, empty for none (cut-off 1/1/2010)
    QTest::addColumn<QString>("typedPrice");
    QTest::addColumn<bool>("offered");

    QTest::newRow("never changed") << "" << "90" << true;
    QTest::newRow("changed before cut-off") << "2009-12-01" << "160" << true;
    QTest::newRow("changed after cut-off") << "2010-02-01" << "90" << false;
    QTest::newRow("catalogue price") << "" << "150" << false;
    QTest::newRow("same price written otherwise") << "" << "$150.00" << false;
}

void TestOrderRules::newLineAndPriceOffer()
{
    QFETCH(QString, lastChange);
    QFETCH(QString, typedPrice);
    QFETCH(bool, offered);
    if (!lastChange.isEmpty())
        m_db->db().insert(QStringLiteral("PriceUpdate"), {{"CustomerRefNumber", QStringLiteral("A100")},
                                                          {"DatePriceChanged", lastChange}});
    LineEntry entry;
    entry.qty = QStringLiteral(" 2 ");
    entry.customerRefNo = QStringLiteral(" a100 ");
    entry.style = QStringLiteral("typed");
    entry.priceEach = typedPrice;
    const LineChange change = orders::prepareLine(entry, {line(1, QStringLiteral("Q100")), line(3, QStringLiteral("Q200"))});
    QVERIFY(!change.refusal);
    QCOMPARE(change.row, -1);
    QVERIFY(change.set);
    QCOMPARE(change.set->totalPrice, Money::fromUnits(1500000));
    QCOMPARE(change.offerSetPrice, offered);
    // The line takes the catalogue's spelling, style and material and keeps the typed price.
    QCOMPARE(change.line.itemNumber, 4);
    QCOMPARE(change.line.qty, 2);
    QCOMPARE(change.line.customerRefNo, QStringLiteral("A100"));
    QCOMPARE(change.line.style, QStringLiteral("ST-A100"));
    QCOMPARE(change.line.material, QStringLiteral("BLK-01"));
    QCOMPARE(change.line.priceEach, *Money::parse(typedPrice));
    // Deciding writes nothing.
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM PriceUpdate")), lastChange.isEmpty() ? 0 : 1);
}

void TestOrderRules::changedLine_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("ref");
    QTest::addColumn<bool>("lookedUp");
    QTest::addColumn<QString>("storedRef");
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("row");

    // Line 3 holds a set made inactive since: keeping it needs no look-up.
    QTest::newRow("keeps an inactive set") << 3 << "X900" << false << "X900" << "kept" << 1;
    QTest::newRow("new set looked up") << 1 << "q200" << true << "Q200" << "ST-Q200" << 0;
    QTest::newRow("changed to an inactive set") << 1 << "X900" << true << "" << "" << -1;
}

void TestOrderRules::changedLine()
{
    QFETCH(int, item);
    QFETCH(QString, ref);
    QFETCH(bool, lookedUp);
    QFETCH(QString, storedRef);
    QFETCH(QString, style);
    QFETCH(int, row);
    const std::vector<OrderLine> lines = {line(1, QStringLiteral("A100")), line(3, QStringLiteral("X900"))};
    LineEntry entry;
    entry.itemNumber = item;
    entry.qty = QStringLiteral("6");
    entry.customerRefNo = ref;
    entry.style = QStringLiteral("kept");
    entry.priceEach = QStringLiteral("140");
    const LineChange change = orders::prepareLine(entry, lines);
    if (storedRef.isEmpty()) {
        QVERIFY(change.refusal);
        QCOMPARE(change.refusal->field, QStringLiteral("txtCustomerRefNo"));
        return;
    }
    QVERIFY(!change.refusal);
    QCOMPARE(change.row, row);
    QCOMPARE(change.set.has_value(), lookedUp);
    // A changed line asks no price question.
    QVERIFY(!change.offerSetPrice);
    QCOMPARE(change.line.itemNumber, item);
    QCOMPARE(change.line.customerRefNo, storedRef);
    QCOMPARE(change.line.style, style);
    QCOMPARE(change.line.priceExt(), Money::fromUnits(8400000));
}

void TestOrderRules::importSteps()
{
    WorkbookOrder o;
    auto add = [&o](const char *ref, double price) {
        WorkbookLine wl;
        wl.qty = 3;
        wl.customerRefNo = QString::fromLatin1(ref);
        wl.price = Money::fromDouble(price);
        o.lines.push_back(wl);
    };
    add("Q100", 95.5);
    add("Q200", 110);
    add("ZZ9", 5);
    add("Q300", 80); // after an unknown set: not added
    add("X900", 10);
    const std::vector<ImportStep> steps = orders::importSteps(o, 4);
    QCOMPARE(steps.size(), size_t(4));
    QCOMPARE(steps.at(0).line->itemNumber, 4);
    QCOMPARE(steps.at(0).line->style, QStringLiteral("ST-Q100"));
    QVERIFY(!steps.at(0).pricesDiffer);
    QCOMPARE(steps.at(1).line->itemNumber, 5);
    QVERIFY(steps.at(1).pricesDiffer);
    QCOMPARE(steps.at(1).line->priceEach, Money::fromUnits(1100000));
    QCOMPARE(steps.at(1).cataloguePrice, Money::fromUnits(1200000));
    QCOMPARE(orders::importPriceQuestion(steps.at(1)),
             QStringLiteral("Quintar's Price of 110 does not match your price of 120 for set Q200. Do you want to use "
                            "Quintar's price of 110?"));
    QCOMPARE(orders::importPriceTitle(), QStringLiteral("Prices Do Not Match"));
    QVERIFY(!steps.at(2).line);
    QCOMPARE(steps.at(2).customerRefNo, QStringLiteral("ZZ9"));
    QVERIFY(!steps.at(3).line);
    QCOMPARE(steps.at(3).customerRefNo, QStringLiteral("X900"));
    QCOMPARE(orders::unknownImportRefusal(QStringLiteral("ZZ9")).text,
             QStringLiteral("ZZ9 is not a valid Customer Reference Number. Please add the Customer Reference Number "
                            "and retry."));
    QCOMPARE(orders::unknownImportRefusal(QStringLiteral("ZZ9")).title, QStringLiteral("Invalid Customer Reference Number"));
}

void TestOrderRules::orderRefusals_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("saveText"); // empty: the save may go ahead
    QTest::addColumn<bool>("warned");      // the number is already used

    const QString required = QStringLiteral("Customer and Order Number fields are required.");
    QTest::newRow("new number") << "PO-10" << "Quintar" << "" << false;
    QTest::newRow("used number still saves") << "PO-9" << "Quintar" << "" << true;
    QTest::newRow("used by another customer") << "PO-9" << "Acme Upholstery" << "" << true;
    QTest::newRow("used, other case") << "po-9" << "Quintar" << "" << true;
    QTest::newRow("a prefix of a used number") << "PO-" << "Quintar" << "" << false;
    QTest::newRow("no number") << "" << "Quintar" << required << false;
    QTest::newRow("no customer") << "PO-9" << "" << required << true;
    QTest::newRow("neither") << "" << "" << required << false;
}

void TestOrderRules::orderRefusals()
{
    QFETCH(QString, number);
    QFETCH(QString, customer);
    QFETCH(QString, saveText);
    QFETCH(bool, warned);
    m_db->addOrder(QStringLiteral("Quintar"), QStringLiteral("PO-9"));

    const std::optional<Refusal> save = orders::refuseOrderSave(number, customer);
    QCOMPARE(save.has_value(), !saveText.isEmpty());
    if (save) {
        QCOMPARE(save->text, saveText);
        QCOMPARE(save->title, QStringLiteral("Required Fields"));
        QCOMPARE(save->field, QString());
    }
    const std::optional<Refusal> warning = orders::usedOrderNumberWarning(number);
    QCOMPARE(warning.has_value(), warned);
    if (warning) {
        QCOMPARE(warning->text, QStringLiteral("This Customer Order Number has been previously used."));
        QCOMPARE(warning->title, QStringLiteral("Order Number Previously Used."));
        // A warning keeps the number where it is.
        QCOMPARE(warning->field, QString());
    }
}

QTEST_GUILESS_MAIN(TestOrderRules)
#include "tst_orderrules.moc"
