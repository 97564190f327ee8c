// The same demo shop on the encrypted file and on a PostgreSQL server must give every document
// the same CSV, byte for byte: both shops made by corvane-mkdb, every document written by
// corvane's document mode.
#include "TestSupport.h"
#include "reports/ReportRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

QString program(const QString &name)
{
    return QDir(qEnvironmentVariable("CORVANE_BIN")).filePath(name);
}

// Runs one of the programs; an empty text when it succeeded, else what it said.
QString run(const QString &name, const QStringList &arguments)
{
    QProcess p;
    p.start(program(name), arguments);
    if (!p.waitForFinished(300000))
        return name + QStringLiteral(" did not finish");
    if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return QString();
    return QStringLiteral("%1 exited %2: %3")
        .arg(name)
        .arg(p.exitCode())
        .arg(QString::fromLocal8Bit(p.readAllStandardError()));
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// The requests of the documents' fixture list: NAME key=value ..., where a value may hold blanks.
QList<QStringList> listedRequests()
{
    QList<QStringList> out;
    QFile list(
        QDir(qEnvironmentVariable("CORVANE_FIXTURES")).filePath(QStringLiteral("documents/requests.txt")));
    if (!list.open(QIODevice::ReadOnly))
        return out;
    static const QRegularExpression key(QStringLiteral(" (?=[a-z0-9]+=)"));
    for (const QByteArray &raw : list.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QString name = line.section(u' ', 0, 0);
        QStringList request = {QStringLiteral("--report"), name};
        for (const QString &kv : line.mid(name.size()).split(key, Qt::SkipEmptyParts))
            request << QStringLiteral("--arg") << kv.trimmed();
        out << request;
    }
    return out;
}

bool needsArguments(const reports::Document &d)
{
    return std::any_of(d.arguments.begin(), d.arguments.end(),
                       [](const reports::Argument &a) { return a.required; });
}

} // namespace

class TestEngineDocuments : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_file;
    QString m_server;

private Q_SLOTS:
    void initTestCase()
    {
        if (!testingOnServer())
            QSKIP("needs the test server (CORVANE_TEST_DB=postgres)");
        m_file = m_dir.filePath(QStringLiteral("shop.db"));
        m_server = emptyTestDatabase();
        // The shop the documents' fixtures were written on.
        const QStringList demo = {QStringLiteral("--demo"), QStringLiteral("--size"), QStringLiteral("2"),
                                  QStringLiteral("--today"), QStringLiteral("2026-12-01")};
        for (const QString &target : {m_file, m_server}) {
            const QString failed = run(QStringLiteral("corvane-mkdb"), demo + QStringList{target});
            QVERIFY2(failed.isEmpty(), qPrintable(failed));
        }
    }
    void cleanupTestCase()
    {
        if (!m_server.isEmpty())
            dropTestDatabase(m_server);
    }

    // A document added to the registry must be added to the list with arguments that give rows.
    void everyDocumentIsRequested()
    {
        QSet<QString> listed;
        for (const QStringList &r : listedRequests())
            listed << r.at(1);
        for (const reports::Document *d : reports::registry())
            QVERIFY2(listed.contains(d->name()) || !needsArguments(*d), qPrintable(d->name()));
    }

    void sameCsvOnBothEngines_data()
    {
        QTest::addColumn<QStringList>("request");
        QList<QStringList> requests = listedRequests();
        QSet<QString> listed;
        for (const QStringList &r : requests)
            listed << r.at(1);
        for (const reports::Document *d : reports::registry())
            if (!listed.contains(d->name()) && !needsArguments(*d))
                requests << QStringList{QStringLiteral("--report"), d->name()};
        QVERIFY(requests.size() >= 26);
        int n = 0;
        for (const QStringList &r : requests)
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(++n).arg(r.mid(1).join(u' ')))) << r;
    }
    void sameCsvOnBothEngines()
    {
        QFETCH(QStringList, request);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).section(u' ', 0, 0);
        QStringList written;
        for (const QString &db : {m_file, m_server}) {
            const QString csv =
                m_dir.filePath(tag + (db == m_file ? QStringLiteral("-file") : QStringLiteral("-server")));
            const QString failed =
                run(QStringLiteral("corvane"),
                    request + QStringList{QStringLiteral("--csv"), csv + QStringLiteral(".csv"),
                                          QStringLiteral("--db"), db});
            QVERIFY2(failed.isEmpty(), qPrintable(failed));
            written << csv;
        }
        const QByteArray file = contents(written.at(0) + QStringLiteral(".csv"));
        QVERIFY(file.count('\n') >= 1); // at least the header
        QCOMPARE(contents(written.at(1) + QStringLiteral(".csv")), file);
        // A sub-report's rows, when the document has one.
        QCOMPARE(QFile::exists(written.at(1) + QStringLiteral("-sub.csv")),
                 QFile::exists(written.at(0) + QStringLiteral("-sub.csv")));
        if (QFile::exists(written.at(0) + QStringLiteral("-sub.csv")))
            QCOMPARE(contents(written.at(1) + QStringLiteral("-sub.csv")),
                     contents(written.at(0) + QStringLiteral("-sub.csv")));
    }
};

QTEST_GUILESS_MAIN(TestEngineDocuments)
#include "tst_enginedocuments.moc"
