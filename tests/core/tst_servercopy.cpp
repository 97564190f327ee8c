#include "DemoData.h"
#include "TestServer.h"
#include "TestSupport.h"
#include "core/Database.h"
#include "core/Money.h"
#include "core/schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// corvane-mkdb --copy-from: a shop file onto a new server database and back, or nothing at all.
class TestServerCopy : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_shop;
    std::unique_ptr<Database> m_admin;
    int m_databases = 0;

    static QString mkdb()
    {
        return QString::fromLocal8Bit(qgetenv("CORVANE_BIN")) + QStringLiteral("/corvane-mkdb");
    }

    struct Run
    {
        int code = -1;
        QString out;
        QString err;
    };
    static Run runMkdb(const QStringList &args)
    {
        QProcess p;
        p.start(mkdb(), args);
        Run r;
        if (!p.waitForFinished(300000))
            return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    // A new, empty database on the test server; dropped again in cleanup().
    QString emptyDatabase()
    {
        const QString name = QStringLiteral("corvane_test_copy_%1_%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(++m_databases);
        m_admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        m_admin->exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' "
                                     "LC_CTYPE 'C'")
                          .arg(name));
        return testServerUri(name);
    }

    static std::unique_ptr<Database> openFile(const QString &path)
    {
        return Database::open(path, schema::password());
    }

    // A value as the program reads it: dates as days, money to its four decimals.
    static QString readAs(schema::Kind kind, const QVariant &v)
    {
        if (v.isNull())
            return QStringLiteral("<null>");
        switch (kind) {
        case schema::Kind::Date:
            return parseDate(v.toString()).toString(Qt::ISODate);
        case schema::Kind::DateTime: {
            QDateTime dt = QDateTime::fromString(v.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (!dt.isValid())
                dt = QDateTime(parseDate(v.toString()), QTime(0, 0));
            return dt.toString(Qt::ISODate);
        }
        case schema::Kind::Money:
            return Money::fromVariant(v).toPlainString();
        case schema::Kind::Decimal:
            return QString::number(v.toDouble(), 'g', 17);
        case schema::Kind::AutoNumber:
        case schema::Kind::Integer:
            return QString::number(v.toLongLong());
        case schema::Kind::Text:
            break;
        }
        return v.toString();
    }

    // Every row of `table`, in the order the rows were added, one line each.
    static QStringList rowsOf(Database &db, const schema::Table &table)
    {
        QStringList names;
        QString order = db.rowKey();
        for (const schema::Column &c : table.columns) {
            names << QStringLiteral("\"%1\"").arg(QLatin1String(c.name));
            if (c.kind == schema::Kind::AutoNumber)
                order = names.last();
        }
        QStringList lines;
        for (const Row &r : db.query(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY %3")
                                         .arg(names.join(u", "), QLatin1String(table.name), order))) {
            QStringList cells;
            for (int i = 0; i < int(table.columns.size()); ++i)
                cells << readAs(table.columns.at(size_t(i)).kind, r.value(i));
            lines << cells.join(u'|');
        }
        return lines;
    }

    static void compareEveryTable(Database &expected, Database &actual)
    {
        for (const schema::Table &t : schema::tables()) {
            const QStringList want = rowsOf(expected, t);
            const QStringList got = rowsOf(actual, t);
            QVERIFY2(want.size() == got.size(), t.name);
            for (int i = 0; i < want.size(); ++i)
                QVERIFY2(want.at(i) == got.at(i), qPrintable(QStringLiteral("%1 row %2: %3 became %4")
                                                                 .arg(QLatin1String(t.name))
                                                                 .arg(i)
                                                                 .arg(want.at(i), got.at(i))));
        }
    }

    // One value in every column of a hand-made row.
    static Fields aRowOf(const schema::Table &t)
    {
        Fields fields;
        for (const schema::Column &c : t.columns) {
            const QString name = QString::fromLatin1(c.name);
            switch (c.kind) {
            case schema::Kind::AutoNumber:
                break;
            case schema::Kind::Text:
                fields.emplace_back(name, QStringLiteral("O'Hara, \"Dock\" 2"));
                break;
            case schema::Kind::Integer:
                fields.emplace_back(name, 3);
                break;
            case schema::Kind::Decimal:
                fields.emplace_back(name, 12.125);
                break;
            case schema::Kind::Money:
                fields.emplace_back(name, QVariant::fromValue(Money::fromUnits(1234567)));
                break;
            case schema::Kind::Date:
                fields.emplace_back(name, QDate(2010, 2, 28));
                break;
            case schema::Kind::DateTime:
                fields.emplace_back(name, QDateTime(QDate(2010, 2, 28), QTime(17, 5, 9)));
                break;
            }
        }
        return fields;
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString why = startTestServer();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        m_admin = Database::openServer(testServerUri(QStringLiteral("postgres")));
        m_shop = QDir(m_dir.path()).filePath(QStringLiteral("shop.db"));
        auto shop = schema::createDatabaseFile(m_shop);
        DemoOptions options;
        options.today = QDate(2010, 5, 14);
        fillDemoData(*shop, options);
        // Tables the demo shop leaves empty get a row, so every table is copied.
        for (const schema::Table &t : schema::tables()) {
            if (shop->scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QLatin1String(t.name)))
                    .toInt() == 0)
                shop->insert(QString::fromLatin1(t.name), aRowOf(t));
        }
        // The last invoice was deleted: its number is not given out again.
        shop->exec(QStringLiteral("DELETE FROM Invoice WHERE Invoice = (SELECT MAX(Invoice) FROM Invoice)"));
    }

    void cleanup()
    {
        if (!m_admin)
            return;
        for (int i = 1; i <= m_databases; ++i)
            m_admin->exec(QStringLiteral("DROP DATABASE IF EXISTS corvane_test_copy_%1_%2 WITH (FORCE)")
                              .arg(QCoreApplication::applicationPid())
                              .arg(i));
    }

    void fileToServerAndBackKeepsEveryRow()
    {
        const QString uri = emptyDatabase();
        const Run there = runMkdb({QStringLiteral("--copy-from"), m_shop, uri});
        QVERIFY2(there.code == 0, qPrintable(there.err));
        auto shop = openFile(m_shop);
        const qint64 orders = shop->scalar(QStringLiteral("SELECT COUNT(*) FROM Orders")).toLongLong();
        QVERIFY(orders > 0);
        // Both sides' counts of every table are printed.
        QVERIFY2(there.out.contains(QRegularExpression(QStringLiteral("\\nOrders +%1 +%1\\n").arg(orders))),
                 qPrintable(there.out));
        for (const schema::Table &t : schema::tables())
            QVERIFY2(there.out.contains(QLatin1String(t.name)), t.name);

        const QString back = QDir(m_dir.path()).filePath(QStringLiteral("back.db"));
        const Run home = runMkdb({QStringLiteral("--copy-from"), uri, back});
        QVERIFY2(home.code == 0, qPrintable(home.err));

        auto server = Database::openServer(uri);
        auto copy = openFile(back);
        compareEveryTable(*shop, *server);
        compareEveryTable(*shop, *copy);
        // The running figures are counted from the copied rows, and kept from then on.
        const auto figures = [](Database &db) {
            QStringList out;
            for (const Row &r : db.query(QStringLiteral("SELECT MaterialID, Feet FROM CutByMaterial WHERE Feet <> 0 "
                                                        "ORDER BY MaterialID")))
                out << r.text(QStringLiteral("MaterialID")) + u'=' + r.text(QStringLiteral("Feet"));
            out << db.scalar(QStringLiteral("SELECT SUM(SetsLeft) FROM CutByLine")).toString();
            return out;
        };
        QVERIFY(figures(*shop).size() > 2);
        QCOMPARE(figures(*server), figures(*shop));
        QCOMPARE(figures(*copy), figures(*shop));

        // A new row numbers on after the highest number the shop ever gave out.
        const qint64 last = shop->lastAutoNumber(QStringLiteral("Invoice"), QStringLiteral("Invoice"));
        QVERIFY(last > shop->scalar(QStringLiteral("SELECT MAX(Invoice) FROM Invoice")).toLongLong());
        for (Database *db : {server.get(), copy.get()})
            QCOMPARE(db->insert(QStringLiteral("Invoice"), {{"Customer", QStringLiteral("New")}}), last + 1);
        const qint64 lastOrder = shop->scalar(QStringLiteral("SELECT MAX(ID) FROM Orders")).toLongLong();
        QCOMPARE(server->insert(QStringLiteral("Orders"), {{"Customer", QStringLiteral("New")}}),
                 lastOrder + 1);
    }

    // Each refusal says one plain line, exits 1 and leaves the target database without tables.
    void refusalsLeaveNothing_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message");
        QTest::newRow("tables there") << "tables"
                                      << "already holds tables; it is never overwritten";
        QTest::newRow("count differs") << "mismatch"
                                       << "the row counts of Orders differ";
        QTest::newRow("unreachable") << "unreachable"
                                     << "The database server cannot be reached";
        QTest::newRow("missing database") << "missing"
                                          << "does not exist on the server";
        QTest::newRow("missing file") << "nofile"
                                      << "does not exist";
    }
    void refusalsLeaveNothing()
    {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        QString uri = emptyDatabase();
        QString source = m_shop;
        auto target = Database::openServer(uri);
        if (situation == QLatin1String("tables")) {
            target->execScript(
                QStringLiteral("CREATE TABLE Notes (X INTEGER); INSERT INTO Notes VALUES (7)"));
        } else if (situation == QLatin1String("mismatch")) {
            // The server silently drops one order as it is stored.
            const qint64 first =
                openFile(m_shop)->scalar(QStringLiteral("SELECT MIN(ID) FROM Orders")).toLongLong();
            target->execScript(QStringLiteral(R"(
CREATE FUNCTION drop_one() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN IF NEW.id = %1 THEN RETURN NULL; END IF; RETURN NEW; END $$;
CREATE FUNCTION plant_drop_one() RETURNS event_trigger LANGUAGE plpgsql AS $$
BEGIN
  IF to_regclass('orders') IS NOT NULL AND NOT EXISTS (SELECT 1 FROM pg_trigger WHERE tgname = 'drop_one') THEN
    CREATE TRIGGER drop_one BEFORE INSERT ON orders FOR EACH ROW EXECUTE FUNCTION drop_one();
  END IF;
END $$;
CREATE EVENT TRIGGER plant_drop_one ON ddl_command_end WHEN TAG IN ('CREATE TABLE')
  EXECUTE FUNCTION plant_drop_one())")
                                   .arg(first));
        } else if (situation == QLatin1String("unreachable")) {
            uri = QStringLiteral("postgresql:///corvane?host=/nonexistent-folder");
        } else if (situation == QLatin1String("missing")) {
            uri = testServerUri(QStringLiteral("corvane_test_nosuch"));
        } else if (situation == QLatin1String("nofile")) {
            source = QDir(m_dir.path()).filePath(QStringLiteral("nosuch.db"));
        }
        const Run r = runMkdb({QStringLiteral("--copy-from"), source, uri});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.trimmed().count(u'\n'), 0);
        if (situation == QLatin1String("mismatch")) {
            const qint64 orders =
                openFile(m_shop)->scalar(QStringLiteral("SELECT COUNT(*) FROM Orders")).toLongLong();
            QVERIFY2(r.out.contains(QRegularExpression(
                         QStringLiteral("\\nOrders +%1 +%2\\n").arg(orders).arg(orders - 1))),
                     qPrintable(r.out));
        }
        const QStringList tables = target->tableNames();
        QCOMPARE(tables,
                 situation == QLatin1String("tables") ? QStringList{QStringLiteral("notes")} : QStringList{});
        if (situation == QLatin1String("tables"))
            QCOMPARE(target->scalar(QStringLiteral("SELECT X FROM Notes")).toInt(), 7);
    }

    // Back to a file: an existing file is never replaced, and a failure leaves no file.
    void copyToFileRefusals_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message");
        QTest::newRow("file there") << "exists"
                                    << "already exists; it is never overwritten";
        QTest::newRow("unreachable") << "unreachable"
                                     << "The database server cannot be reached";
        QTest::newRow("no shop schema") << "empty"
                                        << "holds no tables of this program";
    }
    void copyToFileRefusals()
    {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        QString uri = emptyDatabase();
        QTemporaryDir folder;
        const QString file = QDir(folder.path()).filePath(QStringLiteral("out.db"));
        if (situation == QLatin1String("exists")) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("kept");
        } else if (situation == QLatin1String("unreachable")) {
            uri = QStringLiteral("postgresql:///corvane?host=/nonexistent-folder");
        }
        const Run r = runMkdb({QStringLiteral("--copy-from"), uri, file});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        if (situation == QLatin1String("exists")) {
            QCOMPARE(left, QStringList{QStringLiteral("out.db")});
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("kept"));
        } else {
            QCOMPARE(left, QStringList{});
        }
    }

    void copyNeedsAFileAndAServer_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("two files") << QStringList{"--copy-from", "a.db", "b.db"};
        QTest::newRow("two servers") << QStringList{"--copy-from", "postgresql:///a", "postgresql:///b"};
        QTest::newRow("with demo") << QStringList{"--demo", "--copy-from", "a.db", "postgresql:///b"};
    }
    void copyNeedsAFileAndAServer()
    {
        QFETCH(QStringList, args);
        const Run r = runMkdb(args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QLatin1String("usage:")));
    }
};

QTEST_GUILESS_MAIN(TestServerCopy)
#include "tst_servercopy.moc"
