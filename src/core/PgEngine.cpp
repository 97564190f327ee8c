#include "core/PgEngine.h"

#include "core/schema/Schema.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

#include <cmath>
#include <vector>

namespace {

// Codes a DbError carries for a connection that could not be made; statement failures carry 1,
// as the file engine's generic error does.
constexpr int kStatementFailed = 1;
constexpr int kConnectionLost = 900;
constexpr int kConnectBase = 1000;

// Type numbers of the server's built-in types.
enum : Oid
{
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kTimestamp = 1114,
    kNumeric = 1700,
};

// The spelling of the shop's table and column names, for result columns the server reports
// folded to lower case.
const QHash<QString, QString> &schemaNames()
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> n;
        const auto add = [&n](const schema::Table &t) {
            n.insert(QString::fromLatin1(t.name).toLower(), QString::fromLatin1(t.name));
            for (const schema::Column &c : t.columns)
                n.insert(QString::fromLatin1(c.name).toLower(), QString::fromLatin1(c.name));
        };
        for (const schema::Table &t : schema::tables())
            add(t);
        add(schema::sessionTables().front());
        return n;
    }();
    return names;
}

// The program's SQL as the server takes it: ? placeholders numbered, and quoted names folded to
// lower case as the unquoted ones are (the file engine compares names without regard to case).
// `spelled` learns how the text spells each name, aliases after AS first.
struct Translated
{
    QString text;
    int placeholders = 0;
    QHash<QString, QString> spelled;
};

Translated translate(const QString &sql, const QStringList &inlined = {})
{
    Translated t;
    t.text.reserve(sql.size() + 16);
    QString previousWord;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        if (c == u'\'') {
            const qsizetype start = i++;
            while (i < sql.size()) {
                if (sql.at(i) == u'\'' && (i + 1 >= sql.size() || sql.at(i + 1) != u'\''))
                    break;
                i += sql.at(i) == u'\'' ? 2 : 1;
            }
            ++i;
            t.text += QStringView(sql).mid(start, i - start);
            previousWord.clear();
        } else if (c == u'"') {
            qsizetype end = sql.indexOf(u'"', i + 1);
            if (end < 0)
                end = sql.size();
            const QString name = sql.mid(i + 1, end - i - 1);
            // Collation names keep their case.
            const bool collation = previousWord.compare(QLatin1String("COLLATE"), Qt::CaseInsensitive) == 0;
            t.text += u'"' + (collation ? name : name.toLower()) + u'"';
            if (previousWord.compare(QLatin1String("AS"), Qt::CaseInsensitive) == 0 ||
                !t.spelled.contains(name.toLower()))
                t.spelled.insert(name.toLower(), name);
            previousWord = name;
            i = end + 1;
        } else if (c == u'?') {
            ++t.placeholders;
            t.text += inlined.isEmpty() ? QStringLiteral("$%1").arg(t.placeholders)
                                        : inlined.value(t.placeholders - 1);
            ++i;
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < sql.size() && (sql.at(i).isLetterOrNumber() || sql.at(i) == u'_'))
                ++i;
            const QString word = sql.mid(start, i - start);
            t.text += word;
            const QString lower = word.toLower();
            if (previousWord.compare(QLatin1String("AS"), Qt::CaseInsensitive) == 0 ||
                !t.spelled.contains(lower))
                t.spelled.insert(lower, word);
            previousWord = word;
        } else {
            t.text += c;
            if (!c.isSpace())
                previousWord.clear();
            ++i;
        }
    }
    return t;
}

QByteArray paramText(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().toPlainString().toUtf8();
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? "1" : "0";
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
        return isoDate(v.toDate()).toUtf8();
    case QMetaType::QDateTime:
        return isoDateTime(v.toDateTime()).toUtf8();
    default:
        return v.toString().toUtf8();
    }
}

// The type a parameter is sent with when the server cannot tell it from its place.
Oid typeOf(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return kInt8;
    case QMetaType::Double:
    case QMetaType::Float:
        return kFloat8;
    default:
        return v.metaType() == QMetaType::fromType<Money>() ? kNumeric : kText;
    }
}

