#include "shipping/ReceivableWindows.h"

#include "core/Clock.h"
#include "core/SharedRoutines.h"
#include "production/MasterControls.h"
#include "shipping/ReceivableData.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/MessageBox.h"
#include "ui/MoneyField.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace entry;

namespace {

QDateEdit *todayPicker(QWidget *form, const QString &name)
{
    QDateEdit *d = datePicker(name, form);
    d->setDate(Clock::today());
    return d;
}

MoneyField *moneyField(QWidget *form, const QString &name, int decimals, bool typed)
{
    auto *f = new MoneyField(form, decimals);
    f->setObjectName(name);
    if (typed) {
        selectAllOnEntry(f);
    } else {
        f->setEnabled(false);
        keepTextReadable(f);
    }
    return f;
}

// The request of a period document: both bounds as days.
documents::Request period(const QDateEdit *start, const QDateEdit *end)
{
    return {{QStringLiteral("from"), isoDate(start->date())}, {QStringLiteral("to"), isoDate(end->date())}};
}

// The begin and end date rows of a period request, both today, with Ok and Cancel.
QGridLayout *periodRequest(QWidget *form, QDateEdit *&start, QDateEdit *&end, QPushButton *&ok,
                           QPushButton *&cancel)
{
    start = todayPicker(form, QStringLiteral("dtStart"));
    end = todayPicker(form, QStringLiteral("dtEnd"));
    auto *grid = new QGridLayout(form);
    grid->setColumnStretch(1, 1);
    form->setMinimumWidth(300); // room for the caption
    MasterData::addRow(grid, 0, 0, QStringLiteral("Begin Date"), start);
    MasterData::addRow(grid, 1, 0, QStringLiteral("End Date"), end);
    const OkCancel oc = addOkCancel(form, grid, 2, 2);
    ok = oc.ok;
    cancel = oc.cancel;
    return grid;
}

} // namespace

ReceivePayment::ReceivePayment(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Receive Payments"));
    txtInvoice = makeText(this, QStringLiteral("txtInvoice"));
    txtAmount = moneyField(this, QStringLiteral("txtAmount"), 3, false);
    txtBalance = moneyField(this, QStringLiteral("txtBalance"), 3, false);
    txtPayment = moneyField(this, QStringLiteral("txtPayment"), 3, true);
    dtDate = todayPicker(this, QStringLiteral("dtDate"));
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    MasterData::addRow(grid, 0, 0, QStringLiteral("Invoice Number"), txtInvoice);
    MasterData::addRow(grid, 1, 0, QStringLiteral("Invoice Amount"), txtAmount);
    MasterData::addRow(grid, 2, 0, QStringLiteral("Invoice Balance"), txtBalance);
    MasterData::addRow(grid, 3, 0, QStringLiteral("Payment Amount"), txtPayment);
    MasterData::addRow(grid, 4, 0, QStringLiteral("Date"), dtDate);
    const SaveExit se = addSaveExit(this, grid, 5, 2);
    btnSave = se.save;
    btnExit = se.exit;
    btnSave->setText(QStringLiteral("Save"));
    btnExit->setText(QStringLiteral("Cancel"));
    MasterData::chainTabOrder({txtInvoice, txtPayment, dtDate, btnSave, btnExit});

    onLeave(this, txtInvoice, [this] { return LookupInvoice(); });
    onLeave(this, txtPayment, [this] { return CheckPayment(); });
    connect(btnSave, &QPushButton::clicked, this, &ReceivePayment::Save);
    txtInvoice->setFocus();
}

bool ReceivePayment::LookupInvoice()
{
    if (txtInvoice->text().isEmpty())
        return true;
    receivables::Balance b;
    if (!guarded(this, [&] { b = receivables::lookupInvoice(txtInvoice->text()); }))
        return false;
    if (b.refusal) {
        txtAmount->clearValue();
        txtBalance->clearValue();
        showRefusal(this, *b.refusal);
        return false;
    }
    txtAmount->setValue(b.amount);
    txtBalance->setValue(b.balance);
    return true;
}

bool ReceivePayment::CheckPayment()
{
    if (const auto refusal = receivables::refuseOverpayment(txtPayment->rawText(), txtBalance->rawText())) {
        showRefusal(this, *refusal);
        return false;
    }
    return true;
}

void ReceivePayment::Save()
{
    if (txtPayment->isEmpty())
        return;
    std::optional<Refusal> refusal;
    if (!guarded(this, [&] {
            refusal = receivables::savePayment(txtInvoice->text(), dtDate->date(), txtPayment->rawText());
        }))
        return;
    if (refusal) {
        showRefusal(this, *refusal);
        return;
    }
    txtInvoice->clear();
    txtPayment->clearValue();
    txtAmount->clearValue();
    txtBalance->clearValue();
    txtInvoice->setFocus();
}

