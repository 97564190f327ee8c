#include "orders/QuintarWorkbook.h"

#include "core/Spreadsheet.h"

#include <QFileInfo>

#include <cmath>

namespace orders {

namespace {

constexpr int kHeaderSheet = 2;
constexpr int kFirstLineRow = 22;
constexpr int kLastLineRow = 34;

QString cellText(Spreadsheet &book, int sheet, const QString &ref)
{
    return book.cell(sheet, ref).text.trimmed();
}

// The order date cell holds a date, or text whose first word is the date ("5/10/2010 Monday").
std::optional<QDate> dateCell(const SheetCell &cell, bool firstWordOnly)
{
    if (cell.kind == SheetCell::Kind::Date)
        return cell.dateTime.date();
    if (cell.kind != SheetCell::Kind::Text)
        return std::nullopt;
    QString text = cell.text.trimmed();
    const int blank = text.indexOf(u' ');
    if (firstWordOnly && blank > 0)
        text = text.left(blank);
    QDate d = parseTextDate(text);
    if (!d.isValid() && blank > 0)
        d = parseTextDate(text.left(blank));
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString where(int sheet, const QString &ref, const QString &field)
{
    return QStringLiteral("Sheet %1, cell %2 (%3)").arg(sheet).arg(ref, field);
}

} // namespace

QDate parseTextDate(const QString &text)
{
    const QString t = text.trimmed();
    QDate d = parseDate(t);
    if (d.isValid())
        return d;
    d = QDate::fromString(t, QStringLiteral("M/d/yy"));
    if (d.isValid() && d.year() < 1950)
        d = d.addYears(100);
    return d;
}

bool splitCityStateZip(const QString &text, QString *city, QString *state, QString *zip)
{
    const int comma = text.indexOf(u',');
    if (comma < 0)
        return false;
    const QString rest = text.mid(comma + 1).trimmed();
    const int blank = rest.indexOf(u' ');
    if (blank <= 0)
        return false;
    *city = text.left(comma);
    *state = rest.left(blank);
    // The ZIP is what follows the state, however many blanks stand between them.
    *zip = rest.mid(blank + 1).trimmed();
    return true;
}

WorkbookOrder readOrderWorkbook(const QString &path)
{
    std::unique_ptr<Spreadsheet> book = Spreadsheet::open(path);
    if (book->sheetCount() < kHeaderSheet)
        throw SpreadsheetError(
            QStringLiteral("The workbook \"%1\" has no second sheet, so it does not hold an order in the expected layout.")
                .arg(QFileInfo(path).fileName()));

    WorkbookOrder o;
    const int s = kHeaderSheet;
    o.orderNumber = cellText(*book, s, QStringLiteral("D10"));
    o.shipTo.shipTo = cellText(*book, s, QStringLiteral("G12"));
    o.shipTo.address1 = cellText(*book, s, QStringLiteral("G13"));
    o.shipTo.address2 = cellText(*book, s, QStringLiteral("G14"));
    o.shipTo.phone = cellText(*book, s, QStringLiteral("H16"));
    o.shipTo.fax = cellText(*book, s, QStringLiteral("K16"));

    const QString cityLine = cellText(*book, s, QStringLiteral("G15"));
    if (!cityLine.isEmpty() && !splitCityStateZip(cityLine, &o.shipTo.city, &o.shipTo.state, &o.shipTo.zip))
        o.problems << where(s, QStringLiteral("G15"), QStringLiteral("city, state and ZIP")) +
                          QStringLiteral(": \"%1\" is not in the form \"City, ST  ZIP\"; City/St/Zip were left empty.")
                              .arg(cityLine);

    o.orderDate = dateCell(book->cell(s, QStringLiteral("B19")), true);
    if (!o.orderDate)
        o.problems << where(s, QStringLiteral("B19"), QStringLiteral("order date")) +
                          QStringLiteral(": no date could be read; the Order Date was left as it was.");
    o.dueDate = dateCell(book->cell(s, QStringLiteral("D19")), false);
    if (!o.dueDate)
        o.problems << where(s, QStringLiteral("D19"), QStringLiteral("due date")) +
                          QStringLiteral(": no date could be read; the Due Date was left as it was.");

    for (int sheet = kHeaderSheet; sheet <= kHeaderSheet + 1 && sheet <= book->sheetCount(); ++sheet) {
        for (int row = kFirstLineRow; row <= kLastLineRow; ++row) {
            const SheetCell ref = book->cell(sheet, row, 4);   // D
            const SheetCell qty = book->cell(sheet, row, 3);   // C
            const SheetCell price = book->cell(sheet, row, 10); // J
            WorkbookLine line;
            line.sheet = sheet;
            line.row = row;
            line.customerRefNo = ref.text.trimmed();
            if (line.customerRefNo.isEmpty())
                continue;
            const QString at = QStringLiteral("Sheet %1, row %2 (%3)").arg(sheet).arg(row).arg(line.customerRefNo);
            // A formula the reader cannot evaluate also reads as empty: never drop such a line unsaid.
            if (price.isEmpty()) {
                o.problems << at + QStringLiteral(": the price in column J is empty or cannot be read; the line was not imported.");
                continue;
            }
            const std::optional<double> p = price.toNumber();
            if (!p) {
                o.problems << at + QStringLiteral(": the price \"%1\" is not a number; the line was not imported.")
                                       .arg(price.text.trimmed());
                continue;
            }
            line.price = Money::fromDouble(*p);
            if (!qty.isEmpty()) {
                const std::optional<double> q = qty.toNumber();
                if (!q || std::fabs(*q) > 1e9) {
                    o.problems << at + QStringLiteral(": the quantity \"%1\" is not a number; the line was not imported.")
                                           .arg(qty.text.trimmed());
                    continue;
                }
                line.qty = int(std::nearbyint(*q));
            }
            o.lines.push_back(line);
        }
    }
    book->close();
    return o;
}

} // namespace orders
