#include "TestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

const QString kScript = QStringLiteral(CORVANE_SOURCE_DIR "/scripts/pg-test-server.sh");

std::unique_ptr<QTemporaryDir> &privateFolder()
{
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

void stopPrivateServer()
{
    if (!privateFolder())
        return;
    QProcess::execute(QStringLiteral("bash"), {kScript, QStringLiteral("stop"), privateFolder()->path()});
    privateFolder().reset();
}

bool postgresInstalled()
{
    const QDir lib(QStringLiteral("/usr/lib/postgresql"));
    for (const QString &version : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFile::exists(lib.filePath(version + QStringLiteral("/bin/initdb"))))
            return true;
    }
    return false;
}

} // namespace

QString startTestServer()
{
    if (!qEnvironmentVariableIsEmpty("CORVANE_TEST_PGHOST"))
        return {};
    if (!postgresInstalled())
        return QStringLiteral("PostgreSQL is not installed (scripts/deps.sh installs it)");
    auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/corvane-pg-XXXXXX"));
    if (!folder->isValid())
        return QStringLiteral("no temporary folder for the test server");
    QProcess start;
    start.start(QStringLiteral("bash"), {kScript, QStringLiteral("start"), folder->path()});
    if (!start.waitForFinished(120000) || start.exitCode() != 0)
        return QStringLiteral("the test server did not start: %1")
            .arg(QString::fromLocal8Bit(start.readAllStandardError()).trimmed());
    privateFolder() = std::move(folder);
    std::atexit(stopPrivateServer);
    qputenv("CORVANE_TEST_PGHOST", privateFolder()->path().toLocal8Bit());
    return {};
}

QString testServerUri(const QString &database, const QString &user)
{
    return QStringLiteral("postgresql:///%1?host=%2&user=%3")
        .arg(database, QString::fromLocal8Bit(qgetenv("CORVANE_TEST_PGHOST")), user);
}
