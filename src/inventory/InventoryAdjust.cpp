#include "inventory/InventoryAdjust.h"

#include "core/Clock.h"
#include "inventory/InventoryData.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/Grid.h"
#include "ui/MoneyField.h"
#include "ui/Notices.h"
#include "ui/Printing.h"
#include "ui/Widgets.h"

#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace entry;

InventoryAdjust::InventoryAdjust(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Inventory Adjust"));

    dtDate = datePicker(QStringLiteral("dtDate"), this);
    txtReason = makeText(this, QStringLiteral("txtReason"));
    // The reason's own rule names the limit when it is passed, so the box does not cut it short.
    txtReason->setMaxLength(32767);
    txtTotal = new MoneyField(this);
    txtTotal->setObjectName(QStringLiteral("txtTotal"));
    txtTotal->setReadOnly(true);
    txtTotal->setFocusPolicy(Qt::NoFocus);
    vsfgAdj = new Grid(this);
    vsfgAdj->setObjectName(QStringLiteral("vsfgAdj"));
    vsfgAdj->setMinimumSize(900, 360);

    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    addRow(grid, 0, 0, QStringLiteral("Date of Adjustment"), dtDate);
    addRow(grid, 1, 0, QStringLiteral("Reason for Adjustment"), txtReason);
    addRow(grid, 2, 0, QStringLiteral("Value of Adjustment"), txtTotal);
    grid->addWidget(vsfgAdj, 3, 0, 1, 2);
    const SaveExit buttons = addSaveExit(this, grid, 4, 2);
    btnSave = buttons.save;
    btnExit = buttons.exit;
    chainTabOrder({dtDate, txtReason, vsfgAdj, btnSave, btnExit});

    dtDate->setDate(Clock::today());
    txtTotal->setRawText(QStringLiteral("0"));
    // Only the quantity and the unit price are typed.
    vsfgAdj->setEditGate([](int, int column) { return column == ColAdjustment || column == ColUnitPrice; });
    connect(vsfgAdj, &Grid::cellEdited, this, [this](int row, int column) { recomputeRow(row, column); });

    // Leaving the date rebuilds the grid, changed or not; when neither the day nor any line has
    // changed since the last fill, the rebuild would read the same stock again, so it is skipped.
    onLeave(this, dtDate, [this] {
        if (dtDate->date() != m_filledFor || !adjustedRows().isEmpty())
            FillAdjustmentGrid();
        return true;
    });
    // The stock of the day is read once the window has been drawn rather than before it is shown:
    // on a shop with years of cut sheets that read takes longer than opening the window itself.
    vsfgAdj->viewport()->installEventFilter(this);
    onLeave(this, txtReason, [this] {
        if (const auto refusal = inventory::refuseReason(txtReason->text())) {
            showRefusal(this, *refusal);
            return false;
        }
        return true;
    });
    connect(btnSave, &QPushButton::clicked, this, &InventoryAdjust::Save);
    dtDate->setFocus();
}

