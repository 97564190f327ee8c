#include "core/Database.h"
#include "TestSupport.h"
#include "core/FileKey.h"
#include "core/schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <openssl/evp.h>
#include <sys/stat.h>

class TestDatabaseLayer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fileIsUnreadableWithoutThePassword()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.db"));
        {
            auto db = schema::createDatabaseFile(path);
            db->insert(QStringLiteral("Customer"), {{"Name", QStringLiteral("Hidden Trim Co")}});
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.startsWith("SQLite format 3"));
        QVERIFY(!bytes.contains("Hidden Trim Co"));
        QVERIFY(!bytes.contains("CREATE TABLE"));

        try {
            Database::open(path, QByteArrayLiteral("wrong"));
            QFAIL("a wrong password was accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.code(), 26);
            QVERIFY(e.message().contains(QStringLiteral("not a database")));
        }
        auto db = Database::open(path, schema::password());
        QCOMPARE(db->scalar(QStringLiteral("SELECT Name FROM Customer")).toString(), QStringLiteral("Hidden Trim Co"));
    }

    // The derivation done here must give the engine's own key, or no existing file would open.
    void keyDerivationMatchesTheCryptoLibrary_data()
    {
        QTest::addColumn<QByteArray>("passphrase");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("rounds");
        const QByteArray salt = QByteArray::fromHex("00ff10203040506070809a0b0c0d0e7f");
        QTest::newRow("the built-in key") << schema::password() << salt << 64000;
        QTest::newRow("empty") << QByteArray() << salt << 64000;
        QTest::newRow("one round") << QByteArrayLiteral("Harbor") << salt << 1;
        QTest::newRow("a block long") << QByteArray(64, 'k') << salt << 3;
        QTest::newRow("longer than a block") << QByteArray(65, 'k') << salt << 3;
        QTest::newRow("not ASCII") << QStringLiteral("Säddle & Trim").toUtf8() << QByteArray(16, '\0') << 2;
    }

    void keyDerivationMatchesTheCryptoLibrary()
    {
        QFETCH(QByteArray, passphrase);
        QFETCH(QByteArray, salt);
        QFETCH(int, rounds);
        QByteArray expected(32, '\0');
        QVERIFY(PKCS5_PBKDF2_HMAC_SHA1(passphrase.constData(), int(passphrase.size()),
                                       reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                                       rounds, int(expected.size()),
                                       reinterpret_cast<unsigned char *>(expected.data())) == 1);
        QCOMPARE(filekey::derive(passphrase, salt, rounds).toHex(), expected.toHex());
    }

    // Only an encrypted file has a salt to derive from; anything else is keyed by the engine.
    void rawKeyOnlyForAnEncryptedFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.db"));
        QVERIFY(filekey::rawKeyFor(path, schema::password()).isEmpty());
        schema::createDatabaseFile(path).reset();
        const QByteArray raw = filekey::rawKeyFor(path, schema::password());
        QCOMPARE(raw.size(), 67);
        QVERIFY(raw.startsWith("x'") && raw.endsWith('\''));
        QVERIFY(filekey::rawKeyFor(path, QByteArrayLiteral("x'00'")).isEmpty());
        QFile plain(dir.filePath(QStringLiteral("plain.db")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write(QByteArray("SQLite format 3") + QByteArray(1024, '\0'));
        plain.close();
        QVERIFY(filekey::rawKeyFor(plain.fileName(), schema::password()).isEmpty());
    }

    // Nobody but its owner may read the shop's file or its journal, whatever the umask.
    void newFileAndJournalArePrivate()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.db"));
        const mode_t mask = ::umask(022);
        auto db = schema::createDatabaseFile(path);
        ::umask(mask);
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                            QFileDevice::WriteOther;
        QCOMPARE(QFile::permissions(path) & others, QFileDevice::Permissions());
        db->exec(QStringLiteral("PRAGMA journal_mode = PERSIST"));
        db->insert(QStringLiteral("Customer"), {{"Name", QStringLiteral("Kept journal")}});
        QVERIFY(QFileInfo::exists(path + QStringLiteral("-journal")));
        QCOMPARE(QFile::permissions(path + QStringLiteral("-journal")) & others, QFileDevice::Permissions());
        QVERIFY_THROWS_EXCEPTION(DbError, Database::create(path, schema::password()));
    }

    // Every way a file cannot be used names the file and says in words what is wrong.
    void openFailuresNameTheFile_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "does not exist";
        QTest::newRow("folder") << "folder"
                                << "is a folder, not a database file";
        QTest::newRow("text file") << "text"
                                   << "is not a database of this program";
        QTest::newRow("wrong password") << "wrongkey"
                                        << "or its password is wrong";
    }
    void openFailuresNameTheFile()
    {
        QFETCH(QString, situation);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.db"));
        if (situation == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shop.db")));
        } else if (situation == QLatin1String("text")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        } else if (situation == QLatin1String("wrongkey")) {
            Database::create(path, QByteArrayLiteral("other"))->exec(QStringLiteral("CREATE TABLE T (X)"));
        }
        try {
            Database::open(path, schema::password());
            QFAIL("the file was opened");
        } catch (const DbError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("The database file %1 ").arg(path)),
                     qPrintable(e.message()));
            QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
            QVERIFY2(e.reason().contains(reason), qPrintable(e.reason()));
        }
    }

    void createRefusesAnExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.db"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
        f.close();
        QVERIFY_THROWS_EXCEPTION(DbError, schema::createDatabaseFile(path));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me"));
    }

    void rowsReadByNameWithoutRegardToCaseAndKeepNulls()
    {
        TestDatabase t;
        t.db().insert(QStringLiteral("Material"), {{"ID", QStringLiteral("BLK-01")}, {"Description", QVariant()}});
        const RowSet rows = t.db().query(QStringLiteral("SELECT ID, Description FROM Material"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].text(QStringLiteral("id")), QStringLiteral("BLK-01"));
        QVERIFY(rows[0].isNull(QStringLiteral("DESCRIPTION")));
        QCOMPARE(rows[0].text(QStringLiteral("description")), QString());
        QVERIFY_THROWS_EXCEPTION(DbError, rows[0].value(QStringLiteral("NoSuchColumn")));
    }

    void autoNumbersAreNeverHandedOutTwice()
    {
        TestDatabase t;
        const qint64 a = t.addOrder(QStringLiteral("A"), QStringLiteral("1"));
        const qint64 b = t.addOrder(QStringLiteral("A"), QStringLiteral("2"));
        QCOMPARE(b, a + 1);
        t.db().exec(QStringLiteral("DELETE FROM Orders"));
        const qint64 c = t.addOrder(QStringLiteral("A"), QStringLiteral("3"));
        QCOMPARE(c, b + 1);
    }

    void valuesAreBoundNeverPasted()
    {
        TestDatabase t;
        const QString nasty = QStringLiteral("O'Brien'); DROP TABLE Customer; --");
        t.addCustomer(nasty);
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM Customer WHERE Name = ?"), {nasty}).toInt(), 1);
        QVERIFY(t.db().tableExists(QStringLiteral("Customer")));
        QVERIFY_THROWS_EXCEPTION(DbError, t.db().exec(QStringLiteral("SELECT 1; SELECT 2")));
        QVERIFY_THROWS_EXCEPTION(DbError, t.db().exec(QStringLiteral("SELECT ?"), {}));
    }

    void textComparesGroupsAndSortsWithoutRegardToCase()
    {
        TestDatabase t;
        t.addCustomer(QStringLiteral("ACME Upholstery"));
        t.addCustomer(QStringLiteral("beta Trim"));
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM Customer WHERE Name = ?"),
                               {QStringLiteral("acme upholstery")})
                     .toInt(),
                 1);
        const RowSet sorted = t.db().query(QStringLiteral("SELECT Name FROM Customer ORDER BY Name"));
        QCOMPARE(sorted[0].text(QStringLiteral("Name")), QStringLiteral("ACME Upholstery"));
        t.addOrder(QStringLiteral("ACME Upholstery"), QStringLiteral("1"));
        t.addOrder(QStringLiteral("acme upholstery"), QStringLiteral("2"));
        QCOMPARE(t.db().query(QStringLiteral("SELECT Customer, count(*) AS n FROM Orders GROUP BY Customer")).size(), 1);
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM Customer WHERE Name LIKE ? ESCAPE '\\'"),
                               {QStringLiteral("%") + likeLiteral(QStringLiteral("TRIM")) + QStringLiteral("%")})
                     .toInt(),
                 1);
        // % and _ typed by a user are matched literally.
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM Customer WHERE Name LIKE ? ESCAPE '\\'"),
                               {QStringLiteral("%") + likeLiteral(QStringLiteral("%")) + QStringLiteral("%")})
                     .toInt(),
                 0);
    }

    void sqlRoundSendsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("0.125") << 0.125 << 0.12;
        QTest::newRow("0.375") << 0.375 << 0.38;
        QTest::newRow("10.625") << 10.625 << 10.62;
        QTest::newRow("2.675") << 2.675 << 2.68;
    }
    void sqlRoundSendsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        TestDatabase t;
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT RoundHalfEven(?, 2)"), {value}).toDouble(), expected);
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT RoundHalfEven(2.5)")).toDouble(), 2.0);
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT RoundHalfEven(3.5)")).toDouble(), 4.0);
        QVERIFY(t.db().scalar(QStringLiteral("SELECT RoundHalfEven(NULL, 2)")).isNull());
    }

    void moneyRoundTripsExactly()
    {
        TestDatabase t;
        t.addOrder(QStringLiteral("A"), QStringLiteral("1"));
        for (const char *v : {"0.1", "0.2", "1234567.8912", "-0.0001"})
            t.db().insert(QStringLiteral("Payments"),
                          {{"Invoice", 1}, {"Amount", QVariant::fromValue(*Money::parse(QString::fromLatin1(v)))}});
        const RowSet rows = t.db().query(QStringLiteral("SELECT Amount FROM Payments ORDER BY ID"));
        QCOMPARE(rows[2].money(QStringLiteral("Amount")).toPlainString(), QStringLiteral("1234567.8912"));
        const Money sum = Money::fromVariant(t.db().scalar(QStringLiteral("SELECT SUM(Amount) FROM Payments")));
        QCOMPARE(sum.toPlainString(), QStringLiteral("1234568.1911"));
    }

    void transactionsAreAllOrNothing()
    {
        TestDatabase t;
        try {
            Transaction tx(t.db());
            t.addOrder(QStringLiteral("A"), QStringLiteral("1"));
            t.db().exec(QStringLiteral("INSERT INTO NoSuchTable VALUES (1)"));
            tx.commit();
            QFAIL("the failing statement did not throw");
        } catch (const DbError &e) {
            // The engine's own words: "no such table" in the file, "does not exist" on the server.
            QVERIFY2(e.message().contains(QStringLiteral("nosuchtable"), Qt::CaseInsensitive),
                     qPrintable(e.message()));
        }
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM Orders")).toInt(), 0);

        {
            Transaction outer(t.db());
            t.addOrder(QStringLiteral("A"), QStringLiteral("1"));
            {
                Transaction inner(t.db());
                t.addOrder(QStringLiteral("A"), QStringLiteral("2"));
            } // rolled back
            outer.commit();
        }
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM Orders")).toInt(), 1);
    }

    void createTableAsSelectNamesAliasedColumns()
    {
        TestDatabase t;
        const qint64 id = t.addOrder(QStringLiteral("A"), QStringLiteral("1"));
        t.db().exec(QStringLiteral("CREATE TABLE tmpX AS SELECT Orders.ID AS ID, Orders.Customer AS Customer FROM Orders"));
        QCOMPARE(t.db().columnsOf(QStringLiteral("tmpX")), QStringList({"ID", "Customer"}));
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT ID FROM tmpX")).toLongLong(), id);

        // A scratch table rebuilt with other columns is read afresh by the same query text.
        QCOMPARE(t.db().query(QStringLiteral("SELECT * FROM tmpX")).columns(), QStringList({"ID", "Customer"}));
        t.db().exec(QStringLiteral("DROP TABLE tmpX"));
        t.db().exec(QStringLiteral("CREATE TABLE tmpX AS SELECT Orders.OrderNumber AS OrderNumber FROM Orders"));
        const RowSet again = t.db().query(QStringLiteral("SELECT * FROM tmpX"));
        QCOMPARE(again.columns(), QStringList({"OrderNumber"}));
        QCOMPARE(again[0].text(QStringLiteral("OrderNumber")), QStringLiteral("1"));
        // A failed statement leaves the cached one usable.
        QVERIFY_THROWS_EXCEPTION(DbError, t.db().query(QStringLiteral("SELECT * FROM tmpX WHERE OrderNumber = ?"), {}));
        QCOMPARE(t.db().query(QStringLiteral("SELECT * FROM tmpX WHERE OrderNumber = ?"), {QStringLiteral("1")}).size(), 1);
    }

    void datesAreStoredAsIsoText()
    {
        TestDatabase t;
        t.addOrder(QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("Open"), QDate(2010, 3, 9));
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT OrderDate FROM Orders")).toString(), QStringLiteral("2010-03-09"));
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM Orders WHERE OrderDate BETWEEN ? AND ?"),
                               {QDate(2010, 3, 9), QDate(2010, 3, 9)})
                     .toInt(),
                 1);
        QCOMPARE(parseDate(QStringLiteral("3/9/2010")), QDate(2010, 3, 9));
        QCOMPARE(parseDate(QStringLiteral("2010-03-09 10:00:00")), QDate(2010, 3, 9));
        QVERIFY(!parseDate(QStringLiteral("13/45/2010")).isValid());
        QVERIFY(!parseDate(QStringLiteral("soon")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestDatabaseLayer)
#include "tst_database.moc"
