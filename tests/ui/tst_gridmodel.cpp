#include "core/Money.h"
#include "ui/Grid.h"
#include "ui/GridModel.h"
#include "ui/GridPrint.h"
#include "ui/MessageBox.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QList<GridColumn> orderColumns()
{
    return {{QStringLiteral("Item"), CellType::Whole},
            {QStringLiteral("Ref"), CellType::Text},
            {QStringLiteral("Price"), CellType::Money, QStringLiteral("$#,###.##")},
            {QStringLiteral("Due"), CellType::Date},
            {QStringLiteral("Done"), CellType::Check},
            {QStringLiteral("ID"), CellType::Whole, {}, true}};
}

} // namespace

class TestGridModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void addValueRowsInsertsOnce();
    void init()
    {
        MessageBox::script();
        MessageBox::clearShown();
    }
    void passesModelTester();
    void typedCells_data();
    void typedCells();
    void sortRows_data();
    void sortRows();
    void userEdits_data();
    void userEdits();
    void viewShowsRefusalAndKeepsValue();
    void hiddenRowsAndColumns();
    void printRecordsTitleAndOrientation();
    void printPagesFollowOrientation();
};

void TestGridModel::passesModelTester()
{
    GridModel m;
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.setColumns(orderColumns());
    m.addRow({"1", "A100", "150", "2010-05-14", "1", "7"});
    m.addValues({2, QStringLiteral("Q100"), QVariant::fromValue(Money::fromUnits(955000)), QDate(2010, 6, 1),
                 false, 8});
    m.addRow({"3"});
    m.setValue(2, 2, 12.25);
    m.setText(2, 1, QStringLiteral("Q300"));
    m.setColumnFormat(2, QStringLiteral("$#,##0.00"));
    m.setDefaultAlignment(Qt::AlignCenter);
    m.setColumnType(1, CellType::Whole);
    m.removeRow(1);
    QVERIFY(!m.removeRows(0, 5));
    m.clearRows();
    m.setHeaders({QStringLiteral("Only")});
    QCOMPARE(m.columnCount(), 1);
    QCOMPARE(m.rowCount(), 0);
}

void TestGridModel::typedCells_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    const auto money = int(CellType::Money);
    QTest::newRow("money, thousands")
        << money << "$#,###.##" << QVariant::fromValue(Money::fromUnits(12345000)) << "1234.5"
        << "$1,234.50";
    QTest::newRow("money, negative") << money << "$#,##0.00" << QVariant(-12) << "-12"
                                     << "($12.00)";
    QTest::newRow("money from typed text") << money << "$#,###.##" << QVariant("$1,095.50") << "1095.5"
                                           << "$1,095.50";
    QTest::newRow("money, none") << money << "$#,###.##" << QVariant() << ""
                                 << "";
    QTest::newRow("whole, grouped") << int(CellType::Whole) << "#,##0" << QVariant(1200) << "1200"
                                    << "1,200";
    QTest::newRow("whole from a Money")
        << int(CellType::Whole) << "" << QVariant::fromValue(Money::fromUnits(30000)) << "3"
        << "3";
    QTest::newRow("date, ISO stored") << int(CellType::Date) << "" << QVariant("2010-05-03") << "2010-05-03"
                                      << "5/3/2010";
    QTest::newRow("date, typed") << int(CellType::Date) << "" << QVariant("12/31/2010") << "2010-12-31"
                                 << "12/31/2010";
    QTest::newRow("date with a time")
        << int(CellType::Date) << "" << QVariant("2010-05-03 14:20:00") << "2010-05-03"
        << "5/3/2010";
    QTest::newRow("check on") << int(CellType::Check) << "" << QVariant(true) << "1"
                              << "X";
    QTest::newRow("check off by text") << int(CellType::Check) << "" << QVariant("false") << "0"
                                       << "";
    QTest::newRow("text keeps spaces") << int(CellType::Text) << "" << QVariant(" a ") << " a "
                                       << " a ";
}

