#include "shipping/Shipment.h"

#include "core/Clock.h"
#include "core/SharedRoutines.h"
#include "shipping/ShipmentData.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/Grid.h"
#include "ui/MessageBox.h"
#include "ui/Notices.h"
#include "ui/Printing.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using namespace entry;

namespace {

enum Col
{
    ColCustomer,
    ColOrderNumber,
    ColItem,
    ColOrdered,
    ColShipped,
    ColBox,
    ColOrderID,
    ColLineItem
};

QString number(qint64 v)
{
    return QString::number(v);
}

} // namespace

Shipment::Shipment(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Shipment Selection"));
    cmbCustomer = makeList(this, QStringLiteral("cmbCustomer"), {});
    cmbOrders = makeList(this, QStringLiteral("cmbOrders"), {});
    cmbOrderID = makeList(this, QStringLiteral("cmbOrderID"), {});
    cmbItems = makeList(this, QStringLiteral("cmbItems"), {});
    cmbItemID = makeList(this, QStringLiteral("cmbItemID"), {});
    cmbOrderID->hide();
    cmbItemID->hide();
    for (QComboBox *list : {cmbCustomer, cmbOrders, cmbItems}) {
        installTypeAhead(list);
        list->setMinimumWidth(200);
    }
    txtOrdered = displayBox(QStringLiteral("txtOrdered"), this);
    txtCut = displayBox(QStringLiteral("txtCut"), this);
    txtShipped = displayBox(QStringLiteral("txtShipped"), this);
    txtAvailable = displayBox(QStringLiteral("txtAvailable"), this);
    txtShip = makeText(this, QStringLiteral("txtShip"));
    txtBox = makeText(this, QStringLiteral("txtBox"));
    txtID = makeText(this, QStringLiteral("txtID"));
    dtDate = datePicker(QStringLiteral("dtDate"), this);
    txtTotalSets = displayBox(QStringLiteral("txtTotalSets"), this);
    btnAdd = commandButton(QStringLiteral("btnAdd"), QStringLiteral("Add To Shipment"), this);
    btnRemove = commandButton(QStringLiteral("btnRemove"), QStringLiteral("Remove From Shipment"), this);

    vsfgShipment = new Grid(this);
    vsfgShipment->setSortable(true);
    vsfgShipment->setObjectName(QStringLiteral("vsfgShipment"));
    vsfgShipment->setColumns(
        {GridColumn::text(QStringLiteral("Customer")), GridColumn::text(QStringLiteral("Order Number")),
         GridColumn::text(QStringLiteral("Item")), GridColumn::whole(QStringLiteral("Qty Ordered")),
         GridColumn::whole(QStringLiteral("Qty Shipped")), GridColumn::text(QStringLiteral("Box No.")),
         GridColumn::whole(QStringLiteral("Order ID")), GridColumn::whole(QStringLiteral("Line Item"))});

    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    addRow(grid, 0, 0, QStringLiteral("Customer"), cmbCustomer);
    addRow(grid, 1, 0, QStringLiteral("Order"), cmbOrders);
    addRow(grid, 2, 0, QStringLiteral("Line Item"), cmbItems);
    addRow(grid, 3, 0, QStringLiteral("This Shipment"), txtShip);
    addRow(grid, 4, 0, QStringLiteral("Box No."), txtBox);
    addRow(grid, 0, 2, QStringLiteral("Shipment ID"), txtID);
    addRow(grid, 1, 2, QStringLiteral("Date"), dtDate);
    addRow(grid, 2, 2, QStringLiteral("Qty Ordered"), txtOrdered);
    addRow(grid, 3, 2, QStringLiteral("Qty Cut"), txtCut);
    addRow(grid, 4, 2, QStringLiteral("Qty Shipped"), txtShipped);
    addRow(grid, 5, 2, QStringLiteral("Available to Ship"), txtAvailable);
    auto *adding = new QHBoxLayout;
    adding->addWidget(btnAdd);
    adding->addWidget(btnRemove);
    adding->addStretch(1);
    grid->addLayout(adding, 5, 0, 1, 2);
    grid->addWidget(vsfgShipment, 6, 0, 1, 4);
    grid->setRowStretch(6, 1);
    addRow(grid, 7, 2, QStringLiteral("Total Sets This Shipment"), txtTotalSets);
    const SaveExit se = addSaveExit(this, grid, 8, 4);
    btnSave = se.save;
    btnExit = se.exit;
    chainTabOrder({txtID, dtDate, cmbCustomer, cmbOrders, cmbItems, txtShip, txtBox, btnAdd, btnRemove,
                   vsfgShipment, btnSave, btnExit});
    resize(584, 454); // 8760 x 6805 twips

    guarded(this, [&] { cmbCustomer->addItems(ActiveCustomerNames()); });
    cmbCustomer->setCurrentIndex(-1);
    dtDate->setDate(Clock::today());
    FormatShipmentGrid();

    connect(cmbCustomer, &QComboBox::currentIndexChanged, this, &Shipment::customerChosen);
    connect(cmbOrders, &QComboBox::currentIndexChanged, this, &Shipment::orderChosen);
    connect(cmbItems, &QComboBox::currentIndexChanged, this, &Shipment::lineChosen);
    onLeave(this, txtID, [this] { return LoadShipment(); });
    connect(btnAdd, &QPushButton::clicked, this, &Shipment::AddToShipment);
    connect(btnRemove, &QPushButton::clicked, this, &Shipment::RemoveFromShipment);
    connect(btnSave, &QPushButton::clicked, this, &Shipment::Save);
    txtID->setFocus();
}

