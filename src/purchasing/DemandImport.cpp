#include "purchasing/DemandImport.h"

#include "core/Clock.h"
#include "core/Money.h"
#include "core/Spreadsheet.h"
#include "orders/QuintarWorkbook.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cmath>
#include <optional>

namespace purchasing {

namespace {

constexpr int kSheet = 1;
enum Column
{
    ColOrderDate = 2,
    ColPO = 4,
    ColRef = 5,
    ColQty = 9,
    ColDue = 13,
    ColPrice = 17
};

QString cellText(const SheetCell &cell)
{
    if (cell.kind == SheetCell::Kind::Date)
        return cell.dateTime.date().toString(Clock::dateFormat());
    return cleanCell(cell.text);
}

// Text keys compare without regard to case, as the database compares them.
QString key(const QString &text)
{
    return text.toCaseFolded();
}

struct CrossRef
{
    QString partNumber, description, colorName, rStringNumber;
    Money cost;
};

struct SetValues
{
    QString customerRefNo, style, material;
    Money totalPrice;
};

struct ShipTo
{
    QVariantList values; // the eight ship-to columns, in kShipToColumns order
};

const char *const kShipToColumns[] = {"ShipTo",      "ShipToAddress1", "ShipToAddress2", "ShipToCity",
                                      "ShipToState", "ShipToZip",      "ShipToPhone",    "ShipToFax"};

// The first row of each reference, as a look-up by reference finds it.
template <typename T, typename Make>
QHash<QString, T> firstByKey(const RowSet &rows, const QString &column, Make make)
{
    QHash<QString, T> out;
    out.reserve(rows.size());
    for (const Row &r : rows) {
        const QString k = key(r.text(column));
        if (!out.contains(k))
            out.insert(k, make(r));
    }
    return out;
}

class Run
{
public:
    Run(Database &db, const QString &customer) : m_db(db), m_customer(customer), m_today(Clock::today()) {}

    ImportRun go(const DemandSheet &sheet)
    {
        m_result.importId = nextImportId();
        loadLookUps();
        for (const DemandLine &line : sheet.lines) {
            try {
                importLine(line);
            } catch (const DbError &e) {
                // The server gave the run up for another save, or a lock stayed held: the whole
                // run is tried again, or the clerk reads the one busy message.
                if (e.code() == DbError::kConflict || e.code() == DbError::kBusy)
                    throw;
                throw ImportFailure(
                    QStringLiteral("Row %1 (PO#: %2, Item #: %3) could not be imported: %4\n\n"
                                   "Nothing of this spreadsheet was imported; the database is as it "
                                   "was before.")
                        .arg(line.row)
                        .arg(line.poNumber, line.refNumber, e.message()));
            }
        }
        if (m_logged == 0)
            log(QStringLiteral("No Data Imported - the spreadsheet held no new or changed PO lines."));
        log(importSummary(m_result.ordersCreated + m_result.dueDatesMoved, int(m_orders.size()),
                          m_result.errors));
        return m_result;
    }

private:
    void loadLookUps()
    {
        const RowSet customer =
            m_db.query(QStringLiteral("SELECT * FROM Customer WHERE Name = ?"), {m_customer});
        for (const char *c : kShipToColumns)
            m_shipTo << (customer.isEmpty() ? QString() : customer.first().text(QLatin1String(c)));

        m_crossRefs = firstByKey<CrossRef>(
            m_db.query(
                QStringLiteral("SELECT CustomerRefNumber, PartNumber, Description, ColorName, RStringNumber, "
                               "Cost FROM CrossReferenceTable ORDER BY %1")
                    .arg(m_db.rowKey())),
            QStringLiteral("CustomerRefNumber"), [](const Row &r) {
                return CrossRef{r.text(QStringLiteral("PartNumber")), r.text(QStringLiteral("Description")),
                                r.text(QStringLiteral("ColorName")), r.text(QStringLiteral("RStringNumber")),
                                r.money(QStringLiteral("Cost"))};
            });
        m_sets = firstByKey<SetValues>(
            m_db.query(
                QStringLiteral("SELECT CustomerRefNo, Style, Material, TotalPrice FROM Sets ORDER BY %1")
                    .arg(m_db.rowKey())),
            QStringLiteral("CustomerRefNo"), [](const Row &r) {
                return SetValues{r.text(QStringLiteral("CustomerRefNo")), r.text(QStringLiteral("Style")),
                                 r.text(QStringLiteral("Material")), r.money(QStringLiteral("TotalPrice"))};
            });
    }

    void log(const QString &text)
    {
        m_db.insert(QStringLiteral("ImportXLSLog"), {{QStringLiteral("ImportID"), m_result.importId},
                                                     {QStringLiteral("LogDate"), m_today},
                                                     {QStringLiteral("Description"), text}});
        ++m_logged;
    }

    void logError(const QString &text)
    {
        log(QStringLiteral("Import Error: ") + text);
        ++m_result.errors;
    }