void TestGridModel::sortRows_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("cells"); // stored texts, one row each
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("sorted");
    const int up = int(Qt::AscendingOrder);
    const int down = int(Qt::DescendingOrder);
    QTest::newRow("numbers by value, not text") << int(CellType::Whole) << QStringList{"10", "9", "", "100"}
                                                << up << QStringList{"", "9", "10", "100"};
    QTest::newRow("numbers reversed") << int(CellType::Whole) << QStringList{"10", "9", "", "100"} << down
                                      << QStringList{"100", "10", "9", ""};
    QTest::newRow("money") << int(CellType::Money) << QStringList{"1200", "95.5", "-3"} << up
                           << QStringList{"-3", "95.5", "1200"};
    QTest::newRow("dates by day") << int(CellType::Date)
                                  << QStringList{"2010-12-01", "2009-05-14", "2010-02-28"} << up
                                  << QStringList{"2009-05-14", "2010-02-28", "2010-12-01"};
    QTest::newRow("text ignoring case") << int(CellType::Text) << QStringList{"bolt", "Anchor", "acme"} << up
                                        << QStringList{"acme", "Anchor", "bolt"};
}

// Sorting orders whole rows, keeps equal rows in their order and carries hidden rows along.
void TestGridModel::sortRows()
{
    QFETCH(int, type);
    QFETCH(QStringList, cells);
    QFETCH(int, order);
    QFETCH(QStringList, sorted);
    GridModel m;
    m.setColumns({{QStringLiteral("Key"), CellType(type), QString()},
                  {QStringLiteral("Tag"), CellType::Text, QString()}});
    for (int i = 0; i < cells.size(); ++i)
        m.addRow({cells.at(i), QStringLiteral("row%1").arg(i)});
    m.setRowHidden(1, true);
    m.sortRows(0, Qt::SortOrder(order));
    QStringList keys;
    for (int r = 0; r < m.rowCount(); ++r) {
        keys << m.text(r, 0);
        const int was = int(cells.indexOf(m.text(r, 0)));
        QCOMPARE(m.text(r, 1), QStringLiteral("row%1").arg(was)); // the row moved whole
        QCOMPARE(m.isRowHidden(r), was == 1);
    }
    QCOMPARE(keys, sorted);
}

void TestGridModel::typedCells()
{
    QFETCH(int, type);
    QFETCH(QString, format);
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    GridModel m;
    m.setColumns({{QStringLiteral("Cell"), CellType(type), format}});
    m.addValues({value});
    QCOMPARE(m.text(0, 0), text);
    QCOMPARE(m.displayText(0, 0), shown);
    // A stored text read back gives the same cell.
    m.addRow({text});
    QCOMPARE(m.rowTexts(1), QStringList{text});
    QCOMPARE(m.value(1, 0), m.value(0, 0));
}

void TestGridModel::userEdits_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("refusal"); // empty: none

    QTest::newRow("whole number") << 0 << QVariant("12") << true << "12"
                                  << "";
    QTest::newRow("letters for a number") << 0 << QVariant("12x") << false << "1"
                                          << "Item must be a whole number, such as 12.";
    QTest::newRow("fraction for a number") << 0 << QVariant("1.5") << false << "1"
                                           << "Item must be a whole number, such as 12.";
    QTest::newRow("amount as shown") << 2 << QVariant("$1,200.00") << true << "1200"
                                     << "";
    QTest::newRow("letters for an amount") << 2 << QVariant("ten") << false << "150"
                                           << "Price must be an amount, such as 95.50.";
    QTest::newRow("emptied amount") << 2 << QVariant("") << true << ""
                                    << "";
    QTest::newRow("not a date") << 3 << QVariant("13/45/2010") << false << "2010-05-14"
                                << "Due must be a date, such as 5/14/2010.";
    QTest::newRow("date typed") << 3 << QVariant("6/1/2010") << true << "2010-06-01"
                                << "";
    QTest::newRow("year with its digits turned") << 3 << QVariant("3/5/5202") << false << "2010-05-14"
                                                 << "Due must be a date, such as 5/14/2010.";
    QTest::newRow("year before 1900") << 3 << QVariant("12/31/1899") << false << "2010-05-14"
                                      << "Due must be a date, such as 5/14/2010.";
    QTest::newRow("last year typed") << 3 << QVariant("12/31/2099") << true << "2099-12-31"
                                     << "";
    QTest::newRow("check box toggled") << 4 << QVariant(int(Qt::Unchecked)) << true << "0"
                                       << "";
    QTest::newRow("gate refuses") << 1 << QVariant("B200") << false << "A100"
                                  << "";
}

