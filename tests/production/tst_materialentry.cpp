#include "WindowDriver.h"
#include "production/MaterialEntry.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

class TestMaterialEntry : public QObject
{
    Q_OBJECT

private:
    drive::Session<MaterialEntry> s{QStringLiteral("MaterialEntry"), QStringLiteral("Material"),
                                    QStringLiteral("ID")};
    void loadId(MaterialEntry *w, const QString &id)
    {
        drive::type(w->txtID, id);
        drive::focus(w->txtDesc);
    }

private Q_SLOTS:
    void init()
    {
        s.start();
        s.fixture().addMaterial(QStringLiteral("BLK-01"), QStringLiteral("Vinyl"));
    }
    void cleanup() { s.finish(); }

    void opensWithBothListsAndStatusActive()
    {
        MaterialEntry *w = s.open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Material Entry/Edit"));
        QStringList types;
        for (int i = 0; i < w->cmbType->count(); ++i)
            types << w->cmbType->itemText(i);
        QCOMPARE(types, QStringList({"Leather", "Vinyl", "Kit"}));
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active"));
        QCOMPARE(w->cmbType->currentIndex(), -1);
        const QList<QWidget *> tabs = {w->txtID,   w->txtDesc, w->cmbStatus,
                                       w->cmbType, w->btnSave, w->btnExit};
        QCOMPARE(drive::tabStops(w), tabs);
    }

    void storedMaterialIsLoadedAndEdited()
    {
        MaterialEntry *w = s.open();
        loadId(w, QStringLiteral("blk-01"));
        QCOMPARE(w->txtDesc->text(), QStringLiteral("BLK-01 hide"));
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active"));
        QCOMPARE(w->cmbType->currentText(), QStringLiteral("Vinyl"));
        drive::type(w->txtDesc, QStringLiteral("Black vinyl"));
        drive::focus(w->cmbStatus);
        w->cmbStatus->setCurrentIndex(1);
        drive::click(w->btnSave);
        QVERIFY(!s.windowOpen());
        const RowSet rows = s.db().query(QStringLiteral("SELECT * FROM Material"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].text("Description"), QStringLiteral("Black vinyl"));
        QCOMPARE(rows[0].text("Status"), QStringLiteral("InActive"));
        QCOMPARE(rows[0].text("DateAdded"), QStringLiteral("2010-01-02"));
    }

    void ctrlSSavesLikeTheSaveButton()
    {
        MaterialEntry *w = s.open();
        loadId(w, QStringLiteral("BLK-01"));
        drive::type(w->txtDesc, QStringLiteral("Black vinyl"));
        QVERIFY(QTest::qWaitForWindowActive(w->window()));
        QTest::keyClick(w->txtDesc, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(!s.windowOpen());
        QCOMPARE(s.rows(QStringLiteral("BLK-01"))[0].text("Description"), QStringLiteral("Black vinyl"));
    }

    void newMaterialIsDatedWithoutTime()
    {
        MaterialEntry *w = s.open();
        loadId(w, QStringLiteral("BLK-01"));
        loadId(w, QStringLiteral("RED-07"));
        QCOMPARE(w->txtDesc->text(), QString());
        QCOMPARE(w->cmbStatus->currentText(), QStringLiteral("Active")); // a new material is active
        QCOMPARE(w->cmbType->currentIndex(), -1);
        drive::type(w->txtDesc, QStringLiteral("Red hide"));
        drive::focus(w->cmbType);
        w->cmbType->setCurrentIndex(0);
        drive::click(w->btnSave);
        const RowSet rows = s.rows(QStringLiteral("RED-07"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].text("Type"), QStringLiteral("Leather"));
        QCOMPARE(rows[0].text("DateAdded"), QStringLiteral("2010-05-14"));
    }

    void changedIdMakesANewMaterial()
    {
        MaterialEntry *w = s.open();
        loadId(w, QStringLiteral("BLK-01"));
        drive::type(w->txtDesc, QStringLiteral("Renamed"));
        w->txtID->setText(QStringLiteral("BLK-02")); // changed without leaving the field
        drive::click(w->btnSave);
        QCOMPARE(s.rows(QStringLiteral("BLK-02")).size(), 1);
        QCOMPARE(s.rows(QStringLiteral("BLK-01"))[0].text("Description"), QStringLiteral("BLK-01 hide"));
    }

    void requiredFields_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("desc");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("focused"); // the first empty field
        QTest::newRow("id") << ""
                            << "Red" << 0 << 0 << "txtID";
        QTest::newRow("description") << "RED"
                                     << "" << 0 << 0 << "txtDesc";
        QTest::newRow("status") << "RED"
                                << "Red" << -1 << 0 << "cmbStatus";
        QTest::newRow("type") << "RED"
                              << "Red" << 0 << -1 << "cmbType";
        QTest::newRow("description and type") << "RED"
                                              << "" << 0 << -1 << "txtDesc";
    }
    void requiredFields()
    {
        QFETCH(QString, id);
        QFETCH(QString, desc);
        QFETCH(int, status);
        QFETCH(int, type);
        QFETCH(QString, focused);
        MaterialEntry *w = s.open();
        loadId(w, id);
        drive::type(w->txtDesc, desc);
        drive::focus(w->cmbStatus);
        w->cmbStatus->setCurrentIndex(status);
        w->cmbType->setCurrentIndex(type);
        drive::click(w->btnSave);
        QCOMPARE(drive::shownTexts(), QStringList{"ID, Description, Status, and Type are required."});
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Required Fields"));
        QVERIFY(s.windowOpen());
        QCOMPARE(s.count(), 1);
        QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(),
                     focused);
    }

    void unlistedStoredValuesShowNothing()
    {
        s.db().exec(QStringLiteral("UPDATE Material SET Status = NULL, Type = 'Cloth'"));
        MaterialEntry *w = s.open();
        loadId(w, QStringLiteral("BLK-01"));
        QCOMPARE(w->cmbStatus->currentIndex(), -1);
        QCOMPARE(w->cmbType->currentIndex(), -1);
    }

    void idWithQuote()
    {
        MaterialEntry *w = s.open();
        loadId(w, QStringLiteral("D'ARCY 2"));
        drive::type(w->txtDesc, QStringLiteral("Tan"));
        drive::focus(w->cmbStatus);
        w->cmbStatus->setCurrentIndex(0);
        w->cmbType->setCurrentIndex(2);
        drive::click(w->btnSave);
        QCOMPARE(s.rows(QStringLiteral("D'ARCY 2")).size(), 1);
        w = s.open();
        loadId(w, QStringLiteral("D'ARCY 2"));
        QCOMPARE(w->cmbType->currentText(), QStringLiteral("Kit"));
    }
};

QTEST_MAIN(TestMaterialEntry)
#include "tst_materialentry.moc"
