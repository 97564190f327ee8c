#include "ui/FileDialogs.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "orders/OrderEntry.h"
#include "OrderTestSupport.h"
#include "orders/QuintarWorkbook.h"
#include "core/Spreadsheet.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace ordertest;

namespace {

QString fixture(const QString &name)
{
    return QDir(qEnvironmentVariable("CORVANE_FIXTURES")).filePath(name);
}

QStringList gridLines(Grid *g)
{
    QStringList out;
    for (int r = 0; r < g->rowCount(); ++r)
        out << g->rowTexts(r).join(u'|');
    return out;
}

QStringList shownTitles()
{
    QStringList out;
    for (const auto &s : MessageBox::shown())
        out << s.title;
    return out;
}

} // namespace

class TestOrderImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void cityStateZip_data();
    void cityStateZip();
    void readsHeaderAndLines_data();
    void readsHeaderAndLines();
    void invalidReferenceStopsLines();
    void importingTwiceNumbersOn();
    void headerCellsOutOfLayout();
    void refusesWhatIsNoOrderWorkbook_data();
    void refusesWhatIsNoOrderWorkbook();
    void pickerCancelledOrMissingFile();

private:
    std::unique_ptr<TestDatabase> m_db;
};

void TestOrderImport::init()
{
    m_db = std::make_unique<TestDatabase>();
    seedCatalogue(*m_db);
}

void TestOrderImport::cleanup()
{
    if (QWidget *w = MainWindow::findChildWindow(QStringLiteral("OrderEntry")))
        w->close();
    flushDeletes();
    m_db.reset();
}

void TestOrderImport::cityStateZip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("two blanks before the ZIP") << "Toledo, OH  43604" << true << QStringList{"Toledo", "OH", "43604"};
    QTest::newRow("one blank keeps the whole ZIP") << "Toledo, OH 43604" << true << QStringList{"Toledo", "OH", "43604"};
    QTest::newRow("city of two words") << "Port Clinton, OH  43452-1234" << true
                                       << QStringList{"Port Clinton", "OH", "43452-1234"};
    QTest::newRow("no comma") << "Toledo OH 43604" << false << QStringList{};
    QTest::newRow("nothing after the state") << "Toledo, OH" << false << QStringList{};
}

void TestOrderImport::cityStateZip()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QStringList, parts);
    QString city, state, zip;
    QCOMPARE(orders::splitCityStateZip(text, &city, &state, &zip), ok);
    if (ok)
        QCOMPARE(QStringList({city, state, zip}), parts);
}

void TestOrderImport::readsHeaderAndLines_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("answer"); // to the one price question (Q300: 75 in the workbook, 80 in the catalogue)
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("problems"); // parts of the closing message, empty for none
    QTest::addColumn<QDate>("orderDate");

    const QStringList common = {"1|4|Q100|ST-Q100|BLK-01|95.5|382", "2|0|Q200|ST-Q200|BLK-01|120|0"};
    const QStringList sheet3 = {"4|6|Q100|ST-Q100|BLK-01|95.5|573"};
    // The .xls reader sees the formula price on sheet 3 as empty: that line is reported, not lost unsaid.
    QTest::newRow("xls, Quintar's price")
        << "quintar.xls" << int(MessageBox::Yes) << (common + QStringList{"3|2|Q300|ST-Q300|BLK-01|75|150"} + sheet3)
        << QStringList{"Sheet 3, row 23 (Q200)", "price"} << QDate(2010, 5, 10);
    QTest::newRow("xls, our price")
        << "quintar.xls" << int(MessageBox::No) << (common + QStringList{"3|2|Q300|ST-Q300|BLK-01|80|160"} + sheet3)
        << QStringList{"Sheet 3, row 23 (Q200)"} << QDate(2010, 5, 10);
    // Its sheets claim 65536 x 256 cells each; the reader process reads their real cells.
    QTest::newRow("xls claiming the largest sheets")
        << "huge-dimensions.xls" << int(MessageBox::Yes)
        << (common + QStringList{"3|2|Q300|ST-Q300|BLK-01|75|150"} + sheet3)
        << QStringList{"Sheet 3, row 23 (Q200)", "price"} << QDate(2010, 5, 10);
    QTest::newRow("xlsx shared strings")
        << "quintar.xlsx" << int(MessageBox::Yes)
        << (common + QStringList{"3|2|Q300|ST-Q300|BLK-01|75|150"} + sheet3 + QStringList{"5|1|Q200|ST-Q200|BLK-01|120|120"})
        << QStringList{} << QDate(2010, 5, 10);
    QTest::newRow("xlsx inline strings")
        << "quintar-inline.xlsx" << int(MessageBox::No)
        << (common + QStringList{"3|2|Q300|ST-Q300|BLK-01|80|160"} + sheet3 + QStringList{"5|1|Q200|ST-Q200|BLK-01|120|120"})
        << QStringList{} << QDate(2010, 5, 10);
}

