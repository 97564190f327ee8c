#include "ReportTestSupport.h"

#include "core/Database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

QString pdfText(const QString &path, int firstPage, int lastPage)
{
    QStringList args{QStringLiteral("-layout")};
    if (firstPage > 0)
        args << QStringLiteral("-f") << QString::number(firstPage);
    if (lastPage > 0)
        args << QStringLiteral("-l") << QString::number(lastPage);
    args << path << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), args);
}

int pdfPageCount(const QString &path)
{
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString documentText(const reports::ReportDocument &document)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.pdf"));
    if (!document.writePdf(path))
        return QString();
    return pdfText(path);
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
