#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Printing a document that the shop keeps on paper. With a printer: prints with `printOnce`, then
// asks `text`/`title` (Yes/No, no icon); No prints again, only Yes ends it. Without one: the
// same print goes to "`name`.pdf" in the documents folder, and one box says where; nothing asks
// whether a file printed.
void printWithConfirmation(QWidget *parent, const QString &name, const std::function<void()> &printOnce,
                           const QString &text, const QString &title);

namespace printing {

bool printerAvailable();
// Test seam: answer `available` instead of asking the print system; nullopt asks it again.
void setPrinterAvailable(std::optional<bool> available);

// Where documents go without a printer: asked for once, then remembered beside the window
// positions (for this run only when there is no settings file). Empty when the clerk cancels.
QString documentsFolder(QWidget *parent);
void setDocumentsFolder(const QString &folder);
// "`name`.pdf" in `folder`, or "`name` (2).pdf" and so on when that is taken; characters a
// file name cannot hold become "-".
QString freePdfPath(const QString &folder, const QString &name);
// Without a printer: `write` puts the document in a free "`name`.pdf" of the documents folder, and
// one box says where it went (or that it could not be kept). True when the file was written.
bool keepAsPdf(QWidget *parent, const QString &name, const std::function<bool(const QString &path)> &write);

} // namespace printing
