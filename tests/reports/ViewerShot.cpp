// report-viewer-shot: opens the main window on a database, runs one report command and saves
// what the user sees, for the screenshots under docs/.
//   report-viewer-shot DATABASE COMMAND OUTPUT.png [PAGE]
#include "app/Subsystems.h"
#include "core/Database.h"
#include "ui/MainWindow.h"
#include "reports/ReportPrinter.h"
#include "reports/Viewer.h"
#include "core/schema/Schema.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: report-viewer-shot DATABASE COMMAND OUTPUT.png [PAGE]\n");
        return 2;
    }
    setDbConnection(Database::open(args.at(0), schema::password()));
    reports::WindowReportOutput output;
    setReportOutput(&output);
    registerAllCommands();
    MainWindow window;
    window.resize(1360, 860);
    window.show();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300)
        QApplication::processEvents();
    window.runCommand(args.at(1));
    if (args.size() > 3) {
        if (auto *viewer = qobject_cast<Viewer *>(MainWindow::findChildWindow(QStringLiteral("Viewer"))))
            viewer->CRViewer()->showPage(args.at(3).toInt() - 1);
    }
    t.restart();
    while (t.elapsed() < 500)
        QApplication::processEvents();
    const bool saved = window.grab().save(args.at(2));
    setReportOutput(nullptr);
    return saved ? 0 : 1;
}
