#include "ui/Grid.h"
#include "ui/WindowMemory.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formats_data();
    void formats();
    void displayKeepsStoredText();
    void rowsAndSignals();
    void doubleClickReportsRowOrHeader();
    void editGateAndAfterEdit_data();
    void editGateAndAfterEdit();
    void draggedWidthsComeBack();
    void columnsFitTheGrid_data();
    void columnsFitTheGrid();
};

void TestGrid::formats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("shown");
    QTest::newRow("money") << "1234.5"
                           << "$#,###.##"
                           << "$1,234.50";
    QTest::newRow("money zero") << "0"
                                << "$#,###.##"
                                << "$0.00";
    QTest::newRow("money negative") << "-12"
                                    << "$#,##0.00"
                                    << "($12.00)";
    QTest::newRow("money half to even") << "0.125"
                                        << "$#,###.##"
                                        << "$0.12";
    QTest::newRow("not a number") << "n/a"
                                  << "$#,###.##"
                                  << "n/a";
    QTest::newRow("empty") << ""
                           << "$#,###.##"
                           << "";
    QTest::newRow("number") << "1234567.891"
                            << "#,##0.00"
                            << "1,234,567.89";
    QTest::newRow("plain number") << "-3.5"
                                  << "0.000"
                                  << "-3.500";
    QTest::newRow("date") << "2010-05-14"
                          << "m/d/yyyy"
                          << "5/14/2010";
    QTest::newRow("no format") << "1234.5"
                               << ""
                               << "1234.5";
}

void TestGrid::formats()
{
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    QCOMPARE(Grid::formatText(text, format), shown);
}

void TestGrid::displayKeepsStoredText()
{
    Grid g;
    g.setHeaders({QStringLiteral("Qty"), QStringLiteral("Price")});
    g.addItem(QStringLiteral("3\t1095.5"));
    g.setColumnFormat(1, QStringLiteral("$#,###.##"));
    QCOMPARE(g.text(0, 1), QStringLiteral("1095.5"));
    QCOMPARE(g.displayText(0, 1), QStringLiteral("$1,095.50"));
    QCOMPARE(g.cellIndex(0, 1).data(Qt::EditRole).toString(), QStringLiteral("1095.5"));
    // The width fits the shown text, not the shorter stored one.
    g.autoSize();
    QVERIFY(g.columnWidth(1) >= g.fontMetrics().horizontalAdvance(QStringLiteral("$1,095.50")));
}

void TestGrid::rowsAndSignals()
{
    Grid g;
    g.setHeaders({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    QCOMPARE(g.headers(), QStringList({"A", "B", "C"}));
    QSignalSpy moved(&g, &Grid::currentDataRowChanged);
    g.addRow({QStringLiteral("1"), QStringLiteral("x")});
    g.addItem(QStringLiteral("2\ty\tz"));
    QCOMPARE(g.rowCount(), 2);
    QCOMPARE(g.rowTexts(0), QStringList({"1", "x", ""}));
    g.setText(0, 2, QStringLiteral("w"));
    QCOMPARE(g.text(0, 2), QStringLiteral("w"));
    g.setCurrentCell(1, 0);
    g.setCurrentCell(1, 2); // same row: no move
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 1);
    QCOMPARE(g.currentDataRow(), 1);
    g.setColumnHidden(2, true);
    QVERIFY(g.isColumnHidden(2));
    g.setHeaders({QStringLiteral("Only")});
    QCOMPARE(g.rowCount(), 0);
    QCOMPARE(g.columnCount(), 1);
}

void TestGrid::doubleClickReportsRowOrHeader()
{
    Grid g;
    g.setHeaders({QStringLiteral("A"), QStringLiteral("B")});
    g.addItem(QStringLiteral("1\t2"));
    g.addItem(QStringLiteral("3\t4"));
    g.resize(300, 200);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QSignalSpy clicked(&g, &Grid::rowDoubleClicked);
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.cellIndex(1, 0)).center());
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, QPoint(5, g.viewport()->height() - 5));
    QTest::mouseDClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QCOMPARE(clicked.count(), 3);
    QCOMPARE(clicked.at(0).at(0).toInt(), 1);
    QCOMPARE(clicked.at(1).at(0).toInt(), -1);
    QCOMPARE(clicked.at(2).at(0).toInt(), -1);
}

void TestGrid::editGateAndAfterEdit_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QString>("newText");
    QTest::newRow("text, gate allows") << 0 << true << "1 DOOR";
    QTest::newRow("text, gate refuses") << 1 << false << "";
    QTest::newRow("check box, gate allows") << 2 << true << "0";
    QTest::newRow("check box, gate refuses") << 3 << false << "";
}

