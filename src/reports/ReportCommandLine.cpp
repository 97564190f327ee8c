#include "reports/ReportCommandLine.h"

#include "core/Database.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"
#include "reports/ReportDesign.h"
#include "reports/ReportDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <functional>

namespace reports {

namespace {

QString csvField(const QString &value)
{
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
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
        } else {
            throw UsageError(QStringLiteral("Unknown argument \"%1\".").arg(a));
        }
    }
    if (r.help)
        return r;
    if (r.check) {
        if (!r.document.isEmpty() || !r.pdf.isEmpty() || !r.csv.isEmpty() || !r.arguments.isEmpty())
            throw UsageError(QStringLiteral("--check takes only --db."));
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
    if (request.database.isEmpty())
        return openConfiguredDatabase(programFolder);
    std::unique_ptr<Database> db = Database::open(request.database, schema::password());
    schema::upgradeOpenedFile(*db);
    return db;
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
        err << QStringLiteral("%1 is damaged:\n").arg(file);
        for (const QString &f : findings)
            err << "  " << f << '\n';
        err << "Restore the file from its latest backup.\n";
        err.flush();
        return 1;
    });
}

} // namespace

QString commandLineUsage()
{
    QString text = QStringLiteral(
        "Usage: corvane --report NAME [--arg KEY=VALUE ...] (--pdf FILE | --csv FILE) [--db DATABASE]\n"
        "       corvane --check [--db DATABASE]\n"
        "Writes one document without opening a window: as a PDF file, or its rows as CSV (a header of\n"
        "the design's columns; a sub-report's rows go to FILE-sub.csv). Without --db the database\n"
        "named in config.txt beside the program is used. --check reads the whole database file and\n"
        "lists the tables a damaged page belongs to.\n\nDocuments:\n");
    for (const Document *d : registry()) {
        text += QStringLiteral("  ") + d->name() + u'\n';
        for (const Argument &a : d->arguments)
            text += QStringLiteral("      --arg %1=...   %2\n").arg(a.name, a.help);
    }
    return text;
}

bool writeCsv(const QString &path, const RowSet &rows, const QStringList &columns, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("The file \"%1\" could not be written: %2").arg(path, file.errorString());
        return false;
    }
    std::vector<int> indexes;
    QStringList header;
    for (const QString &c : columns) {
        indexes.push_back(rows.columnIndex(c));
        header << csvField(c);
    }
    QByteArray out = header.join(u',').toUtf8() + "\r\n";
    for (const Row &row : rows) {
        QStringList fields;
        for (int i : indexes)
            fields << csvField(i >= 0 ? plainValue(row.value(i)) : QString());
        out += fields.join(u',').toUtf8() + "\r\n";
    }
    file.write(out);
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("The file \"%1\" could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
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
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runReportCommand(app.arguments().mid(1), QCoreApplication::applicationDirPath(), out, err);
}

int runReportCommand(const QStringList &args, const QString &programFolder, QTextStream &out,
                     QTextStream &err)
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
        if (request.check)
            return checkDatabaseFile(request, programFolder, out, err);
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
        const ReportJob job = buildJob(*document, request.arguments);
        const Design &design = checkJob(job);
        QString error;
        bool written = false;
        if (!request.pdf.isEmpty()) {
            const ReportDocument doc(job);
            written = doc.writePdf(request.pdf, &error);
            if (written)
                out << QStringLiteral("%1: %2 page(s) written to %3\n")
                           .arg(design.name)
                           .arg(doc.pageCount())
                           .arg(request.pdf);
        } else {
            written = writeCsv(request.csv, job.rows, design.columns, &error);
            if (written && design.sub && job.subRows)
                written = writeCsv(subCsvPath(request.csv), *job.subRows, design.sub->columns, &error);
            if (written)
                out << QStringLiteral("%1: %2 row(s) written to %3\n")
                           .arg(design.name)
                           .arg(job.rows.size())
                           .arg(request.csv);
        }
        out.flush();
        if (!written) {
            err << error << '\n';
            err.flush();
            return 1;
        }
        return 0;
    });
}

} // namespace reports
