#include "reports/ReportCommandLine.h"

#include "core/Database.h"
#include "reports/ReportDesign.h"
#include "reports/ReportDocument.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#include <cstring>

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
        } else {
            throw UsageError(QStringLiteral("Unknown argument \"%1\".").arg(a));
        }
    }
    if (r.help)
        return r;
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

} // namespace

QString commandLineUsage()
{
    QString text = QStringLiteral(
        "Usage: corvane --report NAME [--arg KEY=VALUE ...] (--pdf FILE | --csv FILE) [--db DATABASE]\n"
        "Writes one document without opening a window: as a PDF file, or its rows as CSV (a header of\n"
        "the design's columns; a sub-report's rows go to FILE-sub.csv). Without --db the database\n"
        "named in config.txt beside the program is used.\n\nDocuments:\n");
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

bool isCommandLineRequest(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"--report", "--pdf", "--csv", "--arg", "--db", "--help", "-h"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

int runCommandLine(int argc, char **argv)
{
    // No window is shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runReportCommand(app.arguments().mid(1), QCoreApplication::applicationDirPath(), out, err);
}

int runReportCommand(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err)
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
        document = find(request.document);
        if (!document)
            throw UsageError(QStringLiteral("There is no document named \"%1\".").arg(request.document));
        // Before the database is opened: a bad request needs none.
        checkArguments(*document, request.arguments);
    } catch (const UsageError &e) {
        err << e.text() << "\n\n" << commandLineUsage();
        err.flush();
        return 2;
    }

    try {
        std::unique_ptr<Database> db = request.database.isEmpty()
                                           ? openConfiguredDatabase(programFolder)
                                           : Database::open(request.database, schema::password());
        RequestConnection connection(std::move(db));
        const ReportJob job = buildJob(*document, request.arguments);
        const Design &design = checkJob(job);
        QString error;
        bool written = false;
        if (!request.pdf.isEmpty()) {
            const ReportDocument doc(job);
            written = doc.writePdf(request.pdf, &error);
            if (written)
                out << QStringLiteral("%1: %2 page(s) written to %3\n").arg(design.name).arg(doc.pageCount()).arg(request.pdf);
        } else {
            written = writeCsv(request.csv, job.rows, design.columns, &error);
            if (written && design.sub && job.subRows)
                written = writeCsv(subCsvPath(request.csv), *job.subRows, design.sub->columns, &error);
            if (written)
                out << QStringLiteral("%1: %2 row(s) written to %3\n").arg(design.name).arg(job.rows.size()).arg(request.csv);
        }
        out.flush();
        if (!written) {
            err << error << '\n';
            err.flush();
            return 1;
        }
        return 0;
    } catch (const UsageError &e) {
        err << e.text() << "\n\n" << commandLineUsage();
        err.flush();
        return 2;
    } catch (const StartupError &e) {
        err << e.title() << ": " << e.text() << '\n';
    } catch (const DbError &e) {
        err << e.message() << '\n';
    }
    err.flush();
    return 1;
}

} // namespace reports
