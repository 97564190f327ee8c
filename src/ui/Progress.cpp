#include "ui/Progress.h"

#include "core/schema/Schema.h"

#include <QApplication>
#include <QLocale>
#include <QProgressDialog>

namespace {

// Often enough to keep the windows painted, seldom enough to cost little against a page.
constexpr int kEventsEveryMs = 100;

} // namespace

QString groupedNumber(int n)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(n);
}

Progress::Progress(QWidget *parent, const QString &title, const QString &what)
    : m_dialog(std::make_unique<QProgressDialog>(what, QStringLiteral("Cancel"), 0, 1, parent)), m_what(what)
{
    m_dialog->setObjectName(QStringLiteral("pageProgress"));
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(500);
    m_dialog->setMinimumWidth(360);
    m_dialog->setValue(0);
    m_sinceEvents.start();
}

Progress::~Progress()
{
    if (m_cursorPushed)
        QApplication::restoreOverrideCursor();
}

bool Progress::step(int done, int total)
{
    if (m_dialog->wasCanceled())
        return false;
    // The first page always lets events through, so a short job can still be cancelled.
    if (done > 1 && done < total && m_sinceEvents.elapsed() < kEventsEveryMs)
        return true;
    m_dialog->setMaximum(total);
    m_dialog->setLabelText(
        QStringLiteral("%1\n\nPage %2 of %3").arg(m_what, groupedNumber(done), groupedNumber(total)));
    m_dialog->setValue(done);
    const bool shown = m_dialog->isVisible();
    if (shown && !m_cursorPushed) {
        // The caller's hourglass would hide that Cancel can be clicked.
        QApplication::setOverrideCursor(Qt::BusyCursor);
        m_cursorPushed = true;
    }
    QCoreApplication::processEvents(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    m_sinceEvents.restart();
    return !m_dialog->wasCanceled();
}

bool Progress::wasCancelled() const
{
    return m_dialog->wasCanceled();
}

void showSchemaUpgradeProgress()
{
    schema::setUpgradeProgress([](int done, int total) {
        static std::unique_ptr<QProgressDialog> box;
        if (done >= total) {
            box.reset();
            return;
        }
        if (!box) {
            // One transaction: there is nothing to cancel half-way.
            box = std::make_unique<QProgressDialog>(
                QStringLiteral("Preparing the database file for this version of the program..."), QString(), 0,
                total);
            box->setObjectName(QStringLiteral("schemaUpgradeProgress"));
            box->setWindowTitle(QStringLiteral("Corvane"));
            box->setCancelButton(nullptr);
            box->setWindowModality(Qt::ApplicationModal);
            box->setMinimumDuration(500);
            box->setValue(0);
        }
        box->setMaximum(total);
        box->setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}
