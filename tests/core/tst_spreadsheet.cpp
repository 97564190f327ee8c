#include "core/Spreadsheet.h"
#include "core/WorkbookReader.h"
#include "Mutation.h"

#include <QtTest>

#include <zip.h>

#include <cmath>
#include <functional>

namespace {
QString fixture(const QString &name)
{
    return QDir(qEnvironmentVariable("CORVANE_FIXTURES")).filePath(name);
}

using PartEdit = std::function<QByteArray(const QByteArray &)>;

// A copy of a fixture in `dir` whose `part` is replaced by what `edit` makes of it; a null
// result removes the part.
QString editedCopy(const QTemporaryDir &dir, const QString &file, const QString &part, const PartEdit &edit)
{
    const QString copy = dir.filePath(QStringLiteral("edited-") + file);
    QFile::remove(copy);
    if (!QFile::copy(fixture(file), copy))
        return {};
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(copy).constData(), 0, &err);
    if (!z)
        return {};
    const QByteArray name = part.toUtf8();
    const zip_int64_t index = zip_name_locate(z, name.constData(), 0);
    QByteArray data;
    if (index >= 0) {
        zip_stat_t st;
        zip_stat_index(z, zip_uint64_t(index), 0, &st);
        data.resize(qsizetype(st.size));
        zip_file_t *f = zip_fopen_index(z, zip_uint64_t(index), 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
    }
    const QByteArray changed = edit(data); // kept alive until zip_close has written it
    if (changed.isNull()) {
        zip_delete(z, zip_uint64_t(index));
    } else {
        zip_source_t *src = zip_source_buffer(z, changed.constData(), zip_uint64_t(changed.size()), 0);
        if (index >= 0)
            zip_file_replace(z, zip_uint64_t(index), src, 0);
        else
            zip_file_add(z, name.constData(), src, 0);
    }
    return zip_close(z) == 0 ? copy : QString();
}

PartEdit replacing(const QByteArray &from, const QByteArray &to)
{
    return [from, to](const QByteArray &data) { return QByteArray(data).replace(from, to); };
}

// A sheet part holding `body` inside <sheetData>.
PartEdit sheetData(const QByteArray &body)
{
    return [body](const QByteArray &) {
        return "<?xml version=\"1.0\"?><worksheet "
               "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
               "<sheetData>" +
               body + "</sheetData></worksheet>";
    };
}

// A shared string table of `count` strings of `length` characters each.
PartEdit sharedStrings(int count, int length)
{
    return [count, length](const QByteArray &) {
        QByteArray out = "<?xml version=\"1.0\"?><sst "
                         "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
        const QByteArray one = "<si><t>" + QByteArray(length, 'x') + "</t></si>";
        out.reserve(out.size() + one.size() * count + 8);
        for (int i = 0; i < count; ++i)
            out += one;
        return out + "</sst>";
    };
}

// The message of the SpreadsheetError that opening `path` and reading sheet 2 gives.
QString readError(const QString &path)
{
    try {
        auto book = Spreadsheet::open(path);
        book->cell(2, 22, 10);
        book->cell(3, 22, 10);
    } catch (const SpreadsheetError &e) {
        return e.message();
    }
    return QString();
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
    void damagedPartsAreRefused_data();
    void damagedPartsAreRefused();
    void numbersNoAmountCanBeAreRefused_data();
    void numbersNoAmountCanBeAreRefused();
    void xlsNumbersNoAmountCanBeAreRefused();
    void sizeLimits_data();
    void sizeLimits();
    void missingPartsAreRefused_data();
    void missingPartsAreRefused();
    void claimedDimensionsReadRealCells_data();
    void claimedDimensionsReadRealCells();
    void readerFailures_data();
    void readerFailures();
    void readerRunsOutOfMemory();
    void mutatedWorkbooksNeverCrash_data();
    void mutatedWorkbooksNeverCrash();
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
    QTest::newRow("xls that crashes the reader") << "crashes-reader.xls" << "could not be read: it is damaged";
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

void TestSpreadsheet::damagedPartsAreRefused_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("reason");
    // Stored parts: the bytes are changed in the file itself, behind the CRC's back.
    QTest::newRow("price 95.5 to 55.5") << "" << QByteArray("<v>95.5</v>") << QByteArray("<v>55.5</v>")
                                        << "the part xl/worksheets/sheet2.xml is damaged";
    QTest::newRow("reference Q100 to Q 00") << "" << QByteArray("<t>Q100</t>") << QByteArray("<t>Q 00</t>")
                                            << "the part xl/sharedStrings.xml is damaged";
    QTest::newRow("sheet part removed")
        << "xl/worksheets/sheet3.xml" << QByteArray() << QByteArray()
        << "the data of the sheet \"Order (cont.)\" (xl/worksheets/sheet3.xml) is missing";
}

void TestSpreadsheet::damagedPartsAreRefused()
{
    QFETCH(QString, part);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path;
    if (part.isEmpty()) {
        // The untouched stored copy reads right, so the damage is all that differs.
        QCOMPARE(Spreadsheet::open(fixture(QStringLiteral("quintar-stored.xlsx")))->number(2, 22, 10),
                 std::optional<double>(95.5));
        QFile in(fixture(QStringLiteral("quintar-stored.xlsx")));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray bytes = in.readAll();
        QVERIFY(bytes.contains(from));
        bytes.replace(bytes.indexOf(from), from.size(), to);
        path = dir.filePath(QStringLiteral("damaged.xlsx"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    } else {
        path = editedCopy(dir, QStringLiteral("quintar.xlsx"), part,
                          [](const QByteArray &) { return QByteArray(); });
    }
    QVERIFY(!path.isEmpty());
    const QString message = readError(path);
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(message.contains(QFileInfo(path).fileName()), qPrintable(message));
}

void TestSpreadsheet::numbersNoAmountCanBeAreRefused_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("text");
    QTest::newRow("9.3e14") << QByteArray("<v>95.5</v>") << QByteArray("<v>9.3e14</v>") << "J22"
                            << "930000000000000";
    QTest::newRow("-1e300") << QByteArray("<v>95.5</v>") << QByteArray("<v>-1e300</v>") << "J22"
                            << "-1e+300";
    QTest::newRow("nan") << QByteArray("<v>95.5</v>") << QByteArray("<v>nan</v>") << "J22"
                         << "nan";
    QTest::newRow("inf") << QByteArray("<v>95.5</v>") << QByteArray("<v>inf</v>") << "J22"
                         << "inf";
    QTest::newRow("date -1") << QByteArray("<v>40330</v>") << QByteArray("<v>-1</v>") << "D19"
                             << "-1";
    QTest::newRow("date 1e300") << QByteArray("<v>40330</v>") << QByteArray("<v>1e300</v>") << "D19"
                                << "1e+300";
}

void TestSpreadsheet::numbersNoAmountCanBeAreRefused()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, cell);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = editedCopy(dir, QStringLiteral("quintar.xlsx"),
                                    QStringLiteral("xl/worksheets/sheet2.xml"), replacing(from, to));
    QVERIFY(!path.isEmpty());
    auto book = Spreadsheet::open(path);
    const SheetCell c = book->cell(2, cell);
    if (cell == u"J22")
        QCOMPARE(c.toNumber(), std::nullopt);
    QVERIFY(c.kind != SheetCell::Kind::Date);
    QCOMPARE(c.text.toLower(), text);
    QCOMPARE(book->number(2, 24, 10), std::optional<double>(75)); // the rest reads on
}