void Shipment::FormatShipmentGrid()
{
    vsfgShipment->setColumnHidden(ColOrderID, true);
    vsfgShipment->setColumnHidden(ColLineItem, true);
    vsfgShipment->autoSize();
    qint64 total = 0;
    for (int r = 0; r < vsfgShipment->rowCount(); ++r)
        total += vsfgShipment->value(r, ColShipped).toLongLong();
    txtTotalSets->setText(number(total));
}

std::vector<shipping::ShipmentLine> Shipment::lines() const
{
    std::vector<shipping::ShipmentLine> out;
    const Grid *g = vsfgShipment;
    for (int r = 0; r < g->rowCount(); ++r)
        out.push_back({g->text(r, ColCustomer), g->text(r, ColOrderNumber), g->text(r, ColItem),
                       g->value(r, ColOrdered).toLongLong(), g->value(r, ColShipped).toLongLong(),
                       g->text(r, ColBox), g->value(r, ColOrderID).toLongLong(),
                       g->value(r, ColLineItem).toLongLong()});
    return out;
}

void Shipment::clearQuantities()
{
    for (QLineEdit *f : {txtOrdered, txtCut, txtShipped, txtAvailable, txtShip})
        f->clear();
}

void Shipment::clearOrderLists()
{
    const QSignalBlocker a(cmbOrders), b(cmbItems);
    cmbOrders->clear();
    cmbOrderID->clear();
    cmbItems->clear();
    cmbItemID->clear();
}

void Shipment::customerChosen()
{
    const int position = cmbCustomer->currentIndex();
    if (vsfgShipment->rowCount() > 0 && position != m_customerPosition) {
        if (MessageBox::show(
                this,
                QStringLiteral("You cannot include multiple customers on one shipment. Are you sure you "
                               "want to cancel the current shipment?"),
                QStringLiteral("One Customer Per Shipment"), MessageBox::YesNo) != MessageBox::Yes) {
            cmbCustomer->setCurrentIndex(m_customerPosition);
            return;
        }
        vsfgShipment->clearRows();
        txtTotalSets->setText(QStringLiteral("0"));
    }
    if (cmbCustomer->currentText().isEmpty()) {
        clearOrderLists();
        return;
    }
    m_customerPosition = position;
    clearOrderLists();
    clearQuantities();
    guarded(this, [&] {
        const QSignalBlocker block(cmbOrders);
        for (const shipping::OpenOrder &o : shipping::openOrders(cmbCustomer->currentText())) {
            cmbOrders->addItem(o.number);
            cmbOrderID->addItem(number(o.id));
        }
        cmbOrders->setCurrentIndex(-1);
        cmbOrderID->setCurrentIndex(-1);
    });
}

void Shipment::orderChosen()
{
    cmbOrderID->setCurrentIndex(cmbOrders->currentIndex());
    {
        const QSignalBlocker block(cmbItems);
        cmbItems->clear();
        cmbItemID->clear();
    }
    if (cmbOrders->currentText().isEmpty())
        return;
    clearQuantities();
    guarded(this, [&] {
        const QSignalBlocker block(cmbItems);
        for (const shipping::OrderLineChoice &l :
             shipping::orderLines(cmbOrderID->currentText().toLongLong())) {
            cmbItems->addItem(l.text);
            cmbItemID->addItem(number(l.itemNumber));
        }
        cmbItems->setCurrentIndex(-1);
        cmbItemID->setCurrentIndex(-1);
    });
}

void Shipment::lineChosen()
{
    cmbItemID->setCurrentIndex(cmbItems->currentIndex());
    if (cmbItems->currentText().isEmpty() || cmbOrders->currentText().isEmpty())
        return;
    guarded(this, [&] {
        const shipping::Availability a = shipping::availability(
            cmbOrderID->currentText().toLongLong(), cmbItemID->currentText().toLongLong(), m_loaded, lines());
        txtOrdered->setText(number(a.ordered));
        txtCut->setText(number(a.cut));
        txtShipped->setText(number(a.shipped));
        txtAvailable->setText(number(a.available()));
    });
}

