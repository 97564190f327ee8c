#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// Every document, CSV and export the program writes goes through here, so that no output can land
// on the shop's own files, a full disk never leaves a cut-short file reported as written, and a
// device named as the target is written to rather than replaced.
namespace output {

enum class Outcome {
    Written,
    Refused,   // the target may not be written at all (the database, a folder, ...); nothing touched
    Failed,    // the system refused a write; the target is as it was
    Cancelled, // the writer stopped; the target is as it was
};

struct Result
{
    Outcome outcome = Outcome::Written;
    QString message; // one line naming the file; empty when written or cancelled
    bool written() const { return outcome == Outcome::Written; }
};

// Files no output may be: config.txt and the letterhead files of `folder` are added; the open
// database and its journals are always protected while a connection is open.
void protectConfigFolder(const QString &folder);
void protectFile(const QString &path);
QStringList protectedFiles();

// Empty when `path` may be written; otherwise why not, in one line naming the file.
QString refusal(const QString &path);

// Writes `path` through `write`, which fills the device and returns false to stop. A regular or
// new file is written beside itself under a temporary name and moved into place only when every
// byte reached the disk; a character device or pipe is written in place.
Result writeFile(const QString &path, const std::function<bool(QIODevice &)> &write);

} // namespace output
