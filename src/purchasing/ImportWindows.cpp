#include "purchasing/ImportWindows.h"

#include "core/Spreadsheet.h"
#include "purchasing/DemandImport.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"
#include "ui/Notices.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kImportTitle = QStringLiteral("Browse For Spreadsheet...");

void printImportLog(qint64 importId)
{
    documents::produce(QStringLiteral("crptImportLogReport"),
                       {{QStringLiteral("import"), QString::number(importId)}});
}

// OK and Cancel at the bottom right; Cancel closes the window.
QPushButton *addButtons(QWidget *form, QGridLayout *grid, int row, int columns, const QString &okName,
                        const QString &okCaption)
{
    auto *ok = entry::commandButton(okName, okCaption);
    ok->setDefault(true);
    auto *cancel = entry::commandButton(QStringLiteral("btnCancel"), QStringLiteral("Cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, row, 0, 1, columns);
    QObject::connect(cancel, &QPushButton::clicked, form, [form] { closeChildWindow(form); });
    return ok;
}

} // namespace

frmImportOrderXLS::frmImportOrderXLS(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(kImportTitle);
    setObjectName(QStringLiteral("frmImportOrderXLS"));
    auto *grid = new QGridLayout(this);
    QStringList names;
    entry::guarded(this, [&] { names = purchasing::activeCustomerNames(); });
    cmbCustomer = entry::makeList(this, QStringLiteral("cmbCustomer"), names);
    cmbCustomer->setMinimumWidth(240);
    installTypeAhead(cmbCustomer);
    SelectedFile = entry::makeText(this, QStringLiteral("SelectedFile"));
    SelectedFile->setMinimumWidth(360);
    auto *browseButton = entry::commandButton(QStringLiteral("btnBrowse"), QStringLiteral("Browse..."));
    grid->addWidget(new QLabel(QStringLiteral("Customer")), 0, 0);
    grid->addWidget(cmbCustomer, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Filename:")), 1, 0);
    grid->addWidget(SelectedFile, 1, 1);
    grid->addWidget(browseButton, 1, 2);
    QPushButton *okButton = addButtons(this, grid, 2, 3, QStringLiteral("btnOK"), QStringLiteral("OK"));
    connect(browseButton, &QPushButton::clicked, this, &frmImportOrderXLS::browse);
    connect(okButton, &QPushButton::clicked, this, &frmImportOrderXLS::ok);
}

void frmImportOrderXLS::browse()
{
    const QString dir = SelectedFile->text().isEmpty() ? QString() : QFileInfo(SelectedFile->text()).absolutePath();
    const QString path = FileDialogs::openFileName(
        this, kImportTitle, dir, QStringLiteral("Spreadsheets (*.xls *.xlsx);;All Files (*)"));
    if (!path.isEmpty())
        SelectedFile->setText(QDir::toNativeSeparators(path));
}

void frmImportOrderXLS::ok()
{
    if (const auto refusal = purchasing::refuseImport(cmbCustomer->currentText(), SelectedFile->text()))
        return entry::showRefusal(this, *refusal, MessageBox::Information);
    const QString path = SelectedFile->text().trimmed();

    purchasing::ImportRun run;
    try {
        BusyPointer busy;
        // The whole sheet is read before anything is written.
        const purchasing::DemandSheet sheet = purchasing::readDemandSheet(path);
        run = purchasing::importDemand(sheet, cmbCustomer->currentText());
    } catch (const SpreadsheetError &e) {
        MessageBox::show(this, e.message() + QStringLiteral("\n\nNothing was imported."), kImportTitle,
                         MessageBox::OkOnly, MessageBox::Exclamation);
        return;
    } catch (const purchasing::ImportFailure &e) {
        MessageBox::show(this, e.message(), kImportTitle, MessageBox::OkOnly, MessageBox::Exclamation);
        return;
    } catch (const DbError &e) {
        entry::showDbError(this, e);
        return;
    }
    entry::guarded(this, [&] { printImportLog(run.importId); });
    closeSaved(this, QStringLiteral("Import %1 saved.").arg(run.importId));
}

frmPrintImportLog::frmPrintImportLog(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Import Log Report"));
    setObjectName(QStringLiteral("frmPrintImportLog"));
    auto *grid = new QGridLayout(this);
    std::vector<purchasing::LoggedRun> runs;
    entry::guarded(this, [&] { runs = purchasing::loggedRuns(); });
    QStringList labels;
    for (const purchasing::LoggedRun &r : runs) {
        labels << r.label;
        m_logIds << r.importId;
    }
    cmbLog = entry::makeList(this, QStringLiteral("cmbLog"), labels);
    cmbLog->setMinimumWidth(220);
    grid->addWidget(new QLabel(QStringLiteral("Select Log:")), 0, 0);
    grid->addWidget(cmbLog, 0, 1);
    QPushButton *printButton =
        addButtons(this, grid, 1, 2, QStringLiteral("btnPrint"), QStringLiteral("Print"));
    connect(printButton, &QPushButton::clicked, this, &frmPrintImportLog::print);
}

void frmPrintImportLog::print()
{
    const int i = cmbLog->currentIndex();
    if (const auto refusal = purchasing::refuseLogChoice(i, m_logIds.size()))
        return entry::showRefusal(this, *refusal);
    if (entry::guarded(this, [&] { printImportLog(m_logIds.at(i)); }))
        closeChildWindow(this);
}