void TestGrid::editGateAndAfterEdit()
{
    QFETCH(int, column);
    QFETCH(bool, allowed);
    QFETCH(QString, newText);
    Grid g;
    g.setHeaders({"Name", "Qty", "Done", "Paid"});
    g.setCheckColumn(2);
    g.addItem(QStringLiteral("ALPHA\t4\t1\t1"));
    g.setCheckColumn(3); // set after the row: the stored text becomes the box
    QCOMPARE(g.rowTexts(0), QStringList({"ALPHA", "4", "1", "1"}));
    QVERIFY(g.cellIndex(0, 3).data(Qt::CheckStateRole) == Qt::Checked);
    g.setEditGate([](int row, int c) { return row == 0 && (c == 0 || c == 2); });
    g.resize(400, 200);
    g.show();
    g.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&g));
    QSignalSpy edited(&g, &Grid::cellEdited);
    const QString before = g.text(0, column);
    g.setCurrentCell(0, column);
    if (g.isCheckColumn(column)) {
        QTest::keyClick(g.viewport(), Qt::Key_Space);
    } else {
        QTest::keyClick(g.viewport(), Qt::Key_F2);
        QWidget *editor = QApplication::focusWidget();
        QCOMPARE(editor != &g && editor != g.viewport(), allowed);
        if (allowed) {
            auto *line = qobject_cast<QLineEdit *>(editor);
            QVERIFY(line);
            line->setText(newText);
            QTest::keyClick(line, Qt::Key_Return);
        }
    }
    // The editor commits through a queued call.
    QTRY_COMPARE(edited.count(), allowed ? 1 : 0);
    if (allowed) {
        QCOMPARE(edited.at(0).at(0).toInt(), 0);
        QCOMPARE(edited.at(0).at(1).toInt(), column);
        QCOMPARE(edited.at(0).at(2).toString(), before);
        QCOMPARE(edited.at(0).at(3).toString(), newText);
        QCOMPARE(g.text(0, column), newText);
    } else {
        QCOMPARE(g.text(0, column), before);
    }
}

namespace {

// A window as the windows build one: the grid's columns and their own widths set on opening.
struct GridWindow
{
    QWidget window;
    Grid *grid = new Grid(&window);
    GridWindow()
    {
        window.setObjectName(QStringLiteral("Shipment"));
        grid->setObjectName(QStringLiteral("vsfgShipment"));
        window.resize(500, 300);
        grid->resize(480, 280);
        grid->setHeaders({QStringLiteral("Order"), QStringLiteral("Box No."), QStringLiteral("Qty")});
        grid->setColumnWidth(0, 80);
        grid->setColumnWidth(1, 60);
        grid->setColumnWidth(2, 60);
        window.show();
    }
};

} // namespace

void TestGrid::draggedWidthsComeBack()
{
    QTemporaryDir dir;
    windowMemory::setFile(dir.filePath(QStringLiteral("windows.ini")));
    {
        GridWindow w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QHeaderView *header = w.grid->horizontalHeader();
        // The divider right of "Box No.", dragged 45 pixels to the right.
        const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
        QMouseEvent move(QEvent::MouseMove, QPointF(edge + 45, y),
                         header->viewport()->mapToGlobal(QPointF(edge + 45, y)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 45, y));
        QCOMPARE(w.grid->columnWidth(1), 105);
        QCOMPARE(w.grid->columnWidth(0), 80);
    }
    {
        GridWindow again;
        // The window's own 60 first; the clerk's 105 once the window has set its columns.
        QCOMPARE(again.grid->columnWidth(1), 60);
        QTRY_COMPARE(again.grid->columnWidth(1), 105);
        QCOMPARE(again.grid->columnWidth(0), 80);
    }
    windowMemory::setFile(QString());
    GridWindow off;
    QApplication::processEvents();
    QCOMPARE(off.grid->columnWidth(1), 60);
}

void TestGrid::columnsFitTheGrid_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("dragged"); // the width the clerk gave the notes, 0 for none
    QTest::newRow("too narrow: the longest text gives way") << 420 << 0;
    QTest::newRow("room to spare: the widest text takes it") << 1400 << 0;
    QTest::newRow("a dragged width stays") << 420 << 150;
}

// Sized to its contents, a grid shows every column across its own width: the longest text gives
// way (no narrower than its heading) or takes the room to spare; figures keep their widths.
void TestGrid::columnsFitTheGrid()
{
    QFETCH(int, width);
    QFETCH(int, dragged);
    Grid g;
    g.setColumns({GridColumn::text(QStringLiteral("Box No.")), GridColumn::text(QStringLiteral("Notes")),
                  GridColumn::text(QStringLiteral("Customer")), GridColumn::money(QStringLiteral("Price"))});
    g.addRow({QStringLiteral("12"), QString(60, u'n'), QString(30, u'c'), QStringLiteral("123456.78")});
    g.resize(width, 200);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    if (dragged) {
        QHeaderView *header = g.horizontalHeader();
        const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
        QMouseEvent move(QEvent::MouseMove, QPointF(edge + 20, y),
                         header->viewport()->mapToGlobal(QPointF(edge + 20, y)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 20, y));
        g.setColumnWidth(1, dragged); // as the clerk left it
    }
    g.autoSize();
    const int price = g.fontMetrics().horizontalAdvance(g.displayText(0, 3));
    const int boxNo = g.fontMetrics().horizontalAdvance(QStringLiteral("Box No."));
    g.resize(width + 1, 200); // a resize fits them again
    QApplication::processEvents();
    QVERIFY(g.columnWidth(3) > price);
    QVERIFY(g.columnWidth(0) > boxNo);
    if (dragged)
        QCOMPARE(g.columnWidth(1), dragged);
    else
        QVERIFY(g.columnWidth(1) >= g.columnWidth(2) - 1); // the notes give way last, or take the room
    QVERIFY2(g.horizontalHeader()->length() <= g.viewport()->width(),
             qPrintable(
                 QStringLiteral("%1 in %2").arg(g.horizontalHeader()->length()).arg(g.viewport()->width())));
    QVERIFY(!g.horizontalScrollBar()->isVisible());
    if (width > 1000) // no gap at the right
        QCOMPARE(g.horizontalHeader()->length(), g.viewport()->width());
}

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
