#include "core/schema/Copy.h"

#include "core/Database.h"
#include "core/schema/Schema.h"

#include <QStringList>

namespace schema {

namespace {

// The server takes many rows a statement, which saves a round trip a row; the file engine's
// prepared statement is as quick one row at a time.
constexpr int kServerValuesPerStatement = 20000;

const Column *autoNumberOf(const Table &t)
{
    for (const Column &c : t.columns) {
        if (c.kind == Kind::AutoNumber)
            return &c;
    }
    return nullptr;
}

void copyTable(Database &from, Database &to, const Table &t)
{
    QStringList names;
    for (const Column &c : t.columns)
        names << QStringLiteral("\"%1\"").arg(QLatin1String(c.name));
    const Column *key = autoNumberOf(t);
    const QString order = key ? QStringLiteral("\"%1\"").arg(QLatin1String(key->name)) : from.rowKey();
    const RowSet rows = from.query(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY %3")
                                       .arg(names.join(u", "), QLatin1String(t.name), order));

    const int columns = int(t.columns.size());
    const int perStatement = to.isServer() ? qMax(1, kServerValuesPerStatement / columns) : 1;
    const QString head =
        QStringLiteral("INSERT INTO \"%1\" (%2) VALUES ").arg(QLatin1String(t.name), names.join(u", "));
    const QString oneRow = u'(' + QStringList(columns, QStringLiteral("?")).join(u", ") + u')';
    for (int first = 0; first < rows.size(); first += perStatement) {
        const int count = qMin(perStatement, rows.size() - first);
        QVariantList values;
        values.reserve(count * columns);
        for (int r = first; r < first + count; ++r)
            values += rows.at(r).values();
        to.exec(head + QStringList(count, oneRow).join(u", "), values);
    }
}

} // namespace

std::vector<CopiedTable> copyAllRows(Database &from, Database &to)
{
    std::vector<CopiedTable> counts;
    // Every table is read from one snapshot, however busy the source is meanwhile.
    Transaction snapshot(from);
    if (from.isServer())
        from.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
    // The running figures are counted once from the copied rows: kept row by row, a shop of ten
    // years took a minute and more to copy onto a server.
    countCutFiguresAfter(to, [&] {
        for (const Table &t : tables()) {
            const QString name = QString::fromLatin1(t.name);
            const QString counting = QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(name);
            copyTable(from, to, t);
            if (const Column *key = autoNumberOf(t)) {
                const QString column = QString::fromLatin1(key->name);
                to.continueAutoNumber(name, column, from.lastAutoNumber(name, column));
            }
            counts.push_back({name, from.scalar(counting).toLongLong(), to.scalar(counting).toLongLong()});
        }
    });
    return counts;
}

} // namespace schema
