// Runs the real program in a folder of its own, as a user would start it.
#include "core/Database.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"

#include <QElapsedTimer>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString programIn(const QTemporaryDir &dir)
{
    const QString source = QDir(qEnvironmentVariable("CORVANE_BIN")).filePath(QStringLiteral("corvane"));
    const QString target = dir.filePath(QStringLiteral("corvane"));
    if (!QFile::exists(target))
        QFile::copy(source, target);
    QFile::setPermissions(target, QFile::permissions(source));
    return target;
}

void writeConfig(const QTemporaryDir &dir, const QString &dbPath)
{
    QFile f(dir.filePath(QStringLiteral("config.txt")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("Corvane\nDatabase,\"%1\"\nCutoff,1/1/2010\n").arg(dbPath).toUtf8());
}

// Waits until the process has said `text` on stderr or ended.
QString waitForStderr(QProcess &p, const QString &text, int ms = 15000)
{
    QString err;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        p.waitForReadyRead(200);
        err += QString::fromUtf8(p.readAllStandardError());
        if (err.contains(text) || p.state() == QProcess::NotRunning)
            break;
    }
    return err;
}

void stop(QProcess &p)
{
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(5000);
    }
}

} // namespace

class TestStartupProcess : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Neither beside the program nor in the user's folder: the first-start dialog instead of an error.
    void missingConfigAsksForTheShopFile()
    {
        QTemporaryDir dir;
        QTemporaryDir home;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        p.setProcessEnvironment(env);
        p.start(programIn(dir), {});
        QVERIFY(p.waitForStarted());
        const QString err = waitForStderr(p, QStringLiteral("asking for the shop file"));
        QCOMPARE(p.state(), QProcess::Running); // the dialog waits for the user
        stop(p);
        QVERIFY2(err.contains(QStringLiteral("First Start: no config.txt beside the program (%1) or in %2")
                                    .arg(dir.path(), QDir(home.path()).filePath(QStringLiteral("corvane")))),
                 qPrintable(err));
        QVERIFY(!err.contains(QStringLiteral("Configuration Error")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"corvane"}));
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void secondCopyIsRefusedAndTheFirstRunsOn()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("shop.db"));
        schema::createDatabaseFile(db);
        writeConfig(dir, db);
        const QString program = programIn(dir);

        QProcess first;
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        // The first copy holds the database's lock once it is past start-up.
        QTRY_VERIFY_WITH_TIMEOUT(!InstanceLock(db).tryLock(), 15000);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        second.start(program, {});
        QVERIFY(second.waitForStarted());
        const QString err = waitForStderr(second, QStringLiteral("already running"));
        stop(second);
        QVERIFY2(err.contains(QStringLiteral("Application Already Running: This application is already running.")),
                 qPrintable(err));
        QCOMPARE(first.state(), QProcess::Running);

        // A copy that died without cleaning up leaves nothing stuck.
        first.kill();
        first.waitForFinished(5000);
        QProcess third;
        third.start(program, {});
        QVERIFY(third.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!InstanceLock(db).tryLock() || third.state() != QProcess::Running, 15000);
        QCOMPARE(third.state(), QProcess::Running);
        QVERIFY(!QString::fromUtf8(third.readAllStandardError()).contains(QStringLiteral("already running")));
        stop(third);
    }

    // The lock belongs to the database file, not to the folder the program was started from.
    void copiesInOtherFoldersShareTheDatabasesLock_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("same path") << false;
        QTest::newRow("path through a link") << true;
    }
    void copiesInOtherFoldersShareTheDatabasesLock()
    {
        QFETCH(bool, throughLink);
        QTemporaryDir shop, office, dock;
        const QString db = shop.filePath(QStringLiteral("shop.db"));
        schema::createDatabaseFile(db);
        QString otherPath = db;
        if (throughLink) {
            otherPath = dock.filePath(QStringLiteral("link.db"));
            QVERIFY(QFile::link(db, otherPath));
        }
        writeConfig(office, db);
        writeConfig(dock, otherPath);

        QProcess first;
        first.start(programIn(office), {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!InstanceLock(db).tryLock(), 15000);

        QProcess second;
        second.start(programIn(dock), {});
        QVERIFY(second.waitForStarted());
        const QString err = waitForStderr(second, QStringLiteral("already running"));
        stop(second);
        stop(first);
        QVERIFY2(err.contains(QStringLiteral("This application is already running.")), qPrintable(err));
    }

    // The lock lives in a folder of the user's own, made private, and is never reached through a link.
    void lockFileIsPrivate()
    {
        QTemporaryDir shop, runtime;
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString db = shop.filePath(QStringLiteral("shop.db"));
        schema::createDatabaseFile(db);
        {
            InstanceLock lock(db);
            QVERIFY(lock.lockFilePath().startsWith(runtime.path() + u'/'));
            QVERIFY(lock.tryLock());
            QCOMPARE(QFile::permissions(lock.lockFilePath()) & 0x0077, QFileDevice::Permissions());
            QVERIFY(!InstanceLock(db).tryLock());
        }
        // A link planted where the lock goes is not followed: nothing is made where it points.
        InstanceLock lock(db);
        QFile::remove(lock.lockFilePath());
        const QString victim = shop.filePath(QStringLiteral("victim"));
        QVERIFY(QFile::link(victim, lock.lockFilePath()));
        lock.tryLock();
        QVERIFY(!QFile::exists(victim));
        // A runtime folder others may enter is not used.
        QFile::setPermissions(runtime.path(), QFile::permissions(runtime.path()) | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther);
        QVERIFY(!InstanceLock(db).lockFilePath().startsWith(runtime.path()));
        qputenv("XDG_RUNTIME_DIR", saved);
    }
};

QTEST_GUILESS_MAIN(TestStartupProcess)
#include "tst_startup_process.moc"
