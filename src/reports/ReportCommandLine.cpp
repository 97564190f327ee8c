#include "reports/ReportCommandLine.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "reports/ReportCatalogue.h"
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

qint64 ReportArguments::id(const QString &key) const
{
    if (!has(key))
        throw UsageError(QStringLiteral("This document needs --arg %1=NUMBER.").arg(key));
    bool ok = false;
    const qint64 v = m_values.value(key).toLongLong(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("--arg %1 must be a whole number, not \"%2\".").arg(key, m_values.value(key)));
    return v;
}

QDate ReportArguments::date(const QString &key, const QDate &fallback) const
{
    if (!has(key)) {
        if (fallback.isValid())
            return fallback;
        throw UsageError(QStringLiteral("This document needs --arg %1=DATE (yyyy-mm-dd or m/d/yyyy).").arg(key));
    }
    const QDate d = parseDate(m_values.value(key));
    if (!d.isValid())
        throw UsageError(QStringLiteral("--arg %1 must be a date (yyyy-mm-dd or m/d/yyyy), not \"%2\".")
                             .arg(key, m_values.value(key)));
    return d;
}

QString ReportArguments::text(const QString &key, const QString &fallback) const
{
    return has(key) ? m_values.value(key) : fallback;
}

namespace {

using Args = ReportArguments;

// The invoice of a shipment as it was stored, unless the request gives the values.
ReportJob invoiceFromArguments(const Args &a)
{
    const qint64 shipment = a.id(QStringLiteral("shipment"));
    const RowSet stored = DbConnection().query(
        QStringLiteral("SELECT Invoice, DueDate, Terms FROM Invoice WHERE Shipment = ? ORDER BY Invoice"), {shipment});
    qint64 number = 0;
    if (a.has(QStringLiteral("invoice")))
        number = a.id(QStringLiteral("invoice"));
    else if (!stored.isEmpty())
        number = stored.first().integer(QStringLiteral("Invoice"));
    else
        throw UsageError(QStringLiteral("Shipment %1 has no invoice yet: give --arg invoice=NUMBER.").arg(shipment));
    const QString due = a.has(QStringLiteral("due"))
                            ? shortDate(a.date(QStringLiteral("due")))
                            : (stored.isEmpty() ? QString() : shortDate(stored.first().date(QStringLiteral("DueDate"))));
    const QString terms = a.text(QStringLiteral("terms"), stored.isEmpty() ? QString() : stored.first().text(QStringLiteral("Terms")));
    return invoiceJob(shipment, number, due, terms);
}

QList<CommandLineDocument> &documents()
{
    static QList<CommandLineDocument> all = {
        {QStringLiteral("crptOrderEntryControlReport"),
         {{QStringLiteral("order"), QStringLiteral("order ID")}},
         [](const Args &a) { return orderEntryControlJob(a.id(QStringLiteral("order"))); }},
        {QStringLiteral("crptPurchaseOrder"),
         {{QStringLiteral("po"), QStringLiteral("purchase order ID")}},
         [](const Args &a) { return purchaseOrderJob(a.id(QStringLiteral("po"))); }},
        {QStringLiteral("crptImportLogReport"),
         {{QStringLiteral("import"), QStringLiteral("import ID")}},
         [](const Args &a) { return importLogJob(a.id(QStringLiteral("import"))); }},
        {QStringLiteral("crptOpenOrdersReport"), {}, [](const Args &) { return openOrdersJob(); }},
        {QStringLiteral("crptProductionScheduleReport"), {}, [](const Args &) { return productionScheduleJob(); }},
        {QStringLiteral("crptCutsheetEntryControlReport"), {}, [](const Args &) { return cutsheetControlJob(); }},
        {QStringLiteral("crptCustomerReport"), {}, [](const Args &) { return customerListingJob(); }},
        {QStringLiteral("crptEmployeeReport"), {}, [](const Args &) { return employeeListingJob(); }},
        {QStringLiteral("crptSetReport"), {}, [](const Args &) { return setListingJob(); }},
        {QStringLiteral("crptMaterialReport"), {}, [](const Args &) { return materialListingJob(); }},
        {QStringLiteral("crptPackingSlip"),
         {{QStringLiteral("shipment"), QStringLiteral("shipment ID")}},
         [](const Args &a) { return packingSlipJob(a.id(QStringLiteral("shipment"))); }},
        {QStringLiteral("crptInvoice"),
         {{QStringLiteral("shipment"), QStringLiteral("shipment ID")},
          {QStringLiteral("invoice"), QStringLiteral("invoice number (default: the shipment's invoice)")},
          {QStringLiteral("due"), QStringLiteral("due date (default: the invoice's)")},
          {QStringLiteral("terms"), QStringLiteral("terms (default: the invoice's)")}},
         invoiceFromArguments},
        {QStringLiteral("crptOpenInvoicesReport"),
         {{QStringLiteral("asof"), QStringLiteral("as-of date (default: today)")}},
         [](const Args &a) { return openInvoicesJob(a.date(QStringLiteral("asof"), Clock::today())); }},
        {QStringLiteral("crptARTranReport"),
         {{QStringLiteral("from"), QStringLiteral("first date")}, {QStringLiteral("to"), QStringLiteral("last date")}},
         [](const Args &a) {
             return arTransactionsJob(a.date(QStringLiteral("from")), a.date(QStringLiteral("to")));
         }},
    };
    return all;
}

const CommandLineDocument *findDocument(const QString &name)
{
    for (const CommandLineDocument &d : documents()) {
        if (d.design.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    }
    return nullptr;
}

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

const QList<CommandLineDocument> &commandLineDocuments()
{
    return documents();
}

void addCommandLineDocument(const CommandLineDocument &document)
{
    QList<CommandLineDocument> &all = documents();
    for (CommandLineDocument &d : all) {
        if (d.design.compare(document.design, Qt::CaseInsensitive) == 0) {
            d = document;
            return;
        }
    }
    all << document;
}

QString commandLineUsage()
{
    QString text = QStringLiteral(
        "Usage: corvane --report NAME [--arg KEY=VALUE ...] (--pdf FILE | --csv FILE) [--db DATABASE]\n"
        "Writes one document without opening a window: as a PDF file, or its rows as CSV (a header of\n"
        "the design's columns; a sub-report's rows go to FILE-sub.csv). Without --db the database\n"
        "named in config.txt beside the program is used.\n\nDocuments:\n");
    for (const CommandLineDocument &d : documents()) {
        text += QStringLiteral("  ") + d.design + u'\n';
        for (const auto &a : d.arguments)
            text += QStringLiteral("      --arg %1=...   %2\n").arg(a.first, a.second);
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
    const CommandLineDocument *document = nullptr;
    try {
        request = parse(args);
        if (request.help) {
            out << commandLineUsage();
            out.flush();
            return 0;
        }
        document = findDocument(request.document);
        if (!document)
            throw UsageError(QStringLiteral("There is no document named \"%1\".").arg(request.document));
        for (auto it = request.arguments.cbegin(); it != request.arguments.cend(); ++it) {
            bool known = false;
            for (const auto &a : document->arguments)
                known = known || a.first == it.key();
            if (!known)
                throw UsageError(QStringLiteral("%1 takes no --arg %2.").arg(document->design, it.key()));
        }
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
        const ReportJob job = document->build(ReportArguments(request.arguments));
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
