#include "ReportTestSupport.h"

#include "core/Database.h"
#include "reports/ReportCommandLine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <optional>

namespace {

// The program's output; nothing when it could not run or failed.
std::optional<QString> run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList pdfTextArguments(const QString &path, int firstPage, int lastPage)
{
    QStringList args{QStringLiteral("-layout")};
    if (firstPage > 0)
        args << QStringLiteral("-f") << QString::number(firstPage);
    if (lastPage > 0)
        args << QStringLiteral("-l") << QString::number(lastPage);
    args << path << QStringLiteral("-");
    return args;
}

} // namespace

QString pdfText(const QString &path, int firstPage, int lastPage)
{
    return run(QStringLiteral("pdftotext"), pdfTextArguments(path, firstPage, lastPage)).value_or(QString());
}

int pdfPageCount(const QString &path)
{
    const QString info = run(QStringLiteral("pdfinfo"), {path}).value_or(QString());
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString squeeze(QString s)
{
    return s.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

QString documentText(const reports::ReportDocument &document)
{
    // Two failed reads would compare equal: a failure fails the running test instead.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.pdf"));
    QString error;
    if (!document.writePdf(path, &error)) {
        QTest::qFail(qPrintable(QStringLiteral("the document could not be written: ") + error), __FILE__,
                     __LINE__);
        return QString();
    }
    const std::optional<QString> text = run(QStringLiteral("pdftotext"), pdfTextArguments(path, 0, 0));
    if (!text || text->trimmed().isEmpty()) {
        QTest::qFail("pdftotext could not read the document", __FILE__, __LINE__);
        return QString();
    }
    return *text;
}

CommandResult runCommand(const QStringList &args, const QString &programFolder)
{
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    const int code = reports::runReportCommand(args, programFolder, o, e);
    return {code, out, err};
}

QStringList csvLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

RowSet makeRows(const QStringList &columns, const QList<QVariantList> &rows)
{
    RowSet set(columns);
    for (const QVariantList &r : rows)
        set.append(r);
    return set;
}

void loadShopFixture()
{
    QFile file(QDir(qEnvironmentVariable("CORVANE_FIXTURES")).filePath(QStringLiteral("shop.sql")));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("shop.sql fixture not found");
    DbConnection().execScript(QString::fromUtf8(file.readAll()));
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
