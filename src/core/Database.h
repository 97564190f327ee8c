#pragma once

#include "core/Money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class PgEngine;

// A failure of the database engine, carrying the engine's own code and text.
class DbError : public std::runtime_error
{
public:
    // Another workstation holds what a save needs for longer than the save waits (the file
    // engine's own code for it).
    static constexpr int kBusy = 5;
    // The server gave a save up so that a concurrent one could finish (deadlock, serialization):
    // running the whole save again is right.
    static constexpr int kConflict = 2001;
    // The record a window loaded was changed by someone else before the window saved it.
    static constexpr int kChanged = 2002;
    // The server's login may not do this (not the owner of a table, or not granted it).
    static constexpr int kNotPermitted = 2003;

    DbError(int code, const QString &message, const QString &sql = {});
    // What the clerk reads when the database stays busy past the wait.
    static DbError busy();
    static QString busyMessage();
    // "<record> was changed on another workstation since you opened it. ..."
    static DbError changed(const QString &record);
    static QString changedMessage(const QString &record);
    // A file that cannot be used: the message names `path` and says `reason` in words.
    static DbError unusableFile(int code, const QString &path, const QString &reason);

    int code() const { return m_code; }
    QString message() const { return m_message; }
    QString sql() const { return m_sql; }
    // What is wrong with the file, as in "cannot be written: the file is read-only"; empty for
    // failures of a statement.
    QString reason() const { return m_reason; }
    // The database file an engine failure happened in; empty when the message names it already.
    QString file() const { return m_file; }
    DbError &inFile(const QString &path)
    {
        m_file = path;
        return *this;
    }
    // The message as a user reads it: naming the file, and for a damaged file what to do next.
    QString describe() const;

private:
    int m_code;
    QString m_message;
    QString m_sql;
    QString m_reason;
    QString m_file;
};

// One row of a row set. Columns are found by name without regard to case; a null stays null.
class Row
{
public:
    Row() = default;
    Row(std::shared_ptr<const QStringList> columns, QVariantList values)
        : m_columns(std::move(columns)), m_values(std::move(values))
    {
    }

    int columnIndex(const QString &name) const; // -1 when absent
    bool hasColumn(const QString &name) const { return columnIndex(name) >= 0; }
    // Throws DbError naming the column when the row set has no such column.
    QVariant value(const QString &name) const;
    QVariant value(int index) const { return m_values.value(index); }
    QVariant operator[](const QString &name) const { return value(name); }

    bool isNull(const QString &name) const { return value(name).isNull(); }
    QString text(const QString &name) const;   // null reads as ""
    qint64 integer(const QString &name) const; // null reads as 0
    double number(const QString &name) const;  // null reads as 0
    Money money(const QString &name) const;    // null reads as 0
    QDate date(const QString &name) const;     // null or malformed reads as an invalid date
    QDateTime dateTime(const QString &name) const;

    const QVariantList &values() const { return m_values; }
    const QStringList &columns() const;

private:
    std::shared_ptr<const QStringList> m_columns;
    QVariantList m_values;
};

// The rows of one query, read whole.
class RowSet
{
public:
    RowSet() : m_columns(std::make_shared<QStringList>()) {}
    explicit RowSet(QStringList columns) : m_columns(std::make_shared<QStringList>(std::move(columns))) {}

    const QStringList &columns() const { return *m_columns; }
    int columnIndex(const QString &name) const;
    bool isEmpty() const { return m_rows.empty(); }
    int size() const { return int(m_rows.size()); }
    const Row &at(int i) const { return m_rows.at(size_t(i)); }
    const Row &operator[](int i) const { return at(i); }
    const Row &first() const { return m_rows.front(); }
    auto begin() const { return m_rows.begin(); }
    auto end() const { return m_rows.end(); }

    void append(QVariantList values) { m_rows.emplace_back(m_columns, std::move(values)); }

private:
    std::shared_ptr<const QStringList> m_columns;
    std::vector<Row> m_rows;
};