    QString rowError(const DemandLine &line, const QString &what, const QString &value, const QString &kind)
    {
        return QStringLiteral("Row %1: %2: %3 for PO#: %4 is not %5.")
            .arg(line.row)
            .arg(what, value, line.poNumber, kind);
    }

    // True when the line is to become a new order; moves the due date of an order that exists.
    bool updateDueDate(const DemandLine &line)
    {
        // A blank PO number names no order; it is never matched against orders without one.
        if (line.poNumber == PlannedDemand || line.poNumber.isEmpty())
            return false;
        const RowSet found = m_db.query(
            QStringLiteral("SELECT ID, DueDate FROM Orders WHERE OrderNumber = ? ORDER BY ID LIMIT 1"),
            {line.poNumber});
        if (found.isEmpty())
            return true;
        const Row &order = found.first();
        const QDate old = order.date(QStringLiteral("DueDate"));
        if (!old.isValid() || line.dueDate.isEmpty())
            return false;
        const QDate due = orders::parseTextDate(line.dueDate);
        if (!due.isValid()) {
            logError(rowError(line, QStringLiteral("Due Date"), line.dueDate, QStringLiteral("a date")));
            return false;
        }
        if (due == old)
            return false;
        m_db.update(QStringLiteral("Orders"), {{QStringLiteral("DueDate"), due}}, QStringLiteral("ID = ?"),
                    {order.integer(QStringLiteral("ID"))});
        log(QStringLiteral("Order Updated: Order Number ") + line.poNumber +
            QStringLiteral(" Due Date updated from ") + old.toString(Clock::dateFormat()) +
            QStringLiteral(" to ") + due.toString(Clock::dateFormat()));
        ++m_result.dueDatesMoved;
        m_orders.insert(order.integer(QStringLiteral("ID")));
        return false;
    }

    void importLine(const DemandLine &line)
    {
        const bool isNew = updateDueDate(line);
        if (!isNew || line.poNumber.isEmpty() || line.refNumber.isEmpty() || line.qty.isEmpty() ||
            line.price.isEmpty())
            return;

        const QDate orderDate = orders::parseTextDate(line.orderDate);
        if (!orderDate.isValid())
            return logError(
                rowError(line, QStringLiteral("Order Date"), line.orderDate, QStringLiteral("a date")));
        const QDate due = orders::parseTextDate(line.dueDate);
        if (!line.dueDate.isEmpty() && !due.isValid())
            return logError(
                rowError(line, QStringLiteral("Due Date"), line.dueDate, QStringLiteral("a date")));
        const std::optional<Money> qty = Money::parse(line.qty);
        if (!qty || qty->units() % Money::Scale != 0 || std::fabs(qty->toDouble()) > 1e9)
            return logError(
                rowError(line, QStringLiteral("Qty"), line.qty, QStringLiteral("a whole number")));
        const std::optional<Money> price = Money::parse(line.price);
        if (!price)
            return logError(rowError(line, QStringLiteral("Price"), line.price, QStringLiteral("a number")));

        const auto xref = m_crossRefs.constFind(key(line.refNumber));
        if (xref == m_crossRefs.constEnd())
            return logError(QStringLiteral("Item Number: ") + line.refNumber +
                            QStringLiteral(" was not found in Cross Reference Table."));
        const auto set = m_sets.constFind(key(line.refNumber));
        // A cross-reference without a part number needs no set; the line then takes the set's
        // values if there is one, else the reference alone at no price.
        if (!xref->partNumber.isEmpty() && set == m_sets.constEnd())
            return logError(QStringLiteral("Part Number: ") + line.refNumber +
                            QStringLiteral(" was not found in Sets Table."));
        const SetValues values =
            set != m_sets.constEnd() ? *set : SetValues{line.refNumber, QString(), QString(), Money()};

        const qint64 quantity = qty->units() / Money::Scale;
        Fields order = {{QStringLiteral("OrderNumber"), line.poNumber},
                        {QStringLiteral("Customer"), m_customer},
                        {QStringLiteral("OrderDate"), orderDate},
                        {QStringLiteral("DueDate"), due}};
        for (int i = 0; i < 8; ++i)
            order.push_back({QLatin1String(kShipToColumns[i]), m_shipTo.at(i)});
        order.insert(order.end(),
                     {{QStringLiteral("Status"), QStringLiteral("Open")},
                      {QStringLiteral("DateAdded"), m_today},
                      {QStringLiteral("Total"), QVariant::fromValue(price->times(double(quantity)))}});
        const qint64 orderId = m_db.insert(QStringLiteral("Orders"), order);
        m_db.insert(
            QStringLiteral("OrderItem"),
            {{QStringLiteral("OrderID"), orderId},
             {QStringLiteral("ItemNumber"), 1},
             {QStringLiteral("Qty"), quantity},
             {QStringLiteral("StyleID"), values.style},
             {QStringLiteral("MaterialID"), values.material},
             {QStringLiteral("CustomerRefNo"), values.customerRefNo},
             {QStringLiteral("PriceEach"), QVariant::fromValue(values.totalPrice)},
             {QStringLiteral("PriceExt"), QVariant::fromValue(values.totalPrice.times(double(quantity)))}});
        m_db.insert(QStringLiteral("PendingPOItems"),
                    {{QStringLiteral("CustomerRefNo"), line.refNumber},
                     {QStringLiteral("PartNumber"), xref->partNumber},
                     {QStringLiteral("Description"), xref->description},
                     {QStringLiteral("ColorName"), xref->colorName},
                     {QStringLiteral("RStringNumber"), xref->rStringNumber},
                     {QStringLiteral("Price"), QVariant::fromValue(xref->cost)},
                     {QStringLiteral("Quantity"), quantity},
                     {QStringLiteral("DockDate"), due},
                     {QStringLiteral("Status"), QStringLiteral("Open")}});
        log(QStringLiteral("Data Imported - PO#: ") + line.poNumber + QStringLiteral("     Item #: ") +
            line.refNumber + QStringLiteral("     Qty: ") + line.qty);
        ++m_result.ordersCreated;
        m_orders.insert(orderId);
    }

