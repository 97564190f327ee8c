#include "orders/OrderNavigator.h"

#include "core/Clock.h"
#include "core/SharedRoutines.h"
#include "orders/OrderEntry.h"
#include "ui/EntryWindow.h"
#include "ui/Grid.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowHost.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

namespace {

// Sizes are kept in twips as the layout rules give them; 15 twips make a pixel on the screen.
int px(double twips)
{
    return int(twips / 15.0 + 0.5);
}

// Inside the main window: wide enough for every column of the orders grid without scrolling
// sideways.
constexpr double kWidth = 14400;

enum OrderColumn
{
    OColNumber,
    OColCustomer,
    OColOrderDate,
    OColDueDate,
    OColStatus,
    OColTotal,
    OColShipTo,
    OColPhone,
    OColFax,
    OColDateAdded,
    OColId
};

QList<GridColumn> orderColumns()
{
    return {
        GridColumn::text(QStringLiteral("Order Number")), GridColumn::text(QStringLiteral("Customer")),
        GridColumn::date(QStringLiteral("Order Date")),   GridColumn::date(QStringLiteral("Due Date")),
        GridColumn::text(QStringLiteral("Status")),       GridColumn::money(QStringLiteral("Total")),
        GridColumn::text(QStringLiteral("Ship To")),      GridColumn::text(QStringLiteral("Ship To Phone")),
        GridColumn::text(QStringLiteral("Ship To Fax")),  GridColumn::date(QStringLiteral("Date Added")),
        GridColumn::whole(QStringLiteral("OrderID"))};
}

QList<GridColumn> itemColumns()
{
    return {GridColumn::whole(QStringLiteral("Item Number")),
            GridColumn::whole(QStringLiteral("Qty")),
            GridColumn::text(QStringLiteral("Style")),
            GridColumn::text(QStringLiteral("Material")),
            GridColumn::text(QStringLiteral("Customer Ref. No.")),
            GridColumn::money(QStringLiteral("Price Each")),
            GridColumn::money(QStringLiteral("Price Ext."))};
}

} // namespace

bool &NavigatorOpen()
{
    static bool open = false;
    return open;
}