// Column values for insert and update, in the order given.
using Fields = std::vector<std::pair<QString, QVariant>>;

// The one database connection: the encrypted file, or a PostgreSQL server when the location is a
// postgresql:// URI. Every value reaches SQL as a bound parameter; no caller knows the engine.
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing file keyed with `password`. A missing file, a folder, a wrong key, a file
    // that is not a database, one held exclusively by another program, and one that cannot be
    // written (a read-only file, or a folder that cannot hold its journal) throw a DbError whose
    // message names the file and whose reason() says what is wrong.
    // A postgresql:// URI opens the server's database instead (see openServer; the key is unused).
    static std::unique_ptr<Database> open(const QString &path, const QByteArray &password);
    // Connects to a PostgreSQL database. An empty user or password leaves them to the URI and to
    // libpq's password and service files. Failures throw a DbError with one plain line: wrong
    // password, server not reachable, no such database (serverRefusal() tells which).
    static std::unique_ptr<Database> openServer(const QString &uri, const QString &user = {},
                                                const QString &password = {});
    // Creates a new keyed file; refuses when the file exists.
    static std::unique_ptr<Database> create(const QString &path, const QByteArray &password);

    // The file path, or the server URI (never with a password).
    QString path() const { return m_path; }
    bool isServer() const { return m_server != nullptr; }
    // The key the file was opened with, for a copy that must open the same way.
    QByteArray key() const { return m_key; }
    void rememberKey(const QByteArray &key) { m_key = key; }
    bool isOpen() const { return m_db != nullptr || m_server != nullptr; }
    // Throws DbError::unusableFile when the file cannot be written.
    void checkWritable();
    void close();

    // Runs one statement that returns no rows; gives the number of rows changed.
    int exec(const QString &sql, const QVariantList &params = {});
    // Runs several statements without parameters (schema scripts).
    void execScript(const QString &sql);
    RowSet query(const QString &sql, const QVariantList &params = {});
    // First column of the first row, or null.
    QVariant scalar(const QString &sql, const QVariantList &params = {});

    // Adds a row and returns its auto-number (the row id).
    qint64 insert(const QString &table, const Fields &fields);
    // Sets columns of the rows matching `where` (SQL with ? placeholders for whereParams).
    int update(const QString &table, const Fields &fields, const QString &where,
               const QVariantList &whereParams = {});

    bool tableExists(const QString &name);
    QStringList columnsOf(const QString &table);
    // Names of the shop's own tables (no session-local ones), and whether an index is there.
    QStringList tableNames();
    bool indexExists(const QString &name);
    // What the engine's own check finds wrong and which tables and indexes cannot be read, in
    // the engine's words; empty when sound.
    QStringList integrityProblems();

    // The highest number the auto-number `column` of `table` has given out, rows deleted since
    // included; and making the next row get the number after `last`.
    qint64 lastAutoNumber(const QString &table, const QString &column);
    void continueAutoNumber(const QString &table, const QString &column, qint64 last);

    // SQL that differs between engines; everything else the program writes is common to both.
    // Whole days from the date expression `earlier` to `later`.
    QString daysBetween(const QString &later, const QString &earlier) const;
    // An expression that names one row of a table without an auto-number and ascends in the
    // order the rows were added.
    QString rowKey() const;

    // How long a save waits for another workstation's save to finish before it gives up with
    // DbError::busy(); a few seconds unless set.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return m_busyTimeout; }
    // How often this connection found the file held by another one and waited.
    int busyWaits() const { return m_busyWaits.load(); }
    // The server's process serving this connection; 0 on the file.
    qint64 sessionId() const;
    // True while the server session `sessionId` waits for a lock another session holds.
    bool sessionWaits(qint64 sessionId);
    bool inTransaction() const { return m_savepointDepth > 0; }

    // Inside a transaction: the rows of `table` that `where` picks stay as read until it ends,
    // so what a save judges on cannot change before it commits. The file needs nothing: every
    // save holds the whole file for writing from its start.
    void lockRows(const QString &table, const QString &where, const QVariantList &params);
    // Inside a transaction: one taker at a time of the number called `name` (a number derived
    // from the highest one stored), until the transaction ends.
    void lockCounter(const QString &name);
    // A fingerprint of rows as read, to tell later whether anybody changed them since.
    static QByteArray stamp(const RowSet &rows);
    static QByteArray stamp(const Row &row);
    QByteArray stamp(const QString &sql, const QVariantList &params = {})
    {
        return stamp(query(sql, params));
    }

    sqlite3 *handle() const { return m_db; }

    // For tests: called before each statement run inside a transaction, with its number counted
    // from 1 after the transaction began. An empty hook removes it.
    using StatementHook = std::function<void(int statement)>;
    void setStatementHook(StatementHook hook) { m_statementHook = std::move(hook); }

