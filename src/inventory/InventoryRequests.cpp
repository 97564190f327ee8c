#include "inventory/InventoryRequests.h"

#include "core/Clock.h"
#include "core/SharedRoutines.h"
#include "inventory/InventoryReports.h"
#include "production/MasterControls.h"
#include "ui/EntryWindow.h"
#include "ui/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace entry;

namespace {

const QString kAllMaterials = QStringLiteral("***All Materials***");

QDateEdit *todayPicker(const QString &name, QWidget *form)
{
    QDateEdit *d = datePicker(name, form);
    d->setDate(Clock::today());
    return d;
}

QCheckBox *checkBox(const QString &name, const QString &caption, QWidget *form)
{
    auto *c = new QCheckBox(caption, form);
    c->setObjectName(name);
    return c;
}

QString yesNo(bool yes)
{
    return yes ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

AsOfRequest::AsOfRequest(const QString &title, QWidget *parent) : QWidget(parent)
{
    setWindowTitle(title);
    dtDate = todayPicker(QStringLiteral("dtDate"), this);
    chkInActive = checkBox(QStringLiteral("chkInActive"), QStringLiteral("Display InActive Items"), this);
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    MasterData::addRow(grid, 0, 0, QStringLiteral("As Of"), dtDate);
    grid->addWidget(chkInActive, 1, 1);
    const OkCancel row = addOkCancel(this, grid, 2, 2);
    btnOk = row.ok;
    btnOk->setText(QStringLiteral("OK"));
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = row.cancel;
    MasterData::chainTabOrder({dtDate, chkInActive, btnOk, btnCancel});
    connect(btnOk, &QPushButton::clicked, this, &AsOfRequest::Preview);
}

void AsOfRequest::Preview()
{
    documents::produceAndClose(this, document(),
                               {{QStringLiteral("asof"), isoDate(dtDate->date())},
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

frmLeatherHistory::frmLeatherHistory(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Material History Report"));
    dtStart = todayPicker(QStringLiteral("dtStart"), this);
    dtEnd = todayPicker(QStringLiteral("dtEnd"), this);
    cmbMaterial = makeList(this, QStringLiteral("cmbMaterial"), {kAllMaterials});
    cmbMaterial->setMinimumWidth(200);
    installTypeAhead(cmbMaterial);
    chkCutsheets = checkBox(QStringLiteral("chkCutsheets"), QStringLiteral("Include Cutsheets"), this);
    // Cut sheets are most of the movements; they are left out only when asked.
    chkCutsheets->setChecked(true);
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    MasterData::addRow(grid, 0, 0, QStringLiteral("Begin Date"), dtStart);
    MasterData::addRow(grid, 1, 0, QStringLiteral("End Date"), dtEnd);
    MasterData::addRow(grid, 2, 0, QStringLiteral("Material"), cmbMaterial);
    grid->addWidget(chkCutsheets, 3, 1);
    const OkCancel row = addOkCancel(this, grid, 4, 2);
    btnOK = row.ok;
    btnCancel = row.cancel;
    MasterData::chainTabOrder({dtStart, dtEnd, cmbMaterial, chkCutsheets, btnOK, btnCancel});

    guarded(this, [&] { cmbMaterial->addItems(inventory::materialIds()); });
    cmbMaterial->setCurrentIndex(0);
    connect(btnOK, &QPushButton::clicked, this, &frmLeatherHistory::Preview);
}

void frmLeatherHistory::Preview()
{
    documents::Request request = {{QStringLiteral("from"), isoDate(dtStart->date())},
                                  {QStringLiteral("to"), isoDate(dtEnd->date())},
                                  {QStringLiteral("cutsheets"), yesNo(chkCutsheets->isChecked())}};
    if (cmbMaterial->currentText() != kAllMaterials)
        request.insert(QStringLiteral("material"), cmbMaterial->currentText());
    documents::produceAndClose(this, QStringLiteral("crptMaterialHistoryReport"), request);
}

frmLeatherSales::frmLeatherSales(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Leather Sales Report Options"));
    dtStart = todayPicker(QStringLiteral("dtStart"), this);
    dtEnd = todayPicker(QStringLiteral("dtEnd"), this);
    lstCustomers = new QListWidget(this);
    lstCustomers->setObjectName(QStringLiteral("lstCustomers"));
    lstCustomers->setSelectionMode(QAbstractItemView::MultiSelection);
    lstCustomers->setMinimumSize(260, 220);
    auto *dates = new QHBoxLayout;
    dates->addWidget(dtStart);
    dates->addWidget(dtEnd);
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Date Range"), this), 0, 0);
    grid->addLayout(dates, 0, 1);
    grid->addWidget(lstCustomers, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Select 4 Customers From List Above"), this), 2, 0, 1, 2);
    const OkCancel row = addOkCancel(this, grid, 3, 2);
    btnOK = row.ok;
    btnOK->setText(QStringLiteral("OK"));
    btnCancel = row.cancel;
    MasterData::chainTabOrder({dtStart, dtEnd, lstCustomers, btnOK, btnCancel});

    guarded(this, [&] { lstCustomers->addItems(ActiveCustomerNames()); });
    connect(btnOK, &QPushButton::clicked, this, &frmLeatherSales::Preview);
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

void frmLeatherSales::Preview()
{
    const QStringList customers = chosenCustomers();
    if (const auto refusal =
            inventory::refuseSalesRequest(dtStart->date(), dtEnd->date(), int(customers.size()))) {
        showRefusal(this, *refusal);
        return;
    }
    documents::Request request = {{QStringLiteral("from"), isoDate(dtStart->date())},
                                  {QStringLiteral("to"), isoDate(dtEnd->date())}};
    for (int i = 0; i < customers.size(); ++i)
        request.insert(QStringLiteral("c%1").arg(i + 1), customers.at(i));
    documents::produceAndClose(this, QStringLiteral("crptLeatherSalesReport"), request);
}
