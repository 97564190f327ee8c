#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportPrinter.h"
#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "reports/Viewer.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace reports;

namespace {

ReportDocument materials(int count)
{
    ReportJob job;
    job.design = QStringLiteral("crptMaterialReport");
    QList<QVariantList> rows;
    for (int i = 0; i < count; ++i)
        rows << QVariantList{QStringLiteral("M%1").arg(i), QStringLiteral("Material %1").arg(i), "Active", "Leather",
                             "2010-01-02"};
    job.rows = makeRows(findDesign(job.design)->columns, rows);
    return ReportDocument(job);
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
    void noPrinterOffersPdf_data();
    void noPrinterOffersPdf();
    void exportWritesPdf();
    void windowOutputPreviewsAndPrints();
};

void TestReportViewer::secondPreviewReplacesTheDocument()
{
    TestDatabase t;
    loadShopFixture();
    MainWindow window;
    window.show();
    WindowReportOutput output;
    setReportOutput(&output);
    output.preview(customerListingJob());
    auto *viewer = qobject_cast<Viewer *>(MainWindow::findChildWindow(QStringLiteral("Viewer")));
    QVERIFY(viewer);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Report Viewer"));
    QCOMPARE(viewer->CRViewer()->objectName(), QStringLiteral("CRViewer"));
    QCOMPARE(viewer->CRViewer()->reportSource()->design().name, QStringLiteral("crptCustomerReport"));
    viewer->CRViewer()->setZoom(100);

    output.preview(openOrdersJob());
    QCOMPARE(MainWindow::findChildWindow(QStringLiteral("Viewer")), viewer);
    QCOMPARE(viewerFrames(window), 1);
    QCOMPARE(viewer->CRViewer()->reportSource()->design().name, QStringLiteral("crptOpenOrdersReport"));
    QCOMPARE(viewer->CRViewer()->currentPage(), 0);
    QVERIFY(!viewer->CRViewer()->shownPage().isNull());

    // Closed, the next preview opens it again.
    closeChildWindow(viewer);
    QApplication::processEvents();
    QTRY_VERIFY(!MainWindow::findChildWindow(QStringLiteral("Viewer")));
    output.preview(materialListingJob());
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

void TestReportViewer::noPrinterOffersPdf_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("saved as PDF") << true;
    QTest::newRow("declined") << false;
}

void TestReportViewer::noPrinterOffersPdf()
{
    QFETCH(bool, save);
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("this machine has a printer");
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("slip.pdf"));
    MessageBox::script({save ? MessageBox::Yes : MessageBox::No});
    FileDialogs::script({path});
    const ReportDocument doc(packingSlipJob(9001));
    QVERIFY(!printDocument(nullptr, doc));
    // The offer, then (when saved) the confirmation naming the file.
    QCOMPARE(MessageBox::shown().size(), save ? 2 : 1);
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Printer Not Available"));
    QVERIFY(MessageBox::shown().first().text.startsWith(
        QStringLiteral("No printer is available, so the Packing Slip was not printed.")));
    QCOMPARE(MessageBox::shown().first().buttons, MessageBox::YesNo);
    QCOMPARE(QFileInfo::exists(path), save);
    if (save) {
        QVERIFY(pdfText(path).contains(QStringLiteral("Bayside Marine - Receiving")));
        QCOMPARE(MessageBox::shown().last().text,
                 QStringLiteral("The Packing Slip was saved as %1.").arg(path));
    }

    // The viewer's print button tells the same.
    MessageBox::script({MessageBox::No});
    MessageBox::clearShown();
    ReportView view;
    view.setReportSource(doc);
    QVERIFY(!view.printWithDialog());
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Printer Not Available"));
}

void TestReportViewer::exportWritesPdf()
{
    TestDatabase t;
    loadShopFixture();
    QTemporaryDir dir;
    ReportView view;
    view.setReportSource(ReportDocument(invoiceJob(9001, 3003, QStringLiteral("6/11/2010"), QStringLiteral("Net 30"))));
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
    ReportJob broken = materialListingJob();
    broken.rows = RowSet(QStringList{QStringLiteral("ID")});
    QVERIFY_THROWS_EXCEPTION(ReportError, output.preview(broken));
    QVERIFY(!MainWindow::findChildWindow(QStringLiteral("Viewer")));
    output.preview(materialListingJob());
    auto *viewer = qobject_cast<Viewer *>(MainWindow::findChildWindow(QStringLiteral("Viewer")));
    QVERIFY(viewer);
    QCOMPARE(viewer->CRViewer()->reportSource()->design().name, QStringLiteral("crptMaterialReport"));
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        MessageBox::script({MessageBox::No});
        QVERIFY(!output.print(materialListingJob()));
        QCOMPARE(MessageBox::shown().size(), 1);
    }
    viewer->close();
}

QTEST_MAIN(TestReportViewer)
#include "tst_reportviewer.moc"
