#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "orders/OrderReports.h"
#include "production/ProductionReports.h"
#include "purchasing/PurchasingReports.h"
#include "reports/ReportPrinter.h"
#include "reports/Viewer.h"
#include "shipping/ShippingReports.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/Printing.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <optional>

using namespace reports;

namespace {

ReportDocument materials(int count)
{
    ReportJob job;
    job.design = QStringLiteral("crptMaterialReport");
    QList<QVariantList> rows;
    for (int i = 0; i < count; ++i)
        rows << QVariantList{QStringLiteral("M%1").arg(i), QStringLiteral("Material %1").arg(i), "Active",
                             "Leather", "2010-01-02"};
    job.rows = makeRows(findDesign(job.design)->columns, rows);
    return ReportDocument(job);
}

// Cancels the page progress dialog as soon as the job first lets events through, and keeps what
// it showed then.
struct CancelWhenShown
{
    int value = -1;
    int maximum = -1;
    QString label;
    QTimer timer;
    CancelWhenShown()
    {
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (QWidget *w : QApplication::allWidgets()) {
                auto *dialog = qobject_cast<QProgressDialog *>(w);
                // Once a page is done, so the count is shown; hidden or not, the dialog can be cancelled.
                if (dialog && dialog->objectName() == QLatin1String("pageProgress") && value < 0 &&
                    dialog->value() > 0) {
                    value = dialog->value();
                    maximum = dialog->maximum();
                    label = dialog->labelText();
                    dialog->cancel();
                    timer.stop();
                }
            }
        });
        timer.start();
    }
};

void sendWheel(ReportView &view, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget *viewport = view.findChild<QScrollArea *>()->viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
}

int viewerFrames(const MainWindow &window)
{
    int n = 0;
    for (QMdiSubWindow *sub : window.mdiArea()->subWindowList())
        n += sub->widget() && sub->widget()->objectName() == QLatin1String("Viewer");
    return n;
}

} // namespace

class TestReportViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void secondPreviewReplacesTheDocument();
    void controlFillsTheWindow_data();
    void controlFillsTheWindow();
    void pageNavigationAndZoom();
    void noPrinterKeepsPdf_data();
    void noPrinterKeepsPdf();
    void exportWritesPdf();
    void windowOutputPreviewsAndPrints();
    void cancelledExportLeavesNoFile_data();
    void cancelledExportLeavesNoFile();
    void cancelledPrintIsNotPrinted_data();
    void cancelledPrintIsNotPrinted();
    void zoomKeysAndWheel_data();
    void zoomKeysAndWheel();
    void wholePageFitsTheView_data();
    void wholePageFitsTheView();
    void wheelAndKeysTurnPages();
    void escapeClosesTheViewer();
};

void TestReportViewer::escapeClosesTheViewer()
{
    TestDatabase t;
    loadShopFixture();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    WindowReportOutput output;
    setReportOutput(&output);
    output.preview(production::customerListingJob());
    QPointer<Viewer> viewer = qobject_cast<Viewer *>(MainWindow::findChildWindow(QStringLiteral("Viewer")));
    QVERIFY(viewer);
    viewer->CRViewer()->setFocus();
    QTest::keyClick(viewer->CRViewer(), Qt::Key_Escape);
    QTRY_VERIFY(!viewer);
    setReportOutput(nullptr);
}

