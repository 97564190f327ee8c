#pragma once

#include "core/Database.h"
#include "core/Money.h"
#include "core/Refusal.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Money owed and received: payments against invoices and invoices written by hand. Manual and
// automatic invoices take their numbers from the one invoice counter.
namespace receivables {

// An invoice's amount and what is still open on it, or why the number is refused.
struct Balance
{
    qint64 invoice = 0;
    Money amount;
    Money balance;
    QString customer; // billed, shown to check against
    std::optional<Refusal> refusal;
};
Balance lookupInvoice(const QString &invoiceText);

// An invoice with a balance left to pay, as the clerk picks it.
struct OpenInvoice
{
    qint64 invoice = 0;
    QString customer;
    QDate date;
    Money balance;
};
// Newest first.
std::vector<OpenInvoice> openInvoices();
// "781 - Cove - 12/01/2026 - $1,234.56".
QString describe(const OpenInvoice &invoice);

// A payment that is more than the open balance by 0.001 or more is refused; so is text that is
// not an amount. An empty payment is not judged here.
std::optional<Refusal> refuseOverpayment(const QString &paymentText, const QString &balanceText);

// Stores one payment after checking again what the window checked: the invoice exists, the
// amount is a positive number and no more than the balance now stored. Nothing is written on a
// refusal.
std::optional<Refusal> savePayment(const QString &invoiceText, const QDate &date, const QString &amountText);

// Every terms text any customer uses, active or not, once each, sorted.
QStringList termsInUse();

struct ManualInvoice
{
    QString customer;
    QString terms;
    QString amountText;
    QDate invoiceDate;
    QDate dueDate;
};
struct SavedInvoice
{
    qint64 invoice = 0;
    std::optional<Refusal> refusal;
};
SavedInvoice saveManualInvoice(const ManualInvoice &invoice);

} // namespace receivables
