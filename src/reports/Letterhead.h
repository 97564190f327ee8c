#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// The shop's letterhead on its invoices, packing slips and purchase orders: letterhead.txt (the
// shop's name on the first line, then its address, phone and e-mail) and logo.png, both
// optional, beside config.txt. Without them the documents carry none.
namespace reports {

struct Letterhead
{
    QStringList lines;
    QImage logo;
    bool isEmpty() const { return lines.isEmpty() && logo.isNull(); }
};

// Reads the two files from `folder`; a missing or unreadable file gives nothing.
Letterhead readLetterhead(const QString &folder);
// Where the files are looked for; empty (the default) means beside config.txt.
QString &LetterheadFolder();
// The letterhead of the configured folder.
Letterhead shopLetterhead();

} // namespace reports