    Database &m_db;
    const QString m_customer;
    const QDate m_today;
    QVariantList m_shipTo;
    QHash<QString, CrossRef> m_crossRefs;
    QHash<QString, SetValues> m_sets;
    ImportRun m_result;
    QSet<qint64> m_orders; // made or moved by this run
    int m_logged = 0;
};

} // namespace

QString importSummary(int lines, int orders, int errors)
{
    const auto count = [](int n, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    return QStringLiteral("%1 imported into %2, %3")
        .arg(count(lines, "line", "lines"), count(orders, "order", "orders"),
             count(errors, "error", "errors"));
}

QString cleanCell(const QString &text)
{
    QString t = text;
    t.remove(u'\'');
    return t.trimmed();
}

std::optional<Refusal> refuseImport(const QString &customer, const QString &path)
{
    const auto notice = [](const char *text) {
        return Refusal{QString::fromLatin1(text), QCoreApplication::applicationName(), QString()};
    };
    if (customer.isEmpty())
        return notice("You must select a customer before clicking ok.");
    const QString file = path.trimmed();
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return notice("The Selected File Does Not Exist.  Choose Again.");
    return std::nullopt;
}

DemandSheet readDemandSheet(const QString &path)
{
    std::unique_ptr<Spreadsheet> book = Spreadsheet::open(path);
    DemandSheet sheet;
    for (int row = kFirstDemandRow; row <= kLastDemandRow && book->sheetCount() >= kSheet; ++row) {
        DemandLine line;
        line.row = row;
        line.orderDate = cellText(book->cell(kSheet, row, ColOrderDate));
        if (line.orderDate.isEmpty())
            break;
        line.poNumber = cellText(book->cell(kSheet, row, ColPO));
        line.refNumber = cellText(book->cell(kSheet, row, ColRef));
        line.qty = cellText(book->cell(kSheet, row, ColQty));
        line.dueDate = cellText(book->cell(kSheet, row, ColDue));
        line.price = cellText(book->cell(kSheet, row, ColPrice));
        sheet.lines.push_back(line);
    }
    book->close();
    return sheet;
}

ImportRun importDemand(const DemandSheet &sheet, const QString &customer)
{
    Database &db = DbConnection();
    return retrying(db, [&] {
        Transaction tx(db);
        // The next ImportID follows the highest one stored: one import takes it at a time.
        db.lockCounter(QStringLiteral("ImportID"));
        Run run(db, customer);
        const ImportRun result = run.go(sheet);
        tx.commit();
        return result;
    });
}

qint64 nextImportId()
{
    return DbConnection().scalar(QStringLiteral("SELECT MAX(ImportID) FROM ImportXLSLog")).toLongLong() + 1;
}

std::vector<LoggedRun> loggedRuns()
{
    std::vector<LoggedRun> out;
    const RowSet rows = DbConnection().query(QStringLiteral(
        "SELECT DISTINCT ImportID, LogDate FROM ImportXLSLog ORDER BY LogDate DESC, ImportID"));
    for (const Row &r : rows) {
        const qint64 id = r.integer(QStringLiteral("ImportID"));
        const QDate d = r.date(QStringLiteral("LogDate"));
        const QString date =
            d.isValid() ? d.toString(Clock::dateFormat()) : r.text(QStringLiteral("LogDate"));
        out.push_back({date + QStringLiteral(" - ") + QString::number(id), id});
    }
    return out;
}

std::optional<Refusal> refuseLogChoice(int chosen, qsizetype runs)
{
    if (chosen >= 0 && chosen < runs)
        return std::nullopt;
    return Refusal{QStringLiteral("You must select a log."), QCoreApplication::applicationName(), QString()};
}

QStringList activeCustomerNames()
{
    QStringList names;
    const RowSet rows =
        DbConnection().query(QStringLiteral("SELECT Name FROM Customer WHERE Status = ? ORDER BY Name"),
                             {QStringLiteral("Active")});
    for (const Row &r : rows)
        names << r.text(QStringLiteral("Name"));
    return names;
}

} // namespace purchasing