void TestReportViewer::secondPreviewReplacesTheDocument()
{
    TestDatabase t;
    loadShopFixture();
    MainWindow window;
    window.show();
    WindowReportOutput output;
    setReportOutput(&output);
    output.preview(production::customerListingJob());
    auto *viewer = qobject_cast<Viewer *>(MainWindow::findChildWindow(QStringLiteral("Viewer")));
    QVERIFY(viewer);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Report Viewer"));
    QCOMPARE(viewer->CRViewer()->objectName(), QStringLiteral("CRViewer"));
    QCOMPARE(viewer->CRViewer()->reportSource()->design().name, QStringLiteral("crptCustomerReport"));
    viewer->CRViewer()->setZoom(100);

    output.preview(orders::openOrdersJob());
    QCOMPARE(MainWindow::findChildWindow(QStringLiteral("Viewer")), viewer);
    QCOMPARE(viewerFrames(window), 1);
    QCOMPARE(viewer->CRViewer()->reportSource()->design().name, QStringLiteral("crptOpenOrdersReport"));
    QCOMPARE(viewer->CRViewer()->currentPage(), 0);
    QVERIFY(!viewer->CRViewer()->shownPage().isNull());

    // Closed, the next preview opens it again.
    closeChildWindow(viewer);
    QApplication::processEvents();
    QTRY_VERIFY(!MainWindow::findChildWindow(QStringLiteral("Viewer")));
    output.preview(production::materialListingJob());
    QVERIFY(MainWindow::findChildWindow(QStringLiteral("Viewer")));
    QCOMPARE(viewerFrames(window), 1);
    setReportOutput(nullptr);
}

void TestReportViewer::controlFillsTheWindow_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("small") << QSize(200, 150);
    QTest::newRow("wide") << QSize(1300, 400);
    QTest::newRow("tall") << QSize(500, 1000);
}

void TestReportViewer::controlFillsTheWindow()
{
    QFETCH(QSize, size);
    TestDatabase t;
    Viewer viewer;
    viewer.show();
    viewer.CRViewer()->setReportSource(materials(5));
    viewer.CRViewer()->viewReport();
    viewer.resize(size);
    QApplication::processEvents();
    QCOMPARE(viewer.CRViewer()->geometry(), QRect(QPoint(0, 0), size));
    // Fitting the page width follows the window.
    QVERIFY(viewer.CRViewer()->shownPage().width() <= size.width());
}

void TestReportViewer::pageNavigationAndZoom()
{
    TestDatabase t;
    ReportView view;
    view.resize(800, 600);
    view.show();
    const ReportDocument doc = materials(400);
    QVERIFY(doc.pageCount() > 3);
    view.setReportSource(doc);
    view.viewReport();
    QCOMPARE(view.pageCount(), doc.pageCount());
    view.previousPage();
    QCOMPARE(view.currentPage(), 0);
    view.nextPage();
    view.nextPage();
    QCOMPARE(view.currentPage(), 2);
    view.lastPage();
    QCOMPARE(view.currentPage(), doc.pageCount() - 1);
    view.nextPage();
    QCOMPARE(view.currentPage(), doc.pageCount() - 1);
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(view.currentPage(), 0);
    QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(view.currentPage(), 1);

    view.setZoom(100);
    const int actual = view.shownPage().width();
    view.setZoom(200);
    QCOMPARE(view.shownPage().width(), 2 * actual);
    QCOMPARE(view.zoom(), 200);
}

// Without a printer, a print (the default printer's or the viewer's Print button) keeps the
// document in the documents folder, chosen once, and one box says where: no question is asked.
void TestReportViewer::noPrinterKeepsPdf_data()
{
    QTest::addColumn<bool>("viewer");
    QTest::newRow("print") << false;
    QTest::newRow("viewer's print button") << true;
}

void TestReportViewer::noPrinterKeepsPdf()
{
    QFETCH(bool, viewer);
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    printing::setPrinterAvailable(false);
    printing::setDocumentsFolder(QString());
    FileDialogs::script({dir.path()});
    const ReportDocument doc(shipping::packingSlipJob(9001));
    ReportView view;
    view.setReportSource(doc);
    for (int copy = 1; copy <= 2; ++copy)
        QVERIFY(!(viewer ? view.printWithDialog() : printDocument(nullptr, doc)));
    printing::setPrinterAvailable(std::nullopt);
    printing::setDocumentsFolder(QString());
    QCOMPARE(FileDialogs::asked().size(), 1); // the folder, once
    const QString first = QDir(dir.path()).filePath(QStringLiteral("Packing Slip.pdf"));
    const QString second = QDir(dir.path()).filePath(QStringLiteral("Packing Slip (2).pdf"));
    QVERIFY(pdfText(first).contains(QStringLiteral("Bayside Marine - Receiving")));
    QVERIFY(QFileInfo::exists(second));
    QCOMPARE(MessageBox::shown().size(), 2);
    for (const MessageBox::Shown &box : MessageBox::shown()) {
        QCOMPARE(box.title, QStringLiteral("No Printer"));
        QCOMPARE(box.buttons, MessageBox::OkOnly);
    }
    QCOMPARE(MessageBox::shown().first().text,
             QStringLiteral("No printer is available, so Packing Slip was saved as %1.")
                 .arg(QDir::toNativeSeparators(first)));
}