void TestGridModel::userEdits()
{
    QFETCH(int, column);
    QFETCH(QVariant, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, after);
    QFETCH(QString, refusal);
    GridModel m;
    m.setColumns(orderColumns());
    m.addRow({"1", "A100", "150", "2010-05-14", "1", "7"});
    m.setEditGate([](int, int c) { return c != 1; });
    QSignalSpy edited(&m, &GridModel::cellEdited);
    QSignalSpy refused(&m, &GridModel::editRefused);
    const QString before = m.text(0, column);
    const int role = m.column(column).type == CellType::Check ? Qt::CheckStateRole : Qt::EditRole;
    QCOMPARE(m.setData(m.index(0, column), typed, role), accepted);
    QCOMPARE(m.text(0, column), after);
    QCOMPARE(edited.count(), accepted ? 1 : 0);
    if (accepted) {
        QCOMPARE(edited.at(0).at(2).toString(), before);
        QCOMPARE(edited.at(0).at(3).toString(), after);
    }
    QCOMPARE(refused.count(), refusal.isEmpty() ? 0 : 1);
    if (!refusal.isEmpty())
        QCOMPARE(refused.at(0).at(2).value<Refusal>().text, refusal);
    // Only gated cells are editable.
    QCOMPARE(bool(m.flags(m.index(0, 1)) & Qt::ItemIsEditable), false);
    QCOMPARE(bool(m.flags(m.index(0, 0)) & Qt::ItemIsEditable), true);
    QCOMPARE(bool(m.flags(m.index(0, 4)) & Qt::ItemIsUserCheckable), true);
}

void TestGridModel::viewShowsRefusalAndKeepsValue()
{
    Grid g;
    g.setColumns(orderColumns());
    g.addRow({"1", "A100", "150"});
    g.setEditGate([](int, int) { return true; });
    g.resize(500, 200);
    g.show();
    g.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&g));
    QSignalSpy edited(&g, &Grid::cellEdited);
    g.setCurrentCell(0, 2);
    QTest::keyClick(g.viewport(), Qt::Key_F2);
    auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(line);
    QCOMPARE(line->text(), QStringLiteral("150"));
    line->setText(QStringLiteral("12 dollars"));
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("Price must be an amount, such as 95.50."));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Not a Valid Amount"));
    QCOMPARE(g.text(0, 2), QStringLiteral("150"));
    QCOMPARE(edited.count(), 0);
}

void TestGridModel::hiddenRowsAndColumns()
{
    Grid g;
    g.setColumns(orderColumns());
    QVERIFY(g.isColumnHidden(5)); // hidden by its column
    g.addRow({"1", "A100"});
    g.addRow({"2", "Q100"});
    g.setRowHidden(0, true);
    g.setColumnHidden(1, true);
    QVERIFY(g.isRowHidden(0));
    QVERIFY(g.isColumnHidden(1));
    // Rows added later and a removal keep the view in step with the model.
    g.addRow({"3", "Q300"});
    QVERIFY(!g.isRowHidden(2));
    g.removeRow(1);
    QVERIFY(g.isRowHidden(0));
    QVERIFY(!g.isRowHidden(1));
    g.setRowHidden(0, false);
    QVERIFY(!g.isRowHidden(0));
    // A new set of rows keeps the columns' hiding.
    g.gridModel()->clearRows();
    g.addRow({"4"});
    QVERIFY(g.isColumnHidden(1));
    QVERIFY(g.isColumnHidden(5));
}

