#include "core/FirstStart.h"

#include "core/Config.h"
#include "core/Database.h"
#include "core/Passphrase.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

StartupError refusal(const QString &text)
{
    return StartupError(QStringLiteral("First Start"), text);
}

} // namespace

QString configText(const QString &databasePath, const QDate &priceChangeCutoff)
{
    if (databasePath.contains(u'"') || databasePath.contains(u'\n') || databasePath.contains(u'\r'))
        throw refusal(
            QStringLiteral("The path %1 holds a double quote or a line end, which config.txt cannot "
                           "hold. Choose another name.")
                .arg(databasePath));
    return QStringLiteral("\"Corvane Order Management\"\nDatabase,\"%1\"\nPriceChangeCutoff,%2\n")
        .arg(databasePath, priceChangeCutoff.toString(QStringLiteral("M/d/yyyy")));
}

QString setUpShop(const ShopChoice &choice, const QString &folder)
{
    const QString path = choice.databasePath.trimmed();
    if (path.isEmpty())
        throw refusal(QStringLiteral("Name the shop file."));
    if (!QFileInfo(path).isAbsolute())
        throw refusal(QStringLiteral("Give the shop file's full path, not %1.").arg(path));
    if (!choice.priceChangeCutoff.isValid())
        throw refusal(QStringLiteral("Give the price change cut-off date."));
    const QString text = configText(path, choice.priceChangeCutoff);

    if (choice.kind == ShopChoice::NewFile) {
        if (QFileInfo::exists(path))
            throw refusal(
                QStringLiteral("%1 exists already. Choose \"Open an existing shop file\" to use it, "
                               "or another name.")
                    .arg(native(path)));
        const bool keyed = !choice.passphrase.isEmpty() || !choice.passphraseAgain.isEmpty();
        if (keyed) {
            if (const auto no = passphrase::refusal(choice.passphrase, choice.passphraseAgain))
                throw refusal(no->text);
        }
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            throw refusal(
                QStringLiteral("The folder %1 cannot be made.").arg(native(QFileInfo(path).absolutePath())));
        try {
            schema::createDatabaseFile(path, keyed ? choice.passphrase : schema::password());
        } catch (const DbError &e) {
            QFile::remove(path);
            throw refusal(QStringLiteral("%1 cannot be created: %2").arg(native(path), e.message()));
        }
    } else {
        try {
            // Asks a keyed file's passphrase, and refuses a file without the shop's tables.
            openShopDatabase(path);
        } catch (const DbError &e) {
            throw refusal(e.describe());
        }
    }

    if (!QDir().mkpath(folder))
        throw refusal(QStringLiteral("The folder %1 cannot be made.").arg(native(folder)));
    QSaveFile file(configPath(folder));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw refusal(
            QStringLiteral("%1 cannot be written: %2").arg(native(configPath(folder)), file.errorString()));
    return configPath(folder);
}
