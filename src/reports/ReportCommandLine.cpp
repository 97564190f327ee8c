#include "reports/ReportCommandLine.h"

#include "core/Backup.h"
#include "core/Database.h"
#include "core/Passphrase.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"
#include "reports/ReportDesign.h"
#include "reports/ReportDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

namespace reports {

namespace {

// Appends one field, quoted only when it holds a separator, a quote or a line break.
void appendCsvField(QString &line, const QString &value)
{
    const auto special = [](QChar c) { return c == u',' || c == u'"' || c == u'\n' || c == u'\r'; };
    if (std::none_of(value.cbegin(), value.cend(), special)) {
        line += value;
        return;
    }
    line += u'"';
    for (const QChar c : value) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

struct Request
{
    QString document;
    QMap<QString, QString> arguments;
    QString pdf;
    QString csv;
    QString database;
    bool help = false;
    bool check = false;
    bool setPassphrase = false;
    bool backup = false;
    QString backupFolder; // --to
    QString restore;      // the backup to put back
};

Request parse(const QStringList &args)
{
    Request r;
    auto valueOf = [&](int &i) {
        const QString option = args.at(i);
        if (i + 1 >= args.size() || args.at(i + 1).startsWith(QLatin1String("--")))
            throw UsageError(QStringLiteral("%1 needs a value.").arg(option));
        return args.at(++i);
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--report")) {
            if (!r.document.isEmpty())
                throw UsageError(QStringLiteral("Only one --report at a time."));
            r.document = valueOf(i);
        } else if (a == QLatin1String("--arg")) {
            const QString kv = valueOf(i);
            const int eq = kv.indexOf(u'=');
            if (eq <= 0)
                throw UsageError(QStringLiteral("--arg takes KEY=VALUE, not \"%1\".").arg(kv));
            r.arguments.insert(kv.left(eq).trimmed().toLower(), kv.mid(eq + 1));
        } else if (a == QLatin1String("--pdf")) {
            r.pdf = valueOf(i);
        } else if (a == QLatin1String("--csv")) {
            r.csv = valueOf(i);
        } else if (a == QLatin1String("--db")) {
            r.database = valueOf(i);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            r.help = true;
        } else if (a == QLatin1String("--check")) {
            r.check = true;
        } else if (a == QLatin1String("--set-passphrase")) {
            r.setPassphrase = true;
        } else if (a == QLatin1String("--backup")) {
            r.backup = true;
        } else if (a == QLatin1String("--to")) {
            r.backupFolder = valueOf(i);
        } else if (a == QLatin1String("--restore")) {
            r.restore = valueOf(i);
        } else {
            throw UsageError(QStringLiteral("Unknown argument \"%1\".").arg(a));
        }
    }
    if (r.help)
        return r;
    const bool documentOptions =
        !r.document.isEmpty() || !r.pdf.isEmpty() || !r.csv.isEmpty() || !r.arguments.isEmpty();
    if (int(r.check) + int(r.backup) + int(!r.restore.isEmpty()) + int(r.setPassphrase) > 1)
        throw UsageError(QStringLiteral("Give one of --check, --backup, --restore and --set-passphrase."));
    if (!r.backupFolder.isEmpty() && !r.backup)
        throw UsageError(QStringLiteral("--to goes with --backup."));
    if (r.backup || !r.restore.isEmpty()) {
        if (documentOptions)
            throw UsageError(r.backup ? QStringLiteral("--backup takes only --db and --to.")
                                      : QStringLiteral("--restore takes only --db."));
        return r;
    }
    if (r.check || r.setPassphrase) {
        const QString option = r.check ? QStringLiteral("--check") : QStringLiteral("--set-passphrase");
        if (documentOptions)
            throw UsageError(QStringLiteral("%1 takes only --db.").arg(option));
        return r;
    }
    if (r.document.isEmpty())
        throw UsageError(QStringLiteral("Name the document with --report."));
    if (r.pdf.isEmpty() == r.csv.isEmpty())
        throw UsageError(QStringLiteral("Give exactly one of --pdf FILE and --csv FILE."));
    return r;
}

// Installs the request's database for its length and puts back whatever was open before.
class RequestConnection
{
public:
    explicit RequestConnection(std::unique_ptr<Database> db)
    {
        if (hasDbConnection())
            m_previous = takeDbConnection();
        setDbConnection(std::move(db));
    }
    ~RequestConnection()
    {
        takeDbConnection();
        if (m_previous)
            setDbConnection(std::move(m_previous));
    }
    RequestConnection(const RequestConnection &) = delete;
    RequestConnection &operator=(const RequestConnection &) = delete;

private:
    std::unique_ptr<Database> m_previous;
};

QString subCsvPath(const QString &path)
{
    const QFileInfo f(path);
    return f.dir().filePath(f.completeBaseName() + QStringLiteral("-sub.") +
                            (f.suffix().isEmpty() ? QStringLiteral("csv") : f.suffix()));
}

std::unique_ptr<Database> openRequested(const Request &request, const QString &programFolder)
{
    return request.database.isEmpty() ? openConfiguredDatabase(configFolder(programFolder))
                                      : openShopDatabase(request.database);
}

// Numbers of stored records named in a request: one that does not exist is said as such, not as
// an empty or wrong document.
struct StoredRecord
{
    const char *argument;
    const char *table;
    const char *noun;
};
constexpr StoredRecord kStoredRecords[] = {
    {"shipment", "Shipment", "Shipment"},
    {"order", "Orders", "Order"},
    {"po", "PurchaseOrder", "Purchase order"},
};

// A request that names what is not there, or an output that may not be written: exit code 2.
struct MissingRecord
{
    QString text;
};

void checkRecordsExist(Database &db, const QMap<QString, QString> &arguments)
{
    for (const StoredRecord &r : kStoredRecords) {
        const QString key = QString::fromLatin1(r.argument);
        if (!arguments.contains(key))
            continue;
        const QString value = arguments.value(key).trimmed();
        if (db.query(QStringLiteral("SELECT 1 FROM %1 WHERE ID = ?").arg(QLatin1String(r.table)),
                     {value.toLongLong()})
                .isEmpty())
            throw MissingRecord{QStringLiteral("%1 %2 does not exist.").arg(QLatin1String(r.noun), value)};
    }
    if (arguments.contains(QStringLiteral("import"))) {
        const QString value = arguments.value(QStringLiteral("import")).trimmed();
        if (db.query(QStringLiteral("SELECT 1 FROM ImportXLSLog WHERE ImportID = ?"), {value.toLongLong()})
                .isEmpty())
            throw MissingRecord{QStringLiteral("Import %1 does not exist.").arg(value)};
    }
}

// A bad request in one line; the whole usage is for --help.
int refuseUsage(const UsageError &e, QTextStream &err)
{
    err << "corvane: " << e.text() << " (see corvane --help)\n";
    err.flush();
    return 2;
}

// Runs work that needs the database, saying its failures in one line each; 1 for a database or
// output failure, 2 for a request that names what is not there.
int reportingFailures(QTextStream &err, const std::function<int()> &work)
{
    try {
        return work();
    } catch (const UsageError &e) {
        return refuseUsage(e, err);
    } catch (const MissingRecord &e) {
        err << "corvane: " << e.text << '\n';
        err.flush();
        return 2;
    } catch (const StartupError &e) {
        err << e.title() << ": " << e.text() << '\n';
    } catch (const DbError &e) {
        err << e.describe() << '\n';
    }
    err.flush();
    return 1;
}

int checkDatabaseFile(const Request &request, const QString &programFolder, QTextStream &out,
                      QTextStream &err)
{
    return reportingFailures(err, [&] {
        std::unique_ptr<Database> db = openRequested(request, programFolder);
        const QString file = QDir::toNativeSeparators(db->path());
        const QStringList findings = checkDatabase(*db);
        if (findings.isEmpty()) {
            out << QStringLiteral("%1: no damage found.\n").arg(file);
            out.flush();
            return 0;
        }
        if (db->isServer()) {
            err << QStringLiteral("Not every table of %1 can be read:\n").arg(file);
            for (const QString &f : findings)
                err << "  " << f << '\n';
            err.flush();
            return 1;
        }
        err << QStringLiteral("%1 is damaged:\n").arg(file);
        for (const QString &f : findings)
            err << "  " << f << '\n';
        err << "Restore the file from its latest backup.\n";
        err.flush();
        return 1;
    });
}

// Re-keys the file with a new passphrase typed twice at the terminal; never from the command line.
int setFilePassphrase(const Request &request, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    return reportingFailures(err, [&] {
        std::unique_ptr<Database> db = openRequested(request, programFolder);
        passphrase::refuseServer(*db);
        const QString file = QDir::toNativeSeparators(db->path());
        InstanceLock lock(db->path());
        if (!lock.tryLock()) {
            err << QStringLiteral("corvane: the program is running on %1; close it first.\n").arg(file);
            err.flush();
            return 1;
        }
        const std::optional<QByteArray> typed =
            passphrase::readHidden(QStringLiteral("New passphrase of %1 (at least %2 characters): ")
                                       .arg(file)
                                       .arg(passphrase::kMinimumLength));
        if (!typed) {
            err << "corvane: --set-passphrase asks the new passphrase at a terminal; none is open.\n";
            err.flush();
            return 2;
        }
        const QByteArray again = passphrase::readHidden(QStringLiteral("Type it again: ")).value_or(QByteArray());
        if (const std::optional<Refusal> no = passphrase::refusal(*typed, again)) {
            err << "corvane: " << no->text << '\n';
            err.flush();
            return 2;
        }
        passphrase::rekey(*db, *typed);
        out << QStringLiteral("%1 is now keyed with the new passphrase. Keep it safe: without it the file "
                              "cannot be opened.\n")
                   .arg(file);
        out.flush();
        return 0;
    });
}

// The key a backup opens with: the program's own, or the shop's passphrase asked for it.
QByteArray keyOf(const QString &file)
{
    try {
        Database::open(file, schema::password());
        return schema::password();
    } catch (const DbError &) {
    }
    try {
        return openShopDatabase(file)->key();
    } catch (const DbError &) {
        return schema::password(); // the check of the backup says what is wrong with it
    }
}

// How many backups to keep: the configuration's number when there is a configuration.
int backupsKept(const QString &programFolder)
{
    try {
        return loadConfig(configFolder(programFolder)).backupsKept;
    } catch (const StartupError &) {
        return backup::kDefaultKept;
    }
}

int backupDatabaseFile(const Request &request, const QString &programFolder, QTextStream &out,
                       QTextStream &err)
{
    return reportingFailures(err, [&] {
        std::unique_ptr<Database> db = openRequested(request, programFolder);
        const QString folder =
            request.backupFolder.isEmpty() ? backup::defaultFolder(db->path()) : request.backupFolder;
        try {
            const backup::Made made = backup::make(*db, folder, backupsKept(programFolder));
            out << QStringLiteral("%1: backup written and verified (%2 tables, %3 rows).\n")
                       .arg(QDir::toNativeSeparators(made.file))
                       .arg(made.tables)
                       .arg(made.rows);
            for (const QString &old : made.removed)
                out << QStringLiteral("%1: removed, older than the newest %2 backups.\n")
                           .arg(QDir::toNativeSeparators(old))
                           .arg(backupsKept(programFolder));
            out.flush();
            return 0;
        } catch (const backup::BackupError &e) {
            err << "corvane: No backup was made: " << e.text() << ".\n";
            err.flush();
            return 1;
        }
    });
}

int restoreDatabaseFile(const Request &request, const QString &programFolder, QTextStream &in,
                        QTextStream &out, QTextStream &err)
{
    return reportingFailures(err, [&] {
        const QString database = request.database.isEmpty()
                                     ? loadConfig(configFolder(programFolder)).databasePath
                                     : request.database;
        const QString file = QDir::toNativeSeparators(database);
        try {
            backup::refuseServer(database);
        } catch (const backup::BackupError &e) {
            err << "corvane: Nothing was restored: " << e.text() << ".\n";
            err.flush();
            return 1;
        }
        const QByteArray key = keyOf(request.restore);
        // While the lock is held here, the program cannot start on the file either.
        InstanceLock lock(database);
        if (!lock.tryLock()) {
            err << QStringLiteral("corvane: The program is running on %1. Close it, then restore.\n")
                       .arg(file);
            err.flush();
            return 1;
        }
        const QStringList problems = backup::verify(request.restore, key);
        if (!problems.isEmpty()) {
            err << QStringLiteral("corvane: %1 cannot be restored: %2. Nothing was changed.\n")
                       .arg(QDir::toNativeSeparators(request.restore), problems.join(QStringLiteral("; ")));
            err.flush();
            return 1;
        }
        out << QStringLiteral(
                   "Replace %1 with the backup %2?\nThe file now in place is kept as one more backup "
                   "first. Type yes to go on: ")
                   .arg(file, QDir::toNativeSeparators(request.restore));
        out.flush();
        const QString answer = in.readLine().trimmed().toLower();
        if (answer != QLatin1String("yes") && answer != QLatin1String("y")) {
            out << "Nothing was changed.\n";
            out.flush();
            return 1;
        }
        try {
            const QString kept = backup::restore(request.restore, database, key);
            out << QStringLiteral("%1 is restored from %2.\n")
                       .arg(file, QDir::toNativeSeparators(request.restore));
            if (!kept.isEmpty())
                out << QStringLiteral("The replaced file is kept as %1.\n")
                           .arg(QDir::toNativeSeparators(kept));
            out.flush();
            return 0;
        } catch (const backup::BackupError &e) {
            err << "corvane: Nothing was restored: " << e.text() << ".\n";
            err.flush();
            return 1;
        }
    });
}

} // namespace

QString commandLineUsage()
{
    QString text = QStringLiteral(
        "Usage: corvane --report NAME [--arg KEY=VALUE ...] (--pdf FILE | --csv FILE) [--db DATABASE]\n"
        "       corvane --check [--db DATABASE]\n"
        "       corvane --set-passphrase [--db DATABASE]\n"
        "       corvane --backup [--db DATABASE] [--to FOLDER]\n"
        "       corvane --restore BACKUP [--db DATABASE]\n"
        "Writes one document without opening a window: as a PDF file, or its rows as CSV (a header of\n"
        "the design's columns; a sub-report's rows go to FILE-sub.csv). Without --db the database\n"
        "named in config.txt (beside the program, or in ~/.config/corvane) is used.\n"
        "--check reads the whole database file and lists the tables a damaged page belongs to; on a\n"
        "server it reads every table and says what is wrong.\n"
        "--backup copies the database while it may be in use, verifies the copy and keeps the newest\n"
        "30 (\"Backups,N\" in config.txt changes that) in FOLDER, by default the backups folder beside\n"
        "the database. --restore puts a verified backup back after asking, keeping the replaced file\n"
        "as one more backup; it refuses while the program runs on the file.\n"
        "--set-passphrase keys the file with a new passphrase, typed twice at the terminal. A file\n"
        "keyed with a passphrase is opened with the one in CORVANE_PASSPHRASE, or asks for it at the\n"
        "terminal.\n\n"
        "Documents:\n");
    for (const Document *d : registry()) {
        text += QStringLiteral("  ") + d->name() + u'\n';
        for (const Argument &a : d->arguments)
            text += QStringLiteral("      --arg %1=...   %2\n").arg(a.name, a.help);
    }
    return text;
}

output::Result writeCsv(const QString &path, const RowSet &rows, const QStringList &columns)
{
    std::vector<int> indexes;
    QString line;
    for (const QString &c : columns) {
        indexes.push_back(rows.columnIndex(c));
        if (indexes.size() > 1)
            line += u',';
        appendCsvField(line, c);
    }
    return output::writeFile(path, [&](QIODevice &device) {
        QByteArray out = line.toUtf8() + "\r\n";
        // One line buffer for every row: a document of many thousand rows otherwise spends as
        // long building its small strings as reading the rows.
        for (const Row &row : rows) {
            line.clear();
            for (size_t k = 0; k < indexes.size(); ++k) {
                if (k > 0)
                    line += u',';
                if (indexes[k] >= 0)
                    appendCsvField(line, plainValue(row.value(indexes[k])));
            }
            line += QLatin1String("\r\n");
            out += line.toUtf8();
            // Written as it grows, so a large document never holds its whole text twice.
            if (out.size() >= (1 << 16)) {
                if (device.write(out) != out.size())
                    return true; // the device's error is reported by the caller
                out.clear();
            }
        }
        device.write(out);
        return true;
    });
}

bool isCommandLineRequest(int argc, char **)
{
    // The windowed program takes no arguments: anything given is a request of the document mode,
    // which refuses what it does not know instead of starting the windows.
    return argc > 1;
}

int runCommandLine(int argc, char **argv)
{
    // No window is shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The toolkit's own notes (no runtime folder, fonts) are not the user's business here; what
    // went wrong is said by this program in one line.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    // Only a PDF lays out text. The rest runs without the graphical side, whose fonts alone cost a
    // clerk's script a noticeable part of a short document's time (even their teardown reads them).
    bool drawsPages = false;
    for (int i = 1; i < argc; ++i)
        drawsPages = drawsPages || std::strcmp(argv[i], "--pdf") == 0;
    const std::unique_ptr<QCoreApplication> app =
        drawsPages ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    passphrase::setPrompt(passphrase::fromEnvironmentOrTerminal);
    serverLogin() = serverLoginAtTerminal;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runReportCommand(app->arguments().mid(1), QCoreApplication::applicationDirPath(), out, err);
}

int runReportCommand(const QStringList &args, const QString &programFolder, QTextStream &out,
                     QTextStream &err, QTextStream *in)
{
    Request request;
    const Document *document = nullptr;
    try {
        request = parse(args);
        if (request.help) {
            out << commandLineUsage();
            out.flush();
            return 0;
        }
        output::protectConfigFolder(programFolder);
        if (request.check)
            return checkDatabaseFile(request, programFolder, out, err);
        if (request.setPassphrase)
            return setFilePassphrase(request, programFolder, out, err);
        if (request.backup)
            return backupDatabaseFile(request, programFolder, out, err);
        if (!request.restore.isEmpty()) {
            QTextStream terminal(stdin);
            return restoreDatabaseFile(request, programFolder, in ? *in : terminal, out, err);
        }
        document = find(request.document);
        if (!document)
            throw UsageError(QStringLiteral("There is no document named \"%1\".").arg(request.document));
        // Before the database is opened: a bad request needs none.
        checkArguments(*document, request.arguments);
    } catch (const UsageError &e) {
        return refuseUsage(e, err);
    }

    return reportingFailures(err, [&] {
        std::unique_ptr<Database> db = openRequested(request, programFolder);
        checkRecordsExist(*db, request.arguments);
        RequestConnection connection(std::move(db));
        // Refused before any work, so nothing is written when one of the outputs may not be.
        for (const QString &target : {request.pdf, request.csv, request.csv.isEmpty() ? QString()
                                                                                     : subCsvPath(request.csv)}) {
            const QString refused = target.isEmpty() ? QString() : output::refusal(target);
            if (!refused.isEmpty())
                throw MissingRecord{refused};
        }
        const ReportJob job = buildJob(*document, request.arguments);
        const Design &design = checkJob(job);
        output::Result result;
        if (!request.pdf.isEmpty()) {
            const ReportDocument doc(job);
            result = doc.exportPdf(request.pdf);
            if (result.written())
                out << QStringLiteral("%1: %2 page(s) written to %3\n")
                           .arg(design.name)
                           .arg(doc.pageCount())
                           .arg(request.pdf);
        } else {
            result = writeCsv(request.csv, job.rows, design.columns);
            if (result.written() && design.sub && job.subRows)
                result = writeCsv(subCsvPath(request.csv), *job.subRows, design.sub->columns);
            if (result.written())
                out << QStringLiteral("%1: %2 row(s) written to %3\n")
                           .arg(design.name)
                           .arg(job.rows.size())
                           .arg(request.csv);
        }
        out.flush();
        if (!result.written()) {
            err << result.message << '\n';
            err.flush();
            return result.outcome == output::Outcome::Refused ? 2 : 1;
        }
        return 0;
    });
}

} // namespace reports