void TestReportViewer::exportWritesPdf()
{
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    ReportView view;
    view.setReportSource(ReportDocument(
        shipping::invoiceJob(9001, 3003, QStringLiteral("6/11/2010"), QStringLiteral("Net 30"))));
    FileDialogs::script({dir.filePath(QStringLiteral("invoice")), QString()});
    QVERIFY(view.exportPdf());
    const QString text = pdfText(dir.filePath(QStringLiteral("invoice.pdf")));
    QVERIFY(text.contains(QStringLiteral("Invoice No.: 3003")));
    QVERIFY(text.contains(QStringLiteral("$1,687.44")));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().text,
             QStringLiteral("The Invoice was saved as %1.").arg(dir.filePath(QStringLiteral("invoice.pdf"))));
    QCOMPARE(MessageBox::shown().first().icon, MessageBox::Information);
    QCOMPARE(MessageBox::shown().first().buttons, MessageBox::OkOnly);
    MessageBox::clearShown();
    QVERIFY(!view.exportPdf()); // cancelled
    QCOMPARE(FileDialogs::asked(), QStringList({"Save as PDF", "Save as PDF"}));
    QVERIFY(MessageBox::shown().isEmpty());

    // A file that cannot be written is said so, not reported as saved.
    FileDialogs::script({QStringLiteral("/nonexistent-folder/x.pdf")});
    QVERIFY(!view.exportPdf());
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Save as PDF"));
}

void TestReportViewer::windowOutputPreviewsAndPrints()
{
    TestDatabase t;
    loadShopFixture();
    WindowReportOutput output;
    // A design refusing its rows stops the preview before any window opens.
    ReportJob broken = production::materialListingJob();
    broken.rows = RowSet(QStringList{QStringLiteral("ID")});
    QVERIFY_THROWS_EXCEPTION(ReportError, output.preview(broken));
    QVERIFY(!MainWindow::findChildWindow(QStringLiteral("Viewer")));
    output.preview(production::materialListingJob());
    auto *viewer = qobject_cast<Viewer *>(MainWindow::findChildWindow(QStringLiteral("Viewer")));
    QVERIFY(viewer);
    QCOMPARE(viewer->CRViewer()->reportSource()->design().name, QStringLiteral("crptMaterialReport"));
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        MessageBox::script({MessageBox::No});
        QVERIFY(!output.print(production::materialListingJob()));
        QCOMPARE(MessageBox::shown().size(), 1);
    }
    viewer->close();
}

void TestReportViewer::cancelledExportLeavesNoFile_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled, no file before") << false << true;
    QTest::newRow("cancelled, file kept") << true << true;
    QTest::newRow("complete, file replaced") << true << false;
}

