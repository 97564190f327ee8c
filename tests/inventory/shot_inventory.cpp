// Opens the inventory windows in the main window over demo data, with edited lines, and saves a
// picture of each: shot_inventory <folder>.

#include "DemoData.h"
#include "WindowDriver.h"
#include "inventory/InventoryAdjust.h"
#include "inventory/InventoryRequests.h"
#include "inventory/InventoryValueAdjust.h"
#include "reports/ReportPrinter.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "ui/Widgets.h"

#include <QComboBox>
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

// The previewed document in the report viewer, which is then closed.
void saveViewer(const QString &file)
{
    if (QWidget *v = MainWindow::findChildWindow(QStringLiteral("Viewer"))) {
        v->resize(1100, 850);
        save(v, file);
        closeChildWindow(v);
    } else {
        qWarning("no viewer for %s", qPrintable(file));
    }
}

template <typename W> W *run(MainWindow &main, const QString &key)
{
    main.runCommand(key);
    return qobject_cast<W *>(MainWindow::findChildWindow(key));
}

void edit(Grid *g, int row, int column, const QString &text)
{
    g->gridModel()->setData(g->cellIndex(row, column), text);
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
        qWarning("main window not active"); // leaving a field needs a window that has the focus

    auto *adjust = run<InventoryAdjust>(main, QStringLiteral("InventoryAdjust"));
    drive::focus(adjust->txtReason);
    drive::type(adjust->txtReason, QStringLiteral("Received from Kingsley Tannery, invoice 2741"));
    edit(adjust->vsfgAdj, 0, InventoryAdjust::ColAdjustment, QStringLiteral("120"));
    edit(adjust->vsfgAdj, 0, InventoryAdjust::ColUnitPrice, QStringLiteral("4.85"));
    edit(adjust->vsfgAdj, 3, InventoryAdjust::ColAdjustment, QStringLiteral("-12.5"));
    edit(adjust->vsfgAdj, 5, InventoryAdjust::ColAdjustment, QStringLiteral("abc"));
    adjust->vsfgAdj->setCurrentCell(5, InventoryAdjust::ColAdjustment);
    save(adjust, out.filePath(QStringLiteral("InventoryAdjust.png")));
    closeChildWindow(adjust);

    auto *value = run<InventoryValueAdjust>(main, QStringLiteral("AdjustValue"));
    edit(value->vsfgAdj, 1, InventoryValueAdjust::ColNewPrice, QStringLiteral("5.125"));
    save(value, out.filePath(QStringLiteral("InventoryValueAdjust.png")));
    closeChildWindow(value);

    reports::WindowReportOutput viewer;
    setReportOutput(&viewer);
    auto *history = run<frmLeatherHistory>(main, QStringLiteral("LeatherHistory"));
    history->dtStart->setDate(Clock::today().addMonths(-1));
    save(history, out.filePath(QStringLiteral("frmLeatherHistory.png")));
    history->btnOK->click();
    saveViewer(out.filePath(QStringLiteral("Viewer-MaterialHistory.png")));

    auto *sales = run<frmLeatherSales>(main, QStringLiteral("LeatherSales"));
    for (int i = 0; i < 4 && i < sales->lstCustomers->count(); ++i)
        sales->lstCustomers->item(i)->setSelected(true);
    save(sales, out.filePath(QStringLiteral("frmLeatherSales.png")));
    closeChildWindow(sales);

    auto *valuation = run<frmInventoryValuation>(main, QStringLiteral("InventoryValuation"));
    save(valuation, out.filePath(QStringLiteral("frmInventoryValuation.png")));
    valuation->btnOk->click();
    saveViewer(out.filePath(QStringLiteral("Viewer-InventoryValuation.png")));
    setReportOutput(nullptr);
    return 0;
}
