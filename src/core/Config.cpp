#include "core/Config.h"

#include "core/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QStringList readListItems(const QString &content, int maxItems)
{
    QStringList items;
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
        if (i < n) {
            if (content[i] == u',') {
                ++i;
                // A comma followed by a line end ends one item, not two.
                int j = i;
                while (j < n && (content[j] == u' ' || content[j] == u'\t' || content[j] == u'\r'))
                    ++j;
                if (j < n && content[j] == u'\n')
                    i = j + 1;
            } else {
                ++i; // line end
            }
        }
    }
    return items;
}

Config parseConfig(const QString &content, const QString &where)
{
    const QStringList items = readListItems(content, 7);
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
    if (!parseDate(c.priceChangeCutoff).isValid()) {
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
    return parseConfig(QString::fromUtf8(f.readAll()), path);
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
