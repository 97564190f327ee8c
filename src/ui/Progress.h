#pragma once

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// The progress of a long job counted in pages: "Page 120 of 2,000" and a Cancel button, in a
// modal dialog that appears only once the job has lasted half a second. Until then and
// afterwards the windows are kept painted between pages; user input waits until the dialog is
// up, so nothing can change under the job.
class Progress
{
public:
    Progress(QWidget *parent, const QString &title, const QString &what);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    // Reports `done` of `total` pages. False once the user cancelled.
    bool step(int done, int total);
    bool wasCancelled() const;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    QString m_what;
    QElapsedTimer m_sinceEvents;
    bool m_cursorPushed = false;
};

// `n` with thousands separators, as the shop writes numbers ("2,000").
QString groupedNumber(int n);

// Shows a progress box while a database file opened by this process is brought up to the
// schema, once that has lasted half a second.
void showSchemaUpgradeProgress();
