#include "reports/Letterhead.h"

#include "core/Config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace reports {

Letterhead readLetterhead(const QString &folder)
{
    Letterhead out;
    const QDir dir(folder);
    QFile text(dir.filePath(QStringLiteral("letterhead.txt")));
    // A letterhead is a few lines; anything longer is not one.
    if (text.size() <= 4096 && text.open(QIODevice::ReadOnly)) {
        for (const QString &line : QString::fromUtf8(text.readAll()).split(u'\n')) {
            const QString trimmed = line.trimmed();
            if (!trimmed.isEmpty() && out.lines.size() < 6)
                out.lines << trimmed;
        }
    }
    const QString logo = dir.filePath(QStringLiteral("logo.png"));
    if (QFile::exists(logo))
        out.logo.load(logo, "PNG");
    return out;
}

QString &LetterheadFolder()
{
    static QString folder;
    return folder;
}

Letterhead shopLetterhead()
{
    const QString folder = LetterheadFolder();
    return readLetterhead(folder.isEmpty() ? configFolder(QCoreApplication::applicationDirPath()) : folder);
}

} // namespace reports