void TestSpreadsheet::xlsNumbersNoAmountCanBeAreRefused()
{
    auto book = Spreadsheet::open(fixture(QStringLiteral("out-of-range.xls")));
    for (int row : {22, 23, 24, 25}) {
        const SheetCell price = book->cell(2, row, 10);
        QVERIFY2(!price.isEmpty() && !price.toNumber(),
                 qPrintable(QStringLiteral("row %1: %2").arg(row).arg(price.text)));
    }
    QCOMPARE(book->number(3, 22, 10), std::optional<double>(95.5));
    for (const char *ref : {"B19", "D19"}) {
        const SheetCell date = book->cell(2, QString::fromLatin1(ref));
        QVERIFY2(date.kind != SheetCell::Kind::Date && date.kind != SheetCell::Kind::Text,
                 qPrintable(QString::fromLatin1(ref) + u' ' + date.text));
    }
}

void TestSpreadsheet::sizeLimits_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("reason");
    enum
    {
        LongString,
        LongRun,
        ManyStrings,
        MuchText,
        Deep,
        ManyCells,
        BigPart
    };
    const QString sst = QStringLiteral("xl/sharedStrings.xml");
    const QString sheet = QStringLiteral("xl/worksheets/sheet2.xml");
    QTest::newRow("string of 40,000 characters") << sst << int(LongString) << "longer than 32768 characters";
    QTest::newRow("text of 10 MB") << sst << int(LongRun) << "longer than 32768 characters";
    QTest::newRow("100,001 shared strings") << sst << int(ManyStrings) << "more than 100000 shared strings";
    QTest::newRow("9 million characters") << sst << int(MuchText) << "more than 8 million characters of text";
    QTest::newRow("nested 100 deep") << sheet << int(Deep) << "nests its elements more than 64 deep";
    QTest::newRow("1,000,001 cells") << sheet << int(ManyCells) << "more than 1000000 cells";
    QTest::newRow("65 MiB sheet") << sheet << int(BigPart) << "larger than 64 MiB unpacked";
}

