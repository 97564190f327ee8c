#include "ui/Documents.h"

#include "ui/Printing.h"

#include "core/PrintToPdf.h"
#include "ui/EntryWindow.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowMemory.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QSettings>
#include <QStandardPaths>

#include <stdexcept>

namespace documents {

namespace {

Producer &installed()
{
    static Producer producer;
    return producer;
}

} // namespace

bool produce(const QString &name, const Request &request)
{
    if (!installed())
        throw std::logic_error("no document producer installed");
    return installed()(name, request);
}

void produceAndClose(QWidget *form, const QString &name, const Request &request)
{
    bool shown = false;
    {
        BusyPointer busy;
        shown = entry::guarded(form, [&] { produce(name, request); });
    }
    if (shown)
        closeChildWindow(form);
}

void install(Producer producer)
{
    installed() = std::move(producer);
}

} // namespace documents

namespace printing {

namespace {

std::optional<bool> &printerOverride()
{
    static std::optional<bool> available;
    return available;
}

QString &folderThisRun()
{
    static QString folder;
    return folder;
}

const QString kFolderKey = QStringLiteral("documents/folder");

} // namespace

bool printerAvailable()
{
    if (printerOverride())
        return *printerOverride();
    return !QPrinterInfo::availablePrinters().isEmpty();
}

void setPrinterAvailable(std::optional<bool> available)
{
    printerOverride() = available;
}

void setDocumentsFolder(const QString &folder)
{
    folderThisRun() = folder;
    if (!windowMemory::file().isEmpty())
        QSettings(windowMemory::file(), QSettings::IniFormat).setValue(kFolderKey, folder);
}

QString documentsFolder(QWidget *parent)
{
    QString folder = folderThisRun();
    if (folder.isEmpty() && !windowMemory::file().isEmpty())
        folder = QSettings(windowMemory::file(), QSettings::IniFormat).value(kFolderKey).toString();
    // A folder since removed is asked for again.
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    folder = FileDialogs::folder(parent, QStringLiteral("Folder for Documents"),
                                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (!folder.isEmpty())
        setDocumentsFolder(folder);
    return folder;
}

QString freePdfPath(const QString &folder, const QString &name)
{
    QString plain = name.trimmed();
    for (QChar &c : plain) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = u'-';
    }
    const QDir dir(folder);
    QString path = dir.filePath(plain + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2).pdf").arg(plain).arg(n));
    return path;
}

bool keepAsPdf(QWidget *parent, const QString &name, const std::function<bool(const QString &path)> &write)
{
    const QString folder = documentsFolder(parent);
    const QString boxTitle = QStringLiteral("No Printer");
    if (folder.isEmpty()) {
        MessageBox::show(
            parent,
            QStringLiteral("No printer is available and no folder was chosen, so %1 was not kept.").arg(name),
            boxTitle, MessageBox::OkOnly, MessageBox::Exclamation);
        return false;
    }
    const QString path = freePdfPath(folder, name);
    const bool written = write(path) && QFileInfo::exists(path);
    if (written)
        MessageBox::show(parent,
                         QStringLiteral("No printer is available, so %1 was saved as %2.")
                             .arg(name, QDir::toNativeSeparators(path)),
                         boxTitle, MessageBox::OkOnly, MessageBox::Information);
    else
        MessageBox::show(parent,
                         QStringLiteral("No printer is available, and %1 could not be saved as %2.")
                             .arg(name, QDir::toNativeSeparators(path)),
                         boxTitle, MessageBox::OkOnly, MessageBox::Exclamation);
    return written;
}

} // namespace printing

void printWithConfirmation(QWidget *parent, const QString &name, const std::function<void()> &printOnce,
                           const QString &text, const QString &title)
{
    if (printing::printerAvailable()) {
        do {
            printOnce();
        } while (MessageBox::show(parent, text, title, MessageBox::YesNo) != MessageBox::Yes);
        return;
    }
    printing::keepAsPdf(parent, name, [&](const QString &path) {
        {
            PrintToPdf toFile(path);
            printOnce();
        }
        return QFileInfo::exists(path);
    });
}
