#pragma once

#include "PurchasingTestSupport.h"
#include "WindowDriver.h"
#include "core/ReportJob.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QWidget>

#include <memory>

namespace purchasingtest {

template <typename T> T *control(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// One test's database, captured documents and message boxes; closes the named windows after.
struct WindowSession
{
    std::unique_ptr<TestDatabase> db;
    CapturedReports reports;

    TestDatabase &start()
    {
        db = std::make_unique<TestDatabase>();
        reports = CapturedReports();
        setReportOutput(&reports);
        MessageBox::clearShown();
        return *db;
    }
    void finish(const QStringList &windows)
    {
        for (const QString &name : windows)
            if (QWidget *w = MainWindow::findChildWindow(name))
                w->close();
        flushDeletes();
        setReportOutput(nullptr);
        db.reset();
    }
    // Every document shown or printed, in order of kind.
    QList<ReportJob> documents() const { return reports.previews + reports.prints; }
};

} // namespace purchasingtest