// Values come back as the file engine gives them: whole numbers as integers (a numeric column
// holding 100.0000 reads as 100, as the file's numeric affinity stores it), dates as ISO text.
QVariant valueOf(PGresult *res, int row, int col)
{
    if (PQgetisnull(res, row, col))
        return QVariant();
    const char *raw = PQgetvalue(res, row, col);
    const int len = PQgetlength(res, row, col);
    switch (PQftype(res, col)) {
    case kBool:
        return QVariant(qlonglong(raw[0] == 't' ? 1 : 0));
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return QVariant(QByteArray::fromRawData(raw, len).toLongLong());
    case kFloat4:
    case kFloat8:
        return QVariant(QByteArray::fromRawData(raw, len).toDouble());
    case kNumeric: {
        const QByteArray text(raw, len);
        const qsizetype point = text.indexOf('.');
        bool whole = true;
        for (qsizetype i = point + 1; point >= 0 && i < text.size(); ++i)
            whole = whole && text.at(i) == '0';
        bool ok = false;
        if (whole) {
            const qlonglong n = text.left(point < 0 ? text.size() : point).toLongLong(&ok);
            if (ok)
                return QVariant(n);
        }
        return QVariant(text.toDouble());
    }
    case kTimestamp: {
        // A day written without its time reads back as it was written.
        const QString text = QString::fromUtf8(raw, len);
        return QVariant(text.endsWith(QLatin1String(" 00:00:00")) ? text.left(10) : text);
    }
    case kBytea: {
        size_t n = 0;
        unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(raw), &n);
        QByteArray out(reinterpret_cast<const char *>(bytes), qsizetype(n));
        PQfreemem(bytes);
        return QVariant(out);
    }
    default:
        return QVariant(QString::fromUtf8(raw, len));
    }
}

QString plainConnectMessage(const QString &location, const QString &engine, PgEngine::Refusal &refusal,
                            bool passwordGiven)
{
    const QString database = serverDatabaseName(location);
    const QString firstLine = engine.trimmed().section(u'\n', 0, 0);
    if (engine.contains(QLatin1String("password authentication failed")) ||
        engine.contains(QLatin1String("authentication failed"))) {
        refusal = passwordGiven ? PgEngine::Refusal::WrongPassword : PgEngine::Refusal::NeedsPassword;
        return passwordGiven
                   ? QStringLiteral("The user name or password for the database server was not accepted.")
                   : QStringLiteral("The database server asks for a password.");
    }
    if (engine.contains(QLatin1String("no password supplied")) ||
        engine.contains(QLatin1String("fe_sendauth"))) {
        refusal = PgEngine::Refusal::NeedsPassword;
        return QStringLiteral("The database server asks for a password.");
    }
    if (engine.contains(QLatin1String("database \"")) && engine.contains(QLatin1String("does not exist"))) {
        refusal = PgEngine::Refusal::MissingDatabase;
        return QStringLiteral("The database %1 does not exist on the server.").arg(database);
    }
    if (engine.contains(QLatin1String("Connection refused")) ||
        engine.contains(QLatin1String("No such file")) ||
        engine.contains(QLatin1String("could not translate host name")) ||
        engine.contains(QLatin1String("timeout")) || engine.contains(QLatin1String("No route to host")) ||
        engine.contains(QLatin1String("could not connect"))) {
        refusal = PgEngine::Refusal::Unreachable;
        return QStringLiteral("The database server cannot be reached (%1).").arg(firstLine);
    }
    refusal = PgEngine::Refusal::Other;
    return QStringLiteral("The database server refused the connection (%1).").arg(firstLine);
}

// The server's message with tables and columns named as the statement and the schema spell them,
// as the file names them, not as the server folded them ("relation \"orderitem\"" reads
// "relation \"OrderItem\"").
QString spelledAsWritten(const QString &text, const QString &sql)
{
    const QHash<QString, QString> spelled = translate(sql).spelled;
    const auto spell = [&spelled](const QString &folded) {
        const QString asWritten = spelled.value(folded.toLower());
        return asWritten.isEmpty() ? schemaSpelling(folded) : asWritten;
    };
    static const QRegularExpression named(
        QStringLiteral("\\b(relation|table|column|view|index) (\"?)(\\w+)(\"?)(\\.(\"?)(\\w+)(\"?))?"));
    QString out;
    qsizetype last = 0;
    for (auto it = named.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += m.captured(1) + u' ' + m.captured(2) + spell(m.captured(3)) + m.captured(4);
        if (m.capturedLength(5) > 0)
            out += u'.' + m.captured(6) + spell(m.captured(7)) + m.captured(8);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

ServerTrace &serverTrace()
{
    static ServerTrace trace;
    return trace;
}

} // namespace

void setServerTrace(ServerTrace trace)
{
    serverTrace() = std::move(trace);
}

QString schemaSpelling(const QString &folded)
{
    return schemaNames().value(folded.toLower(), folded);
}

bool isServerUri(const QString &location)
{
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString serverDatabaseName(const QString &uri)
{
    const QUrl url(uri);
    QString name = url.path().mid(1);
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("dbname")))
        name = query.queryItemValue(QStringLiteral("dbname"));
    return name.isEmpty() ? url.userName() : name;
}

