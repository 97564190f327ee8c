#include "core/Database.h"

#include "core/FileKey.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QFileInfo>

#include <cerrno>
#include <string>
#include <string_view>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "core/PgEngine.h"
#include "core/schema/Schema.h"

#include <sqlcipher/sqlite3.h>

namespace {

std::unique_ptr<Database> g_connection;
thread_local Database *t_connection = nullptr;

QString engineText(sqlite3 *db, int rc)
{
    if (db)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(rc));
}

// RoundHalfEven(x[, n]): ROUND sending halves to the even neighbour, judged on the four-decimal value,
// so SQL and the program's money round alike.
void roundFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    int decimals = 0;
    if (argc == 2) {
        if (sqlite3_value_type(argv[1]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
        decimals = sqlite3_value_int(argv[1]);
    }
    sqlite3_result_double(ctx, roundHalfEven(sqlite3_value_double(argv[0]), decimals));
}

// A statement in use: a cached one is reset for its next use, any other finalized.
struct Statement
{
    sqlite3_stmt *stmt = nullptr;
    bool cached = false;
    ~Statement()
    {
        if (!stmt)
            return;
        if (cached) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
        } else {
            sqlite3_finalize(stmt);
        }
    }
};

constexpr int kStatementCacheSize = 200;

void bindValue(sqlite3_stmt *stmt, int index, const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    if (v.metaType() == QMetaType::fromType<Money>()) {
        sqlite3_bind_double(stmt, index, v.value<Money>().toDouble());
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        sqlite3_bind_int(stmt, index, v.toBool() ? 1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        sqlite3_bind_int64(stmt, index, v.toLongLong());
        break;
    case QMetaType::ULongLong:
        sqlite3_bind_int64(stmt, index, qint64(v.toULongLong()));
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, v.toDouble());
        break;
    case QMetaType::QDate: {
        const QByteArray t = isoDate(v.toDate()).toUtf8();
        sqlite3_bind_text(stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QDateTime: {
        const QByteArray t = isoDateTime(v.toDateTime()).toUtf8();
        sqlite3_bind_text(stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(stmt, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray t = v.toString().toUtf8();
        sqlite3_bind_text(stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

QVariant columnValue(sqlite3_stmt *stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)),
                                          sqlite3_column_bytes(stmt, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, i)),
                                   sqlite3_column_bytes(stmt, i)));
    default:
        return QVariant();
    }
}

QString quoteIdentifier(const QString &name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

} // namespace

DbError::DbError(int code, const QString &message, const QString &sql)
    : std::runtime_error(message.toStdString()), m_code(code), m_message(message), m_sql(sql)
{
}

QString DbError::busyMessage()
{
    return QStringLiteral("The database is busy; try again.");
}

DbError DbError::busy()
{
    return DbError(kBusy, busyMessage());
}

QString DbError::changedMessage(const QString &record)
{
    return QStringLiteral("%1 was changed on another workstation since you opened it. Open it again to see "
                          "the changes.")
        .arg(record);
}

DbError DbError::changed(const QString &record)
{
    return DbError(kChanged, changedMessage(record));
}

DbError DbError::unusableFile(int code, const QString &path, const QString &reason)
{
    DbError e(code, QStringLiteral("The database file %1 %2.").arg(QDir::toNativeSeparators(path), reason));
    e.m_reason = reason;
    return e;
}

QString DbError::describe() const
{
    if (m_file.isEmpty())
        return m_message;
    if (isServerUri(m_file))
        return QStringLiteral("%1\n\nDatabase: %2").arg(m_message, m_file);
    QString text = QStringLiteral("%1\n\nDatabase file: %2").arg(m_message, QDir::toNativeSeparators(m_file));
    const int primary = m_code & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        text +=
            QStringLiteral("\nThe file is damaged. \"corvane --check\" lists the damaged tables; restore the "
                           "file from its latest backup.");
    return text;
}

int Row::columnIndex(const QString &name) const
{
    if (!m_columns)
        return -1;
    const QStringList &cols = *m_columns;
    for (int i = 0; i < cols.size(); ++i) {
        if (cols.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant Row::value(const QString &name) const
{
    const int i = columnIndex(name);
    if (i < 0)
        throw DbError(SQLITE_ERROR, QStringLiteral("Item not found in this collection: %1").arg(name));
    return m_values.value(i);
}

const QStringList &Row::columns() const
{
    static const QStringList none;
    return m_columns ? *m_columns : none;
}

QString Row::text(const QString &name) const
{
    const QVariant v = value(name);
    if (v.isNull())
        return QString();
    if (v.metaType().id() == QMetaType::Double)
        return Money::fromDouble(v.toDouble()).toPlainString();
    return v.toString();
}

qint64 Row::integer(const QString &name) const
{
    const QVariant v = value(name);
    if (v.metaType().id() == QMetaType::Double)
        return qint64(std::llround(v.toDouble()));
    return v.toLongLong();
}

double Row::number(const QString &name) const
{
    return value(name).toDouble();
}

Money Row::money(const QString &name) const
{
    return Money::fromVariant(value(name));
}

QDate Row::date(const QString &name) const
{
    return parseDate(value(name).toString());
}

QDateTime Row::dateTime(const QString &name) const
{
    const QString t = value(name).toString();
    QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime(parseDate(t), QTime(0, 0));
    return dt;
}

int RowSet::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_columns->size(); ++i) {
        if (m_columns->at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Database::Database() = default;

Database::~Database()
{
    close();
}

void Database::close()
{
    m_server.reset();
    clearStatementCache();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Database::fail(int rc, const QString &sql) const
{
    if (rc == SQLITE_BUSY)
        throw DbError::busy();
    throw DbError(rc, engineText(m_db, rc), sql).inFile(m_path);
}

std::unique_ptr<Database> Database::openServer(const QString &uri, const QString &user,
                                               const QString &password)
{
    std::unique_ptr<Database> db(new Database);
    db->m_server = PgEngine::connect(uri, user, password);
    db->m_path = db->m_server->location();
    // The session's own tables need the schema's types; an empty database gets them when the
    // schema is installed.
    if (db->indexExists(QStringLiteral("ix_Orders_Customer")))
        schema::startSession(*db);
    return db;
}

std::unique_ptr<Database> Database::open(const QString &path, const QByteArray &password)
{
    if (isServerUri(path))
        return openServer(path);
    const QFileInfo file(path);
    if (!file.exists())
        throw DbError::unusableFile(SQLITE_CANTOPEN, path, QStringLiteral("does not exist"));
    if (file.isDir())
        throw DbError::unusableFile(SQLITE_CANTOPEN, path,
                                    QStringLiteral("is a folder, not a database file"));
    if (!file.isFile())
        throw DbError::unusableFile(SQLITE_CANTOPEN, path, QStringLiteral("is not a regular file"));
    std::unique_ptr<Database> db;
    try {
        db = connect(path, password, SQLITE_OPEN_READWRITE);
    } catch (const DbError &e) {
        QString reason;
        switch (e.code()) {
        case SQLITE_NOTADB:
            reason = QStringLiteral("is not a database of this program, or its password is wrong");
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            reason = QStringLiteral("is held exclusively by another program");
            break;
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
            reason = QStringLiteral("cannot be opened: this user may not read it");
            break;
        case SQLITE_CORRUPT:
            reason = QStringLiteral("is damaged");
            break;
        default:
            reason = QStringLiteral("could not be opened");
            break;
        }
        throw DbError::unusableFile(e.code(), path, QStringLiteral("%1 (%2)").arg(reason, e.message()));
    }
    db->checkWritable();
    return db;
}

void Database::checkWritable()
{
    if (m_server)
        return; // the server says what this user may write when it is written
    const QString folder = QDir::toNativeSeparators(QFileInfo(m_path).absolutePath());
    // The engine falls back to reading only when the file cannot be opened for writing.
    if (sqlite3_db_readonly(m_db, "main") == 1)
        throw DbError::unusableFile(SQLITE_READONLY, m_path,
                                    QStringLiteral("cannot be written: the file is read-only for this user"));
    // A change that is rolled back makes the engine create its journal beside the file, which
    // is what the first saved document would need; the file itself is left as it was.
    int rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_BUSY)
        return; // another connection is writing: the file is writable, only busy
    if (rc == SQLITE_OK) {
        rc = sqlite3_exec(m_db, "CREATE TABLE corvaneWriteCheck (X)", nullptr, nullptr, nullptr);
        const QString engine = engineText(m_db, rc);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK || rc == SQLITE_BUSY)
            return;
        if (rc == SQLITE_READONLY)
            throw DbError::unusableFile(
                rc, m_path, QStringLiteral("cannot be written: the file is read-only (%1)").arg(engine));
        if (rc == SQLITE_CANTOPEN || rc == SQLITE_IOERR)
            throw DbError::unusableFile(
                rc, m_path,
                QStringLiteral("cannot be written: its folder %1 does not let the program "
                               "create the journal file beside it (%2)")
                    .arg(folder, engine));
        throw DbError::unusableFile(rc, m_path, QStringLiteral("cannot be written (%1)").arg(engine));
    }
    throw DbError::unusableFile(rc, m_path,
                                QStringLiteral("cannot be written (%1)").arg(engineText(m_db, rc)));
}

std::unique_ptr<Database> Database::create(const QString &path, const QByteArray &password)
{
    if (QFileInfo::exists(path))
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("The file '%1' already exists.").arg(path));
    // Made private before the engine writes a byte; the engine gives its journals the file's mode.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600);
    if (fd < 0)
        throw DbError::unusableFile(SQLITE_CANTOPEN, path,
                                    QStringLiteral("could not be created: %1")
                                        .arg(QString::fromLocal8Bit(std::strerror(errno))));
    ::close(fd);
    return connect(path, password, SQLITE_OPEN_READWRITE);
}

std::unique_ptr<Database> Database::connect(const QString &path, const QByteArray &password, int flags)
{
    std::unique_ptr<Database> db(new Database);
    db->m_path = path;
    db->m_key = password;
    // Each connection is used by one thread only, so the engine's locking of every call is
    // skipped, as is its count of the memory it holds (a lock around every allocation).
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
    const int rc =
        sqlite3_open_v2(path.toUtf8().constData(), &db->m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        db->fail(rc);
    const QByteArray raw = filekey::rawKeyFor(path, password);
    const QByteArray &key = raw.isEmpty() ? password : raw;
    if (sqlite3_key(db->m_db, key.constData(), int(key.size())) != SQLITE_OK)
        db->fail(sqlite3_errcode(db->m_db));
    db->setUp();
    // A wrong key is only noticed by the first read.
    db->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    schema::startSession(*db);
    return db;
}

void Database::setUp()
{
    sqlite3_busy_handler(m_db, &Database::waitWhileBusy, this);
    sqlite3_extended_result_codes(m_db, 0);
    // The documents' scratch tables and sorts stay in memory instead of a temporary file, and the
    // cache holds 16 MB of the file's 1 KB pages rather than 2 MB: the stock documents read indexes
    // larger than that, and each page read again is decrypted again.
    for (const char *pragma : {"PRAGMA temp_store = MEMORY", "PRAGMA cache_size = -16384"}) {
        const int rc = sqlite3_exec(m_db, pragma, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            fail(rc);
    }
    for (int argc : {1, 2}) {
        const int rc =
            sqlite3_create_function(m_db, "RoundHalfEven", argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                    roundFunction, nullptr, nullptr);
        if (rc != SQLITE_OK)
            fail(rc);
    }
}

// Waits in short steps, so the writer ahead is followed soon after it commits, until the busy
// timeout has passed since the first wait of this attempt.
int Database::waitWhileBusy(void *self, int count)
{
    auto *db = static_cast<Database *>(self);
    const qint64 now = QDeadlineTimer::current().deadline();
    if (count == 0)
        db->m_busySince = now;
    ++db->m_busyWaits;
    if (now - db->m_busySince >= db->m_busyTimeout)
        return 0;
    QThread::msleep(count < 10 ? 1 : 5);
    return 1;
}

void Database::setBusyTimeout(int milliseconds)
{
    m_busyTimeout = qMax(0, milliseconds);
    if (m_server)
        m_server->setLockTimeout(m_busyTimeout);
}

qint64 Database::sessionId() const
{
    return m_server ? m_server->sessionId() : 0;
}

bool Database::sessionWaits(qint64 sessionId)
{
    if (!m_server)
        return false;
    return scalar(QStringLiteral("SELECT count(*) FROM pg_locks WHERE pid = ? AND NOT granted"), {sessionId})
               .toLongLong() > 0;
}

void Database::lockRows(const QString &table, const QString &where, const QVariantList &params)
{
    if (m_server)
        query(QStringLiteral("SELECT 1 FROM %1 WHERE %2 FOR UPDATE").arg(quoteIdentifier(table), where), params);
}

void Database::lockCounter(const QString &name)
{
    if (m_server)
        query(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"), {QStringLiteral("corvane.") + name});
}

QByteArray Database::stamp(const RowSet &rows)
{
    QByteArray buffer;
    QDataStream out(&buffer, QIODevice::WriteOnly);
    for (const Row &r : rows) {
        for (const QVariant &v : r.values())
            out << v.isNull() << v.toString();
        out << quint8(0xff);
    }
    return QCryptographicHash::hash(buffer, QCryptographicHash::Sha1);
}

QByteArray Database::stamp(const Row &row)
{
    RowSet one(row.columns());
    one.append(row.values());
    return stamp(one);
}

void Database::prepare(const QString &sql, const QVariantList &params, void *into)
{
    auto &st = *static_cast<Statement *>(into);
    if (!m_db)
        throw DbError(SQLITE_MISUSE, QStringLiteral("The database is closed"), sql);
    auto cached = m_statements.find(sql);
    if (cached != m_statements.end()) {
        st.stmt = cached->second;
        st.cached = true;
    } else {
        const QByteArray text = sql.toUtf8();
        const char *tail = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &st.stmt, &tail);
        if (rc != SQLITE_OK)
            throw DbError(rc, engineText(m_db, rc), sql).inFile(m_path);
        if (!st.stmt)
            throw DbError(SQLITE_MISUSE, QStringLiteral("Empty statement"), sql);
        if (tail && QByteArray(tail).trimmed().size() > 0 && QByteArray(tail).trimmed() != ";")
            throw DbError(SQLITE_MISUSE, QStringLiteral("Only one statement may be run at a time"), sql);
        // Bulk writes and repeated look-ups prepare the same text again and again.
        if (m_statements.size() >= kStatementCacheSize)
            clearStatementCache();
        m_statements.emplace(sql, st.stmt);
        st.cached = true;
    }
    const int expected = sqlite3_bind_parameter_count(st.stmt);
    if (expected != params.size())
        throw DbError(
            SQLITE_RANGE,
            QStringLiteral("Statement expects %1 values, %2 given").arg(expected).arg(params.size()), sql);
    for (int i = 0; i < params.size(); ++i)
        bindValue(st.stmt, i + 1, params.at(i));
}

void Database::clearStatementCache()
{
    for (auto &[sql, stmt] : m_statements)
        sqlite3_finalize(stmt);
    m_statements.clear();
}

int Database::exec(const QString &sql, const QVariantList &params)
{
    beforeStatement();
    if (m_server) {
        int changed = 0;
        onServer(sql, [&] { changed = m_server->run(sql, params).changed; });
        return changed;
    }
    Statement st;
    prepare(sql, params, &st);
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(rc, sql);
    return sqlite3_changes(m_db);
}

void Database::execScript(const QString &sql)
{
    beforeStatement();
    if (m_server)
        return onServer(sql, [&] { m_server->script(sql); });
    if (!m_db)
        throw DbError(SQLITE_MISUSE, QStringLiteral("The database is closed"), sql);
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString text = err ? QString::fromUtf8(err) : engineText(m_db, rc);
        sqlite3_free(err);
        throw DbError(rc, text, sql).inFile(m_path);
    }
}

RowSet Database::query(const QString &sql, const QVariantList &params)
{
    beforeStatement();
    if (m_server) {
        RowSet rows;
        onServer(sql, [&] { rows = m_server->run(sql, params).rows; });
        return rows;
    }
    Statement st;
    prepare(sql, params, &st);
    int rc = sqlite3_step(st.stmt);
    // Names are read after the first step: a cached statement is prepared again there when the
    // table behind it was rebuilt.
    const int n = sqlite3_column_count(st.stmt);
    QStringList columns;
    columns.reserve(n);
    for (int i = 0; i < n; ++i)
        columns << QString::fromUtf8(sqlite3_column_name(st.stmt, i));
    RowSet rows(columns);
    // A text equal to the one above it in its column shares that one's string: long documents
    // repeat a customer, a date or a term on row after row, and each copy would be its own
    // allocation.
    std::vector<std::string> lastText(static_cast<size_t>(n));
    std::vector<QVariant> lastValue(static_cast<size_t>(n));
    for (; rc == SQLITE_ROW; rc = sqlite3_step(st.stmt)) {
        QVariantList values;
        values.reserve(n);
        for (int i = 0; i < n; ++i) {
            if (sqlite3_column_type(st.stmt, i) != SQLITE_TEXT) {
                values << columnValue(st.stmt, i);
                continue;
            }
            const char *text = reinterpret_cast<const char *>(sqlite3_column_text(st.stmt, i));
            const std::string_view bytes(text, size_t(sqlite3_column_bytes(st.stmt, i)));
            if (lastValue[size_t(i)].isNull() || bytes != lastText[size_t(i)]) {
                lastText[size_t(i)].assign(bytes);
                lastValue[size_t(i)] = QVariant(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
            }
            values << lastValue[size_t(i)];
        }
        rows.append(std::move(values));
    }
    if (rc != SQLITE_DONE)
        fail(rc, sql);
    return rows;
}

QVariant Database::scalar(const QString &sql, const QVariantList &params)
{
    const RowSet rows = query(sql, params);
    if (rows.isEmpty() || rows.columns().isEmpty())
        return QVariant();
    return rows.first().value(0);
}

qint64 Database::insert(const QString &table, const Fields &fields)
{
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (const auto &[name, value] : fields) {
        names << quoteIdentifier(name);
        marks << QStringLiteral("?");
        values << value;
    }
    QString sql = fields.empty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(table))
                                 : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(quoteIdentifier(table), names.join(u", "), marks.join(u", "));
    if (m_server) {
        beforeStatement();
        qint64 id = 0;
        onServer(sql, [&] {
            const QString key = m_server->identityColumn(table);
            if (key.isEmpty())
                m_server->run(sql, values);
            else
                id = m_server->run(sql + QStringLiteral(" RETURNING ") + key, values)
                         .rows.first()
                         .value(0)
                         .toLongLong();
        });
        return id;
    }
    exec(sql, values);
    return sqlite3_last_insert_rowid(m_db);
}

int Database::update(const QString &table, const Fields &fields, const QString &where,
                     const QVariantList &whereParams)
{
    QStringList sets;
    QVariantList values;
    for (const auto &[name, value] : fields) {
        sets << quoteIdentifier(name) + QStringLiteral(" = ?");
        values << value;
    }
    values += whereParams;
    QString sql = QStringLiteral("UPDATE %1 SET %2").arg(quoteIdentifier(table), sets.join(u", "));
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    return exec(sql, values);
}

bool Database::tableExists(const QString &name)
{
    if (m_server)
        return scalar(
                   QStringLiteral("SELECT count(*) FROM pg_class WHERE relname = lower(?) AND relkind = 'r' "
                                  "AND pg_table_is_visible(oid)"),
                   {name})
                   .toLongLong() > 0;
    // Session-local scratch tables count too.
    return scalar(QStringLiteral("SELECT count(*) FROM (SELECT type, name FROM sqlite_master UNION ALL "
                                 "SELECT type, name FROM sqlite_temp_master) "
                                 "WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                  {name})
               .toLongLong() > 0;
}

QStringList Database::tableNames()
{
    QStringList names;
    if (m_server) {
        for (const Row &r : query(QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = "
                                                 "current_schema() ORDER BY tablename")))
            names << schemaSpelling(r.text(QStringLiteral("tablename")));
        return names;
    }
    for (const Row &r :
         query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                              "LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name")))
        names << r.text(QStringLiteral("name"));
    return names;
}

bool Database::indexExists(const QString &name)
{
    if (m_server)
        return scalar(QStringLiteral(
                          "SELECT count(*) FROM pg_indexes WHERE indexname = lower(?) AND schemaname = "
                          "current_schema()"),
                      {name})
                   .toLongLong() > 0;
    return scalar(QStringLiteral(
                      "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE"),
                  {name})
               .toLongLong() > 0;
}

QStringList Database::integrityProblems()
{
    QStringList findings;
    if (m_server) {
        // The server keeps its own pages sound; what is left to see is that every table reads.
        for (const QString &table : tableNames()) {
            try {
                query(QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdentifier(table)));
            } catch (const DbError &e) {
                findings << QStringLiteral("table %1: %2").arg(table, e.message());
            }
        }
        return findings;
    }
    try {
        const RowSet rows = query(QStringLiteral("PRAGMA integrity_check(100)"));
        QStringList lines;
        for (const Row &r : rows)
            lines += r.value(0).toString().split(u'\n', Qt::SkipEmptyParts);
        lines.removeAll(QStringLiteral("ok"));
        lines.removeAll(QStringLiteral("*** in database main ***"));
        // The engine lists pages; a few of them say enough, the tables below say where.
        for (int i = 0; i < qMin<int>(3, lines.size()); ++i)
            findings << lines.at(i);
        if (lines.size() > 3)
            findings << QStringLiteral("... and %1 more damaged places").arg(lines.size() - 3);
    } catch (const DbError &e) {
        findings << QStringLiteral("the engine's check stopped: %1").arg(e.message());
    }
    // A damaged page only shows when it is read: read every table and index to name the ones it hits.
    auto quoted = [](QString name) { return u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"'; };
    RowSet objects;
    try {
        objects = query(QStringLiteral("SELECT type, name, tbl_name FROM sqlite_master "
                                       "WHERE type IN ('table', 'index') ORDER BY type DESC, name"));
    } catch (const DbError &e) {
        findings << QStringLiteral("the list of tables cannot be read: %1").arg(e.message());
    }
    for (const Row &o : objects) {
        const QString name = o.text(QStringLiteral("name"));
        const QString table = o.text(QStringLiteral("tbl_name"));
        try {
            if (o.text(QStringLiteral("type")) == QLatin1String("table")) {
                exec(QStringLiteral("SELECT * FROM %1").arg(quoted(name)));
                continue;
            }
            // Ordered by its first column through the index itself, the whole index is read.
            const RowSet columns = query(QStringLiteral("PRAGMA index_info(%1)").arg(quoted(name)));
            if (columns.isEmpty() || columns.at(0).isNull(QStringLiteral("name")))
                continue;
            const QString first = quoted(columns.at(0).text(QStringLiteral("name")));
            exec(QStringLiteral("SELECT %1 FROM %2 INDEXED BY %3 ORDER BY %1")
                     .arg(first, quoted(table), quoted(name)));
        } catch (const DbError &e) {
            findings << (name == table
                             ? QStringLiteral("table %1: %2").arg(name, e.message())
                             : QStringLiteral("index %1 of table %2: %3").arg(name, table, e.message()));
        }
    }
    return findings;
}

qint64 Database::lastAutoNumber(const QString &table, const QString &column)
{
    const qint64 highest =
        scalar(QStringLiteral("SELECT MAX(%1) FROM %2").arg(quoteIdentifier(column), quoteIdentifier(table)))
            .toLongLong();
    QVariant given;
    if (m_server) {
        const QVariant sequence = scalar(QStringLiteral("SELECT pg_get_serial_sequence(?, ?)"),
                                         {table.toLower(), column.toLower()});
        if (!sequence.isNull())
            given = scalar(QStringLiteral("SELECT pg_sequence_last_value(CAST(? AS regclass))"), {sequence});
    } else {
        given =
            scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ? COLLATE NOCASE"), {table});
    }
    return qMax(highest, given.toLongLong());
}

void Database::continueAutoNumber(const QString &table, const QString &column, qint64 last)
{
    if (m_server) {
        const QVariant sequence = scalar(QStringLiteral("SELECT pg_get_serial_sequence(?, ?)"),
                                         {table.toLower(), column.toLower()});
        if (sequence.isNull())
            throw DbError(1, QStringLiteral("%1.%2 is not an auto-number").arg(table, column)).inFile(m_path);
        // A sequence starts at 1: "none given yet" is 1 not yet called.
        query(QStringLiteral("SELECT setval(CAST(? AS regclass), ?, ?)"),
              {sequence, qMax<qint64>(last, 1), last > 0});
        return;
    }
    if (exec(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = ? COLLATE NOCASE"), {last, table}) == 0)
        exec(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"), {table, last});
}

QString Database::daysBetween(const QString &later, const QString &earlier) const
{
    if (m_server)
        return QStringLiteral("(CAST(%1 AS DATE) - CAST(%2 AS DATE))").arg(later, earlier);
    return QStringLiteral("(julianday(%1) - julianday(%2))").arg(later, earlier);
}

QString Database::rowKey() const
{
    if (m_server)
        return QStringLiteral("ctid");
    return QStringLiteral("rowid");
}

QStringList Database::columnsOf(const QString &table)
{
    QStringList names;
    if (m_server) {
        // The catalogue, not information_schema: a column of a table this login may not read is
        // there all the same.
        for (const Row &r : query(QStringLiteral("SELECT attname FROM pg_attribute WHERE attrelid = "
                                                 "to_regclass(lower(?)) AND attnum > 0 AND NOT attisdropped "
                                                 "ORDER BY attnum"),
                                  {table}))
            names << schemaSpelling(r.text(QStringLiteral("attname")));
        return names;
    }
    for (const Row &r : query(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table))))
        names << r.text(QStringLiteral("name"));
    return names;
}

// The outermost level begins a transaction, which takes the file for writing at once; the
// levels inside it are savepoints.
void Database::beginLevel(int depth)
{
    if (depth == 1) {
        m_statementsInTransaction = 0;
        // The file is held for writing from the start: a save judges what no other can change.
        m_beginning = true;
        try {
            exec(m_server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
        } catch (...) {
            m_beginning = false;
            throw;
        }
        m_beginning = false;
    } else {
        exec(QStringLiteral("SAVEPOINT sp%1").arg(depth));
    }
}

void Database::beforeStatement()
{
    if (m_savepointDepth > 0 && !m_beginning && m_statementHook)
        m_statementHook(++m_statementsInTransaction);
}

void Database::onServer(const QString &sql, const std::function<void()> &work)
{
    // Outside a transaction nothing is half done when the connection breaks.
    const bool outside = m_savepointDepth == 0 || m_beginning;
    if (m_connectionLost) {
        // The server dropped what the transaction had done with the connection: none of the
        // rest of it may run on a new one.
        if (!outside)
            throw PgEngine::connectionLost(m_path, sql);
        reconnect();
    }
    try {
        work();
    } catch (const DbError &e) {
        if (!PgEngine::isConnectionLoss(e))
            throw;
        m_connectionLost = true;
        // A write may have been carried out before the connection broke; a read may run again.
        const QString text = sql.trimmed();
        const bool read = text.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) ||
                          text.startsWith(QLatin1String("WITH"), Qt::CaseInsensitive);
        if (!outside || !(read || m_beginning))
            throw;
        reconnect();
        work();
    }
}

void Database::reconnect()
{
    m_server->reconnect();
    m_connectionLost = false;
    // The session's own tables went with the old connection.
    if (indexExists(QStringLiteral("ix_Orders_Customer")))
        schema::startSession(*this);
}

void Database::endLevel(int depth, bool keep)
{
    if (depth == 1) {
        exec(keep ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
        return;
    }
    if (!keep)
        exec(QStringLiteral("ROLLBACK TO sp%1").arg(depth));
    exec(QStringLiteral("RELEASE sp%1").arg(depth));
}

Transaction::Transaction(Database &db) : m_db(db)
{
    m_depth = ++m_db.m_savepointDepth;
    try {
        m_db.beginLevel(m_depth);
    } catch (...) {
        --m_db.m_savepointDepth;
        throw;
    }
}

Transaction::~Transaction()
{
    if (!m_done && m_db.isOpen()) {
        try {
            m_db.endLevel(m_depth, false);
        } catch (...) {
            // Nothing more can be done from a destructor; the engine keeps the data consistent.
        }
    }
    --m_db.m_savepointDepth;
}

void Transaction::commit()
{
    m_db.endLevel(m_depth, true);
    m_done = true;
}

QString isoDate(const QDate &date)
{
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

QString isoDateTime(const QDateTime &dateTime)
{
    return dateTime.isValid() ? dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QDate parseDate(const QString &input)
{
    const QString text = input.trimmed();
    if (text.size() >= 10 && text.at(4) == u'-') {
        const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
        if (d.isValid())
            return d;
    }
    const QStringList parts = text.split(u'/');
    if (parts.size() == 3) {
        bool okM = false, okD = false, okY = false;
        const int m = parts[0].trimmed().toInt(&okM);
        const int d = parts[1].trimmed().toInt(&okD);
        int y = parts[2].trimmed().toInt(&okY);
        if (okM && okD && okY) {
            if (parts[2].trimmed().size() <= 2)
                y += y < 30 ? 2000 : 1900;
            return QDate(y, m, d);
        }
    }
    return QDate();
}

QDate parseWholeDate(const QString &input)
{
    const QString text = input.trimmed();
    const bool iso = text.size() >= 5 && text.at(4) == u'-';
    if (iso && text.size() != 10)
        return QDate();
    for (QChar c : text) {
        if (!c.isDigit() && c != u'/' && c != u'-')
            return QDate();
    }
    return parseDate(text);
}

QString likeLiteral(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            out += u'\\';
        out += c;
    }
    return out;
}

Database &DbConnection()
{
    if (t_connection)
        return *t_connection;
    if (!g_connection)
        throw DbError(SQLITE_MISUSE, QStringLiteral("The database is not open"));
    return *g_connection;
}

bool hasDbConnection()
{
    if (t_connection)
        return t_connection->isOpen();
    return g_connection && g_connection->isOpen();
}

void setDbConnection(std::unique_ptr<Database> db)
{
    g_connection = std::move(db);
}

std::unique_ptr<Database> takeDbConnection()
{
    return std::move(g_connection);
}

ConnectionScope::ConnectionScope(Database &db) : m_previous(t_connection)
{
    t_connection = &db;
}

ConnectionScope::~ConnectionScope()
{
    t_connection = m_previous;
}