void TestSpreadsheet::sizeLimits()
{
    QFETCH(QString, part);
    QFETCH(int, what);
    QFETCH(QString, reason);
    PartEdit edit;
    switch (what) {
    case 0:
        edit = sharedStrings(20, 40000);
        break;
    case 1:
        edit = sharedStrings(1, 10 * 1000 * 1000);
        break;
    case 2:
        edit = sharedStrings(100001, 1);
        break;
    case 3:
        edit = sharedStrings(300, 30000);
        break;
    case 4:
        edit = sheetData(QByteArray("<x>").repeated(100) + QByteArray("</x>").repeated(100));
        break;
    case 5:
        edit = sheetData("<row r=\"1\">" + QByteArray("<c/>").repeated(1000001) + "</row>");
        break;
    default:
        edit = sheetData(QByteArray("<x/>").repeated(65 * 1024 * 1024 / 4));
        break;
    }
    QTemporaryDir dir;
    const QString path = editedCopy(dir, QStringLiteral("quintar.xlsx"), part, edit);
    QVERIFY(!path.isEmpty());
    QElapsedTimer timer;
    timer.start();
    const QString message = readError(path);
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
}

void TestSpreadsheet::missingPartsAreRefused_data()
{
    // The fixtures lack a part; the rows with a part name cut one down in a copy of quintar.xlsx.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("reason");
    const QString sst = QStringLiteral("xl/sharedStrings.xml");
    const QString styles = QStringLiteral("xl/styles.xml");
    QTest::newRow("no shared strings")
        << "no-shared-strings.xlsx" << QString()
        << "the cell D10 of the sheet \"Order\" refers to shared string 1, but the shared string table "
           "xl/sharedStrings.xml is missing";
    QTest::newRow("string beyond the table")
        << "quintar.xlsx" << sst
        << "the cell D10 of the sheet \"Order\" refers to shared string 1, but the shared string table "
           "xl/sharedStrings.xml holds only 1";
    QTest::newRow("no styles") << "no-styles.xlsx" << QString()
                               << "the cell D19 of the sheet \"Order\" has the style 1, but the styles part "
                                  "xl/styles.xml is missing";
    QTest::newRow("styles part renamed") << "renamed-styles.xlsx" << QString()
                                         << "has the style 1, but the styles part xl/styles.xml is missing";
    QTest::newRow("style beyond cellXfs") << "quintar.xlsx" << styles
                                          << "the cell D19 of the sheet \"Order\" has the style 1, but the "
                                             "styles part xl/styles.xml defines only 1";
}