frmInvoiceEntry::frmInvoiceEntry(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Manual Invoice Entry"));
    txtInvoiceNo = displayBox(QStringLiteral("txtInvoiceNo"), this);
    dtInvoiceDate = todayPicker(this, QStringLiteral("dtInvoiceDate"));
    dtDueDate = todayPicker(this, QStringLiteral("dtDueDate"));
    cmbCustomer = makeList(this, QStringLiteral("cmbCustomer"), {});
    cmbTerms = makeList(this, QStringLiteral("cmbTerms"), {});
    installTypeAhead(cmbCustomer);
    installTypeAhead(cmbTerms);
    cmbCustomer->setMinimumWidth(220);
    txtAmount = moneyField(this, QStringLiteral("txtAmount"), 2, true);
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    MasterData::addRow(grid, 0, 0, QStringLiteral("Invoice Number"), txtInvoiceNo);
    MasterData::addRow(grid, 1, 0, QStringLiteral("Invoice Date"), dtInvoiceDate);
    MasterData::addRow(grid, 2, 0, QStringLiteral("Due Date"), dtDueDate);
    MasterData::addRow(grid, 3, 0, QStringLiteral("Customer"), cmbCustomer);
    MasterData::addRow(grid, 4, 0, QStringLiteral("Terms"), cmbTerms);
    MasterData::addRow(grid, 5, 0, QStringLiteral("Amount"), txtAmount);
    const SaveExit se = addSaveExit(this, grid, 6, 2);
    btnSave = se.save;
    btnCancel = se.exit;
    btnSave->setText(QStringLiteral("Save and Close"));
    btnCancel->setText(QStringLiteral("Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    MasterData::chainTabOrder(
        {dtInvoiceDate, dtDueDate, cmbCustomer, cmbTerms, txtAmount, btnSave, btnCancel});

    guarded(this, [&] {
        cmbCustomer->addItems(ActiveCustomerNames());
        cmbTerms->addItems(receivables::termsInUse());
    });
    cmbCustomer->setCurrentIndex(-1);
    cmbTerms->setCurrentIndex(-1);
    connect(btnSave, &QPushButton::clicked, this, &frmInvoiceEntry::Save);
    dtInvoiceDate->setFocus();
}

void frmInvoiceEntry::Save()
{
    receivables::SavedInvoice saved;
    if (!guarded(this, [&] {
            saved = receivables::saveManualInvoice({cmbCustomer->currentText(), cmbTerms->currentText(),
                                                    txtAmount->rawText(), dtInvoiceDate->date(),
                                                    dtDueDate->date()});
        }))
        return;
    if (saved.refusal) {
        showRefusal(this, *saved.refusal);
        return;
    }
    txtInvoiceNo->setText(QString::number(saved.invoice));
    MessageBox::show(this,
                     QStringLiteral("The Invoice Number assigned to this invoice is: %1.").arg(saved.invoice),
                     QStringLiteral("Invoice Number"));
    closeChildWindow(this);
}

frmOpenInvoicesReport::frmOpenInvoicesReport(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Open Invoices Report"));
    setMinimumWidth(300);
    dtDate = todayPicker(this, QStringLiteral("dtDate"));
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    MasterData::addRow(grid, 0, 0, QStringLiteral("As Of"), dtDate);
    const OkCancel oc = addOkCancel(this, grid, 1, 2);
    btnOk = oc.ok;
    btnCancel = oc.cancel;
    btnOk->setText(QStringLiteral("OK"));
    btnOk->setObjectName(QStringLiteral("btnOk"));
    connect(btnOk, &QPushButton::clicked, this, [this] {
        documents::produceAndClose(this, QStringLiteral("crptOpenInvoicesReport"),
                                   {{QStringLiteral("asof"), isoDate(dtDate->date())}});
    });
}

frmARTranReport::frmARTranReport(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("AR Transaction Report"));
    periodRequest(this, dtStart, dtEnd, btnOK, btnCancel);
    connect(btnOK, &QPushButton::clicked, this, [this] {
        documents::produceAndClose(this, QStringLiteral("crptARTranReport"), period(dtStart, dtEnd));
    });
}

frmSalesRegister::frmSalesRegister(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Sales Register Report"));
    periodRequest(this, dtStart, dtEnd, btnOK, btnCancel);
    connect(btnOK, &QPushButton::clicked, this, [this] {
        documents::produceAndClose(this, QStringLiteral("crptSalesRegisterReport"), period(dtStart, dtEnd));
    });
}
