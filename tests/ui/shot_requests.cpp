// Opens every report request window in the main window over demo data, saves a picture of it,
// presses its OK button and saves the previewed document: shot_requests <folder>.

#include "DemoData.h"
#include "WindowDriver.h"
#include "reports/ReportPrinter.h"
#include "ui/MainWindow.h"
#include "ui/Widgets.h"

#include <QDateEdit>
#include <QDir>
#include <QListWidget>
#include <QPushButton>

namespace {

void save(QWidget *child, const QString &file)
{
    QApplication::processEvents();
    QWidget *frame = child->parentWidget() ? child->parentWidget() : child;
    if (!frame->grab().save(file))
        qWarning("could not write %s", qPrintable(file));
}

// Dates a month back, and four customers for the sales request, so each document has rows.
void fillIn(QWidget *w)
{
    if (auto *start = w->findChild<QDateEdit *>(QStringLiteral("dtStart")))
        start->setDate(Clock::today().addMonths(-1));
    if (auto *list = w->findChild<QListWidget *>(QStringLiteral("lstCustomers"))) {
        for (int i = 0; i < 4 && i < list->count(); ++i)
            list->item(i)->setSelected(true);
    }
}

QPushButton *okButton(QWidget *w)
{
    auto *ok = w->findChild<QPushButton *>(QStringLiteral("btnOK"));
    return ok ? ok : w->findChild<QPushButton *>(QStringLiteral("btnOk"));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    TestDatabase db;
    MessageBox::stopScripting();
    MessageBox::script();
    fillDemoData(db.db(), DemoOptions{1, 20101, Clock::today()});
    MainWindow main;
    main.resize(1500, 900);
    main.show();
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        qWarning("main window not active");

    reports::WindowReportOutput viewer;
    setReportOutput(&viewer);
    for (const char *name : {"OpenInvoices", "ARTranReport", "SalesRegister", "EmployeeYield", "CustomerYield",
                             "EmployeeEarnings", "AvailableInventory", "InventoryValuation", "LeatherHistory",
                             "LeatherSales"}) {
        const QString key = QString::fromLatin1(name);
        main.runCommand(key);
        QWidget *w = MainWindow::findChildWindow(key);
        if (!w) {
            qWarning("no window for %s", name);
            continue;
        }
        save(w, out.filePath(key + QStringLiteral(".png")));
        fillIn(w);
        okButton(w)->click();
        if (QWidget *v = MainWindow::findChildWindow(QStringLiteral("Viewer"))) {
            v->resize(1100, 850);
            save(v, out.filePath(key + QStringLiteral("-document.png")));
            closeChildWindow(v);
        } else {
            qWarning("no document for %s", name);
        }
    }
    setReportOutput(nullptr);
    return 0;
}
