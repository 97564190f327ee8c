// bench_documents: every document of the catalogue on a demo shop, against the same statements
// run raw by the engine on plain (unencrypted) copies of the file, with and without the indexes;
// or, with --db URI, on a PostgreSQL server against the same statements run through psql there.
//   bench_documents --scale 1|2 [--runs N] [--work DIR] [--only NAME] [--program PATH]
//   bench_documents --db URI [--runs N] [--work DIR] [--only NAME] [--program PATH] [--psql PATH]
#include "core/Database.h"
#include "core/PgEngine.h"
#include "core/schema/Schema.h"
#include "reports/ReportCommandLine.h"
#include "reports/ReportDesign.h"
#include "reports/ReportRegistry.h"
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using bench::median;
using bench::die;

const QDate kToday(2026, 12, 1);

struct ProcessRun
{
    double ms = 0;
};

// Runs a program to its end with stdin and stdout redirected; its wall time.
ProcessRun runProcess(const QStringList &argv, const QString &in = QString(), const QString &out = QString())
{
    std::vector<QByteArray> storage;
    for (const QString &a : argv)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> args;
    for (QByteArray &a : storage)
        args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray inPath = in.isEmpty() ? QByteArray("/dev/null") : in.toLocal8Bit();
    const QByteArray outPath = out.isEmpty() ? QByteArray("/dev/null") : out.toLocal8Bit();
    posix_spawn_file_actions_addopen(&actions, 0, inPath.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        die(QStringLiteral("cannot start %1").arg(argv.first()));
    int status = 0;
    waitpid(pid, &status, 0);
    ProcessRun r{double(t.nsecsElapsed()) / 1e6};
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        die(QStringLiteral("%1 failed").arg(argv.join(u' ')));
    return r;
}

// The peak memory of one more run, as the time command reports it. A child's own peak as this
// process sees it would count this process's memory too: a started program inherits its parent's
// peak at exec.
long peakMemoryKb(const QStringList &argv, const QString &work)
{
    const QString report = QDir(work).filePath(QStringLiteral("peak.txt"));
    runProcess(QStringList{QStringLiteral("/usr/bin/time"), QStringLiteral("-f"), QStringLiteral("%M"),
                           QStringLiteral("-o"), report} +
               argv);
    QFile f(report);
    if (!f.open(QIODevice::ReadOnly))
        die(QStringLiteral("the time command wrote no %1").arg(report));
    return f.readAll().trimmed().toLong();
}

void execOrDie(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK)
        die(QStringLiteral("%1: %2").arg(QLatin1String(sql), QString::fromUtf8(err)));
}

// A plain copy of the encrypted shop; without indexes when `bare`.
void plainCopy(const QString &shop, const QString &copy, bool bare)
{
    QFile::remove(copy);
    // The shop's connection may not create files, so the copy exists (empty) before it is attached.
    QFile(copy).open(QIODevice::WriteOnly);
    auto db = Database::open(shop, schema::password());
    execOrDie(db->handle(), qPrintable(QStringLiteral("ATTACH DATABASE '%1' AS plain KEY ''").arg(copy)));
    execOrDie(db->handle(), "SELECT sqlcipher_export('plain')");
    execOrDie(db->handle(), "DETACH DATABASE plain");
    db.reset();
    if (!bare)
        return;
    sqlite3 *p = nullptr;
    sqlite3_open(QFile::encodeName(copy).constData(), &p);
    QStringList drops;
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(p, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL", -1, &st,
                       nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        drops << QStringLiteral("DROP INDEX \"%1\"").arg(QString::fromUtf8(
                     reinterpret_cast<const char *>(sqlite3_column_text(st, 0))));
    sqlite3_finalize(st);
    for (const QString &d : drops)
        execOrDie(p, qPrintable(d));
    execOrDie(p, "VACUUM");
    sqlite3_close(p);
}

// The statements `work` runs, each with its values written in, as the engine saw them.
QStringList captureStatements(Database &db, const std::function<void()> &work)
{
    QStringList statements;
    if (db.isServer()) {
        setServerTrace([&statements](const QString &sql) { statements << sql; });
        work();
        setServerTrace({});
        return statements;
    }
    sqlite3_trace_v2(
        db.handle(), SQLITE_TRACE_STMT,
        [](unsigned, void *into, void *stmt, void *text) -> int {
            const char *sqlText = static_cast<const char *>(text);
            if (sqlText && sqlText[0] == '-' && sqlText[1] == '-')
                return 0;
            char *expanded = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(stmt));
            *static_cast<QStringList *>(into) << QString::fromUtf8(expanded ? expanded : sqlText);
            sqlite3_free(expanded);
            return 0;
        },
        &statements);
    work();
    sqlite3_trace_v2(db.handle(), 0, nullptr, nullptr);
    return statements;
}