void Shipment::AddToShipment()
{
    if (const auto refusal =
            shipping::refuseAdd(cmbCustomer->currentText(), cmbOrders->currentText(), cmbItems->currentText(),
                                txtShip->text(), txtAvailable->text())) {
        showRefusal(this, *refusal);
        return;
    }
    vsfgShipment->addValues({cmbCustomer->currentText(), cmbOrders->currentText(), cmbItems->currentText(),
                             txtOrdered->text().toLongLong(), shipping::shipQuantity(txtShip->text()),
                             txtBox->text(), cmbOrderID->currentText().toLongLong(),
                             cmbItemID->currentText().toLongLong()});
    {
        const QSignalBlocker block(cmbItems);
        cmbItems->setCurrentIndex(-1);
        cmbItemID->setCurrentIndex(-1);
    }
    clearQuantities();
    txtBox->clear();
    cmbItems->setFocus();
    FormatShipmentGrid();
}

void Shipment::RemoveFromShipment()
{
    const int row = vsfgShipment->currentDataRow();
    if (row < 0)
        return;
    const Grid *g = vsfgShipment;
    if (MessageBox::show(
            this,
            QStringLiteral("Are you sure you want to remove %1 sets for %2 Order Number %3 Line Item %4?")
                .arg(g->text(row, ColShipped), g->text(row, ColCustomer), g->text(row, ColOrderNumber),
                     g->text(row, ColItem)),
            QStringLiteral("Delete Confirmation"), MessageBox::YesNo) != MessageBox::Yes)
        return;
    vsfgShipment->removeRow(row);
    FormatShipmentGrid();
}

bool Shipment::LoadShipment()
{
    if (txtID->text().isEmpty() || txtID->isReadOnly())
        return true;
    shipping::Loaded loaded;
    if (!guarded(this, [&] { loaded = shipping::loadShipment(txtID->text()); }))
        return false;
    if (loaded.refusal) {
        showRefusal(this, *loaded.refusal);
        return false;
    }
    // The grid shows the stored shipment and nothing else, so no stored line is saved twice.
    vsfgShipment->clearRows();
    m_loaded = loaded.id;
    m_stamp = loaded.stamp;
    if (loaded.date.isValid())
        dtDate->setDate(loaded.date);
    int position = cmbCustomer->findText(loaded.customer, Qt::MatchExactly);
    if (position < 0) { // an inactive customer keeps its shipments
        cmbCustomer->addItem(loaded.customer);
        position = cmbCustomer->count() - 1;
    }
    cmbCustomer->setCurrentIndex(position);
    customerChosen(); // the same customer chosen again refreshes its orders
    for (const shipping::ShipmentLine &l : loaded.lines)
        vsfgShipment->addValues(
            {l.customer, l.orderNumber, l.itemDesc, l.qtyOrdered, l.qty, l.box, l.orderId, l.lineItem});
    FormatShipmentGrid();
    cmbCustomer->setEnabled(false);
    txtID->setReadOnly(true); // a loaded shipment keeps its ID
    markClean(this);
    return true;
}

void Shipment::Save()
{
    shipping::Saved saved;
    if (!guarded(this, [&] {
            saved = shipping::saveShipment(
                {txtID->text(), dtDate->date(), cmbCustomer->currentText(), lines(), m_stamp});
            if (!saved.refusal)
                m_stamp = shipping::shipmentStamp(saved.id);
        }))
        return;
    if (saved.refusal) {
        showRefusal(this, *saved.refusal);
        return;
    }
    txtID->setText(number(saved.id));
    // Printing follows the commit: what was saved stays saved whatever the printer does.
    guarded(this, [&] {
        printWithConfirmation(
            this, QStringLiteral("Packing Slip %1").arg(saved.id),
            [&] {
                documents::produce(QStringLiteral("crptPackingSlip"),
                                   {{QStringLiteral("shipment"), number(saved.id)}});
            },
            PrintQuestion::PackingSlip, PrintQuestion::Title);
        printWithConfirmation(
            this, QStringLiteral("Invoice %1").arg(saved.invoice),
            [&] {
                documents::produce(QStringLiteral("crptInvoice"),
                                   {{QStringLiteral("shipment"), number(saved.id)},
                                    {QStringLiteral("invoice"), number(saved.invoice)},
                                    {QStringLiteral("due"), saved.dueDate},
                                    {QStringLiteral("terms"), saved.terms}});
            },
            PrintQuestion::Invoice, PrintQuestion::Title);
    });
    closeSaved(this, QStringLiteral("Shipment %1 and invoice %2 saved.").arg(saved.id).arg(saved.invoice));
}
