#include "production/CutsheetData.h"

#include "production/MasterData.h"

#include <QRegularExpression>

namespace cutsheets {

namespace {

const QString kLog = QStringLiteral("CutsheetsTEMP");

Refusal lineRefusal(const QString &order, const QString &item)
{
    return {
        QStringLiteral("Order %1 Line Item %2 is not a valid combination. Please re-enter.").arg(order, item),
        QStringLiteral("Invalid Order/Item"), QStringLiteral("txtOrder")};
}

Refusal notACutsheet(const QString &idText)
{
    return {idText + QStringLiteral(" is not a valid cutsheet ID. Please re-enter."),
            QStringLiteral("Invalid Cutsheet ID"), QStringLiteral("txtCutsheetID")};
}

std::optional<qint64> wholeKey(const QString &text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

QString plainNumber(double v)
{
    return QString::number(v, 'g', 15);
}

// Shortest plain form of a stored quantity; empty when unset.
QString plainNumber(const QVariant &v)
{
    return v.isNull() ? QString() : plainNumber(v.toDouble());
}

Refusal notANumber(const QString &label, const QString &field)
{
    return {QStringLiteral("%1 must be a number. Please re-enter.").arg(label),
            QStringLiteral("Invalid Number"), field};
}

// The log as this program wrote it on a server connection. There the log is a table of the
// session, which a lost connection takes with it: the clerk still expects the control report to
// list everything saved or deleted while the window was open, so the readers put it back. The
// file's log cannot be lost.
struct KeptLog
{
    const Database *db = nullptr;
    QString path; // a later connection at the same address is another one
    std::vector<Fields> rows;
};

KeptLog &keptLog()
{
    static KeptLog log;
    return log;
}

void keep(Database &db, const Fields &logged)
{
    if (!db.isServer())
        return;
    KeptLog &k = keptLog();
    if (k.db != &db || k.path != db.path())
        k = {&db, db.path(), {}};
    k.rows.push_back(logged);
}

} // namespace

void restoreLog()
{
    Database &db = DbConnection();
    const KeptLog &k = keptLog();
    if (k.db != &db || k.path != db.path() || k.rows.empty())
        return;
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM CutsheetsTEMP")).toLongLong() == qint64(k.rows.size()))
        return;
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM CutsheetsTEMP"));
    for (const Fields &logged : k.rows)
        db.insert(kLog, logged);
    tx.commit();
}

std::vector<Employee> activeEmployees()
{
    std::vector<Employee> out;
    const RowSet rows = DbConnection().query(
        QStringLiteral("SELECT SSN, LastName, FirstName FROM Employee WHERE Status = 'Active' "
                       "ORDER BY LastName, FirstName"));
    for (const Row &r : rows)
        out.push_back(
            {r.text(QStringLiteral("LastName")) + QStringLiteral(", ") + r.text(QStringLiteral("FirstName")),
             r.text(QStringLiteral("SSN"))});
    return out;
}

void clearLog()
{
    DbConnection().exec(QStringLiteral("DELETE FROM CutsheetsTEMP"));
    keptLog() = {};
}

bool logIsEmpty()
{
    restoreLog();
    return DbConnection().query(QStringLiteral("SELECT ID FROM CutsheetsTEMP LIMIT 1")).isEmpty();
}

std::vector<OpenLine> linesToCut()
{
    const RowSet rows = DbConnection().query(QStringLiteral(
        "SELECT Orders.ID, OrderItem.ItemNumber, Orders.OrderNumber, Orders.Customer, OrderItem.StyleID, "
        "OrderItem.Qty, (SELECT SUM(Cutsheets.Sets) FROM Cutsheets "
        "WHERE Cutsheets.OrderID = OrderItem.OrderID AND Cutsheets.Item = OrderItem.ItemNumber) AS Cut "
        "FROM (Orders INNER JOIN OrderItem ON Orders.ID = OrderItem.OrderID) "
        "LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
        "WHERE Orders.Status = 'Open' AND (Sets.Type IS NULL OR Sets.Type <> 'Kit') "
        "ORDER BY Orders.OrderNumber, Orders.ID, OrderItem.ItemNumber"));
    std::vector<OpenLine> lines;
    for (const Row &r : rows) {
        const double left =
            r.value(QStringLiteral("Qty")).toDouble() - r.value(QStringLiteral("Cut")).toDouble();
        if (left <= 0)
            continue;
        lines.push_back({r.value(QStringLiteral("ID")).toLongLong(),
                         r.value(QStringLiteral("ItemNumber")).toInt(), r.text(QStringLiteral("OrderNumber")),
                         r.text(QStringLiteral("Customer")), r.text(QStringLiteral("StyleID")), left});
    }
    return lines;
}

QString describe(const OpenLine &line)
{
    return QStringLiteral("%1 - %2 - %3 (order %4, line %5, %6 to cut)")
        .arg(line.orderNumber, line.customer, line.style)
        .arg(line.orderId)
        .arg(line.item)
        .arg(line.left);
}

QString logName()
{
    restoreLog();
    const RowSet r =
        DbConnection().query(QStringLiteral("SELECT MIN(ID) AS First, MAX(ID) AS Last FROM CutsheetsTEMP"));
    if (r.isEmpty() || r.first().text(QStringLiteral("First")).isEmpty())
        return QStringLiteral("Cut Sheets");
    const QString first = r.first().text(QStringLiteral("First"));
    const QString last = r.first().text(QStringLiteral("Last"));
    if (first == last)
        return QStringLiteral("Cut Sheet ") + first;
    return QStringLiteral("Cut Sheets %1-%2").arg(first, last);
}

namespace {

// Locks the cut sheet being edited or deleted and refuses when it is not what the window loaded.
void refuseIfChanged(Database &db, const Entry &e)
{
    const std::optional<qint64> id = wholeKey(e.idText);
    if (!id || e.loaded.isEmpty())
        return;
    db.lockRows(QStringLiteral("Cutsheets"), QStringLiteral("ID = ?"), {*id});
    if (db.stamp(QStringLiteral("SELECT * FROM Cutsheets WHERE ID = ?"), {*id}) != e.loaded)
        throw DbError::changed(QStringLiteral("Cut sheet %1").arg(*id));
}

} // namespace

Lookup findCutsheet(const QString &idText)
{
    const std::optional<qint64> id = wholeKey(idText);
    if (!id)
        return {std::nullopt, {}, notACutsheet(idText)};
    const RowSet rows = DbConnection().query(QStringLiteral("SELECT * FROM Cutsheets WHERE ID = ?"), {*id});
    if (rows.isEmpty())
        return {std::nullopt, {}, notACutsheet(idText)};
    return {rows.first(), Database::stamp(rows), std::nullopt};
}

LineCheck checkOrderLine(const QString &orderText, const QString &itemText)
{
    const std::optional<qint64> order = wholeKey(orderText);
    const std::optional<qint64> item = wholeKey(itemText);
    if (!order || !item)
        return {QString(), lineRefusal(orderText, itemText)};
    const RowSet rows = DbConnection().query(
        QStringLiteral("SELECT OrderItem.StyleID AS StyleID, Sets.Type AS Type FROM Orders "
                       "INNER JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
                       "LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
                       "WHERE Orders.ID = ? AND OrderItem.ItemNumber = ? AND Orders.Status = 'Open' "
                       "ORDER BY Sets.%1 LIMIT 1")
            .arg(DbConnection().rowKey()),
        {*order, *item});
    if (rows.isEmpty())
        return {QString(), lineRefusal(orderText, itemText)};
    if (rows.first().text(QStringLiteral("Type")) == QLatin1String("Kit"))
        return {QString(),
                Refusal{QStringLiteral(
                            "You may not enter a Cutsheet for a Line Item of type Kit. Please re-enter."),
                        QStringLiteral("Invalid Order/Line Item Combination"), QStringLiteral("txtOrder")}};
    return {rows.first().text(QStringLiteral("StyleID")), std::nullopt};
}

double previouslyCut(qint64 orderId, int item, std::optional<qint64> exceptId)
{
    QString sql = QStringLiteral("SELECT SUM(Sets) AS Cut FROM Cutsheets WHERE OrderID = ? AND Item = ?");
    QVariantList params = {orderId, item};
    if (exceptId) {
        sql += QStringLiteral(" AND ID <> ?");
        params << *exceptId;
    }
    const RowSet rows = DbConnection().query(sql, params);
    return rows.isEmpty() ? 0.0 : rows.first().value(QStringLiteral("Cut")).toDouble();
}

double leadingNumber(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch m = leading.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

std::optional<Refusal> refuseTooManySets(const QString &idText, const QString &orderText,
                                         const QString &itemText, const QString &setsText)
{
    if (setsText.isEmpty() || orderText.isEmpty() || itemText.isEmpty())
        return Refusal{QStringLiteral("You must enter an Order/Line Item combination."),
                       QStringLiteral("Invalid Order/Line Item"), QString()};
    const std::optional<qint64> order = wholeKey(orderText);
    const std::optional<qint64> item = wholeKey(itemText);
    if (!order || !item)
        return lineRefusal(orderText, itemText);
    // An unknown line has no ordered quantity: it counts as none and shows as nothing.
    QString ordered;
    const RowSet line = DbConnection().query(
        QStringLiteral("SELECT Qty FROM OrderItem WHERE OrderID = ? AND ItemNumber = ? ORDER BY %1 LIMIT 1")
            .arg(DbConnection().rowKey()),
        {*order, *item});
    if (!line.isEmpty())
        ordered = plainNumber(line.first().value(QStringLiteral("Qty")));
    std::optional<qint64> except;
    if (!idText.isEmpty())
        except = wholeKey(idText);
    const double cut = previouslyCut(*order, static_cast<int>(*item), except);
    if (ordered.toDouble() >= leadingNumber(setsText) + cut)
        return std::nullopt;
    return Refusal{
        QStringLiteral("Too many sets cut for Order/Item. There were only %1 sets ordered and %2 have been "
                       "previously cut. Please check data.")
            .arg(ordered, plainNumber(cut)),
        QStringLiteral("Too Many Sets"), QStringLiteral("txtSets")};
}

Saved saveCutsheet(const Entry &e)
{
    if (e.employeeName.isEmpty() || e.orderText.isEmpty() || e.itemText.isEmpty() || e.setsText.isEmpty())
        return {0, Refusal{QStringLiteral("All fields are required. Please re-enter."),
                           QStringLiteral("Not a Valid Cutsheet"), QStringLiteral("cmbEmployee")}};
    const std::optional<qint64> order = wholeKey(e.orderText);
    const std::optional<qint64> item = wholeKey(e.itemText);
    if (!order || !item)
        return {0, lineRefusal(e.orderText, e.itemText)};
    const std::optional<int> sets = MasterData::parseWholeNumber(e.setsText);
    if (!sets)
        return {0, Refusal{QStringLiteral("Sets must be a whole number. Please re-enter."),
                           QStringLiteral("Invalid Number"), QStringLiteral("txtSets")}};
    std::optional<double> feet;
    if (!e.usedText.trimmed().isEmpty()) {
        feet = MasterData::parseNumber(e.usedText);
        if (!feet)
            return {0, notANumber(QStringLiteral("Feet Used"), QStringLiteral("txtUsed"))};
    }

    Database &db = DbConnection();
    return retrying(db, [&]() -> Saved {
        Transaction tx(db);
        // Judged again with the line locked: another station may have cut it since the window checked.
        db.lockRows(QStringLiteral("OrderItem"), QStringLiteral("OrderID = ? AND ItemNumber = ?"), {*order, *item});
        if (!e.idText.isEmpty())
            refuseIfChanged(db, e);
        if (auto tooMany = refuseTooManySets(e.idText, e.orderText, e.itemText, e.setsText))
            return {0, tooMany};
        Fields fields = {{QStringLiteral("SSN"), e.ssn},
                         {QStringLiteral("Date"), e.date},
                         {QStringLiteral("OrderID"), *order},
                         {QStringLiteral("Item"), *item},
                         {QStringLiteral("Sets"), *sets}};
        // An empty "Feet Used" keeps what an edited cut sheet holds.
        if (feet)
            fields.emplace_back(QStringLiteral("Feet"), *feet);
        qint64 id = 0;
        QString action;
        if (!e.idText.isEmpty()) {
            const Lookup stored = findCutsheet(e.idText);
            if (stored.refusal)
                return {0, stored.refusal};
            id = stored.row->value(QStringLiteral("ID")).toLongLong();
            db.update(QStringLiteral("Cutsheets"), fields, QStringLiteral("ID = ?"), {id});
            action = QStringLiteral("**Edit**");
        } else {
            id = db.insert(QStringLiteral("Cutsheets"), fields);
            action = QStringLiteral("**New**");
        }
        Fields log = fields;
        log.insert(log.begin(), {QStringLiteral("ID"), id});
        log.emplace_back(QStringLiteral("Action"), action);
        db.insert(kLog, log);
        tx.commit();
        keep(db, log);
        return {id, std::nullopt};
    });
}

std::optional<Refusal> refuseDelete(const QString &idText)
{
    if (idText.isEmpty())
        return Refusal{
            QStringLiteral(
                "The selected cutsheet has not been saved. It must be saved before it can be deleted."),
            QStringLiteral("Cannot Delete Cutsheet"), QString()};
    if (!wholeKey(idText))
        return notACutsheet(idText);
    return std::nullopt;
}

void deleteCutsheet(const Entry &e)
{
    const qint64 id = wholeKey(e.idText).value_or(0);
    // The log shows the screen as it stood; what is not a number there is left unset.
    const auto number = [](const QString &text) -> QVariant {
        if (const std::optional<double> v = MasterData::parseNumber(text))
            return *v;
        return QVariant();
    };
    Database &db = DbConnection();
    Transaction tx(db);
    refuseIfChanged(db, e);
    db.exec(QStringLiteral("DELETE FROM Cutsheets WHERE ID = ?"), {id});
    Fields log = {{QStringLiteral("ID"), id},
                  {QStringLiteral("SSN"), e.ssn},
                  {QStringLiteral("Date"), e.date},
                  {QStringLiteral("OrderID"), number(e.orderText)},
                  {QStringLiteral("Item"), number(e.itemText)},
                  {QStringLiteral("Sets"), number(e.setsText)}};
    if (!e.usedText.trimmed().isEmpty())
        log.emplace_back(QStringLiteral("Feet"), number(e.usedText));
    log.emplace_back(QStringLiteral("Action"), QStringLiteral("**Delete**"));
    db.insert(kLog, log);
    tx.commit();
    keep(db, log);
}

} // namespace cutsheets
