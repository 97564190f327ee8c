// The shop file from the user's side: the first-start dialog and the daily backup on close.
#include "TestSupport.h"
#include "core/Backup.h"
#include "core/Clock.h"
#include "core/Config.h"
#include "core/Database.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"
#include "ui/DailyBackup.h"
#include "ui/FileDialogs.h"
#include "ui/FirstStartDialog.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

template <typename T> T *child(QWidget &w, const char *name)
{
    T *found = w.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

} // namespace

class TestShopFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        MessageBox::script();
        MessageBox::clearShown();
        FileDialogs::script({});
    }
    void cleanup()
    {
        MessageBox::stopScripting();
        FileDialogs::stopScripting();
    }

    // Each way through the dialog: what the user does, and the shop file config.txt then names.
    void firstStart_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("refusal"); // empty: config.txt is written
        QTest::newRow("new file as offered, path typed") << "typeNew"
                                                         << "";
        QTest::newRow("new file picked") << "browseNew"
                                         << "";
        QTest::newRow("existing file picked") << "browseExisting"
                                              << "";
        QTest::newRow("existing file typed that is not there") << "typeMissing"
                                                               << "does not exist";
        QTest::newRow("new file over an existing one") << "typeNewOverExisting"
                                                       << "exists already";
        QTest::newRow("new file with its own passphrase") << "typeNewKeyed"
                                                          << "";
        QTest::newRow("passphrase mistyped") << "typeNewMistyped"
                                             << "not the same";
    }
    void firstStart()
    {
        QFETCH(QString, how);
        QFETCH(QString, refusal);
        QTemporaryDir data;
        QTemporaryDir config;
        const QString existing = data.filePath(QStringLiteral("existing.db"));
        schema::createDatabaseFile(existing);
        const QString made = data.filePath(QStringLiteral("new/shop.db"));
        const QString folder = config.filePath(QStringLiteral("corvane"));

        FirstStartDialog dialog(folder);
        dialog.show();
        QString expected = made;
        if (how == QLatin1String("typeNew")) {
            child<QLineEdit>(dialog, "txtNewPath")->setText(made);
        } else if (how.startsWith(QLatin1String("typeNew")) && how != QLatin1String("typeNewOverExisting")) {
            child<QLineEdit>(dialog, "txtNewPath")->setText(made);
            QTest::keyClicks(child<QLineEdit>(dialog, "txtPassphrase"), QStringLiteral("saddle stitch 42"));
            QTest::keyClicks(child<QLineEdit>(dialog, "txtConfirm"),
                             how == QLatin1String("typeNewKeyed") ? QStringLiteral("saddle stitch 42")
                                                                  : QStringLiteral("saddle stitch 24"));
        } else if (how == QLatin1String("browseNew")) {
            FileDialogs::script({made});
            QTest::mouseClick(child<QPushButton>(dialog, "btnBrowseNew"), Qt::LeftButton);
        } else if (how == QLatin1String("browseExisting")) {
            FileDialogs::script({existing});
            QTest::mouseClick(child<QPushButton>(dialog, "btnBrowseExisting"), Qt::LeftButton);
            QVERIFY(child<QRadioButton>(dialog, "optExisting")->isChecked());
            expected = existing;
        } else if (how == QLatin1String("typeMissing")) {
            QTest::keyClicks(child<QLineEdit>(dialog, "txtExistingPath"),
                             data.filePath(QStringLiteral("gone.db")));
            QVERIFY(child<QRadioButton>(dialog, "optExisting")->isChecked()); // typing chose the option
        } else {
            child<QLineEdit>(dialog, "txtNewPath")->setText(existing);
        }
        QTest::mouseClick(child<QPushButton>(dialog, "btnStart"), Qt::LeftButton);

        if (!refusal.isEmpty()) {
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::shown().first().title, QStringLiteral("First Start"));
            QVERIFY2(MessageBox::shown().first().text.contains(refusal),
                     qPrintable(MessageBox::shown().first().text));
            QCOMPARE(dialog.result(), int(QDialog::Rejected)); // still open for another choice
            QVERIFY(!QFileInfo::exists(configPath(folder)));
            QVERIFY(!QFileInfo::exists(made));
            return;
        }
        QCOMPARE(MessageBox::shown().size(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.writtenConfig(), configPath(folder));
        const Config written = loadConfig(folder);
        QCOMPARE(written.databasePath, expected);
        QCOMPARE(written.priceChangeCutoff, QStringLiteral("1/1/%1").arg(Clock::today().year()));
        const QByteArray key =
            how == QLatin1String("typeNewKeyed") ? QByteArray("saddle stitch 42") : QByteArray();
        QCOMPARE(dialog.newFileKey(), key);
        QVERIFY(Database::open(expected, key.isEmpty() ? schema::password() : key)
                    ->tableExists(QStringLiteral("Orders")));
        if (!key.isEmpty())
            QVERIFY_THROWS_EXCEPTION(DbError, Database::open(expected, schema::password()));
    }

    void dailyBackupOnTheFirstCloseOfEachDay()
    {
        SKIP_ON_SERVER("daily backups are copies of the shop file");
        TestDatabase t;
        const QString folder = backup::defaultFolder(t.path());
        {
            MainWindow window;
            backUpDailyOnClose(window);
            window.show();
            window.close();
        }
        QVERIFY(!hasDbConnection()); // closing closed the database after the backup
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"test-2010-05-14-103000.db"}));

        // Later the same day: none; the next day: one more.
        setDbConnection(Database::open(t.path(), schema::password()));
        Clock::advance(3600 * 1000);
        QCOMPARE(makeDailyBackup(nullptr), QString());
        Clock::advance(24 * 3600 * 1000);
        QCOMPARE(makeDailyBackup(nullptr),
                 QDir(folder).filePath(QStringLiteral("test-2010-05-15-113000.db")));
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void failedDailyBackupIsSaidAndTriedAgain()
    {
        SKIP_ON_SERVER("daily backups are copies of the shop file");
        TestDatabase t;
        const QString folder = backup::defaultFolder(t.path());
        {
            QFile blocker(folder); // a file where the folder should be
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        QCOMPARE(makeDailyBackup(nullptr), QString());
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Backup Failed"));
        QVERIFY2(MessageBox::shown().first().text.contains(QStringLiteral("could not be made")),
                 qPrintable(MessageBox::shown().first().text));
        QVERIFY(hasDbConnection() && DbConnection().isOpen()); // closing goes on with the file untouched

        QVERIFY(QFile::remove(folder));
        QVERIFY(!makeDailyBackup(nullptr).isEmpty()); // the failed day was not counted as done
    }
};

QTEST_MAIN(TestShopFile)
#include "tst_shopfile.moc"
