#include "core/Spreadsheet.h"

#include <QtTest>

namespace {
QString fixture(const QString &name)
{
    return QDir(qEnvironmentVariable("CORVANE_FIXTURES")).filePath(name);
}
} // namespace

class TestSpreadsheet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsCells_data();
    void readsCells();
    void xlsFormulaReadsEmpty();
    void refusesWhatIsNoWorkbook_data();
    void refusesWhatIsNoWorkbook();
    void references_data();
    void references();
    void serialDates_data();
    void serialDates();
};

void TestSpreadsheet::readsCells_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xls") << "quintar.xls";
    QTest::newRow("xlsx shared strings") << "quintar.xlsx";
    QTest::newRow("xlsx inline strings") << "quintar-inline.xlsx";
}

void TestSpreadsheet::readsCells()
{
    QFETCH(QString, file);
    auto book = Spreadsheet::open(fixture(file));
    QCOMPARE(book->sheetCount(), 3);
    QCOMPARE(book->sheetName(2), QStringLiteral("Order"));
    QCOMPARE(book->text(2, QStringLiteral("D10")), QStringLiteral("PO-7781"));
    QCOMPARE(book->text(2, QStringLiteral("G15")), QStringLiteral("Toledo, OH  43604"));
    QCOMPARE(book->text(3, 22, 4), QStringLiteral("Q100 ")); // not trimmed by the reader

    const SheetCell due = book->cell(2, QStringLiteral("D19"));
    QCOMPARE(due.kind, SheetCell::Kind::Date);
    QCOMPARE(due.dateTime, QDateTime(QDate(2010, 6, 1), QTime(0, 0)));
    QCOMPARE(due.text, QStringLiteral("2010-06-01"));

    QCOMPARE(book->cell(2, 22, 3).kind, SheetCell::Kind::Number);
    QCOMPARE(book->number(2, 22, 3), std::optional<double>(4));
    QCOMPARE(book->number(2, 22, 10), std::optional<double>(95.5));
    QCOMPARE(book->text(2, 22, 10), QStringLiteral("95.5"));
    QCOMPARE(book->text(2, 24, 10), QStringLiteral("75"));
    QCOMPARE(book->number(2, 22, 4), std::nullopt); // text is no number

    // Empty cells, cells beyond the used range and sheets that do not exist are empty.
    QVERIFY(book->cell(2, 23, 3).isEmpty());
    QVERIFY(book->cell(2, 500, 40).isEmpty());
    QVERIFY(book->cell(4, 1, 1).isEmpty());
    QVERIFY(book->cell(0, 1, 1).isEmpty());
    book->close();
}

void TestSpreadsheet::xlsFormulaReadsEmpty()
{
    // The .xls reader does not evaluate formulas; .xlsx keeps the value last calculated.
    auto xls = Spreadsheet::open(fixture(QStringLiteral("quintar.xls")));
    QVERIFY(xls->cell(3, 23, 10).isEmpty());
    const SheetCell ordered = xls->cell(2, QStringLiteral("B19"));
    QCOMPARE(ordered.kind, SheetCell::Kind::Date);
    QCOMPARE(ordered.dateTime, QDateTime(QDate(2010, 5, 10), QTime(9, 15)));
    QCOMPARE(ordered.text, QStringLiteral("2010-05-10 09:15:00"));

    auto xlsx = Spreadsheet::open(fixture(QStringLiteral("quintar.xlsx")));
    QCOMPARE(xlsx->number(3, 23, 10), std::optional<double>(120));
    QCOMPARE(xlsx->cell(2, QStringLiteral("B19")).text, QStringLiteral("5/10/2010 Monday"));
}

void TestSpreadsheet::refusesWhatIsNoWorkbook_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text file") << "not-a-workbook.xlsx" << "neither an .xls nor an .xlsx";
    QTest::newRow("zip without workbook") << "no-workbook.xlsx" << "holds no workbook";
    QTest::newRow("cut-off xls") << "truncated.xls" << "not a readable workbook";
    QTest::newRow("missing file") << "nowhere.xls" << "cannot be opened";
}

void TestSpreadsheet::refusesWhatIsNoWorkbook()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    try {
        Spreadsheet::open(fixture(file));
        QFAIL("a workbook was opened");
    } catch (const SpreadsheetError &e) {
        QVERIFY2(e.message().contains(file), qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
}

void TestSpreadsheet::references_data()
{
    QTest::addColumn<QString>("ref");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("A1") << "A1" << true << 1 << 1;
    QTest::newRow("G15") << "G15" << true << 15 << 7;
    QTest::newRow("lower case") << "ab12" << true << 12 << 28;
    QTest::newRow("XFD") << "XFD3" << true << 3 << 16384;
    QTest::newRow("no row") << "G" << false << 0 << 0;
    QTest::newRow("no column") << "15" << false << 0 << 0;
    QTest::newRow("row 0") << "A0" << false << 0 << 0;
    QTest::newRow("reversed") << "1A" << false << 0 << 0;
    QTest::newRow("trailing text") << "A1x" << false << 0 << 0;
}

void TestSpreadsheet::references()
{
    QFETCH(QString, ref);
    QFETCH(bool, ok);
    QFETCH(int, row);
    QFETCH(int, column);
    int r = 0, c = 0;
    QCOMPARE(Spreadsheet::parseReference(ref, &r, &c), ok);
    if (!ok)
        return;
    QCOMPARE(r, row);
    QCOMPARE(c, column);
    QCOMPARE(Spreadsheet::columnName(c) + QString::number(r), ref.toUpper());
}

void TestSpreadsheet::serialDates_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("system1904");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("order day") << 40308.0 << false << QDateTime(QDate(2010, 5, 10), QTime(0, 0));
    QTest::newRow("with time") << 40308.385416666664 << false << QDateTime(QDate(2010, 5, 10), QTime(9, 15));
    QTest::newRow("before the phantom day") << 59.0 << false << QDateTime(QDate(1900, 2, 28), QTime(0, 0));
    QTest::newRow("after the phantom day") << 61.0 << false << QDateTime(QDate(1900, 3, 1), QTime(0, 0));
    QTest::newRow("phantom day") << 60.0 << false << QDateTime();
    QTest::newRow("1904 system") << 0.0 << true << QDateTime(QDate(1904, 1, 1), QTime(0, 0));
    QTest::newRow("negative") << -1.0 << false << QDateTime();
}

void TestSpreadsheet::serialDates()
{
    QFETCH(double, serial);
    QFETCH(bool, system1904);
    QFETCH(QDateTime, expected);
    QCOMPARE(Spreadsheet::fromSerial(serial, system1904), expected);
}

QTEST_GUILESS_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
