#pragma once

#include "core/Config.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Database;

// Reads config.txt in `folder`, sets DatabasePath and PriceChangeCutoff and opens the database
// with the program's password. Throws StartupError saying what is wrong and where; nothing is
// created or changed by a failed start.
std::unique_ptr<Database> openConfiguredDatabase(const QString &folder);

// Opens a shop database file: with the program's fixed key, or, when the file is keyed otherwise,
// with the passphrase the installed prompt gives (three tries). A file that opens but does not
// hold the shop's tables is refused too. Throws DbError naming the file and saying why.
std::unique_ptr<Database> openShopDatabase(const QString &path);

// Asks for the user name and password of a server database: `problem` is empty on the first
// ask and says what was wrong after a refused try. False when the user gives up.
using ServerLogin =
    std::function<bool(const QString &uri, QString &user, QString &password, const QString &problem)>;
// The login box start-up uses when libpq's password and service files give no password; none
// by default, and then a server that asks for a password refuses the connection.
ServerLogin &serverLogin();
// The command line's login: the password asked at the terminal without echo, the user the URI's.
bool serverLoginAtTerminal(const QString &uri, QString &user, QString &password, const QString &problem);

// Connects to a server database, schema or not: libpq's password and service files first, then
// the installed login (three tries). Throws DbError saying in one line what is wrong.
std::unique_ptr<Database> openServerDatabase(const QString &uri);

// The full check of a database file's pages: the engine's integrity check, then every table read
// through. Empty when nothing is damaged; otherwise one line a finding, naming the damaged tables.
QStringList checkDatabase(Database &db);

// The previous-instance test: held for the life of the process, released by the system when the
// process ends however it ends, so a crashed copy leaves nothing stuck. It is one workstation's:
// several workstations share a server database (or a file on a shared folder) at once, each
// running one copy; every save takes its own locks in the database.
class InstanceLock
{
public:
    // One lock per machine and database, whatever path or URI spelling names the database, kept
    // in the user's private folder (named after the machine too, for a home folder that several
    // workstations share). `machine` is this one unless given.
    explicit InstanceLock(const QString &database, const QString &machine = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // False when another running copy holds it.
    bool tryLock();
    QString lockFilePath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};