void TestReportViewer::cancelledExportLeavesNoFile()
{
    QFETCH(bool, existing);
    QFETCH(bool, cancel);
    TestDatabase t;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("materials.pdf"));
    const QByteArray before("the user's own file");
    if (existing)
        QVERIFY(writeBytes(path, before));
    ReportView view;
    view.resize(800, 600);
    view.show();
    view.setReportSource(materials(3000));
    view.viewReport();
    QVERIFY(view.pageCount() > 20);
    FileDialogs::script({path});
    std::optional<CancelWhenShown> canceller;
    if (cancel)
        canceller.emplace();
    QCOMPARE(view.exportPdf(), !cancel);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             existing || !cancel ? QStringList{"materials.pdf"} : QStringList{});
    if (cancel) {
        // Stopped part-way, with the count shown, and nothing said afterwards.
        QCOMPARE(canceller->maximum, view.pageCount());
        QVERIFY(canceller->value > 0 && canceller->value < view.pageCount());
        QVERIFY2(canceller->label.endsWith(
                     QStringLiteral("Page %1 of %2").arg(canceller->value).arg(view.pageCount())),
                 qPrintable(canceller->label));
        QVERIFY(MessageBox::shown().isEmpty());
        if (existing)
            QCOMPARE(fileBytes(path), before);
    } else {
        QVERIFY(fileBytes(path).startsWith("%PDF"));
        QCOMPARE(pdfPageCount(path), view.pageCount());
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
                 QStringLiteral("The Material Listing was saved as %1.").arg(path));
    }
}

void TestReportViewer::cancelledPrintIsNotPrinted_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled") << true;
    QTest::newRow("complete") << false;
}

void TestReportViewer::cancelledPrintIsNotPrinted()
{
    QFETCH(bool, cancel);
    TestDatabase t;
    QTemporaryDir dir;
    // A printer writing to a file stands in for a real one.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    const ReportDocument doc = materials(3000);
    std::optional<CancelWhenShown> canceller;
    if (cancel)
        canceller.emplace();
    QCOMPARE(printPages(nullptr, printer, doc), !cancel);
    QVERIFY(MessageBox::shown().isEmpty()); // no "Print Failed" for a cancel
    if (cancel)
        QVERIFY(canceller->value > 0 && canceller->value < doc.pageCount());
    else
        QCOMPARE(pdfPageCount(printer.outputFileName()), doc.pageCount());
}

void TestReportViewer::zoomKeysAndWheel_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key"); // 0: the wheel
    QTest::addColumn<int>("wheel");
    QTest::addColumn<int>("expected");
    QTest::newRow("Ctrl+plus") << 100 << int(Qt::Key_Plus) << 0 << 125;
    QTest::newRow("Ctrl+=") << 100 << int(Qt::Key_Equal) << 0 << 125;
    QTest::newRow("Ctrl+minus") << 100 << int(Qt::Key_Minus) << 0 << 75;
    QTest::newRow("largest stays") << 300 << int(Qt::Key_Plus) << 0 << 300;
    QTest::newRow("smallest stays") << 50 << int(Qt::Key_Minus) << 0 << 50;
    QTest::newRow("Ctrl+wheel up") << 150 << 0 << 120 << 200;
    QTest::newRow("Ctrl+wheel down") << 150 << 0 << -120 << 125;
    QTest::newRow("two notches") << 75 << 0 << 240 << 125;
    QTest::newRow("half notches add up") << 75 << 0 << 60 << 100;
}

void TestReportViewer::zoomKeysAndWheel()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, wheel);
    QFETCH(int, expected);
    TestDatabase t;
    ReportView view;
    view.resize(800, 600);
    view.show();
    view.setReportSource(materials(100));
    view.viewReport();
    view.setZoom(from);
    if (key) {
        QTest::keyClick(view.findChild<QScrollArea *>(), Qt::Key(key), Qt::ControlModifier);
    } else if (std::abs(wheel) < 120) {
        sendWheel(view, wheel, Qt::ControlModifier);
        QCOMPARE(view.zoom(), from); // half a notch is not yet a step
        sendWheel(view, wheel, Qt::ControlModifier);
    } else {
        sendWheel(view, wheel, Qt::ControlModifier);
    }
    QCOMPARE(view.zoom(), expected);
    QCOMPARE(view.findChild<QComboBox *>(QStringLiteral("cmbZoom"))->currentData().toInt(), expected);
    QCOMPARE(view.currentPage(), 0); // zooming does not turn pages
}

