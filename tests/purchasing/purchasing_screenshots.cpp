// Draws the purchasing windows over the demo data, for checking by eye.
// Usage: purchasing_screenshots <folder>   (needs a display, e.g. Xvfb)
#include "DemoData.h"
#include "PurchasingWindowSupport.h"
#include "purchasing/CrossReferenceEntry.h"
#include "purchasing/ImportWindows.h"
#include "purchasing/PONavigator.h"
#include "purchasing/PendingPOItems.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QThread>

using namespace purchasingtest;

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

template <typename W> W *run(MainWindow &main, const QString &key)
{
    main.runCommand(key);
    settle();
    return qobject_cast<W *>(MainWindow::findChildWindow(key));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(folder.path());
    TestDatabase db;
    DemoOptions options;
    options.today = QDate(2010, 5, 14);
    fillDemoData(db.db(), options);

    MainWindow main;
    main.resize(1500, 950);
    main.show();
    settle();
    main.grab().save(folder.filePath(QStringLiteral("main-window.png")));

    auto *pending = run<frmPendingPOItems>(main, QStringLiteral("PendingItems"));
    Grid *g = pending->vsfgItems;
    for (int r = 0; r < g->rowCount() && r < 5; r += 2)
        g->gridModel()->setData(g->cellIndex(r, frmPendingPOItems::ColTransfer), Qt::Checked,
                                Qt::CheckStateRole);
    g->setCurrentCell(2, 3);
    settle();
    main.grab().save(folder.filePath(QStringLiteral("pending-items.png")));
    main.mdiArea()->closeAllSubWindows();

    auto *nav = run<frmPONavigator>(main, QStringLiteral("PONavigator"));
    nav->vsfgPO->setCurrentCell(1, 0);
    settle();
    main.grab().save(folder.filePath(QStringLiteral("po-navigator.png")));
    main.mdiArea()->closeAllSubWindows();

    auto *import = run<frmImportOrderXLS>(main, QStringLiteral("ImportXLS"));
    import->findChild<QComboBox *>(QStringLiteral("cmbCustomer"))->setCurrentIndex(0);
    import->findChild<QLineEdit *>(QStringLiteral("SelectedFile"))
        ->setText(QStringLiteral("/home/shop/demand/week-19.xlsx"));
    settle();
    main.grab().save(folder.filePath(QStringLiteral("import-spreadsheet.png")));
    main.mdiArea()->closeAllSubWindows();

    auto *log = run<frmPrintImportLog>(main, QStringLiteral("ImportXLSLogReport"));
    log->findChild<QComboBox *>(QStringLiteral("cmbLog"))->setCurrentIndex(0);
    settle();
    main.grab().save(folder.filePath(QStringLiteral("import-log.png")));
    main.mdiArea()->closeAllSubWindows();

    auto *cross = run<CrossReferenceEntry>(main, QStringLiteral("CrossReference"));
    if (cross->cmbRefNumber->count() > 0) {
        cross->cmbRefNumber->setCurrentIndex(0);
        cross->LoadCrossReference();
    }
    settle();
    main.grab().save(folder.filePath(QStringLiteral("cross-reference.png")));
    main.mdiArea()->closeAllSubWindows();
    return 0;
}