OrderNavigator::OrderNavigator(QWidget *parent) : QWidget(parent)
{
    NavigatorOpen() = true;
    setWindowTitle(QStringLiteral("Order Navigator"));

    fraSearchCriteria = new QGroupBox(QStringLiteral("Search Criteria"), this);
    fraSearchCriteria->setObjectName(QStringLiteral("fraSearchCriteria"));
    cmbCustomer = new QComboBox;
    cmbCustomer->setObjectName(QStringLiteral("cmbCustomer"));
    cmbCustomer->setMinimumWidth(180);
    keepListWidth(cmbCustomer);
    cmbStatus = new QComboBox;
    cmbStatus->setObjectName(QStringLiteral("cmbStatus"));
    chkOrderDate = new QCheckBox(QStringLiteral("Order Date"));
    chkOrderDate->setObjectName(QStringLiteral("chkOrderDate"));
    dtStartDate = entry::datePicker(QStringLiteral("dtStartDate"));
    dtEndDate = entry::datePicker(QStringLiteral("dtEndDate"));
    for (QDateEdit *d : {dtStartDate, dtEndDate})
        d->setDate(Clock::today());
    txtOrderNumber = new QLineEdit;
    txtOrderNumber->setObjectName(QStringLiteral("txtOrderNumber"));
    txtOrderNumber->setMaxLength(kMaxTextLength);
    auto *findBtn = entry::commandButton(QStringLiteral("btnFind"), QStringLiteral("Find"));
    auto *clearBtn = entry::commandButton(QStringLiteral("btnClear"), QStringLiteral("Clear"));
    auto *addBtn = entry::commandButton(QStringLiteral("btnAddNew"), QStringLiteral("Add New"));
    auto *exitBtn = entry::commandButton(QStringLiteral("btnExit"), QStringLiteral("Exit"));
    findBtn->setDefault(true);
    entry::returnClicks(this, findBtn);

    auto *cg = new QGridLayout(fraSearchCriteria);
    cg->addWidget(new QLabel(QStringLiteral("Customer")), 0, 0);
    cg->addWidget(cmbCustomer, 0, 1, 1, 2);
    cg->addWidget(new QLabel(QStringLiteral("Status")), 0, 3);
    cg->addWidget(cmbStatus, 0, 4);
    cg->addWidget(chkOrderDate, 1, 0);
    cg->addWidget(dtStartDate, 1, 1);
    cg->addWidget(dtEndDate, 1, 2);
    cg->addWidget(new QLabel(QStringLiteral("Order Number")), 1, 3);
    cg->addWidget(txtOrderNumber, 1, 4);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {findBtn, clearBtn, addBtn, exitBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    cg->addLayout(buttons, 2, 0, 1, 5);

    fraOrders = new QGroupBox(QStringLiteral("Orders"), this);
    fraOrders->setObjectName(QStringLiteral("fraOrders"));
    vsfgOrders = new Grid(fraOrders);
    vsfgOrders->setSortable(true);
    vsfgOrders->setObjectName(QStringLiteral("vsfgOrders"));
    vsfgOrders->setColumns(orderColumns());
    vsfgOrders->setAllAlignment(Qt::AlignCenter);
    fraLineItems = new QGroupBox(QStringLiteral("Line Items"), this);
    fraLineItems->setObjectName(QStringLiteral("fraLineItems"));
    vsfgItems = new Grid(fraLineItems);
    vsfgItems->setObjectName(QStringLiteral("vsfgItems"));
    vsfgItems->setAllAlignment(Qt::AlignCenter);

    cmbStatus->addItems({QStringLiteral("Open"), QStringLiteral("Closed"), QStringLiteral("Void")});
    cmbStatus->setCurrentIndex(0);
    entry::guarded(this, [&] { cmbCustomer->addItems(AllCustomerNames()); });
    cmbCustomer->setCurrentIndex(-1);
    emptyItems();

    connect(findBtn, &QPushButton::clicked, this, &OrderNavigator::find);
    connect(clearBtn, &QPushButton::clicked, this, &OrderNavigator::clear);
    connect(addBtn, &QPushButton::clicked, this, &OrderNavigator::addNew);
    connect(exitBtn, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    connect(vsfgOrders, &Grid::currentDataRowChanged, this, &OrderNavigator::orderRowChosen);
    connect(vsfgOrders, &Grid::rowDoubleClicked, this, &OrderNavigator::openOrderAt);

    resize(px(8805), 600);
    arrange();
}

OrderNavigator::~OrderNavigator()
{
    NavigatorOpen() = false;
}

void OrderNavigator::closeEvent(QCloseEvent *event)
{
    // Closed is gone for the order window, even before the deferred delete.
    QWidget::closeEvent(event);
    if (event->isAccepted())
        NavigatorOpen() = false;
}

OrderCriteria OrderNavigator::criteria() const
{
    OrderCriteria c;
    c.customer = cmbCustomer->currentText();
    c.status = cmbStatus->currentText();
    c.useOrderDate = chkOrderDate->isChecked();
    c.from = dtStartDate->date();
    c.to = dtEndDate->date();
    c.orderNumber = txtOrderNumber->text();
    return c;
}

void OrderNavigator::emptyItems()
{
    vsfgItems->setColumns({});
}

void OrderNavigator::UpdateGrids()
{
    BusyPointer busy;
    RowSet rows;
    if (!entry::guarded(this, [&] { rows = orders::findOrders(criteria()); }))
        return;
    vsfgOrders->blockSignals(true); // rows added are not rows moved to
    vsfgOrders->clearRows();
    for (const Row &r : rows) {
        vsfgOrders->addValues({r.text(QStringLiteral("OrderNumber")), r.text(QStringLiteral("Customer")),
                             r.value(QStringLiteral("OrderDate")), r.value(QStringLiteral("DueDate")),
                             r.text(QStringLiteral("Status")),
                             QVariant::fromValue(r.money(QStringLiteral("Total"))), orders::shipToLine(r),
                             r.text(QStringLiteral("ShipToPhone")), r.text(QStringLiteral("ShipToFax")),
                             r.value(QStringLiteral("DateAdded")), r.integer(QStringLiteral("ID"))});
    }
    vsfgOrders->setCurrentCell(-1, -1);
    vsfgOrders->blockSignals(false);
    vsfgOrders->autoSize();
    emptyItems();
}

void OrderNavigator::orderRowChosen(int row)
{
    if (row < 0 || row >= vsfgOrders->rowCount())
        return;
    const qint64 id = vsfgOrders->value(row, OColId).toLongLong();
    fraLineItems->setTitle(QStringLiteral("Order ") + vsfgOrders->text(row, OColNumber) +
                           QStringLiteral(" Line Items"));
    vsfgItems->setColumns(itemColumns());
    std::vector<OrderLine> lines;
    entry::guarded(this, [&] { lines = orders::loadOrderLines(id); });
    for (const OrderLine &l : lines)
        vsfgItems->addValues({l.itemNumber, l.qty, l.style, l.material, l.customerRefNo,
                            QVariant::fromValue(l.priceEach), QVariant::fromValue(l.priceExt())});
    vsfgItems->autoSize();
}

void OrderNavigator::clear()
{
    cmbStatus->setCurrentIndex(-1);
    cmbCustomer->setCurrentIndex(-1);
    txtOrderNumber->clear();
    chkOrderDate->setChecked(false);
    UpdateGrids();
    emptyItems();
    fraLineItems->setTitle(QStringLiteral("Line Items"));
}

void OrderNavigator::addNew()
{
    host::openChild(QStringLiteral("OrderEntry"), [] { return new OrderEntry; });
}

void OrderNavigator::openOrderAt(int row)
{
    const qint64 id = row >= 0 && row < vsfgOrders->rowCount() ? vsfgOrders->value(row, OColId).toLongLong() : 0;
    auto *w = qobject_cast<OrderEntry *>(
        host::openChild(QStringLiteral("OrderEntry"), [] { return new OrderEntry; }));
    if (w)
        w->OpenOrder(qint32(id));
}

void OrderNavigator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_sized)
        return;
    m_sized = true;
    // Nine tenths of the main window high.
    if (const int frameHeight = host::frameHeight()) {
        const int height = int(frameHeight * 0.9);
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->resize(fitToScreen(this, QSize(px(kWidth), height)));
        else
            resize(px(8805), height);
    }
}