// What the program's connection runs when it opens: the session's own tables.
QStringList sessionStatements(Database &db)
{
    return captureStatements(db, [&db] { schema::startSession(db); });
}

// Runs statements through the engine alone, every row stepped and every column read as text; the
// session's statements first, untimed.
double runRawInProcess(const QString &file, const QStringList &session, const QStringList &statements)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &db);
    for (const QString &sql : session)
        execOrDie(db, sql.toUtf8().constData());
    QElapsedTimer t;
    t.start();
    for (const QString &sql : statements) {
        sqlite3_stmt *st = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK)
            die(QStringLiteral("%1\n%2").arg(QString::fromUtf8(sqlite3_errmsg(db)), sql));
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                sqlite3_column_text(st, c);
        }
        sqlite3_finalize(st);
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
    sqlite3_close(db);
    return ms;
}

QString scalarText(Database &db, const QString &sql)
{
    return db.scalar(sql).toString();
}

// Arguments a shop would give: the last year, today, the last records.
QMap<QString, QString> argumentsFor(Database &db, const reports::Document &doc, const QStringList &customers)
{
    QMap<QString, QString> a;
    for (const reports::Argument &arg : doc.arguments) {
        const QString &n = arg.name;
        if (n == QLatin1String("from"))
            a[n] = isoDate(kToday.addYears(-1).addDays(1));
        else if (n == QLatin1String("to") || n == QLatin1String("asof"))
            a[n] = isoDate(kToday);
        else if (n == QLatin1String("shipment"))
            a[n] = scalarText(db, QStringLiteral("SELECT ShipmentID FROM ShipmentItems GROUP BY ShipmentID "
                                                 "ORDER BY count(*) DESC, ShipmentID DESC LIMIT 1"));
        else if (n == QLatin1String("order"))
            a[n] = scalarText(db, QStringLiteral("SELECT OrderID FROM OrderItem GROUP BY OrderID "
                                                 "ORDER BY count(*) DESC, OrderID DESC LIMIT 1"));
        else if (n == QLatin1String("po"))
            a[n] = scalarText(db, QStringLiteral("SELECT max(ID) FROM PurchaseOrder"));
        else if (n == QLatin1String("import"))
            a[n] = scalarText(db, QStringLiteral("SELECT max(ImportID) FROM ImportXLSLog"));
        else if (n.size() == 2 && n.at(0) == u'c' && arg.required)
            a[n] = customers.value(n.mid(1).toInt() - 1);
    }
    return a;
}

struct Result
{
    QString name;
    std::vector<double> program, rawBare, rawIndexed;       // whole processes to CSV
    std::vector<double> rows, rowsBare, rowsIndexed;        // the statements alone, in this process
    long maxRssKb = 0;
};

// The sum of the times psql's \timing wrote: every statement from sending it to its last row
// written out, without psql's own start and connection.
double psqlStatementMs(const QString &timings)
{
    QFile f(timings);
    if (!f.open(QIODevice::ReadOnly))
        die(QStringLiteral("cannot read %1").arg(timings));
    static const QRegularExpression time(QStringLiteral("^Time: ([0-9.]+) ms"),
                                         QRegularExpression::MultilineOption);
    double ms = 0;
    for (auto it = time.globalMatch(QString::fromUtf8(f.readAll())); it.hasNext();)
        ms += it.next().captured(1).toDouble();
    return ms;
}