void TestSpreadsheet::missingPartsAreRefused()
{
    QFETCH(QString, file);
    QFETCH(QString, part);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path = fixture(file);
    if (part.endsWith(u"sharedStrings.xml")) {
        path = editedCopy(dir, file, part, sharedStrings(1, 3));
    } else if (!part.isEmpty()) {
        path = editedCopy(dir, file, part, [](const QByteArray &data) {
            const qsizetype from = data.indexOf("<cellXfs"), to = data.indexOf("</cellXfs>");
            return data.left(from) +
                   "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
                   "borderId=\"0\" xfId=\"0\"/></cellXfs>" +
                   data.mid(to + 10);
        });
    }
    QVERIFY(!path.isEmpty());
    const QString message = readError(path);
    QVERIFY2(
        message.startsWith(
            QStringLiteral("The file \"%1\" is not a readable workbook: ").arg(QFileInfo(path).fileName())),
        qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY(!message.contains(u'\n'));
}

void TestSpreadsheet::claimedDimensionsReadRealCells_data()
{
    QTest::addColumn<bool>("inProcess");
    QTest::newRow("reader process") << false;
    QTest::newRow("in process") << true;
}

// Every sheet of huge-dimensions.xls claims 65536 x 256 cells around the cells of quintar.xls:
// it reads as that workbook, within the reader's memory, and never as an empty book.
void TestSpreadsheet::claimedDimensionsReadRealCells()
{
    QFETCH(bool, inProcess);
    auto open = [&](const QString &file) {
        return inProcess ? workbookreader::openInProcess(fixture(file)) : Spreadsheet::open(fixture(file));
    };
    auto claimed = open(QStringLiteral("huge-dimensions.xls"));
    auto real = open(QStringLiteral("quintar.xls"));
    QCOMPARE(claimed->sheetCount(), 3);
    int cells = 0;
    for (int s = 1; s <= 3; ++s) {
        QCOMPARE(claimed->sheetName(s), real->sheetName(s));
        for (int r = 1; r <= 40; ++r)
            for (int c = 1; c <= 20; ++c) {
                const SheetCell got = claimed->cell(s, r, c), want = real->cell(s, r, c);
                QCOMPARE(got.kind, want.kind);
                QCOMPARE(got.text, want.text);
                cells += got.kind != SheetCell::Kind::Empty;
            }
    }
    QCOMPARE(cells, 25); // the note on sheet 1, 9 header and 15 line cells (the formula reads empty)
    QVERIFY(claimed->cell(1, 65536, 256).isEmpty());
}

void TestSpreadsheet::readerRunsOutOfMemory()
{
    // Each of its three sheets really uses its last cell: 16.7 million cells a sheet for the .xls
    // library, more than the reader may take. The real reader, at its real limit.
    const QString message = readError(fixture(QStringLiteral("far-corners.xls")));
    QCOMPARE(message,
             QStringLiteral("The workbook \"far-corners.xls\" could not be read: there is not enough "
                            "memory to read it."));
}

void TestSpreadsheet::readerFailures_data()
{
    // The reader's command stands in for a reader that a workbook crashed, hung or blew up.
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("timeLimit");
    const QString sh = QStringLiteral("/bin/sh");
    const QString c = QStringLiteral("-c");
    QTest::newRow("crash") << QStringList{sh, c, QStringLiteral("kill -SEGV $$")} << "it is damaged" << 500;
    QTest::newRow("abort") << QStringList{sh, c, QStringLiteral("kill -ABRT $$")} << "it is damaged" << 500;
    QTest::newRow("hang") << QStringList{sh, c, QStringLiteral("sleep 30")} << "took longer than 0.5 seconds" << 500;
    QTest::newRow("endless output") << QStringList{sh, c, QStringLiteral("exec cat /dev/zero")}
                                    << "more data than any order workbook" << 20000;
    QTest::newRow("garbage") << QStringList{sh, c, QStringLiteral("echo garbage")} << "it is damaged" << 500;
    QTest::newRow("failure code") << QStringList{sh, c, QStringLiteral("exit 7")} << "it is damaged" << 500;
    QTest::newRow("out of memory") << QStringList{sh, c, QStringLiteral("exit 4")}
                                   << "there is not enough memory to read it" << 500;
    // A well-formed hand-over of a book without sheets: no workbook is that.
    QTest::newRow("no sheets") << QStringList{sh, c, QStringLiteral("printf 'CVX1\\000\\000\\000\\000'")}
                               << "it is damaged" << 500;
    QTest::newRow("no reader") << QStringList{QStringLiteral("/nonexistent/corvane-xlsread")}
                               << "could not be started" << 500;
}

void TestSpreadsheet::readerFailures()
{
    QFETCH(QStringList, command);
    QFETCH(QString, reason);
    QFETCH(int, timeLimit);
    workbookreader::setCommand(command);
    workbookreader::setTimeLimit(timeLimit);
    QElapsedTimer timer;
    timer.start();
    const QString message = readError(fixture(QStringLiteral("quintar.xls")));
    workbookreader::setCommand({});
    workbookreader::setTimeLimit(20000);
    QVERIFY2(message.contains(QLatin1String("\"quintar.xls\" could not be read")), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(timer.elapsed() < 8000, qPrintable(QString::number(timer.elapsed())));
    // The real reader is back.
    QCOMPARE(Spreadsheet::open(fixture(QStringLiteral("quintar.xls")))->number(2, 22, 10), std::optional<double>(95.5));
}

void TestSpreadsheet::mutatedWorkbooksNeverCrash_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<quint32>("firstSeed");
    QTest::newRow("xls") << "quintar.xls" << 1u;
    QTest::newRow("xls with bad numbers") << "out-of-range.xls" << 5001u;
    QTest::newRow("xlsx") << "quintar.xlsx" << 9001u;
    QTest::newRow("xlsx stored") << "quintar-stored.xlsx" << 13001u;
}

// Seeded mutations of good workbooks: each one reads as cells or as a refusal, promptly, and
// this process survives them all.
void TestSpreadsheet::mutatedWorkbooksNeverCrash()
{
    QFETCH(QString, file);
    QFETCH(quint32, firstSeed);
    QFile in(fixture(file));
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray original = in.readAll();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mutated") + file.mid(file.lastIndexOf(u'.')));
    int read = 0, refused = 0;
    for (quint32 seed = firstSeed; seed < firstSeed + 100; ++seed) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(mutateWorkbook(original, seed));
        out.close();
        QElapsedTimer timer;
        timer.start();
        try {
            auto book = Spreadsheet::open(path);
            for (int s = 1; s <= book->sheetCount(); ++s)
                for (int r = 1; r <= 40; ++r)
                    for (int c = 1; c <= 20; ++c)
                        book->cell(s, r, c);
            ++read;
        } catch (const SpreadsheetError &e) {
            QVERIFY2(!e.message().isEmpty(), qPrintable(QString::number(seed)));
            ++refused;
        }
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QStringLiteral("seed %1 took %2 ms").arg(seed).arg(timer.elapsed())));
    }
    QCOMPARE(read + refused, 100);
    // Mutations that leave the file readable and ones that break it both occur.
    QVERIFY2(read > 0 && refused > 0, qPrintable(QStringLiteral("%1 read, %2 refused").arg(read).arg(refused)));
}

QTEST_GUILESS_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