void TestOrderImport::readsHeaderAndLines()
{
    QFETCH(QString, file);
    QFETCH(int, answer);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, problems);
    QFETCH(QDate, orderDate);

    OrderEntry *w = openOrderWindow();
    FileDialogs::script({fixture(file)});
    MessageBox::clearShown();
    MessageBox::script({MessageBox::Button(answer)});
    control<QPushButton>(w, "btnXLS")->click();

    QCOMPARE(FileDialogs::asked().last(), QStringLiteral("Browse For Spreadsheet..."));
    QCOMPARE(control<QComboBox>(w, "cmbCustomer")->currentText(), QStringLiteral("Quintar"));
    QCOMPARE(control<QLabel>(w, "lblStatus")->text(), QStringLiteral("Open"));
    QCOMPARE(control<QLineEdit>(w, "txtOrderNumber")->text(), QStringLiteral("PO-7781"));
    QCOMPARE(control<QDateEdit>(w, "dtOrderDate")->date(), orderDate);
    QCOMPARE(control<QDateEdit>(w, "dtDueDate")->date(), QDate(2010, 6, 1));
    // The ship-to is the workbook's, not the customer record's.
    const QStringList shipTo = {"Quintar Seating", "400 Harbor Way", "Dock 3", "Toledo", "OH", "43604",
                                "419-555-0100", "419-555-0199"};
    const char *boxes[] = {"txtShipTo", "txtAddress1", "txtAddress2", "txtCity", "txtState", "txtZip", "txtPhone", "txtFax"};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(control<QLineEdit>(w, boxes[i])->text(), shipTo.at(i));

    QCOMPARE(gridLines(w->vsfgItems), lines);
    Money total;
    for (int r = 0; r < w->vsfgItems->rowCount(); ++r)
        total += *Money::parse(w->vsfgItems->text(r, 6));
    QCOMPARE(w->total(), total);
    QCOMPARE(w->vsfgItems->displayText(0, 5), QStringLiteral("$95.50"));

    const QList<MessageBox::Shown> shown = MessageBox::shown();
    QVERIFY(shown.size() >= 1);
    QCOMPARE(shown.at(0).title, QStringLiteral("Prices Do Not Match"));
    QCOMPARE(shown.at(0).text, QStringLiteral("Quintar's Price of 75 does not match your price of 80 for set Q300. "
                                              "Do you want to use Quintar's price of 75?"));
    QCOMPARE(shown.at(0).buttons, MessageBox::YesNo);
    QCOMPARE(shown.size(), problems.isEmpty() ? 1 : 2);
    for (const QString &part : problems)
        QVERIFY2(shown.last().text.contains(part), qPrintable(shown.last().text));

    // Nothing reaches the database, whatever the answer.
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Orders")), 0);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM PriceUpdate")), 0);
    QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT TotalPrice FROM Sets WHERE CustomerRefNo = 'Q300'")).toDouble(),
             80.0);
}

void TestOrderImport::invalidReferenceStopsLines()
{
    OrderEntry *w = openOrderWindow();
    MessageBox::clearShown();
    w->importWorkbook(fixture(QStringLiteral("invalid-ref.xlsx")));
    // Only the line before the first unknown set; later unknown sets are still reported, and the
    // later differing price is not asked about.
    QCOMPARE(gridLines(w->vsfgItems), QStringList({"1|1|Q100|ST-Q100|BLK-01|95.5|95.5"}));
    QCOMPARE(shownTitles(), QStringList({"Invalid Customer Reference Number", "Invalid Customer Reference Number"}));
    QCOMPARE(MessageBox::shown().at(0).text,
             QStringLiteral("BOGUS1 is not a valid Customer Reference Number. Please add the Customer Reference Number "
                            "and retry."));
    QVERIFY(MessageBox::shown().at(1).text.startsWith(QStringLiteral("BOGUS2 ")));
}

void TestOrderImport::importingTwiceNumbersOn()
{
    OrderEntry *w = openOrderWindow();
    enterLine(w, QStringLiteral("1"), QStringLiteral("A100"));
    MessageBox::script({MessageBox::Yes, MessageBox::Yes});
    w->importWorkbook(fixture(QStringLiteral("quintar.xlsx")));
    w->importWorkbook(fixture(QStringLiteral("quintar.xlsx")));
    Grid *g = w->vsfgItems;
    QStringList numbers;
    for (int r = 0; r < g->rowCount(); ++r)
        numbers << g->text(r, 0);
    QCOMPARE(numbers, QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));
    QCOMPARE(g->text(0, 2), QStringLiteral("A100"));
    QCOMPARE(g->text(6, 2), QStringLiteral("Q100"));
}

