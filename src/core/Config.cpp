#include "core/Config.h"

#include "core/Database.h"
#include "core/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QStringList readListItems(const QString &content, int maxItems, QList<int> *lines)
{
    QStringList items;
    int line = 1;
    const int n = int(content.size());
    int i = 0;
    while (i < n && items.size() < maxItems) {
        // Leading blanks are skipped.
        while (i < n && (content[i] == u' ' || content[i] == u'\t'))
            ++i;
        if (i >= n)
            break;
        QString item;
        if (content[i] == u'"') {
            ++i;
            while (i < n && content[i] != u'"' && content[i] != u'\n')
                item += content[i++];
            if (i < n && content[i] == u'"')
                ++i;
            // Anything between the closing quote and the next separator is dropped.
            while (i < n && content[i] != u',' && content[i] != u'\n')
                ++i;
        } else {
            while (i < n && content[i] != u',' && content[i] != u'\n')
                item += content[i++];
            if (item.endsWith(u'\r'))
                item.chop(1);
            while (item.endsWith(u' ') || item.endsWith(u'\t'))
                item.chop(1);
        }
        items << item;
        if (lines)
            *lines << line;
        if (i < n) {
            if (content[i] == u',') {
                ++i;
                // A comma followed by a line end ends one item, not two.
                int j = i;
                while (j < n && (content[j] == u' ' || content[j] == u'\t' || content[j] == u'\r'))
                    ++j;
                if (j < n && content[j] == u'\n') {
                    i = j + 1;
                    ++line;
                }
            } else {
                ++i; // line end
                ++line;
            }
        }
    }
    return items;
}

Config parseConfig(const QString &content, const QString &where)
{
    QList<int> lines;
    const QStringList items = readListItems(content, 7, &lines);
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).size() > kMaxConfigItemLength)
            throw StartupError(QStringLiteral("Configuration Error"),
                               QStringLiteral("Item %1 on line %2 of the configuration file %3 is longer than %4 "
                                              "characters; no path or date is that long.")
                                   .arg(i + 1)
                                   .arg(lines.at(i))
                                   .arg(QDir::toNativeSeparators(where))
                                   .arg(kMaxConfigItemLength));
    }
    if (items.size() < 5) {
        throw StartupError(QStringLiteral("Configuration Error"),
                           QStringLiteral("The configuration file %1 holds %2 item(s); five are needed: a heading, "
                                          "a label and the database path, a label and the price change cut-off "
                                          "date.")
                               .arg(QDir::toNativeSeparators(where))
                               .arg(items.size()));
    }
    Config c;
    c.databasePath = items.at(2).trimmed();
    c.priceChangeCutoff = items.at(4).trimmed();
    // An unquoted path with a comma in it splits in two and pushes the label into the date's place.
    if (!parseWholeDate(c.priceChangeCutoff).isValid() && lines.at(3) == lines.at(2)) {
        QString written = content.section(u'\n', lines.at(2) - 1, lines.at(2) - 1).trimmed();
        if (lines.at(1) == lines.at(2))
            written = written.section(u',', 1).trimmed();
        throw StartupError(QStringLiteral("Configuration Error"),
                           QStringLiteral("The database path \"%1\" in %2 holds a comma: write it in double "
                                          "quotes, for example Database,\"%1\".")
                               .arg(written, QDir::toNativeSeparators(where)));
    }
    if (!parseWholeDate(c.priceChangeCutoff).isValid()) {
        throw StartupError(QStringLiteral("Configuration Error"),
                           QStringLiteral("The price change cut-off date \"%1\" in %2 is not a date. Write it as "
                                          "month/day/year, for example 1/31/2010.")
                               .arg(c.priceChangeCutoff, QDir::toNativeSeparators(where)));
    }
    // Any other sixth item is left unread, as before.
    if (items.size() == 7 &&
        items.at(5).trimmed().compare(QLatin1String("Backups"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        c.backupsKept = items.at(6).trimmed().toInt(&ok);
        if (!ok || c.backupsKept < 1 || c.backupsKept > 1000) {
            throw StartupError(
                QStringLiteral("Configuration Error"),
                QStringLiteral("The number of backups to keep \"%1\" in %2 is not a whole number "
                               "from 1 to 1000.")
                    .arg(items.at(6).trimmed(), QDir::toNativeSeparators(where)));
        }
    }
    return c;
}

QString configPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("config.txt"));
}

QString userConfigFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("corvane"));
}

QString configFolder(const QString &programFolder)
{
    if (QFileInfo::exists(configPath(programFolder)))
        return programFolder;
    const QString user = userConfigFolder();
    return QFileInfo::exists(configPath(user)) ? user : programFolder;
}

Config loadConfig(const QString &folder)
{
    const QString path = configPath(folder);
    QFile f(path);
    if (!f.exists()) {
        throw StartupError(
            QStringLiteral("Configuration Error"),
            QStringLiteral("The configuration file %1 was not found. It must stand beside the "
                           "program or in %2 and name the database file.")
                .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(userConfigFolder())));
    }
    if (!f.open(QIODevice::ReadOnly)) {
        throw StartupError(QStringLiteral("Configuration Error"),
                           QStringLiteral("The configuration file %1 could not be read: %2")
                               .arg(QDir::toNativeSeparators(path), f.errorString()));
    }
    // Five short items fit in far less; an endless file is not read whole.
    const QByteArray head = f.read(qint64(kMaxConfigItemLength + 1) * 7 + 1024);
    output::protectConfigFolder(folder);
    return parseConfig(QString::fromUtf8(head), path);
}

QString &DatabasePath()
{
    static QString value;
    return value;
}

QString &PriceChangeCutoff()
{
    static QString value;
    return value;
}

int &BackupsKept()
{
    static int value = 30;
    return value;
}
