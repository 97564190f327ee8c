#pragma once

#include "core/Database.h"

#include <QHash>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

struct pg_conn;

// The PostgreSQL side of Database: one libpq connection, and what the server's dialect needs
// from the SQL the program writes (placeholders, case-blind names, parameters the server cannot
// type on its own).
class PgEngine
{
public:
    // Why a connection could not be made.
    enum class Refusal
    {
        None,
        NeedsPassword,
        WrongPassword,
        Unreachable,
        MissingDatabase,
        Other
    };

    // Connects to `uri`; an empty user or password leaves them to the URI, the password file or
    // the service file. Throws DbError whose message says in one line what is wrong; refusal()
    // of a caught error is found with refusalOf().
    static std::unique_ptr<PgEngine> connect(const QString &uri, const QString &user,
                                             const QString &password);
    static Refusal refusalOf(const DbError &e);
    // True for the failure of a statement whose connection to the server broke (the server
    // restarted, the session was ended, the network dropped).
    static bool isConnectionLoss(const DbError &e);
    static DbError connectionLost(const QString &location, const QString &sql);
    // Connects again with the same settings; throws DbError as connect() does.
    void reconnect();
    ~PgEngine();

    struct Result
    {
        RowSet rows;
        int changed = 0;
    };
    Result run(const QString &sql, const QVariantList &params);
    void script(const QString &sql);
    // The identity column of `table`, empty when it has none.
    QString identityColumn(const QString &table);
    // How long a statement waits for a lock another session holds before it fails busy.
    void setLockTimeout(int milliseconds);
    qint64 sessionId() const;
    // The URI without any password in it, for messages.
    QString location() const { return m_location; }

private:
    PgEngine() = default;
    void startSession();
    [[noreturn]] void fail(const QString &sql, struct pg_result *res) const;
    // `value` as a quoted SQL literal; `type` is the type number it was sent with, 0 for none.
    QString literal(const QVariant &value, unsigned type = 0) const;

    pg_conn *m_conn = nullptr;
    int m_lockTimeout = 5000;
    QString m_location;
    QHash<QString, QString> m_identity;
};

// For benchmarks: while set, called with every statement any server connection of the process
// runs, in the server's dialect and with its values written in as literals, so that psql can run
// it again. An empty function stops it.
using ServerTrace = std::function<void(const QString &sql)>;
void setServerTrace(ServerTrace trace);

// True for a PostgreSQL connection URI (postgresql:// or postgres://) rather than a file path.
bool isServerUri(const QString &location);
// A table or column name of the schema as the program spells it, from the server's folded one.
QString schemaSpelling(const QString &folded);
// The database named in a URI, for messages.
QString serverDatabaseName(const QString &uri);