void TestOrderImport::headerCellsOutOfLayout()
{
    OrderEntry *w = openOrderWindow();
    chooseCustomer(w, QStringLiteral("a")); // brings Acme's ship-to, which the workbook replaces
    MessageBox::clearShown();
    w->importWorkbook(fixture(QStringLiteral("bad-header.xlsx")));
    for (const char *name : {"txtCity", "txtState", "txtZip"})
        QVERIFY2(control<QLineEdit>(w, name)->text().isEmpty(), name);
    QCOMPARE(control<QLineEdit>(w, "txtShipTo")->text(), QStringLiteral("Quintar Seating"));
    QCOMPARE(control<QDateEdit>(w, "dtOrderDate")->date(), QDate(2010, 5, 14)); // left as it was
    QCOMPARE(control<QDateEdit>(w, "dtDueDate")->date(), QDate(2010, 5, 14));
    QCOMPARE(gridLines(w->vsfgItems), QStringList({"1|3|Q100|ST-Q100|BLK-01|95.5|286.5"}));
    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown s = MessageBox::shown().first();
    QCOMPARE(s.title, QStringLiteral("Read Quintar XLS"));
    QCOMPARE(s.icon, MessageBox::Exclamation);
    for (const char *part : {"cell G15", "Toledo OH 43604", "cell B19", "cell D19", "Sheet 2, row 23 (Q200)", "\"two\""})
        QVERIFY2(s.text.contains(QString::fromLatin1(part)), part);
}

void TestOrderImport::refusesWhatIsNoOrderWorkbook_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text file") << "not-a-workbook.xlsx" << "is not a readable workbook";
    QTest::newRow("zip without workbook") << "no-workbook.xlsx" << "holds no workbook";
    QTest::newRow("cut-off xls") << "truncated.xls" << "is not a readable workbook";
    QTest::newRow("xls that crashes the reader") << "crashes-reader.xls" << "could not be read: it is damaged";
    QTest::newRow("one sheet") << "one-sheet.xlsx" << "has no second sheet";
    QTest::newRow("no shared strings") << "no-shared-strings.xlsx"
                                       << "refers to shared string 1, but";
    QTest::newRow("no styles") << "no-styles.xlsx"
                               << "has the style 1, but the styles part";
    QTest::newRow("more than the reader's memory") << "far-corners.xls"
                                                   << "could not be read: there is not enough memory";
}

void TestOrderImport::refusesWhatIsNoOrderWorkbook()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    OrderEntry *w = openOrderWindow();
    chooseCustomer(w, QStringLiteral("a"));
    control<QLineEdit>(w, "txtOrderNumber")->setText(QStringLiteral("mine"));
    enterLine(w, QStringLiteral("1"), QStringLiteral("A100"));
    MessageBox::clearShown();
    FileDialogs::script({fixture(file)});
    control<QPushButton>(w, "btnXLS")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Read Quintar XLS"));
    QVERIFY2(MessageBox::shown().at(0).text.contains(reason), qPrintable(MessageBox::shown().at(0).text));
    QVERIFY(MessageBox::shown().at(0).text.contains(file));
    // The window is as it was.
    QCOMPARE(control<QComboBox>(w, "cmbCustomer")->currentText(), QStringLiteral("Acme Upholstery"));
    QCOMPARE(control<QLineEdit>(w, "txtOrderNumber")->text(), QStringLiteral("mine"));
    QCOMPARE(control<QLineEdit>(w, "txtCity")->text(), QStringLiteral("Dayton"));
    QVERIFY(control<QLabel>(w, "lblStatus")->text().isEmpty());
    QCOMPARE(w->vsfgItems->rowCount(), 1);
}

void TestOrderImport::pickerCancelledOrMissingFile()
{
    OrderEntry *w = openOrderWindow();
    MessageBox::clearShown();
    FileDialogs::script({QString(), fixture(QStringLiteral("gone.xls"))});
    control<QPushButton>(w, "btnXLS")->click(); // cancelled
    QCOMPARE(MessageBox::shown().size(), 0);
    control<QPushButton>(w, "btnXLS")->click(); // a file that is not there
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("The Selected File Does Not Exist.  Choose Again."));
    QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::Information);
    QCOMPARE(control<QComboBox>(w, "cmbCustomer")->currentIndex(), -1);
    QVERIFY(control<QLabel>(w, "lblStatus")->text().isEmpty());
    QCOMPARE(w->vsfgItems->rowCount(), 0);
}

QTEST_MAIN(TestOrderImport)
#include "tst_orderimport.moc"