private:
    Database();
    static std::unique_ptr<Database> connect(const QString &path, const QByteArray &password, int flags);
    void setUp();
    void prepare(const QString &sql, const QVariantList &params, void *statement);
    void clearStatementCache();
    [[noreturn]] void fail(int rc, const QString &sql = {}) const;
    void beginLevel(int depth);
    void endLevel(int depth, bool keep);
    void beforeStatement();
    // Runs `work` on the server. A lost connection is taken up again by the next statement
    // outside a transaction; a read outside a transaction is run once more on the new one.
    void onServer(const QString &sql, const std::function<void()> &work);
    void reconnect();
    static int waitWhileBusy(void *self, int count);

    sqlite3 *m_db = nullptr;
    std::unique_ptr<PgEngine> m_server;
    QString m_path;
    QByteArray m_key;
    int m_savepointDepth = 0;
    bool m_beginning = false; // the outermost BEGIN is being sent
    bool m_connectionLost = false;
    int m_statementsInTransaction = 0;
    StatementHook m_statementHook;
    int m_busyTimeout = 5000;
    std::atomic<int> m_busyWaits{0};
    qint64 m_busySince = 0;
    std::map<QString, sqlite3_stmt *> m_statements;
    friend class Transaction;
};

// Runs a whole save again when the server gave it up for a concurrent one, up to five tries in
// all. Inside an enclosing transaction it runs once: the enclosing one is what must be retried.
template <typename Save> auto retrying(Database &db, Save &&save) -> decltype(save())
{
    for (int attempt = 1;; ++attempt) {
        try {
            return save();
        } catch (const DbError &e) {
            if (e.code() != DbError::kConflict || attempt >= 5 || db.inTransaction())
                throw;
        }
    }
}

// All or nothing: rolls back on destruction unless committed. Nests through savepoints. The
// outermost level takes the file for writing at once (waiting out another writer up to the busy
// timeout), so a save judges and writes what no one else can change meanwhile.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &m_db;
    int m_depth = 0;
    bool m_done = false;
};

// ISO-8601 text as stored: "yyyy-MM-dd", and "yyyy-MM-dd HH:mm:ss" where the time is kept.
QString isoDate(const QDate &date);
QString isoDateTime(const QDateTime &dateTime);
// Reads "yyyy-MM-dd[ HH:mm:ss]" or "m/d/yyyy"; invalid when neither.
QDate parseDate(const QString &text);
// The same for text a person gave: the whole text must be the date, nothing before or after it.
QDate parseWholeDate(const QString &text);

// Escapes % and _ (and the escape itself) for LIKE ... ESCAPE '\'.
QString likeLiteral(const QString &text);

// The process-wide connection; valid between start-up and CloseDatabase.
Database &DbConnection();
bool hasDbConnection();
void setDbConnection(std::unique_ptr<Database> db);
std::unique_ptr<Database> takeDbConnection();

// While it lives, DbConnection() on this thread is `db`: a second workstation in one process.
class ConnectionScope
{
public:
    explicit ConnectionScope(Database &db);
    ~ConnectionScope();
    ConnectionScope(const ConnectionScope &) = delete;
    ConnectionScope &operator=(const ConnectionScope &) = delete;

private:
    Database *m_previous;
};
