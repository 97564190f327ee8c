#include "inventory/InventoryValueAdjust.h"

#include "core/Clock.h"

#include "inventory/InventoryData.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/Grid.h"
#include "ui/MessageBox.h"
#include "ui/Notices.h"
#include "ui/Printing.h"
#include "ui/Widgets.h"

#include <QGridLayout>
#include <QPushButton>

using namespace entry;

InventoryValueAdjust::InventoryValueAdjust(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Inventory Value Adjust"));
    vsfgAdj = new Grid(this);
    vsfgAdj->setObjectName(QStringLiteral("vsfgAdj"));
    vsfgAdj->setMinimumSize(640, 360);
    auto *grid = new QGridLayout(this);
    grid->addWidget(vsfgAdj, 0, 0);
    const SaveExit buttons = addSaveExit(this, grid, 1, 1);
    btnSave = buttons.save;
    btnExit = buttons.exit;

    vsfgAdj->setEditGate([](int, int column) { return column == ColNewPrice; });
    connect(vsfgAdj, &Grid::cellEdited, this, [this](int row, int column) { checkEdit(row, column); });
    connect(btnSave, &QPushButton::clicked, this, &InventoryValueAdjust::Save);
    FillGrid();
}

void InventoryValueAdjust::FillGrid()
{
    std::vector<inventory::ValueLine> lines;
    if (!guarded(this, [&] { lines = inventory::itemValues(); }))
        return;
    QList<GridColumn> columns;
    for (const char *h : {"Material", "Description", "Status", "Type", "Avg Price", "New Price"})
        columns << GridColumn::text(QString::fromLatin1(h));
    columns[ColAvgPrice].format = QStringLiteral("$#,###.##");
    columns[ColNewPrice].format = QStringLiteral("$#,###.##");
    vsfgAdj->setColumns(columns);
    for (int c = 1; c <= ColNewPrice; ++c)
        vsfgAdj->setColumnAlignment(c, Qt::AlignCenter);
    for (const inventory::ValueLine &l : lines)
        vsfgAdj->addRow({l.material, l.description, l.status, l.type, l.price.toPlainString(), QString()});
    vsfgAdj->autoSize();
}

void InventoryValueAdjust::checkEdit(int row, int column)
{
    if (column != ColNewPrice)
        return;
    if (const auto refusal = inventory::refuseNewPrice(vsfgAdj->text(row, column))) {
        vsfgAdj->setText(row, column, QStringLiteral("0.00"));
        showRefusal(this, *refusal);
    }
    vsfgAdj->autoSize();
}

void InventoryValueAdjust::Save()
{
    std::vector<inventory::NewPrice> prices;
    for (int r = 0; r < vsfgAdj->rowCount(); ++r) {
        if (!vsfgAdj->text(r, ColNewPrice).isEmpty())
            prices.push_back({vsfgAdj->text(r, 0), vsfgAdj->text(r, ColNewPrice), vsfgAdj->text(r, ColAvgPrice)});
    }
    if (!guarded(this, [&] { inventory::saveItemValues(prices); }))
        return;
    // The whole grid is the shop's record of the values, changed or not.
    printWithConfirmation(
        this, QStringLiteral("Item Values %1").arg(Clock::today().toString(Qt::ISODate)),
        [this] { vsfgAdj->print(QString(), QPageLayout::Portrait, true); }, PrintQuestion::Inventory,
        PrintQuestion::Title);
    closeSaved(this, QStringLiteral("Item values saved."));
}

void ResetPrice(QWidget *parent)
{
    if (MessageBox::show(parent, inventory::resetQuestion(), QStringLiteral("Confirmation"),
                         MessageBox::YesNo) != MessageBox::Yes)
        return;
    guarded(parent, [] {
        BusyPointer busy;
        inventory::resetItemPrices();
    });
}
