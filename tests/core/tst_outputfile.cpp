#include "core/OutputFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

output::Result writeBytes(const QString &path, const QByteArray &bytes)
{
    return output::writeFile(path, [&](QIODevice &d) {
        d.write(bytes);
        return true;
    });
}

// Files of `dir` other than the ones named.
QStringList leftovers(const QDir &dir, const QStringList &expected)
{
    QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &e : expected)
        files.removeAll(e);
    return files;
}

} // namespace

class TestOutputFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // No output may be one of the shop's own files, however the path names it.
    void shopFilesAreRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("database") << "db";
        QTest::newRow("database, relative path") << "relative";
        QTest::newRow("database through a link") << "link";
        QTest::newRow("database through a hard link") << "hardlink";
        QTest::newRow("journal not there yet") << "journal";
        QTest::newRow("config.txt") << "config";
        QTest::newRow("letterhead") << "letterhead";
        QTest::newRow("logo") << "logo";
    }
    void shopFilesAreRefused()
    {
        QFETCH(QString, how);
        if (how != "config" && how != "letterhead" && how != "logo")
            SKIP_ON_SERVER("the database is no file that output could overwrite");
        TestDatabase t;
        QTemporaryDir program;
        const QDir dir(program.path());
        put(dir.filePath("config.txt"), "heading\n");
        put(dir.filePath("letterhead.txt"), "Shop\n");
        put(dir.filePath("logo.png"), "png");
        output::protectConfigFolder(program.path());
        const QDir dbDir = QFileInfo(t.path()).absoluteDir();
        QString target;
        if (how == "db") {
            target = t.path();
        } else if (how == "relative") {
            QDir::setCurrent(dbDir.path());
            target = QStringLiteral("./") + QFileInfo(t.path()).fileName();
        } else if (how == "link") {
            target = dir.filePath("report.csv");
            QVERIFY(QFile::link(t.path(), target));
        } else if (how == "hardlink") {
            target = dir.filePath("report.csv");
            QCOMPARE(::link(QFile::encodeName(t.path()).constData(), QFile::encodeName(target).constData()), 0);
        } else if (how == "journal") {
            target = t.path() + QStringLiteral("-journal");
        } else if (how == "config") {
            target = dir.filePath("config.txt");
        } else if (how == "letterhead") {
            target = dir.filePath("letterhead.txt");
        } else {
            target = dir.filePath("logo.png");
        }
        const QByteArray dbBefore = contents(t.path());
        const output::Result r = writeBytes(target, "Name,City\r\n");
        QCOMPARE(r.outcome, output::Outcome::Refused);
        QVERIFY2(r.message.contains(target) && !r.message.contains(u'\n'), qPrintable(r.message));
        QCOMPARE(contents(t.path()), dbBefore);
        QCOMPARE(contents(dir.filePath("config.txt")), QByteArray("heading\n"));
        QVERIFY(!QFileInfo::exists(t.path() + QStringLiteral("-journal")) || how != "journal");
        QCOMPARE(leftovers(dbDir, {QFileInfo(t.path()).fileName()}), QStringList());
    }

    // A disk that fills up part-way: the failure is said with the system's reason, the temporary
    // file is gone and the file that was there is untouched.
    void fullDiskLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("open-invoices.csv");
        put(target, "the old report\n");
        const QByteArray big(18118, 'x');
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved = {};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 16384;
        ::setrlimit(RLIMIT_FSIZE, &small);
        const output::Result r = writeBytes(target, big);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(r.outcome, output::Outcome::Failed);
        QVERIFY2(r.message.contains(target) && r.message.contains(QStringLiteral("could not be written: ")),
                 qPrintable(r.message));
        QCOMPARE(contents(target), QByteArray("the old report\n"));
        QCOMPARE(leftovers(QDir(dir.path()), {"open-invoices.csv"}), QStringList());
    }

    // A device is written to where it stands, never replaced by a file.
    void devicesAreWrittenInPlace_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("written");
        QTest::newRow("/dev/null takes everything") << "/dev/null" << true;
        QTest::newRow("/dev/full is full") << "/dev/full" << false;
    }
    void devicesAreWrittenInPlace()
    {
        QFETCH(QString, device);
        QFETCH(bool, written);
        struct stat before = {}, after = {};
        QCOMPARE(::stat(QFile::encodeName(device).constData(), &before), 0);
        const output::Result r = writeBytes(device, QByteArray(100000, 'x'));
        QCOMPARE(r.written(), written);
        if (!written)
            QVERIFY2(r.message.contains(device) && r.message.contains(QStringLiteral("space")), qPrintable(r.message));
        QCOMPARE(::stat(QFile::encodeName(device).constData(), &after), 0);
        QVERIFY(S_ISCHR(after.st_mode));
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(leftovers(QDir(QStringLiteral("/dev")), {}).filter(QStringLiteral(".null.")), QStringList());
        QCOMPARE(leftovers(QDir(QStringLiteral("/dev")), {}).filter(QStringLiteral(".full.")), QStringList());
    }

    void plainFilesAreReplacedWhole()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("a.csv");
        QVERIFY(writeBytes(target, "one").written());
        QCOMPARE(contents(target), QByteArray("one"));
        // Through a link, the file pointed at is replaced and the link stays a link.
        const QString link = dir.filePath("latest.csv");
        QVERIFY(QFile::link(target, link));
        QVERIFY(writeBytes(link, "two").written());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(target), QByteArray("two"));
        // A writer that stops leaves what was there.
        const output::Result stopped = output::writeFile(target, [](QIODevice &d) {
            d.write("partial");
            return false;
        });
        QCOMPARE(stopped.outcome, output::Outcome::Cancelled);
        QCOMPARE(contents(target), QByteArray("two"));
        QCOMPARE(leftovers(QDir(dir.path()), {"a.csv", "latest.csv"}), QStringList());
        QCOMPARE(writeBytes(dir.path(), "x").outcome, output::Outcome::Refused);
    }
};

QTEST_GUILESS_MAIN(TestOutputFile)
#include "tst_outputfile.moc"