std::unique_ptr<PgEngine> PgEngine::connect(const QString &uri, const QString &user, const QString &password)
{
    std::unique_ptr<PgEngine> e(new PgEngine);
    QUrl url(uri);
    if (!url.password().isEmpty())
        url.setPassword(QString());
    e->m_location = url.password().isEmpty() && !QUrl(uri).password().isEmpty() ? url.toString() : uri;
    const QByteArray dbname = uri.toUtf8();
    const QByteArray userText = user.toUtf8();
    const QByteArray passwordText = password.toUtf8();
    // A dropped network is noticed within a minute instead of the system's two hours; a URI
    // that says otherwise wins, being read after these.
    std::vector<const char *> keys{"connect_timeout",  "keepalives_idle", "keepalives_interval",
                                   "keepalives_count", "dbname",          "client_encoding",
                                   "application_name"};
    std::vector<const char *> values{"10", "30", "10", "3", dbname.constData(), "UTF8", "corvane"};
    if (!user.isEmpty()) {
        keys.push_back("user");
        values.push_back(userText.constData());
    }
    if (!password.isEmpty()) {
        keys.push_back("password");
        values.push_back(passwordText.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    e->m_conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (!e->m_conn || PQstatus(e->m_conn) != CONNECTION_OK) {
        const QString engine = e->m_conn ? QString::fromUtf8(PQerrorMessage(e->m_conn)) : QString();
        const bool asked = e->m_conn && PQconnectionNeedsPassword(e->m_conn);
        // A password from PGPASSWORD or the password file is one given too.
        const bool sent = e->m_conn && PQconnectionUsedPassword(e->m_conn);
        Refusal refusal = Refusal::Other;
        QString message = plainConnectMessage(e->m_location, engine, refusal, !password.isEmpty() || sent);
        if (asked && password.isEmpty() && !sent) {
            refusal = Refusal::NeedsPassword;
            message = QStringLiteral("The database server asks for a password.");
        }
        throw DbError(kConnectBase + int(refusal), message).inFile(e->m_location);
    }
    PQsetNoticeProcessor(
        e->m_conn, [](void *, const char *) {}, nullptr);
    e->startSession();
    return e;
}

void PgEngine::startSession()
{
    script(QStringLiteral("SET datestyle = ISO; SET client_min_messages = warning"));
    setLockTimeout(m_lockTimeout);
}

void PgEngine::reconnect()
{
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        Refusal refusal = Refusal::Other;
        const QString message = plainConnectMessage(m_location, QString::fromUtf8(PQerrorMessage(m_conn)),
                                                    refusal, PQconnectionUsedPassword(m_conn));
        throw DbError(kConnectBase + int(refusal), message).inFile(m_location);
    }
    startSession();
}

bool PgEngine::isConnectionLoss(const DbError &e)
{
    return e.code() == kConnectionLost;
}

DbError PgEngine::connectionLost(const QString &location, const QString &sql)
{
    return DbError(kConnectionLost,
                   QStringLiteral("The connection to the database server was lost, and this command was not "
                                  "carried out. The next command connects again."),
                   sql)
        .inFile(location);
}

PgEngine::Refusal PgEngine::refusalOf(const DbError &e)
{
    const int r = e.code() - kConnectBase;
    return r > 0 && r <= int(Refusal::Other) ? Refusal(r) : Refusal::None;
}

PgEngine::~PgEngine()
{
    if (m_conn)
        PQfinish(m_conn);
}

void PgEngine::fail(const QString &sql, PGresult *res) const
{
    QString text = QString::fromUtf8(res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr);
    if (text.isEmpty())
        text = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    const QByteArray state = res ? QByteArray(PQresultErrorField(res, PG_DIAG_SQLSTATE)) : QByteArray();
    if (res)
        PQclear(res);
    if (PQstatus(m_conn) == CONNECTION_BAD)
        throw connectionLost(m_location, sql);
    text = spelledAsWritten(text, sql);
    // A lock held past the wait reads as the file's busy; a save given up for a concurrent one
    // is run again whole by its caller.
    if (state == "55P03")
        throw DbError::busy();
    if (state == "40001" || state == "40P01")
        throw DbError(DbError::kConflict, text, sql).inFile(m_location);
    if (state == "42501")
        throw DbError(DbError::kNotPermitted, text, sql).inFile(m_location);
    throw DbError(kStatementFailed, text, sql).inFile(m_location);
}

void PgEngine::setLockTimeout(int milliseconds)
{
    m_lockTimeout = milliseconds; // a new session after a reconnect waits as long
    script(QStringLiteral("SET lock_timeout = %1").arg(milliseconds));
}

qint64 PgEngine::sessionId() const
{
    return PQbackendPID(m_conn);
}

PgEngine::Result PgEngine::run(const QString &sql, const QVariantList &params)
{
    // Statements that are not planned (CREATE TABLE ... AS) take no parameters: their values are
    // written into the text as quoted literals.
    const bool utility = sql.trimmed().startsWith(QLatin1String("CREATE"), Qt::CaseInsensitive);
    QStringList inlined;
    if (utility && !params.isEmpty()) {
        for (const QVariant &v : params)
            inlined << literal(v);
    }
    const Translated t = translate(sql, inlined);
    if (t.placeholders != params.size())
        throw DbError(
            kStatementFailed,
            QStringLiteral("Statement expects %1 values, %2 given").arg(t.placeholders).arg(params.size()),
            sql);
    const int n = inlined.isEmpty() ? int(params.size()) : 0;
    std::vector<QByteArray> texts(static_cast<size_t>(n));
    std::vector<const char *> values(static_cast<size_t>(n));
    std::vector<Oid> types(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        if (params.at(i).isNull()) {
            values[size_t(i)] = nullptr;
            continue;
        }
        texts[size_t(i)] = paramText(params.at(i));
        values[size_t(i)] = texts[size_t(i)].constData();
    }
    const QByteArray text = t.text.toUtf8();
    PGresult *res = nullptr;
    // A value the server cannot type from its place (a bare "? AS AsOf") is sent with its own type.
    for (int attempt = 0; attempt <= n; ++attempt) {
        res = PQexecParams(m_conn, text.constData(), n, types.data(), values.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(res);
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            break;
        static const QRegularExpression untyped(
            QStringLiteral("could not determine data type of parameter \\$(\\d+)"));
        const auto m = untyped.match(QString::fromUtf8(PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY)));
        if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(1).toInt() > n)
            fail(sql, res);
        PQclear(res);
        const int index = m.captured(1).toInt() - 1;
        types[size_t(index)] = typeOf(params.at(index));
    }
    if (serverTrace()) {
        QStringList written = inlined;
        for (int i = 0; i < n; ++i)
            written << literal(params.at(i), types[size_t(i)]);
        serverTrace()(written.isEmpty() ? t.text : translate(sql, written).text);
    }
    Result out;
    const int columns = PQnfields(res);
    QStringList names;
    for (int c = 0; c < columns; ++c) {
        const QString folded = QString::fromUtf8(PQfname(res, c));
        QString name = t.spelled.value(folded);
        if (name.isEmpty())
            name = schemaNames().value(folded, folded);
        names << name;
    }
    out.rows = RowSet(names);
    const int rows = PQntuples(res);
    for (int r = 0; r < rows; ++r) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row << valueOf(res, r, c);
        out.rows.append(std::move(row));
    }
    out.changed = QByteArray(PQcmdTuples(res)).toInt();
    PQclear(res);
    return out;
}

