#include "ui/Application.h"

#include "core/Database.h"
#include "ui/MainWindow.h"
#include "ui/Widgets.h"
#include "ui/MessageBox.h"
#include "ui/Progress.h"
#include "reports/ReportCommandLine.h"
#include "reports/ReportPrinter.h"
#include "core/Startup.h"

#include <QApplication>

#include <cstdio>

namespace {

int refuse(const QString &title, const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    std::fflush(stderr);
    MessageBox::show(nullptr, text, title, MessageBox::OkOnly, MessageBox::Critical);
    return 1;
}

} // namespace

int runApplication(int argc, char **argv)
{
    if (reports::isCommandLineRequest(argc, argv))
        return reports::runCommandLine(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QApplication::setWindowIcon(programIcon());
    const QString folder = QCoreApplication::applicationDirPath();

    showSchemaUpgradeProgress();
    try {
        setDbConnection(openConfiguredDatabase(folder));
    } catch (const StartupError &e) {
        return refuse(e.title(), e.text());
    }

    InstanceLock lock(folder);
    if (!lock.tryLock()) {
        std::fprintf(stderr, "Application Already Running: This application is already running.\n");
        std::fflush(stderr);
        MessageBox::show(nullptr, QStringLiteral("This application is already running."),
                         QStringLiteral("Application Already Running"), MessageBox::OkOnly);
        return 1;
    }

    reports::WindowReportOutput reportWindows;
    setReportOutput(&reportWindows);
    MainWindow window;
    window.show();
    const int code = QApplication::exec();
    setReportOutput(nullptr);
    return code;
}