void TestGridModel::printRecordsTitleAndOrientation()
{
    CapturedGridPrints captured;
    setGridPrintOutput(&captured);
    Grid g;
    g.setColumns(orderColumns());
    g.setColumnAlignment(2, Qt::AlignRight);
    g.addRow({"1", "A100", "1095.5", "2010-05-14", "1", "7"});
    g.addRow({"2", "Q100", "80", "", "0", "8"});
    g.addRow({"3", "Q300", "12", "", "0", "9"});
    g.setRowHidden(1, true);
    QVERIFY(g.print(QStringLiteral("Open Lines"), QPageLayout::Landscape));
    QVERIFY(g.print(QString(), QPageLayout::Portrait, true));
    setGridPrintOutput(nullptr);
    QCOMPARE(captured.prints.size(), 2);
    QVERIFY(captured.prints.at(1).printerDialog);
    QCOMPARE(captured.prints.at(1).orientation, QPageLayout::Portrait);
    const GridPrintJob &job = captured.prints.first();
    QVERIFY(!job.printerDialog);
    QCOMPARE(job.title, QStringLiteral("Open Lines"));
    QCOMPARE(job.orientation, QPageLayout::Landscape);
    QCOMPARE(job.headers, QStringList({"Item", "Ref", "Price", "Due", "Done"}));
    QCOMPARE(job.rows.size(), 2);
    QCOMPARE(job.rows.at(0), QStringList({"1", "A100", "$1,095.50", "5/14/2010", "X"}));
    QCOMPARE(job.rows.at(1), QStringList({"3", "Q300", "$12.00", "", ""}));
    QCOMPARE(job.alignments.at(2), Qt::Alignment(Qt::AlignRight));
}

void TestGridModel::printPagesFollowOrientation()
{
    GridModel m;
    m.setColumns(orderColumns());
    for (int i = 1; i <= 150; ++i)
        m.addRow({QString::number(i), QStringLiteral("A100"), QStringLiteral("150")});
    QTemporaryDir dir;
    int pages[2] = {};
    for (QPageLayout::Orientation o : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        const QString path = dir.filePath(QStringLiteral("grid%1.pdf").arg(int(o)));
        {
            QPdfWriter writer(path);
            writer.setResolution(300);
            pages[int(o)] = paintGrid(writer, gridPrintJob(m, QStringLiteral("Lines"), o));
            QCOMPARE(writer.pageLayout().orientation(), o);
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5).startsWith("%PDF"));
    }
    // 150 rows do not fit one page either way; the short landscape page takes more pages.
    QVERIFY2(pages[0] >= 2, qPrintable(QString::number(pages[0])));
    QVERIFY2(pages[1] > pages[0], qPrintable(QStringLiteral("%1 %2").arg(pages[0]).arg(pages[1])));
}

void TestGridModel::addValueRowsInsertsOnce()
{
    GridModel m;
    m.setColumns({GridColumn::whole(QStringLiteral("ID")), GridColumn::money(QStringLiteral("Price"))});
    m.addValues({1, QStringLiteral("2.5")});
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    m.addValueRows(
        {{2, QVariant::fromValue(Money::fromUnits(75000))}, {QStringLiteral("x"), QStringLiteral("9")}, {}});
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 1);
    QCOMPARE(inserted.at(0).at(2).toInt(), 3);
    QCOMPARE(m.rowCount(), 4);
    QCOMPARE(m.rowTexts(1), QStringList({"2", "7.5"}));
    QCOMPARE(m.rowTexts(2), QStringList({"", "9"})); // a value that does not fit its column stays empty
    QCOMPARE(m.rowTexts(3), QStringList({"", ""}));
    m.addValueRows({});
    QCOMPARE(inserted.size(), 1);
}

QTEST_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
