#include "InventoryFixture.h"
#include "WindowDriver.h"
#include "inventory/InventoryAdjust.h"
#include "inventory/InventoryValueAdjust.h"
#include "ui/Grid.h"
#include "ui/GridPrint.h"
#include "ui/MoneyField.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

// The adjustment and item value windows driven through their grids, and the price reset.
class TestInventoryAdjust : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;
    CapturedGridPrints prints;
    QPointer<QWidget> window;

    InventoryAdjust *openAdjust()
    {
        auto *w = drive::open<InventoryAdjust>(QStringLiteral("InventoryAdjust"));
        window = w;
        return w;
    }
    InventoryAdjust *filledAdjust()
    {
        InventoryAdjust *w = openAdjust();
        drive::focus(w->txtReason); // leaving the date fills the grid
        return w;
    }
    static int rowOf(Grid *g, const QString &material)
    {
        for (int r = 0; r < g->rowCount(); ++r) {
            if (g->text(r, 0) == material)
                return r;
        }
        return -1;
    }
    // A user's edit of one cell, through the grid's edit gate.
    static bool edit(Grid *g, int row, int column, const QString &text)
    {
        return g->gridModel()->setData(g->cellIndex(row, column), text);
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        t->addMaterial(QStringLiteral("BLK"));
        t->addMaterial(QStringLiteral("VNL"), QStringLiteral("Vinyl"));
        t->addMaterial(QStringLiteral("NEW"));
        t->addCustomer(QStringLiteral("Cove"));
        const qint64 order = t->addOrder(QStringLiteral("Cove"), QStringLiteral("PO-1"));
        fixture::line(order, 1, 9, QStringLiteral("R1"), QStringLiteral("BLK"));
        fixture::adjust(QDate(2010, 3, 1), {{"BLK", 10, 4}, {"VNL", 2, 4.64}});
        fixture::cut(order, 1, 1, 3, QDate(2010, 3, 2));
        fixture::adjust(QDate(2010, 6, 1), {{"BLK", 100, 50}});
        fixture::value(QStringLiteral("BLK"), 4.62);
        fixture::value(QStringLiteral("VNL"), 4.63);
        prints = CapturedGridPrints();
        setGridPrintOutput(&prints);
        MessageBox::clearShown();
    }
    void cleanup()
    {
        drive::closeIfOpen(window);
        setGridPrintOutput(nullptr);
        t.reset();
    }

    void fillsAsItOpensAndAgainOnLeavingTheDate()
    {
        InventoryAdjust *w = openAdjust();
        QCOMPARE(w->windowTitle(), QStringLiteral("Inventory Adjust"));
        QCOMPARE(w->txtTotal->rawText(), QStringLiteral("0"));
        QCOMPARE(w->dtDate->date(), QDate(2010, 5, 14));
        QVERIFY(w->dtDate->hasFocus());
        Grid *g = w->vsfgAdj;
        // Filled without leaving the date.
        QTRY_COMPARE(g->rowCount(), 3);
        QVERIFY(w->dtDate->hasFocus());
        QCOMPARE(g->headers(), QStringList({"Material", "Description", "Status", "Type", "UoM", "On Hand",
                                            "Adjustment", "New Balance", "Unit Price", "Price Ext"}));
        QCOMPARE(g->rowTexts(rowOf(g, "BLK")),
                 QStringList({"BLK", "BLK hide", "Active", "Leather", "Feet", "7", "", "7", "4", ""}));
        QCOMPARE(g->rowTexts(rowOf(g, "NEW")).mid(4), QStringList({"Feet", "0", "", "0", "0", ""}));
        QCOMPARE(g->rowTexts(rowOf(g, "VNL")).mid(4), QStringList({"Yards", "2", "", "2", "4.64", ""}));
        QCOMPARE(g->displayText(rowOf(g, "VNL"), 8), QStringLiteral("$4.64"));

        // Leaving the same day with a typed line rebuilds the grid: the line is gone.
        QVERIFY(edit(g, rowOf(g, "BLK"), 6, QStringLiteral("5")));
        drive::focus(w->txtReason);
        QCOMPARE(g->text(rowOf(g, "BLK"), 6), QString());

        // Leaving it for a new day rebuilds the grid for that day; typed lines are gone.
        QVERIFY(edit(g, rowOf(g, "BLK"), 6, QStringLiteral("5")));
        drive::focus(w->dtDate);
        w->dtDate->setDate(QDate(2010, 6, 1));
        drive::focus(w->dtDate);
        drive::focus(w->txtReason);
        QCOMPARE(g->rowTexts(rowOf(g, "BLK")).mid(5), QStringList({"107", "", "107", "27", ""}));
    }

    void editGate_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("allowed");
        for (int c = 0; c < 10; ++c)
            QTest::addRow("column %d", c) << c << (c == 6 || c == 8);
    }
    void editGate()
    {
        QFETCH(int, column);
        QFETCH(bool, allowed);
        InventoryAdjust *w = filledAdjust();
        const QString before = w->vsfgAdj->text(0, column);
        QCOMPARE(w->vsfgAdj->mayEdit(0, column), allowed);
        QCOMPARE(edit(w->vsfgAdj, 0, column, QStringLiteral("3")), allowed);
        if (!allowed)
            QCOMPARE(w->vsfgAdj->text(0, column), before);
    }

    void typedInTheGrid()
    {
        InventoryAdjust *w = filledAdjust();
        Grid *g = w->vsfgAdj;
        const int r = rowOf(g, "BLK");
        g->setFocus();
        g->setCurrentCell(r, 6);
        QTest::keyClick(g->viewport(), Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(QStringLiteral("2"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(g->text(r, 9), QStringLiteral("8"));
        QCOMPARE(g->text(r, 7), QStringLiteral("9"));
        QCOMPARE(w->txtTotal->rawText(), QStringLiteral("8"));
    }

    void recompute_data()
    {
        QTest::addColumn<QStringList>("edits");    // "column=text", in order, on the BLK line
        QTest::addColumn<QStringList>("expected"); // Adjustment, New Balance, Unit Price, Price Ext
        QTest::addColumn<QString>("total");
        QTest::newRow("quantity") << QStringList{"6=5"} << QStringList{"5", "12", "4", "20"} << "20";
        QTest::newRow("removal") << QStringList{"6=-2.5"} << QStringList{"-2.5", "4.5", "4", "-10"} << "-10";
        QTest::newRow("letters become 0") << QStringList{"6=abc"} << QStringList{"0", "7", "4", "0"} << "0";
        QTest::newRow("price without quantity")
            << QStringList{"8=6"} << QStringList{"", "7", "6", "0"} << "0";
        QTest::newRow("price after quantity")
            << QStringList{"6=5", "8=4.5"} << QStringList{"5", "12", "4.5", "22.5"} << "22.5";
        QTest::newRow("price letters become 0")
            << QStringList{"6=5", "8=x"} << QStringList{"5", "12", "0", "0"} << "0";
        QTest::newRow("quantity cleared")
            << QStringList{"6=5", "6="} << QStringList{"0", "7", "4", "0"} << "0";
    }
    void recompute()
    {
        QFETCH(QStringList, edits);
        QFETCH(QStringList, expected);
        QFETCH(QString, total);
        InventoryAdjust *w = filledAdjust();
        Grid *g = w->vsfgAdj;
        const int r = rowOf(g, "BLK");
        // Another line adds to the total without being touched again.
        QVERIFY(edit(g, rowOf(g, "VNL"), 6, QStringLiteral("1")));
        for (const QString &e : edits)
            QVERIFY(edit(g, r, e.section(u'=', 0, 0).toInt(), e.section(u'=', 1)));
        QCOMPARE(QStringList({g->text(r, 6), g->text(r, 7), g->text(r, 8), g->text(r, 9)}), expected);
        QCOMPARE(*Money::parse(w->txtTotal->rawText()),
                 *Money::parse(total) + *Money::parse(QStringLiteral("4.64")));
    }

    void saveWritesAndPrintsTheAdjustedLines()
    {
        InventoryAdjust *w = filledAdjust();
        Grid *g = w->vsfgAdj;
        drive::type(w->txtReason, QStringLiteral("Count"));
        edit(g, rowOf(g, "BLK"), 6, QStringLiteral("3"));
        edit(g, rowOf(g, "BLK"), 8, QStringLiteral("4.63"));
        edit(g, rowOf(g, "VNL"), 6, QStringLiteral("1"));
        edit(g, rowOf(g, "NEW"), 8, QStringLiteral("9")); // a price alone is no adjustment
        MessageBox::script({MessageBox::No, MessageBox::Yes});
        drive::click(w->btnSave);

        QVERIFY(!drive::stillOpen(window));
        QCOMPARE(fixture::count(QStringLiteral("Adjustment")), 3);
        const RowSet lines = t->db().query(
            QStringLiteral("SELECT MaterialID, Adjustment, PriceEach, PriceExt FROM AdjustmentItem "
                           "WHERE AdjustmentID = (SELECT MAX(ID) FROM Adjustment) ORDER BY %1")
                .arg(t->db().rowKey()));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].text("MaterialID"), QStringLiteral("BLK"));
        QCOMPARE(lines[0].money("PriceExt"), *Money::parse(QStringLiteral("13.89")));
        QCOMPARE(lines[1].text("MaterialID"), QStringLiteral("VNL"));
        // 4.625 and 4.635 to the even cent.
        QCOMPARE(fixture::storedValue(QStringLiteral("BLK")), 4.62);
        QCOMPARE(fixture::storedValue(QStringLiteral("VNL")), 4.64);
        QCOMPARE(fixture::count(QStringLiteral("ItemValue")), 2);

        // Printed twice (No, then Yes), the data written once.
        QCOMPARE(prints.prints.size(), 2);
        const GridPrintJob &job = prints.prints.first();
        QCOMPARE(job.title, QStringLiteral("Count  -  18.53  -  5/14/2010"));
        QCOMPARE(job.orientation, QPageLayout::Landscape);
        QVERIFY(job.printerDialog);
        QCOMPARE(job.rows.size(), 2);
        QCOMPARE(job.rows.at(0).first(), QStringLiteral("BLK"));
        QCOMPARE(job.rows.at(1).first(), QStringLiteral("VNL"));
        QCOMPARE(drive::shownTexts(), QStringList({"Did the report print OK?", "Did the report print OK?"}));
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Print Confirmation"));
    }

    void nothingAdjustedClosesWithoutWriting()
    {
        InventoryAdjust *w = filledAdjust();
        edit(w->vsfgAdj, 0, 8, QStringLiteral("9"));
        drive::click(w->btnSave);
        QVERIFY(!drive::stillOpen(window));
        QCOMPARE(fixture::count(QStringLiteral("Adjustment")), 2);
        QCOMPARE(prints.prints.size(), 0);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void reasonLength()
    {
        InventoryAdjust *w = filledAdjust();
        const QString tooLong(256, u'r');
        w->txtReason->setText(tooLong);
        drive::focus(w->vsfgAdj);
        QCOMPARE(drive::shownTexts(),
                 QStringList({"You may only enter up to 255 characters in the Description Field."}));
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Too Many Characters"));
        QVERIFY(w->txtReason->hasFocus());

        // Refused at save too, however the text got there.
        edit(w->vsfgAdj, 0, 6, QStringLiteral("1"));
        MessageBox::clearShown();
        w->btnSave->click();
        QVERIFY(drive::stillOpen(window));
        QCOMPARE(drive::shownTexts(),
                 QStringList({"You may only enter up to 255 characters in the Description Field."}));
        QCOMPARE(fixture::count(QStringLiteral("Adjustment")), 2);

        w->txtReason->setText(tooLong.left(255));
        w->btnSave->click();
        QVERIFY(!drive::stillOpen(window));
        QCOMPARE(fixture::count(QStringLiteral("Adjustment")), 3);
    }

    void failedSaveLeavesNothing()
    {
        RefusedWrites refused(t->db(), QStringLiteral("ItemValue"), QStringLiteral("UPDATE"),
                              QStringLiteral("value refused"), QStringLiteral("NEW.MaterialID = 'VNL'"));
        InventoryAdjust *w = filledAdjust();
        Grid *g = w->vsfgAdj;
        edit(g, rowOf(g, "BLK"), 6, QStringLiteral("3"));
        edit(g, rowOf(g, "VNL"), 6, QStringLiteral("1"));
        drive::click(w->btnSave);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY2(MessageBox::shown().first().text.contains(QStringLiteral("value refused")),
                 qPrintable(MessageBox::shown().first().text));
        QVERIFY(drive::stillOpen(window));
        QCOMPARE(g->text(rowOf(g, "BLK"), 6), QStringLiteral("3")); // the edits stay
        QCOMPARE(fixture::count(QStringLiteral("Adjustment")), 2);
        QCOMPARE(fixture::count(QStringLiteral("AdjustmentItem")), 3);
        QCOMPARE(fixture::storedValue(QStringLiteral("BLK")), 4.62);
        QCOMPARE(prints.prints.size(), 0);

        refused.lift();
        drive::click(w->btnSave);
        QVERIFY(!drive::stillOpen(window));
        QCOMPARE(fixture::count(QStringLiteral("AdjustmentItem")), 5);
    }

    // --- Item values ----------------------------------------------------------------------

    void valueWindowOpensFilled()
    {
        auto *w = drive::open<InventoryValueAdjust>(QStringLiteral("AdjustValue"));
        window = w;
        QCOMPARE(w->windowTitle(), QStringLiteral("Inventory Value Adjust"));
        Grid *g = w->vsfgAdj;
        QCOMPARE(g->headers(),
                 QStringList({"Material", "Description", "Status", "Type", "Avg Price", "New Price"}));
        QStringList shown;
        for (int r = 0; r < g->rowCount(); ++r)
            shown << g->text(r, 0) + u'=' + g->displayText(r, 4);
        QCOMPARE(shown, QStringList({"BLK=$4.62", "NEW=$0.00", "VNL=$4.63"}));
        for (int c = 0; c < 6; ++c)
            QCOMPARE(g->mayEdit(0, c), c == 5);
        QCOMPARE(g->columnAlignment(3) & Qt::AlignHCenter, Qt::AlignHCenter);
    }

    void newPriceMustBeNumeric_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("message");
        QTest::newRow("number") << QStringList{"12.345"} << "12.345" << false;
        QTest::newRow("letters") << QStringList{"ten"} << "0.00" << true;
        QTest::newRow("typed, then cleared") << QStringList{"5", ""} << "0.00" << true;
    }
    void newPriceMustBeNumeric()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, kept);
        QFETCH(bool, message);
        auto *w = drive::open<InventoryValueAdjust>(QStringLiteral("AdjustValue"));
        window = w;
        for (const QString &text : typed)
            QVERIFY(edit(w->vsfgAdj, 1, 5, text));
        QCOMPARE(w->vsfgAdj->text(1, 5), kept);
        QCOMPARE(drive::shownTexts(), message ? QStringList{"The Value must be Numeric."} : QStringList());
        if (message)
            QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Invalid Entry"));
    }

    void valueSaveRoundsAndPrints()
    {
        auto *w = drive::open<InventoryValueAdjust>(QStringLiteral("AdjustValue"));
        window = w;
        edit(w->vsfgAdj, 0, 5, QStringLiteral("0.125")); // BLK
        edit(w->vsfgAdj, 1, 5, QStringLiteral("0.375")); // NEW: had no value
        MessageBox::script({MessageBox::No, MessageBox::Yes});
        drive::click(w->btnSave);
        QVERIFY(!drive::stillOpen(window));
        QCOMPARE(fixture::storedValue(QStringLiteral("BLK")), 0.12);
        QCOMPARE(fixture::storedValue(QStringLiteral("NEW")), 0.38);
        QCOMPARE(fixture::storedValue(QStringLiteral("VNL")), 4.63);
        QCOMPARE(prints.prints.size(), 2);
        QCOMPARE(prints.prints.first().orientation, QPageLayout::Portrait);
        QVERIFY(prints.prints.first().printerDialog);
        QVERIFY(prints.prints.first().title.isEmpty());
        QCOMPARE(prints.prints.first().rows.size(), 3); // the whole grid
    }

    void valueSavePrintsEvenUnchanged()
    {
        auto *w = drive::open<InventoryValueAdjust>(QStringLiteral("AdjustValue"));
        window = w;
        drive::click(w->btnSave);
        QVERIFY(!drive::stillOpen(window));
        QCOMPARE(prints.prints.size(), 1);
        QCOMPARE(fixture::storedValue(QStringLiteral("BLK")), 4.62);
    }

    void resetPrice_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<double>("blk");
        QTest::addColumn<int>("values");
        QTest::newRow("no keeps every value") << int(MessageBox::No) << 4.62 << 2;
        // 4 and 50 plain; VNL 4.64; NEW has no lines and no value.
        QTest::newRow("yes averages every line") << int(MessageBox::Yes) << 27.0 << 2;
    }
    void resetPrice()
    {
        QFETCH(int, answer);
        QFETCH(double, blk);
        QFETCH(int, values);
        fixture::value(QStringLiteral("NEW"), 1);
        MessageBox::script({MessageBox::Button(answer)});
        ResetPrice(nullptr);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
                 QStringLiteral(
                     "By clicking yes you will over-write any item pricing you have edited with the average "
                     "price for all adjustments. Are you sure you wish to continue?"));
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Confirmation"));
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::YesNo);
        QCOMPARE(fixture::storedValue(QStringLiteral("BLK")), blk);
        QCOMPARE(fixture::count(QStringLiteral("ItemValue")), values + (answer == MessageBox::No ? 1 : 0));
    }
};

QTEST_MAIN(TestInventoryAdjust)
#include "tst_inventoryadjust.moc"
