#include "TestSupport.h"
#include "core/Backup.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/SharedRoutines.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include <sys/stat.h>

namespace {

// Enough rows that the copy takes several steps.
void fillRows(Database &db, int orders)
{
    Transaction t(db);
    for (int i = 0; i < orders; ++i) {
        const qint64 id = db.insert(QStringLiteral("Orders"),
                                    {{QStringLiteral("OrderNumber"), QString(400, QChar(u'A' + i % 26))},
                                     {QStringLiteral("Customer"), QStringLiteral("Acme")}});
        db.insert(QStringLiteral("OrderItem"),
                  {{QStringLiteral("OrderID"), id}, {QStringLiteral("ItemNumber"), 1}});
    }
    t.commit();
}

QByteArray hashOf(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

qint64 countIn(const QString &file, const QString &table)
{
    std::unique_ptr<Database> db = Database::open(file, schema::password());
    return db->scalar(QStringLiteral("SELECT count(*) FROM ") + table).toLongLong();
}

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

QStringList namesOf(const QStringList &paths)
{
    QStringList out;
    for (const QString &p : paths)
        out << QFileInfo(p).fileName();
    return out;
}

// The child of killedBackupLeavesNoBackupName: starts a backup and is killed by the system in the
// middle of copying its pages.
int backupAndDie(const QString &database, const QString &folder)
{
    std::unique_ptr<Database> db = Database::open(database, schema::password());
    backup::make(*db, folder, 30, [](int done, int total) {
        if (done > 0 && done < total)
            ::raise(SIGKILL);
        return true;
    });
    return 3; // the copy never stepped part-way: the database is too small
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        if (qstrcmp(QTest::currentTestFunction(), "serverDatabaseIsRefused") != 0)
            SKIP_ON_SERVER("backups are copies of the shop file");
    }

    // A server's database is backed up by the server; nothing is copied to or from a file.
    void serverDatabaseIsRefused()
    {
        if (!testingOnServer())
            QSKIP("needs the test server (CORVANE_TEST_DB=postgres)");
        TestDatabase t;
        QTemporaryDir dir;
        QString said;
        try {
            backup::make(t.db(), dir.path(), 30);
        } catch (const backup::BackupError &e) {
            said = e.text();
        }
        QVERIFY2(said.contains(QStringLiteral("is a database on a PostgreSQL server")), qPrintable(said));
        said.clear();
        const QString file = dir.filePath(QStringLiteral("shop.db"));
        schema::createDatabaseFile(file);
        try {
            backup::restore(file, t.path(), schema::password());
        } catch (const backup::BackupError &e) {
            said = e.text();
        }
        QVERIFY2(said.contains(QStringLiteral("is a database on a PostgreSQL server")), qPrintable(said));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"shop.db"}));
        QVERIFY(t.db().tableExists(QStringLiteral("Orders")));
    }

    void backupIsVerifiedPrivateAndNamedByTime()
    {
        TestDatabase t;
        fillRows(t.db(), 1500);
        const QString folder = backup::defaultFolder(t.path());
        QCOMPARE(folder, QDir(t.folder()).filePath(QStringLiteral("backups")));

        int steps = 0;
        const backup::Made made = backup::make(t.db(), folder, 30, [&](int done, int total) {
            ++steps;
            return done <= total;
        });
        QCOMPARE(made.file, QDir(folder).filePath(QStringLiteral("test-2010-05-14-103000.db")));
        QVERIFY2(steps > 1, "the copy is made in steps, with progress");
        // The shop's rows and the running figures the file keeps beside them.
        const qint64 figures =
            t.db().scalar(QStringLiteral("SELECT (SELECT count(*) FROM CutByMaterial) + (SELECT count(*) FROM CutByLine)"))
                .toLongLong();
        QVERIFY(figures > 0);
        QCOMPARE(made.rows, 3000 + figures);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(made.file).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));

        // Keyed like the source: it opens with the shop's key, holds the rows and nothing is left
        // under a temporary name.
        QCOMPARE(countIn(made.file, QStringLiteral("Orders")), qint64(1500));
        const backup::RowCounts counts = backup::rowCounts(t.db());
        QCOMPARE(backup::verify(made.file, schema::password(), &counts), QStringList());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"test-2010-05-14-103000.db"}));

        // A second one in the same second gets a name of its own.
        const backup::Made again = backup::make(t.db(), folder, 30);
        QCOMPARE(QFileInfo(again.file).fileName(), QStringLiteral("test-2010-05-14-103000-2.db"));
        QCOMPARE(namesOf(backup::list(folder, t.path())),
                 QStringList({"test-2010-05-14-103000.db", "test-2010-05-14-103000-2.db"}));
    }

    void backupWhileAnotherConnectionWritesIsConsistent()
    {
        TestDatabase t;
        fillRows(t.db(), 200);
        const qint64 before = t.db().scalar(QStringLiteral("SELECT count(*) FROM Orders")).toLongLong();
        std::atomic<bool> stop = false;
        std::atomic<int> written = 0;
        // Another connection saves orders with their line, each in one transaction.
        std::thread writer([&] {
            std::unique_ptr<Database> other = Database::open(t.path(), schema::password());
            while (!stop) {
                try {
                    fillRows(*other, 1);
                    ++written;
                } catch (const DbError &) {
                    // busy: tried again
                }
                // Back to back: the busiest a workstation can be; each save waits on the backup's
                // read as the backup waits on the save.
                std::this_thread::yield();
            }
        });
        QStringList backups;
        QString failure;
        try {
            for (int i = 0; i < 6; ++i) {
                Clock::advance(1000);
                backups << backup::make(t.db(), backup::defaultFolder(t.path()), 30).file;
            }
        } catch (const backup::BackupError &e) {
            failure = e.text();
        }
        stop = true;
        writer.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY2(written > 0, "the writer saved while the backups were made");
        for (const QString &file : backups) {
            const qint64 orders = countIn(file, QStringLiteral("Orders"));
            QCOMPARE(countIn(file, QStringLiteral("OrderItem")), orders); // no order without its line
            QVERIFY(orders >= before);
            QCOMPARE(backup::verify(file, schema::password()), QStringList());
        }
    }

    void rotationKeepsTheNewest_data()
    {
        QTest::addColumn<int>("keep");
        QTest::addColumn<QStringList>("left");
        const QStringList all = {"test-2009-12-31-235959.db", "test-2010-01-02-080000.db",
                                 "test-2010-01-02-080000-2.db", "test-2010-03-01-120000.db",
                                 "test-2010-05-14-103000.db"};
        QTest::newRow("keep 30 of 5") << 30 << all;
        QTest::newRow("keep 3") << 3 << all.mid(2);
        QTest::newRow("keep 1") << 1 << all.mid(4);
        QTest::newRow("keep 0 deletes nothing") << 0 << all;
    }
    void rotationKeepsTheNewest()
    {
        QFETCH(int, keep);
        QFETCH(QStringList, left);
        TestDatabase t;
        const QString folder = backup::defaultFolder(t.path());
        QVERIFY(QDir().mkpath(folder));
        // Older backups, and files that are no backups of this database.
        for (const char *name :
             {"test-2009-12-31-235959.db", "test-2010-01-02-080000-2.db", "test-2010-01-02-080000.db",
              "test-2010-03-01-120000.db", "other-2001-01-01-000000.db", "test-notes.db",
              ".test-2000-01-01-000000.db.partial-1"})
            touch(QDir(folder).filePath(QLatin1String(name)));
        // The new backup is the newest; its rotation keeps `keep` (it counts itself).
        const backup::Made made = backup::make(t.db(), folder, keep);
        QCOMPARE(QFileInfo(made.file).fileName(), QStringLiteral("test-2010-05-14-103000.db"));
        QCOMPARE(namesOf(backup::list(folder, t.path())), left);
        for (const char *untouched : {"other-2001-01-01-000000.db", "test-notes.db"})
            QVERIFY(QFileInfo::exists(QDir(folder).filePath(QLatin1String(untouched))));
    }

    void killedBackupLeavesNoBackupName()
    {
        TestDatabase t;
        fillRows(t.db(), 1500);
        const QString folder = backup::defaultFolder(t.path());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--backup-and-die"), t.path(), folder});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit); // killed, not finished
        // What it left (the copy and its journal) is under a hidden temporary name, never a backup's.
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(!left.isEmpty());
        for (const QString &name : left)
            QVERIFY2(name.startsWith(u'.') && name.contains(QStringLiteral(".partial-")), qPrintable(name));
        QCOMPARE(backup::list(folder, t.path()), QStringList());

        // The next backup clears what the dead one left.
        const backup::Made made = backup::make(t.db(), folder, 30);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QFileInfo(made.file).fileName()}));
    }

    void dailyBackupIsDueOncePerDay()
    {
        TestDatabase t;
        const QString folder = backup::defaultFolder(t.path());
        const QDate today = Clock::today();
        QVERIFY(backup::dailyDue(folder, t.path(), today));
        QVERIFY(QDir().mkpath(folder));
        backup::markDaily(folder, t.path(), today);
        QVERIFY(!backup::dailyDue(folder, t.path(), today));
        QVERIFY(backup::dailyDue(folder, t.path(), today.addDays(1)));
        QVERIFY(backup::dailyDue(folder, QDir(t.folder()).filePath(QStringLiteral("other.db")), today));
    }

    void restorePutsTheBackupBackAndKeepsTheReplaced()
    {
        TestDatabase t;
        fillRows(t.db(), 10);
        const QString saved = backup::make(t.db(), backup::defaultFolder(t.path()), 30).file;
        fillRows(t.db(), 5);
        const QString database = t.path();
        CloseDatabase();

        Clock::advance(60 * 1000);
        const QString kept = backup::restore(saved, database, schema::password());
        QCOMPARE(countIn(database, QStringLiteral("Orders")), qint64(10));
        QCOMPARE(QFileInfo(kept).fileName(), QStringLiteral("test-2010-05-14-103100.db"));
        QCOMPARE(countIn(kept, QStringLiteral("Orders")), qint64(15));
        QCOMPARE(backup::list(backup::defaultFolder(database), database), QStringList({saved, kept}));
        QVERIFY(QFileInfo::exists(saved)); // the backup itself stays
        QCOMPARE(QDir(t.folder()).entryList({QStringLiteral(".*partial*")}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    void restoreKeepsADamagedFileByteForByte()
    {
        TestDatabase t;
        fillRows(t.db(), 10);
        const QString saved = backup::make(t.db(), backup::defaultFolder(t.path()), 30).file;
        const QString database = t.path();
        CloseDatabase();
        {
            QFile f(database);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(0);
            f.write(QByteArray(64, 'x')); // the salt and first page: nothing opens it now
        }
        const QByteArray damaged = hashOf(database);
        Clock::advance(1000);
        const QString kept = backup::restore(saved, database, schema::password());
        QCOMPARE(hashOf(kept), damaged);
        QCOMPARE(countIn(database, QStringLiteral("Orders")), qint64(10));
    }

    void damagedBackupIsRefused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("says");
        QTest::newRow("a byte flipped") << "flip"
                                        << "is not a good backup";
        QTest::newRow("cut short") << "truncate"
                                   << "is not a good backup";
        QTest::newRow("another key") << "key"
                                     << "cannot be read";
        QTest::newRow("not a database") << "text"
                                        << "cannot be read";
        QTest::newRow("a table missing") << "table"
                                         << "the table Payments is missing";
        QTest::newRow("no file") << "missing"
                                 << "does not exist";
    }
    void damagedBackupIsRefused()
    {
        QFETCH(QString, damage);
        QFETCH(QString, says);
        TestDatabase t;
        fillRows(t.db(), 1500);
        QTemporaryDir dir;
        const QString bad = dir.filePath(QStringLiteral("bad.db"));
        if (damage == QLatin1String("key")) {
            auto other = Database::create(bad, QByteArrayLiteral("another key"));
            schema::install(*other);
        } else if (damage == QLatin1String("text")) {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'z'));
        } else if (damage != QLatin1String("missing")) {
            QVERIFY(QFile::copy(backup::make(t.db(), dir.path(), 30).file, bad));
            QFile f(bad);
            QVERIFY(f.open(QIODevice::ReadWrite));
            if (damage == QLatin1String("flip")) {
                const qint64 at = f.size() / 2;
                f.seek(at);
                char byte = 0;
                f.getChar(&byte);
                f.seek(at);
                f.putChar(char(byte ^ 0x10));
            } else if (damage == QLatin1String("truncate")) {
                f.resize(f.size() / 2);
            } else {
                f.close();
                Database::open(bad, schema::password())->exec(QStringLiteral("DROP TABLE Payments"));
            }
        }
        const QByteArray before = hashOf(t.path());
        const QString database = t.path();
        CloseDatabase();
        try {
            backup::restore(bad, database, schema::password());
            QFAIL("a bad backup was restored");
        } catch (const backup::BackupError &e) {
            QVERIFY2(e.text().contains(says), qPrintable(e.text()));
        }
        QCOMPARE(hashOf(database), before);
        QVERIFY(!QFileInfo::exists(backup::defaultFolder(database))); // nothing kept: nothing was replaced
    }
};

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--backup-and-die") == 0) {
        QCoreApplication app(argc, argv);
        return backupAndDie(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
