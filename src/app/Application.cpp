#include "app/Application.h"

#include "core/Database.h"
#include "core/Passphrase.h"
#include "core/PrintToPdf.h"
#include "core/Startup.h"
#include "reports/ReportCommandLine.h"
#include "reports/ReportPrinter.h"
#include "ui/DailyBackup.h"
#include "ui/FirstStartDialog.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/Progress.h"
#include "ui/ServerLoginBox.h"
#include "ui/ShopPassphrase.h"
#include "ui/Widgets.h"
#include "ui/WindowMemory.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

int refuse(const QString &title, const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    std::fflush(stderr);
    MessageBox::show(nullptr, text, title, MessageBox::OkOnly, MessageBox::Critical);
    return 1;
}

// The shop's windows: first-start questions, the shop file, the main window and its event loop.
int runWindows(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QApplication::setWindowIcon(programIcon());
    const QString programFolder = QCoreApplication::applicationDirPath();
    QString folder = configFolder(programFolder);
    QByteArray newFileKey;
    if (!QFileInfo::exists(configPath(folder))) {
        std::fprintf(
            stderr,
            "First Start: no config.txt beside the program (%s) or in %s; asking for the shop file.\n",
            qPrintable(QDir::toNativeSeparators(programFolder)),
            qPrintable(QDir::toNativeSeparators(userConfigFolder())));
        std::fflush(stderr);
        FirstStartDialog firstStart(userConfigFolder());
        if (firstStart.exec() != QDialog::Accepted)
            return 1;
        folder = userConfigFolder();
        newFileKey = firstStart.newFileKey();
    }

    passphrase::setPrompt(ShopPassphrase::ask);
    serverLogin() = ServerLoginBox::ask;
    if (!newFileKey.isEmpty()) {
        // The passphrase was typed twice a moment ago; the file it keyed opens without a third time.
        passphrase::setPrompt([newFileKey](const QString &file, int attempt) {
            return attempt == 1 ? newFileKey : ShopPassphrase::ask(file, attempt);
        });
    }
    showSchemaUpgradeProgress();
    try {
        setDbConnection(openConfiguredDatabase(folder));
    } catch (const StartupError &e) {
        return refuse(e.title(), e.text());
    }

    InstanceLock lock(DatabasePath());
    if (!lock.tryLock()) {
        std::fprintf(stderr, "Application Already Running: This application is already running.\n");
        std::fflush(stderr);
        MessageBox::show(nullptr, QStringLiteral("This application is already running."),
                         QStringLiteral("Application Already Running"), MessageBox::OkOnly);
        return 1;
    }

    windowMemory::setFile(QDir(userConfigFolder()).filePath(QStringLiteral("windows.ini")));
    reports::WindowReportOutput reportWindows;
    setReportOutput(&reportWindows);
    setPdfWriter(&reports::writeReportPdf);
    MainWindow window;
    backUpDailyOnClose(window);
    window.show();
    const int code = QApplication::exec();
    setReportOutput(nullptr);
    setPdfWriter({});
    return code;
}

} // namespace

int runApplication(int argc, char **argv)
{
    if (reports::isCommandLineRequest(argc, argv))
        return reports::runCommandLine(argc, argv);
    return runWindows(argc, argv);
}
