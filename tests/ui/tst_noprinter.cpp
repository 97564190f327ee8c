#include "WindowDriver.h"
#include "core/PrintToPdf.h"
#include "core/ReportJob.h"
#include "inventory/InventoryAdjust.h"
#include "production/CutSheet.h"
#include "ui/Documents.h"
#include "ui/FileDialogs.h"
#include "ui/Grid.h"
#include "ui/GridPrint.h"
#include "ui/Printing.h"
#include "ui/WindowMemory.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

// Printing without a printer keeps each document as a PDF under a plain name, in one folder.
class TestNoPrinter : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_folder;
    CapturedReports m_reports;
    QList<QPair<QString, ReportJob>> m_pdfs;
    CapturedGridPrints m_grids;
    QPointer<QWidget> m_window;

    QStringList shownQuestions(const QString &title) const
    {
        QStringList texts;
        for (const MessageBox::Shown &s : MessageBox::shown()) {
            if (s.title == title)
                texts << s.text;
        }
        return texts;
    }
    static void printInvoice()
    {
        ReportJob job;
        job.design = QStringLiteral("crptInvoice");
        printReport(job);
    }
    QString inFolder(const QString &name) const { return QDir(m_folder->path()).filePath(name); }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_folder = std::make_unique<QTemporaryDir>();
        m_reports = CapturedReports();
        m_grids = CapturedGridPrints();
        setReportOutput(&m_reports);
        m_pdfs.clear();
        // The file is made (empty), so the name is taken as by a written document.
        setPdfWriter([this](const ReportJob &job, const QString &path) {
            m_pdfs << qMakePair(path, job);
            QFile file(path);
            return file.open(QIODevice::WriteOnly);
        });
        setGridPrintOutput(&m_grids);
        printing::setPrinterAvailable(false);
        printing::setDocumentsFolder(QString());
        FileDialogs::script({m_folder->path()});
    }
    void cleanup()
    {
        drive::closeIfOpen(m_window);
        printing::setPrinterAvailable(std::nullopt);
        printing::setDocumentsFolder(QString());
        windowMemory::setFile(QString());
        setGridPrintOutput(nullptr);
        setPdfWriter({});
        m_db.reset();
    }

    // A name already in the folder is never overwritten.
    void takenNamesGetANumber_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("written");
        QTest::newRow("free") << QStringList() << "Invoice 781.pdf";
        QTest::newRow("taken") << QStringList{"Invoice 781.pdf"} << "Invoice 781 (2).pdf";
        QTest::newRow("taken twice") << QStringList{"Invoice 781.pdf", "Invoice 781 (2).pdf"}
                                     << "Invoice 781 (3).pdf";
        QTest::newRow("other name") << QStringList{"Invoice 78.pdf"} << "Invoice 781.pdf";
    }
    void takenNamesGetANumber()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, written);
        for (const QString &name : existing) {
            QFile f(inFolder(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("kept");
        }
        printWithConfirmation(nullptr, QStringLiteral("Invoice 781"), printInvoice, PrintQuestion::Invoice,
                              PrintQuestion::Title);
        QCOMPARE(m_pdfs.size(), 1);
        QCOMPARE(QFileInfo(m_pdfs.at(0).first).fileName(), written);
        QCOMPARE(m_reports.prints.size(), 0);
        for (const QString &name : existing) {
            QFile f(inFolder(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("kept"));
        }
        // One box says where it went; nobody is asked whether a file printed.
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::Information);
        QVERIFY(MessageBox::shown().at(0).text.contains(QDir::toNativeSeparators(inFolder(written))));
        QVERIFY(shownQuestions(PrintQuestion::Title).isEmpty());
    }

    void folderIsChosenOnceAndRemembered()
    {
        QTemporaryDir settings;
        const QString ini = QDir(settings.path()).filePath(QStringLiteral("windows.ini"));
        windowMemory::setFile(ini);
        for (int i = 0; i < 3; ++i)
            printWithConfirmation(nullptr, QStringLiteral("Invoice 781"), printInvoice,
                                  PrintQuestion::Invoice, PrintQuestion::Title);
        QCOMPARE(FileDialogs::asked().size(), 1);
        QCOMPARE(m_pdfs.size(), 3);
        QCOMPARE(QFileInfo(m_pdfs.at(2).first).fileName(), QStringLiteral("Invoice 781 (3).pdf"));
        QCOMPARE(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("documents/folder")).toString(),
                 m_folder->path());
    }

    // Cancelling the folder keeps nothing and says so.
    void noFolderNoFile()
    {
        FileDialogs::script({QString()});
        printWithConfirmation(nullptr, QStringLiteral("Invoice 781"), printInvoice, PrintQuestion::Invoice,
                              PrintQuestion::Title);
        QCOMPARE(m_pdfs.size(), 0);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::Exclamation);
    }

    // With a printer the confirmation loop stays: No prints again.
    void printerKeepsTheQuestion()
    {
        printing::setPrinterAvailable(true);
        MessageBox::script({MessageBox::No, MessageBox::Yes});
        printWithConfirmation(nullptr, QStringLiteral("Invoice 781"), printInvoice, PrintQuestion::Invoice,
                              PrintQuestion::Title);
        QCOMPARE(m_reports.prints.size(), 2);
        QCOMPARE(m_pdfs.size(), 0);
        QCOMPARE(shownQuestions(PrintQuestion::Title).size(), 2);
        QVERIFY(FileDialogs::asked().isEmpty());
    }

    // The cut sheet window's control report on closing.
    void cutSheetControlReport()
    {
        m_db->addEmployee(QStringLiteral("111"), QStringLiteral("Ann"), QStringLiteral("Lee"));
        m_db->addCustomer(QStringLiteral("Cove"));
        m_db->addSet(QStringLiteral("R1"), QStringLiteral("Cove"), 10);
        const qint64 order = m_db->addOrder(QStringLiteral("Cove"), QStringLiteral("PO-1"));
        m_db->addOrderLine(order, 1, 5, QStringLiteral("R1"), 10);
        auto *w = drive::open<CutSheet>(QStringLiteral("Cutsheet"));
        m_window = w;
        QTest::keyClick(w->cmbEmployee, Qt::Key_L);
        drive::type(w->txtOrder, QString::number(order));
        drive::type(w->txtItem, QStringLiteral("1"));
        drive::type(w->txtSets, QStringLiteral("2"));
        drive::click(w->btnSave);
        const QString id = m_db->db().scalar(QStringLiteral("SELECT MAX(ID) FROM Cutsheets")).toString();
        drive::click(w->btnExit);
        QVERIFY(!drive::stillOpen(m_window));
        QCOMPARE(m_pdfs.size(), 1);
        QCOMPARE(m_pdfs.at(0).second.design, QStringLiteral("crptCutsheetEntryControlReport"));
        QCOMPARE(QFileInfo(m_pdfs.at(0).first).fileName(), QStringLiteral("Cut Sheet %1.pdf").arg(id));
        QVERIFY(shownQuestions(PrintQuestion::Title).isEmpty());
    }

    // The adjustment print, a grid, goes the same way.
    void adjustmentPrint()
    {
        m_db->addMaterial(QStringLiteral("BLK"));
        auto *w = drive::open<InventoryAdjust>(QStringLiteral("InventoryAdjust"));
        m_window = w;
        drive::type(w->txtReason, QStringLiteral("Count"));
        QVERIFY(w->vsfgAdj->rowCount() > 0);
        QVERIFY(w->vsfgAdj->gridModel()->setData(w->vsfgAdj->cellIndex(0, 6), QStringLiteral("5")));
        drive::click(w->btnSave);
        QVERIFY(!drive::stillOpen(m_window));
        const QString id = m_db->db().scalar(QStringLiteral("SELECT MAX(ID) FROM Adjustment")).toString();
        QCOMPARE(m_grids.pdfs.size(), 1);
        QCOMPARE(m_grids.prints.size(), 0);
        QCOMPARE(QFileInfo(m_grids.pdfs.at(0).first).fileName(),
                 QStringLiteral("Inventory Adjustment %1.pdf").arg(id));
        QVERIFY(shownQuestions(PrintQuestion::Title).isEmpty());
    }
};

QTEST_MAIN(TestNoPrinter)
#include "tst_noprinter.moc"
