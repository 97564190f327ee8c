#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The first start of an installed program, when no config.txt exists yet: the shop file is made
// or found, and config.txt naming it is written.
struct ShopChoice
{
    enum Kind
    {
        NewFile,
        ExistingFile
    };
    Kind kind = NewFile;
    QString databasePath;
    QDate priceChangeCutoff;
    // A new file's own passphrase, typed twice; both empty keeps the program's fixed key.
    QByteArray passphrase;
    QByteArray passphraseAgain;
};

// The three lines of config.txt naming `databasePath` and the cut-off. Throws StartupError for a
// path that the file cannot hold (a double quote or a line end in it).
QString configText(const QString &databasePath, const QDate &priceChangeCutoff);

// Creates the new shop file (its folder too) or checks that the existing one opens as a shop
// file, then writes config.txt into `folder` (made when missing). Returns the path written.
// Throws StartupError saying what is wrong; config.txt is written only when the file is good.
QString setUpShop(const ShopChoice &choice, const QString &folder);