void PgEngine::script(const QString &sql)
{
    const QString text = translate(sql).text;
    PGresult *res = PQexec(m_conn, text.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(sql, res);
    PQclear(res);
    if (serverTrace())
        serverTrace()(text);
}

QString PgEngine::literal(const QVariant &value, unsigned type) const
{
    if (value.isNull())
        return QStringLiteral("NULL");
    const QByteArray t = paramText(value);
    char *quoted = PQescapeLiteral(m_conn, t.constData(), size_t(t.size()));
    QString text = QString::fromUtf8(quoted);
    PQfreemem(quoted);
    // A value sent with its own type keeps it; the others are untyped, as a quoted literal is.
    switch (type) {
    case kInt8:
        return text + QStringLiteral("::int8");
    case kFloat8:
        return text + QStringLiteral("::float8");
    case kNumeric:
        return text + QStringLiteral("::numeric");
    case kText:
        return text + QStringLiteral("::text");
    default:
        return text;
    }
}

QString PgEngine::identityColumn(const QString &table)
{
    const QString key = table.toLower();
    auto found = m_identity.constFind(key);
    if (found != m_identity.constEnd())
        return *found;
    const RowSet rows =
        run(QStringLiteral("SELECT a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
                           "WHERE c.oid = to_regclass(?) AND a.attidentity <> '' AND a.attnum > 0"),
            {key})
            .rows;
    const QString column = rows.isEmpty() ? QString() : rows.first().value(0).toString();
    m_identity.insert(key, column);
    return column;
}
