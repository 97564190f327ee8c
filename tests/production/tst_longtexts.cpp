#include "WindowDriver.h"
#include "orders/OrderEntry.h"
#include "orders/OrderNavigator.h"
#include "production/CustomerEntry.h"
#include "production/SetEntry.h"
#include "ui/Widgets.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>

#include <functional>

// A name far longer than any column of the system holds must not widen a window.
class TestLongTexts : public QObject
{
    Q_OBJECT
private:
    static QWidget *openWindow(const QString &which)
    {
        if (which == u"CustomerEntry")
            return drive::open<CustomerEntry>(which);
        if (which == u"SetEntry")
            return drive::open<SetEntry>(which);
        if (which == u"OrderEntry")
            return drive::open<OrderEntry>(which);
        return drive::open<OrderNavigator>(which);
    }
    static QSize sizeOf(const QString &which)
    {
        QWidget *w = openWindow(which);
        const QSize size = w->frameGeometry().size();
        drive::closeIfOpen(w);
        return size;
    }

private Q_SLOTS:
    void windowsKeepTheirSize_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *w : {"CustomerEntry", "SetEntry", "OrderEntry", "OrderNavigator"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }

    void windowsKeepTheirSize()
    {
        QFETCH(QString, window);
        TestDatabase t;
        t.addCustomer(QStringLiteral("Bolt Marine"));
        const QSize before = sizeOf(window);

        const QString longName = QStringLiteral("Upholstery ").repeated(46).left(500);
        t.addCustomer(longName);
        QWidget *w = openWindow(window);
        QCOMPARE(w->frameGeometry().size(), before);
        const QRect screen = w->screen()->availableGeometry();
        QVERIFY(w->frameGeometry().width() <= screen.width());

        // Every list holding the name elides it and keeps its popup within half the screen.
        bool found = false;
        for (QComboBox *combo : w->findChildren<QComboBox *>()) {
            if (combo->findText(longName) < 0)
                continue;
            found = true;
            QCOMPARE(combo->view()->textElideMode(), Qt::ElideRight);
            QVERIFY(combo->view()->parentWidget()->maximumWidth() <= screen.width() / 2);
        }
        QVERIFY(found);
        drive::closeIfOpen(w);
    }

    void textBoxesTakeAtMost255Characters()
    {
        TestDatabase t;
        auto *w = drive::open<CustomerEntry>(QStringLiteral("CustomerEntry"));
        drive::type(w->txtAddress1, QString(300, u'a'));
        QCOMPARE(w->txtAddress1->text().size(), 255);
        drive::type(w->cmbCustomer, QString(300, u'n'));
        QCOMPARE(w->cmbCustomer->currentText().size(), 255);
        drive::closeIfOpen(w);
    }

    void fitToScreenNeverExceedsTheScreen()
    {
        QWidget w;
        const QSize screen = w.screen()->availableGeometry().size();
        QCOMPARE(fitToScreen(&w, screen + QSize(300, 200)), screen);
        QCOMPARE(fitToScreen(&w, QSize(300, 200)), QSize(300, 200));
    }
};

QTEST_MAIN(TestLongTexts)
#include "tst_longtexts.moc"
