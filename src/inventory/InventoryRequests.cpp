#include "inventory/InventoryRequests.h"

#include "core/SharedRoutines.h"
#include "inventory/InventoryReports.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QListWidget>

namespace {

const QString kAllMaterials = QStringLiteral("***All Materials***");

} // namespace

AsOfRequest::AsOfRequest(const QString &title, QWidget *parent)
    : AsOfRequestForm({.caption = title,
                       .inputs = {request::asOf(), request::check(QStringLiteral("chkInActive"),
                                                                  QStringLiteral("Display InActive Items"))},
                       .okText = QStringLiteral("OK"),
                       .okName = QStringLiteral("btnOk")},
                      parent),
      chkInActive(control<QCheckBox>(QStringLiteral("chkInActive")))
{
}

namespace {

QString yesNo(bool yes)
{
    return yes ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

void AsOfRequest::produce()
{
    documents::produce(document(), {{QStringLiteral("asof"), isoDate(dtDate->date())},
                                    {QStringLiteral("inactive"), yesNo(chkInActive->isChecked())}});
}

frmAvailableInventory::frmAvailableInventory(QWidget *parent)
    : AsOfRequest(QStringLiteral("Available Inventory Report"), parent)
{
}

QString frmAvailableInventory::document() const
{
    return QStringLiteral("crptAvailableInventoryReport");
}

frmInventoryValuation::frmInventoryValuation(QWidget *parent)
    : AsOfRequest(QStringLiteral("Inventory Valuation Summary"), parent)
{
}

QString frmInventoryValuation::document() const
{
    return QStringLiteral("crptInventoryValuationReport");
}

frmLeatherHistory::frmLeatherHistory(QWidget *parent)
    : PeriodRequestForm(
          {.caption = QStringLiteral("Material History Report"),
           .inputs = {request::period(QStringLiteral("Begin Date")),
                      request::pick(QStringLiteral("cmbMaterial"), QStringLiteral("Material"), kAllMaterials,
                                    200, inventory::materialIds),
                      // Cut sheets are most of the movements; they are left out only when asked.
                      request::check(QStringLiteral("chkCutsheets"), QStringLiteral("Include Cutsheets"),
                                     true)}},
          parent),
      cmbMaterial(control<QComboBox>(QStringLiteral("cmbMaterial"))),
      chkCutsheets(control<QCheckBox>(QStringLiteral("chkCutsheets")))
{
}

void frmLeatherHistory::produce()
{
    documents::Request request = period();
    request.insert(QStringLiteral("cutsheets"), yesNo(chkCutsheets->isChecked()));
    if (cmbMaterial->currentText() != kAllMaterials)
        request.insert(QStringLiteral("material"), cmbMaterial->currentText());
    documents::produce(QStringLiteral("crptMaterialHistoryReport"), request);
}

frmLeatherSales::frmLeatherSales(QWidget *parent)
    : PeriodRequestForm({.caption = QStringLiteral("Leather Sales Report Options"),
                         .inputs = {request::range(QStringLiteral("Date Range")),
                                    request::choices(QStringLiteral("lstCustomers"),
                                                     QStringLiteral("Select 4 Customers From List Above"),
                                                     QSize(260, 220), ActiveCustomerNames)},
                         .okText = QStringLiteral("OK")},
                        parent),
      lstCustomers(control<QListWidget>(QStringLiteral("lstCustomers")))
{
}

QStringList frmLeatherSales::chosenCustomers() const
{
    QStringList names;
    for (int i = 0; i < lstCustomers->count(); ++i) {
        if (lstCustomers->item(i)->isSelected())
            names << lstCustomers->item(i)->text();
    }
    return names;
}

bool frmLeatherSales::ready()
{
    const auto refusal =
        inventory::refuseSalesRequest(dtStart->date(), dtEnd->date(), int(chosenCustomers().size()));
    if (refusal)
        entry::showRefusal(this, *refusal);
    return !refusal;
}

void frmLeatherSales::produce()
{
    const QStringList customers = chosenCustomers();
    documents::Request request = period();
    for (int i = 0; i < customers.size(); ++i)
        request.insert(QStringLiteral("c%1").arg(i + 1), customers.at(i));
    documents::produce(QStringLiteral("crptLeatherSalesReport"), request);
}