bool InventoryAdjust::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && m_filledFor.isNull() && !m_fillQueued) {
        m_fillQueued = true;
        QTimer::singleShot(0, this, [this] {
            if (m_filledFor.isNull())
                FillAdjustmentGrid();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void InventoryAdjust::FillAdjustmentGrid()
{
    // Years of cut sheets take a noticeable moment to add up.
    const BusyPointer busy;
    std::vector<inventory::StockLine> lines;
    if (!guarded(this, [&] { lines = inventory::stockOnHand(dtDate->date()); }))
        return;
    QList<GridColumn> columns;
    for (const char *h : {"Material", "Description", "Status", "Type", "UoM", "On Hand", "Adjustment",
                          "New Balance", "Unit Price", "Price Ext"})
        columns << GridColumn::text(QString::fromLatin1(h));
    // Typed text is kept as typed (a non-number becomes 0 after the edit), so the money
    // columns stay text columns shown through the money format.
    columns[ColUnitPrice].format = QStringLiteral("$#,###.##");
    columns[ColPriceExt].format = QStringLiteral("$#,###.##");
    vsfgAdj->setColumns(columns);
    for (const inventory::StockLine &l : lines) {
        const QString onHand = inventory::plainNumber(l.onHand);
        vsfgAdj->addRow({l.material, l.description, l.status, l.type, inventory::unitOfMeasure(l.type),
                         onHand, QString(), onHand, l.averagePrice.toPlainString(), QString()});
    }
    vsfgAdj->autoSize();
    m_filledFor = dtDate->date();
    // The stock of the day is loaded, not typed; the reason stays as typed.
    markClean(this, {dtDate, vsfgAdj, txtTotal});
}

void InventoryAdjust::recomputeRow(int row, int column)
{
    if (column != ColAdjustment && column != ColUnitPrice)
        return;
    if (!inventory::isNumeric(vsfgAdj->text(row, column)))
        vsfgAdj->setText(row, column, QStringLiteral("0"));
    const Money adjustment = inventory::cellNumber(vsfgAdj->text(row, ColAdjustment));
    const Money unitPrice = inventory::cellNumber(vsfgAdj->text(row, ColUnitPrice));
    if (column == ColAdjustment) {
        const Money onHand = inventory::cellNumber(vsfgAdj->text(row, ColOnHand));
        vsfgAdj->setText(row, ColNewBalance, (onHand + adjustment).toPlainString());
    }
    vsfgAdj->setText(row, ColPriceExt, unitPrice.times(adjustment).toPlainString());
    UpdateAdjustmentTotal();
}

void InventoryAdjust::UpdateAdjustmentTotal()
{
    vsfgAdj->autoSize();
    Money total;
    for (int r = 0; r < vsfgAdj->rowCount(); ++r)
        total += inventory::cellNumber(vsfgAdj->text(r, ColPriceExt));
    txtTotal->setRawText(total.toPlainString());
}

QList<int> InventoryAdjust::adjustedRows() const
{
    QList<int> rows;
    for (int r = 0; r < vsfgAdj->rowCount(); ++r) {
        if (!vsfgAdj->text(r, ColAdjustment).isEmpty())
            rows << r;
    }
    return rows;
}

QString InventoryAdjust::printTitle() const
{
    return txtReason->text() + QStringLiteral("  -  ") + txtTotal->rawText() + QStringLiteral("  -  ") +
           dtDate->date().toString(Clock::dateFormat());
}

void InventoryAdjust::Save()
{
    const QList<int> rows = adjustedRows();
    if (rows.isEmpty()) {
        closeChildWindow(this);
        return;
    }
    inventory::Adjustment adjustment{dtDate->date(), txtReason->text(), {}};
    for (int r : rows) {
        adjustment.lines.push_back({vsfgAdj->text(r, ColMaterial), vsfgAdj->text(r, ColAdjustment),
                                    vsfgAdj->text(r, ColUnitPrice), vsfgAdj->text(r, ColPriceExt)});
    }
    inventory::SavedAdjustment saved;
    if (!guarded(this, [&] { saved = inventory::saveAdjustment(adjustment); }))
        return;
    if (saved.refusal) {
        showRefusal(this, *saved.refusal);
        return;
    }
    // Written; what remains is the paper copy of the adjusted lines.
    for (int r = 0; r < vsfgAdj->rowCount(); ++r)
        vsfgAdj->setRowHidden(r, !rows.contains(r));
    const QString title = printTitle();
    printWithConfirmation(
        this, QStringLiteral("Inventory Adjustment %1").arg(saved.id),
        [&] { vsfgAdj->print(title, QPageLayout::Landscape, true); }, PrintQuestion::Inventory,
        PrintQuestion::Title);
    closeSaved(this, QStringLiteral("Inventory adjustment %1 saved.").arg(saved.id));
}
