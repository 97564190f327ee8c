#include "shipping/ReceivableWindows.h"

#include "core/SharedRoutines.h"
#include "shipping/ReceivableData.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/MessageBox.h"
#include "ui/MoneyField.h"
#include "ui/Notices.h"
#include "ui/PickList.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace entry;

namespace {

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

constexpr int kCaptionRoom = 300; // the request windows are no narrower than their caption

request::Description periodRequest(const QString &caption)
{
    return {.caption = caption,
            .inputs = {request::period(QStringLiteral("Begin Date"))},
            .minimumWidth = kCaptionRoom};
}

} // namespace

ReceivePayment::ReceivePayment(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Receive Payments"));
    cmbInvoice = makePickList(this, QStringLiteral("cmbInvoice"), [this](QComboBox *list) {
        guarded(this, [&] {
            for (const receivables::OpenInvoice &i : receivables::openInvoices())
                list->addItem(receivables::describe(i), i.invoice);
        });
    });
    cmbInvoice->setMinimumWidth(320);
    txtInvoice = makeText(this, QStringLiteral("txtInvoice"));
    txtCustomer = displayBox(QStringLiteral("txtCustomer"), this);
    txtAmount = moneyField(this, QStringLiteral("txtAmount"), 3, false);
    txtBalance = moneyField(this, QStringLiteral("txtBalance"), 3, false);
    txtPayment = moneyField(this, QStringLiteral("txtPayment"), 3, true);
    dtDate = todayPicker(QStringLiteral("dtDate"), this);
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    addRow(grid, 0, 0, QStringLiteral("Open Invoice"), cmbInvoice);
    addRow(grid, 1, 0, QStringLiteral("Invoice Number"), txtInvoice);
    addRow(grid, 2, 0, QStringLiteral("Customer"), txtCustomer);
    addRow(grid, 3, 0, QStringLiteral("Invoice Amount"), txtAmount);
    addRow(grid, 4, 0, QStringLiteral("Invoice Balance"), txtBalance);
    addRow(grid, 5, 0, QStringLiteral("Payment Amount"), txtPayment);
    addRow(grid, 6, 0, QStringLiteral("Date"), dtDate);
    const SaveExit se = addSaveExit(this, grid, 7, 2);
    lblMessage = makeStatusLine(this);
    grid->addWidget(lblMessage, 8, 0, 1, 2);
    btnSave = se.save;
    btnExit = se.exit;
    btnSave->setText(QStringLiteral("Save"));
    btnExit->setText(QStringLiteral("Cancel"));
    chainTabOrder({cmbInvoice, txtInvoice, txtPayment, dtDate, btnSave, btnExit});

    onLeave(this, txtInvoice, [this] { return LookupInvoice(); });
    onLeave(this, txtPayment, [this] { return CheckPayment(); });
    connect(cmbInvoice, &QComboBox::activated, this, [this](int index) {
        txtInvoice->setText(cmbInvoice->itemData(index).toString());
        LookupInvoice();
    });
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
        txtCustomer->clear();
        txtAmount->clearValue();
        txtBalance->clearValue();
        showRefusal(this, *b.refusal);
        return false;
    }
    txtCustomer->setText(b.customer);
    txtAmount->setValue(b.amount);
    txtBalance->setValue(b.balance);
    markClean(this, {cmbInvoice, txtInvoice, txtCustomer, txtAmount, txtBalance});
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
    lblMessage->setText(QStringLiteral("Payment of %1 on invoice %2 saved.")
                            .arg(txtPayment->valueOrZero().toDisplayString(2), txtInvoice->text().trimmed()));
    cmbInvoice->setCurrentIndex(-1);
    txtInvoice->clear();
    txtCustomer->clear();
    txtPayment->clearValue();
    txtAmount->clearValue();
    txtBalance->clearValue();
    markClean(this);
    txtInvoice->setFocus();
}

frmInvoiceEntry::frmInvoiceEntry(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Manual Invoice Entry"));
    txtInvoiceNo = displayBox(QStringLiteral("txtInvoiceNo"), this);
    dtInvoiceDate = todayPicker(QStringLiteral("dtInvoiceDate"), this);
    dtDueDate = todayPicker(QStringLiteral("dtDueDate"), this);
    cmbCustomer = makeList(this, QStringLiteral("cmbCustomer"), {});
    cmbTerms = makeList(this, QStringLiteral("cmbTerms"), {});
    installTypeAhead(cmbCustomer);
    installTypeAhead(cmbTerms);
    cmbCustomer->setMinimumWidth(220);
    txtAmount = moneyField(this, QStringLiteral("txtAmount"), 2, true);
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    addRow(grid, 0, 0, QStringLiteral("Invoice Number"), txtInvoiceNo);
    addRow(grid, 1, 0, QStringLiteral("Invoice Date"), dtInvoiceDate);
    addRow(grid, 2, 0, QStringLiteral("Due Date"), dtDueDate);
    addRow(grid, 3, 0, QStringLiteral("Customer"), cmbCustomer);
    addRow(grid, 4, 0, QStringLiteral("Terms"), cmbTerms);
    addRow(grid, 5, 0, QStringLiteral("Amount"), txtAmount);
    const SaveExit se = addSaveExit(this, grid, 6, 2);
    btnSave = se.save;
    btnCancel = se.exit;
    btnSave->setText(QStringLiteral("Save and Close"));
    btnCancel->setText(QStringLiteral("Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    chainTabOrder({dtInvoiceDate, dtDueDate, cmbCustomer, cmbTerms, txtAmount, btnSave, btnCancel});

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
    closeSaved(this, QStringLiteral("Invoice %1 saved.").arg(saved.invoice));
}

frmOpenInvoicesReport::frmOpenInvoicesReport(QWidget *parent)
    : AsOfRequestForm({.caption = QStringLiteral("Open Invoices Report"),
                       .inputs = {request::asOf()},
                       .okText = QStringLiteral("OK"),
                       .okName = QStringLiteral("btnOk"),
                       .minimumWidth = kCaptionRoom},
                      parent)
{
}

void frmOpenInvoicesReport::produce()
{
    documents::produce(QStringLiteral("crptOpenInvoicesReport"),
                       {{QStringLiteral("asof"), isoDate(dtDate->date())}});
}

frmARTranReport::frmARTranReport(QWidget *parent)
    : PeriodRequestForm(periodRequest(QStringLiteral("AR Transaction Report")), parent)
{
}

void frmARTranReport::produce()
{
    documents::produce(QStringLiteral("crptARTranReport"), period());
}

frmSalesRegister::frmSalesRegister(QWidget *parent)
    : PeriodRequestForm(periodRequest(QStringLiteral("Sales Register Report")), parent)
{
}

void frmSalesRegister::produce()
{
    documents::produce(QStringLiteral("crptSalesRegisterReport"), period());
}
