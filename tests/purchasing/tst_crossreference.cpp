// The cross-reference window: a clerk finds an item number by typing its start, changes it or
// adds a new one, and the next demand import finds it.
#include "PurchasingWindowSupport.h"
#include "purchasing/CrossReferenceEntry.h"
#include "purchasing/DemandImport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace purchasingtest;

namespace {

const QString kName = QStringLiteral("CrossReference");

QString row(const QString &ref)
{
    return lines(
               QStringLiteral("SELECT CustomerRefNumber, PartNumber, Description, ColorName, RStringNumber, "
                              "Cost FROM CrossReferenceTable WHERE CustomerRefNumber = ?"),
               {ref})
        .join(u'/');
}

} // namespace

class TestCrossReference : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_session.start();
        seedCatalogue(*m_session.db);
    }
    void cleanup() { m_session.finish({kName}); }

    void refusesBeforeWriting_data()
    {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<QString>("cost");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("no number") << ""
                                   << "2.50"
                                   << "Customer Ref Number is required."
                                   << "cmbRefNumber";
        QTest::newRow("blank number") << "   "
                                      << ""
                                      << "Customer Ref Number is required."
                                      << "cmbRefNumber";
        QTest::newRow("cost not a number") << "Z1"
                                           << "two"
                                           << "Cost must be an amount of 0 or more, for example 12.50."
                                           << "txtCost";
        QTest::newRow("negative cost") << "Z1"
                                       << "-1"
                                       << "Cost must be an amount of 0 or more, for example 12.50."
                                       << "txtCost";
    }
    void refusesBeforeWriting()
    {
        QFETCH(QString, ref);
        QFETCH(QString, cost);
        QFETCH(QString, message);
        QFETCH(QString, field);
        const int before = count(QStringLiteral("SELECT COUNT(*) FROM CrossReferenceTable"));
        auto *w = drive::open<CrossReferenceEntry>(kName);
        drive::type(w->cmbRefNumber, ref);
        drive::type(w->txtCost, cost);
        MessageBox::script({MessageBox::Ok});
        drive::click(w->btnSave);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text, message);
        QCOMPARE(QApplication::focusWidget()->objectName(), field);
        QVERIFY(w->isVisible());
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM CrossReferenceTable")), before);
    }

    void typedStartFindsAndChangesTheRow()
    {
        auto *w = drive::open<CrossReferenceEntry>(kName);
        QVERIFY(w->cmbRefNumber->count() >= 5);
        drive::type(w->cmbRefNumber, QStringLiteral("Q2"));
        QCOMPARE(w->cmbRefNumber->currentText(), QStringLiteral("Q200"));
        QVERIFY(!w->txtPartNumber->text().isEmpty());
        const QString part = w->txtPartNumber->text();
        drive::type(w->txtColorName, QStringLiteral("Saddle"));
        drive::type(w->txtCost, QStringLiteral("7.125"));
        QPointer<QWidget> open(w);
        drive::click(w->btnSave);
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(!drive::stillOpen(open));
        QCOMPARE(count(QStringLiteral(
                     "SELECT COUNT(*) FROM CrossReferenceTable WHERE CustomerRefNumber = 'Q200'")),
                 1);
        QVERIFY2(row(QStringLiteral("Q200")).contains(QStringLiteral("|Saddle|")), qPrintable(row("Q200")));
        QVERIFY(row(QStringLiteral("Q200")).startsWith(QStringLiteral("Q200|") + part));
        QVERIFY(row(QStringLiteral("Q200")).endsWith(QStringLiteral("7.125")));
    }

    // The import's log sends the clerk here; after the fix the same line imports.
    void addedNumberIsFoundByTheNextImport()
    {
        using namespace purchasing;
        DemandSheet sheet;
        sheet.lines.push_back(DemandLine{8, QStringLiteral("5/1/2010"), QStringLiteral("PO-900"),
                                         QStringLiteral("NEWREF"), QStringLiteral("3"),
                                         QStringLiteral("6/1/2010"), QStringLiteral("9.50")});
        QCOMPARE(importDemand(sheet, QStringLiteral("O'Hare Trim")).errors, 1);

        auto *w = drive::open<CrossReferenceEntry>(kName);
        drive::type(w->cmbRefNumber, QStringLiteral("NEWREF"));
        QCOMPARE(w->cmbRefNumber->currentText(), QStringLiteral("NEWREF"));
        QVERIFY(w->txtPartNumber->text().isEmpty());
        drive::click(w->btnSave);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(row(QStringLiteral("NEWREF")), QStringLiteral("NEWREF|||||"));

        const ImportRun again = importDemand(sheet, QStringLiteral("O'Hare Trim"));
        QCOMPARE(again.errors, 0);
        QCOMPARE(again.ordersCreated, 1);
    }

private:
    WindowSession m_session;
};

QTEST_MAIN(TestCrossReference)
#include "tst_crossreference.moc"