// Every document on the server database `uri` (a shop made by corvane-mkdb), against the same
// statements run through psql on the same server. Per run, interleaved: the rows in this process,
// the statements through psql (its \timing sum and its whole process), and the program writing
// CSV as a whole process.
int benchServer(const QString &uri, int runs, const QString &work, const QString &only,
                const QString &program, const QString &psql)
{
    setDbConnection(Database::open(uri, {}));
    Database &db = DbConnection();
    for (const char *t : {"Orders", "OrderItem", "Cutsheets", "Invoice", "Shipment", "ShipmentItems"})
        std::printf("%s %lld  ", t,
                    db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(t))).toLongLong());
    std::printf("\n");
    QStringList customers;
    for (const Row &r : db.query(QStringLiteral("SELECT Customer FROM Orders GROUP BY Customer "
                                                "ORDER BY count(*) DESC LIMIT 4")))
        customers << r.text(QStringLiteral("Customer"));

    struct ServerResult
    {
        QString name;
        std::vector<double> rows, psqlStatements, psqlProcess, program;
        int statements = 0;
        long maxRssKb = 0;
    };
    const QStringList session = sessionStatements(db);
    std::vector<ServerResult> results;
    const QString csv = QDir(work).filePath(QStringLiteral("out.csv"));
    const QString timings = QDir(work).filePath(QStringLiteral("timings.txt"));
    for (const reports::Document *doc : reports::registry()) {
        if (!only.isEmpty() && doc->name().compare(only, Qt::CaseInsensitive) != 0)
            continue;
        ServerResult r;
        r.name = doc->name();
        const QMap<QString, QString> args = argumentsFor(db, *doc, customers);
        // The first run leaves the scratch tables that later runs drop.
        reports::buildJob(*doc, args);
        const QStringList statements = captureStatements(db, [&] { reports::buildJob(*doc, args); });
        r.statements = int(statements.size());
        const QString script = QDir(work).filePath(doc->name() + QStringLiteral("-server.sql"));
        QFile f(script);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            die(QStringLiteral("cannot write %1").arg(script));
        // The session as the program sets it up: ISO dates, no notices, its own tables.
        f.write("SET datestyle = ISO;\nSET client_min_messages = warning;\n");
        for (const QString &sql : session)
            f.write((sql + QStringLiteral(";\n")).toUtf8());
        f.write("\\timing on\n");
        for (const QString &sql : statements)
            f.write((sql + QStringLiteral(";\n")).toUtf8());
        f.close();
        QStringList cmd = {program, QStringLiteral("--report"), r.name};
        for (auto it = args.cbegin(); it != args.cend(); ++it)
            cmd << QStringLiteral("--arg") << it.key() + u'=' + it.value();
        cmd << QStringLiteral("--csv") << csv << QStringLiteral("--db") << uri;
        const QStringList raw = {psql,
                                 QStringLiteral("-X"),
                                 QStringLiteral("-q"),
                                 QStringLiteral("-v"),
                                 QStringLiteral("ON_ERROR_STOP=1"),
                                 QStringLiteral("--csv"),
                                 QStringLiteral("-d"),
                                 uri,
                                 QStringLiteral("-f"),
                                 script,
                                 QStringLiteral("-o"),
                                 csv};
        std::printf("%s ", qPrintable(r.name));
        std::fflush(stdout);
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            reports::buildJob(*doc, args);
            r.rows.push_back(double(t.nsecsElapsed()) / 1e6);
            r.psqlProcess.push_back(runProcess(raw, QString(), timings).ms);
            r.psqlStatements.push_back(psqlStatementMs(timings));
            r.program.push_back(runProcess(cmd).ms);
            std::printf(".");
            std::fflush(stdout);
        }
        r.maxRssKb = peakMemoryKb(cmd, work);
        std::printf("\n");
        results.push_back(r);
    }
    takeDbConnection().reset();

    std::printf("\nServer %s, medians of %d interleaved runs (ms). Rows: the document's statements in this "
                "process; psql: the same statements, their \\timing sum and the whole psql process; program: "
                "corvane writing CSV, whole process.\n\n",
                qPrintable(uri), runs);
    std::printf("| document | statements | rows | psql statements | ratio | program | psql process | ratio | "
                "peak MB |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (const ServerResult &r : results) {
        const double q = median(r.rows), s = median(r.psqlStatements), p = median(r.program),
                     x = median(r.psqlProcess);
        std::printf("| %s | %d | %.1f | %.1f | %.2f | %.0f | %.0f | %.2f | %.0f |\n", qPrintable(r.name),
                    r.statements, q, s, q / s, p, x, p / x, double(r.maxRssKb) / 1024.0);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    int scale = 1;
    int runs = 5;
    QString work = QDir::temp().filePath(QStringLiteral("corvane-bench-documents"));
    QString only;
    const QString bin = QCoreApplication::applicationDirPath();
    QString program = QDir(bin).filePath(QStringLiteral("corvane"));
    QString uri;
    QString psql = QStringLiteral("/usr/bin/psql");
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--scale") && hasValue)
            scale = args.at(++i).toInt();
        else if (a == QLatin1String("--runs") && hasValue)
            runs = std::max(1, args.at(++i).toInt());
        else if (a == QLatin1String("--work") && hasValue)
            work = args.at(++i);
        else if (a == QLatin1String("--only") && hasValue)
            only = args.at(++i);
        else if (a == QLatin1String("--program") && hasValue)
            program = args.at(++i);
        else if (a == QLatin1String("--db") && hasValue)
            uri = args.at(++i);
        else if (a == QLatin1String("--psql") && hasValue)
            psql = args.at(++i);
        else
            die(QStringLiteral("usage: bench_documents --scale 1|2 | --db URI [--runs N] [--work DIR] "
                               "[--only NAME] [--program PATH] [--psql PATH]"));
    }
    if (!uri.isEmpty()) {
        QDir().mkpath(work);
        return benchServer(uri, runs, work, only, program, psql);
    }
    if (scale != 1 && scale != 2)
        die(QStringLiteral("--scale takes 1 or 2"));
    QDir().mkpath(work);
    const QString shop = QDir(work).filePath(QStringLiteral("shop%1.db").arg(scale));
    if (!QFileInfo::exists(shop)) {
        std::printf("making the shop (demo size %d)...\n", 40 * scale);
        std::fflush(stdout);
        runProcess({QDir(bin).filePath(QStringLiteral("corvane-mkdb")), QStringLiteral("--size"),
                    QString::number(40 * scale), QStringLiteral("--today"), isoDate(kToday), shop});
    }
    const QString sqlcipher = QStringLiteral("/usr/bin/sqlcipher");
    if (!QFileInfo::exists(sqlcipher))
        die(QStringLiteral("the raw runs need the sqlcipher command (scripts/deps.sh installs it)"));

    auto db = Database::open(shop, schema::password());
    schema::upgradeOpenedFile(*db);
    for (const char *t : {"Orders", "OrderItem", "Cutsheets", "Invoice", "Shipment", "ShipmentItems"})
        std::printf("%s %lld  ", t,
                    db->scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(t))).toLongLong());
    std::printf("\n");
    QStringList customers;
    for (const Row &r : db->query(QStringLiteral("SELECT Customer FROM Orders GROUP BY Customer "
                                                 "ORDER BY count(*) DESC LIMIT 4")))
        customers << r.text(QStringLiteral("Customer"));

    struct Plan
    {
        const reports::Document *doc;
        QMap<QString, QString> args;
        QStringList statements;
        QString script;
    };
    std::vector<Plan> plans;
    // The session's tables come with the program's connection; the raw runs make them first.
    const QStringList session = sessionStatements(*db);
    setDbConnection(std::move(db));
    for (const reports::Document *doc : reports::registry()) {
        if (!only.isEmpty() && doc->name().compare(only, Qt::CaseInsensitive) != 0)
            continue;
        Plan p{doc, argumentsFor(DbConnection(), *doc, customers), {}, {}};
        // The first run leaves the scratch tables that later runs drop, in the copies too.
        reports::buildJob(*doc, p.args);
        p.statements = captureStatements(DbConnection(), [&] { reports::buildJob(*doc, p.args); });
        p.script = QDir(work).filePath(doc->name() + QStringLiteral(".sql"));
        QFile f(p.script);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            die(QStringLiteral("cannot write %1").arg(p.script));
        f.write(".headers on\n.mode csv\n");
        for (const QString &s : session + p.statements)
            f.write((s + QStringLiteral(";\n")).toUtf8());
        plans.push_back(p);
    }
    takeDbConnection().reset();
    const QString bare = QDir(work).filePath(QStringLiteral("plain%1-bare.db").arg(scale));
    const QString indexed = QDir(work).filePath(QStringLiteral("plain%1-indexed.db").arg(scale));
    plainCopy(shop, bare, true);
    plainCopy(shop, indexed, false);

    std::vector<Result> results;
    const QString csv = QDir(work).filePath(QStringLiteral("out.csv"));
    for (const Plan &p : plans) {
        Result r;
        r.name = p.doc->name();
        QStringList cmd = {program, QStringLiteral("--report"), r.name};
        for (auto it = p.args.cbegin(); it != p.args.cend(); ++it)
            cmd << QStringLiteral("--arg") << it.key() + u'=' + it.value();
        cmd << QStringLiteral("--csv") << csv << QStringLiteral("--db") << shop;
        std::printf("%s ", qPrintable(r.name));
        std::fflush(stdout);
        setDbConnection(Database::open(shop, schema::password()));
        for (int i = 0; i < runs; ++i) {
            r.program.push_back(runProcess(cmd).ms);
            r.rawBare.push_back(runProcess({sqlcipher, bare}, p.script).ms);
            r.rawIndexed.push_back(runProcess({sqlcipher, indexed}, p.script).ms);
            QElapsedTimer t;
            t.start();
            const ReportJob job = reports::buildJob(*p.doc, p.args);
            r.rows.push_back(double(t.nsecsElapsed()) / 1e6);
            r.rowsBare.push_back(runRawInProcess(bare, session, p.statements));
            r.rowsIndexed.push_back(runRawInProcess(indexed, session, p.statements));
            std::printf(".");
            std::fflush(stdout);
        }
        takeDbConnection().reset();
        r.maxRssKb = peakMemoryKb(cmd, work);
        std::printf("\n");
        results.push_back(r);
    }

    std::printf("\nScale %d, medians of %d interleaved runs (ms). Whole process to CSV: the program against "
                "the sqlcipher command on a plain copy; rows: the document's statements in this process.\n\n",
                scale, runs);
    std::printf("| document | program | raw, no indexes | ratio | raw, indexes | ratio | rows | rows raw, "
                "no indexes | ratio | rows raw, indexes | ratio | peak MB |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Result &r : results) {
        const double p = median(r.program), b = median(r.rawBare), x = median(r.rawIndexed);
        const double q = median(r.rows), qb = median(r.rowsBare), qx = median(r.rowsIndexed);
        std::printf("| %s | %.0f | %.0f | %.2f | %.0f | %.2f | %.1f | %.1f | %.2f | %.1f | %.2f | %.0f |\n",
                    qPrintable(r.name), p, b, p / b, x, p / x, q, qb, q / qb, qx, q / qx,
                    double(r.maxRssKb) / 1024.0);
    }
    return 0;
}
