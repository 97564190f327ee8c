#pragma once

#include "ui/RequestForm.h"

#include <QWidget>

class MoneyField;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// "Receive Payments": one payment at a time against an invoice, never more than its open
// balance. The window stays open for the next payment.
class ReceivePayment : public QWidget
{
    Q_OBJECT
public:
    explicit ReceivePayment(QWidget *parent = nullptr);

    QComboBox *cmbInvoice = nullptr; // the invoices with a balance; picking one looks it up
    QLineEdit *txtInvoice = nullptr;
    QLineEdit *txtCustomer = nullptr; // billed on the invoice looked up
    MoneyField *txtAmount = nullptr;
    MoneyField *txtBalance = nullptr;
    MoneyField *txtPayment = nullptr;
    QDateEdit *dtDate = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;
    QLabel *lblMessage = nullptr; // what the last save wrote

    // Leaving the invoice number: shows the invoice's amount and open balance.
    bool LookupInvoice();
    // Leaving the payment: no more than the balance.
    bool CheckPayment();
    void Save();
};

// "Manual Invoice Entry": an invoice not tied to a shipment; the number it was given is
// announced before the window closes.
class frmInvoiceEntry : public QWidget
{
    Q_OBJECT
public:
    explicit frmInvoiceEntry(QWidget *parent = nullptr);

    QLineEdit *txtInvoiceNo = nullptr;
    QDateEdit *dtInvoiceDate = nullptr;
    QDateEdit *dtDueDate = nullptr;
    QComboBox *cmbCustomer = nullptr;
    QComboBox *cmbTerms = nullptr;
    MoneyField *txtAmount = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnCancel = nullptr;

    void Save();
};

// "Open Invoices Report": open invoices as of one day.
class frmOpenInvoicesReport : public AsOfRequestForm
{
    Q_OBJECT
public:
    explicit frmOpenInvoicesReport(QWidget *parent = nullptr);

protected:
    void produce() override;
};

// "AR Transaction Report": invoices and payments of a period.
class frmARTranReport : public PeriodRequestForm
{
    Q_OBJECT
public:
    explicit frmARTranReport(QWidget *parent = nullptr);

protected:
    void produce() override;
};

// "Sales Register Report": each invoice's sales of a period split into cutting, sewing, vinyl
// and kit value.
class frmSalesRegister : public PeriodRequestForm
{
    Q_OBJECT
public:
    explicit frmSalesRegister(QWidget *parent = nullptr);

protected:
    void produce() override;
};