void OrderNavigator::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void OrderNavigator::arrange()
{
    if (isMinimized() || (parentWidget() && parentWidget()->isMinimized()))
        return;
    const int w = width();
    const int h = height();
    const int left = px(60);
    const int frameWidth = w - px(130);
    const int gridWidth = w - px(200);
    const int gridLeft = (frameWidth - gridWidth) / 2;
    const int criteriaHeight = fraSearchCriteria->sizeHint().height();
    if (frameWidth > 0) {
        fraSearchCriteria->setGeometry(left, 0, frameWidth, criteriaHeight);
        fraOrders->setGeometry(left, criteriaHeight + px(60), frameWidth, fraOrders->height());
        fraLineItems->setGeometry(left, fraLineItems->y(), frameWidth, fraLineItems->height());
    }
    const int available = h - criteriaHeight - px(650);
    const int ordersHeight = int(available * 0.55);
    if (ordersHeight > 0)
        fraOrders->resize(fraOrders->width(), ordersHeight);
    const int ordersGridHeight = fraOrders->height() - px(700);
    const int gridTop = px(330);
    if (gridWidth > 0)
        vsfgOrders->setGeometry(gridLeft, gridTop, gridWidth, vsfgOrders->height());
    if (ordersGridHeight > 0)
        vsfgOrders->resize(vsfgOrders->width(), ordersGridHeight);

    fraLineItems->move(left, fraOrders->y() + fraOrders->height() + px(100));
    const int itemsHeight = int(available * 0.45);
    if (itemsHeight > 0)
        fraLineItems->resize(fraLineItems->width(), itemsHeight);
    const int itemsGridHeight = fraLineItems->height() - px(600);
    if (gridWidth > 0)
        vsfgItems->setGeometry(gridLeft, gridTop, gridWidth, vsfgItems->height());
    if (itemsGridHeight > 0)
        vsfgItems->resize(vsfgItems->width(), itemsGridHeight);
}