void TestReportViewer::wholePageFitsTheView_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("wide") << QSize(1200, 500);
    QTest::newRow("tall") << QSize(500, 1000);
}

void TestReportViewer::wholePageFitsTheView()
{
    QFETCH(QSize, size);
    TestDatabase t;
    ReportView view;
    view.resize(size);
    view.show();
    view.setReportSource(materials(100));
    view.viewReport();
    auto *combo = view.findChild<QComboBox *>(QStringLiteral("cmbZoom"));
    const int whole = combo->findText(QStringLiteral("Whole Page"));
    QCOMPARE(combo->itemText(whole - 1), QStringLiteral("Page Width"));
    Q_EMIT combo->activated(whole);
    QCOMPARE(view.zoom(), int(ReportView::FitPage));
    QWidget *viewport = view.findChild<QScrollArea *>()->viewport();
    const QSizeF shown = QSizeF(view.shownPage().size()) / view.shownPage().devicePixelRatio();
    QVERIFY(shown.width() <= viewport->width() && shown.height() <= viewport->height());
    // It fills the view one way.
    QVERIFY(shown.width() > viewport->width() - 40 || shown.height() > viewport->height() - 40);
    // Ctrl+plus from a fit goes to the next step above what is shown.
    const int before = view.shownPercent();
    QTest::keyClick(&view, Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY(view.zoom() > before);
    QVERIFY(view.zoom() <= before + 50);
}

void TestReportViewer::wheelAndKeysTurnPages()
{
    TestDatabase t;
    ReportView view;
    view.resize(800, 500); // page width: the page is taller than the view
    view.show();
    view.setReportSource(materials(400));
    view.viewReport();
    QApplication::processEvents();
    auto *area = view.findChild<QScrollArea *>();
    QScrollBar *bar = area->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);

    // The wheel scrolls within the page first, then turns to the next page at its top.
    sendWheel(view, -120);
    QCOMPARE(view.currentPage(), 0);
    QVERIFY(bar->value() > 0);
    int turns = 0;
    while (view.currentPage() == 0 && turns++ < 100)
        sendWheel(view, -120);
    QCOMPARE(view.currentPage(), 1);
    QCOMPARE(bar->value(), 0);
    // Up at the top goes back to the previous page, shown from its bottom.
    sendWheel(view, 120);
    QCOMPARE(view.currentPage(), 0);
    QCOMPARE(bar->value(), bar->maximum());
    sendWheel(view, 120);
    QCOMPARE(view.currentPage(), 0);
    QVERIFY(bar->value() < bar->maximum());

    // Page keys turn one page wherever the focus is in the viewer; Home and End go to the ends.
    const int last = view.pageCount() - 1;
    for (QWidget *target : {static_cast<QWidget *>(area), static_cast<QWidget *>(&view)}) {
        view.firstPage();
        QTest::keyClick(target, Qt::Key_PageDown);
        QTest::keyClick(target, Qt::Key_PageDown);
        QCOMPARE(view.currentPage(), 2);
        QTest::keyClick(target, Qt::Key_PageUp);
        QCOMPARE(view.currentPage(), 1);
        QTest::keyClick(target, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view.currentPage(), last);
        QTest::keyClick(target, Qt::Key_PageDown);
        QCOMPARE(view.currentPage(), last);
        bar->setValue(bar->maximum());
        sendWheel(view, -120); // nothing beyond the last page
        QCOMPARE(view.currentPage(), last);
        QTest::keyClick(target, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(view.currentPage(), 0);
        QTest::keyClick(target, Qt::Key_End);
        QCOMPARE(view.currentPage(), last);
        QTest::keyClick(target, Qt::Key_Home);
        QCOMPARE(view.currentPage(), 0);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(view.findChild<QSpinBox *>(QStringLiteral("txtPage"))->value(), 1);
    }
}

QTEST_MAIN(TestReportViewer)
#include "tst_reportviewer.moc"
