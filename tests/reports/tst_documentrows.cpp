// Every document's rows on a demo shop, byte for byte as they were before the documents'
// statements were changed for speed (fixtures/documents, written by the earlier program).
#include "DemoData.h"
#include "core/Database.h"
#include "core/schema/Schema.h"
#include "reports/ReportCommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

QDir fixtures()
{
    return QDir(QDir(qEnvironmentVariable("CORVANE_FIXTURES")).filePath(QStringLiteral("documents")));
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

class TestDocumentRows : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_db;

private Q_SLOTS:
    void initTestCase()
    {
        m_db = m_dir.filePath(QStringLiteral("shop.db"));
        auto db = schema::createDatabaseFile(m_db);
        DemoOptions options;
        options.size = 2;
        options.today = QDate(2026, 12, 1);
        fillDemoData(*db, options);
    }

    void rowsAreAsBefore_data()
    {
        QTest::addColumn<QStringList>("request");
        QTest::addColumn<QString>("expected");
        QFile list(fixtures().filePath(QStringLiteral("requests.txt")));
        QVERIFY(list.open(QIODevice::ReadOnly));
        int n = 0;
        for (const QByteArray &raw : list.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            ++n;
            // NAME key=value key=value ..., where a value may hold blanks.
            const QString name = line.section(u' ', 0, 0);
            QStringList request = {QStringLiteral("--report"), name};
            static const QRegularExpression key(QStringLiteral(" (?=[a-z0-9]+=)"));
            const QStringList pairs = line.mid(name.size()).split(key, Qt::SkipEmptyParts);
            for (const QString &kv : pairs)
                request << QStringLiteral("--arg") << kv.trimmed();
            const QString file = QStringLiteral("%1-%2.csv").arg(n, 2, 10, QLatin1Char('0')).arg(name);
            QTest::newRow(qPrintable(line)) << request << file;
        }
        QVERIFY(n >= 26);
    }
    void rowsAreAsBefore()
    {
        QFETCH(QStringList, request);
        QFETCH(QString, expected);
        const QString csv = m_dir.filePath(expected);
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        const int code = reports::runReportCommand(request + QStringList{QStringLiteral("--csv"), csv,
                                                                         QStringLiteral("--db"), m_db},
                                                   m_dir.path(), out, err);
        QVERIFY2(code == 0, qPrintable(errText));
        QCOMPARE(contents(csv), contents(fixtures().filePath(expected)));
        const QString sub = QString(expected).replace(QStringLiteral(".csv"), QStringLiteral("-sub.csv"));
        if (QFile::exists(fixtures().filePath(sub)))
            QCOMPARE(contents(m_dir.filePath(sub)), contents(fixtures().filePath(sub)));
    }

    // The same rows from the installed program itself, with no display: the CSV runs without
    // the graphical side, so nothing a document builds may need it, and the file is keyed by the
    // program's own derivation.
    void programWritesTheSameRows_data() { rowsAreAsBefore_data(); }
    void programWritesTheSameRows()
    {
        QFETCH(QStringList, request);
        QFETCH(QString, expected);
        const QString program = QDir(qEnvironmentVariable("CORVANE_BIN")).filePath(QStringLiteral("corvane"));
        if (!QFileInfo(program).isExecutable())
            QSKIP("the program is not built beside the tests");
        const QString csv = m_dir.filePath(QStringLiteral("program-") + expected);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(program, request + QStringList{QStringLiteral("--csv"), csv, QStringLiteral("--db"), m_db});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, p.readAllStandardError().constData());
        QCOMPARE(contents(csv), contents(fixtures().filePath(expected)));
    }
};

QTEST_MAIN(TestDocumentRows)
#include "tst_documentrows.moc"
