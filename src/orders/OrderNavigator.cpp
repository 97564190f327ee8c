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

    m_criteriaFrame = new QGroupBox(QStringLiteral("Search Criteria"), this);
    m_criteriaFrame->setObjectName(QStringLiteral("fraSearchCriteria"));
    m_customer = new QComboBox;
    m_customer->setObjectName(QStringLiteral("cmbCustomer"));
    m_customer->setMinimumWidth(180);
    keepListWidth(m_customer);
    m_status = new QComboBox;
    m_status->setObjectName(QStringLiteral("cmbStatus"));
    m_useDate = new QCheckBox(QStringLiteral("Order Date"));
    m_useDate->setObjectName(QStringLiteral("chkOrderDate"));
    m_start = entry::datePicker(QStringLiteral("dtStartDate"));
    m_end = entry::datePicker(QStringLiteral("dtEndDate"));
    for (QDateEdit *d : {m_start, m_end})
        d->setDate(Clock::today());
    m_orderNumber = new QLineEdit;
    m_orderNumber->setObjectName(QStringLiteral("txtOrderNumber"));
    m_orderNumber->setMaxLength(kMaxTextLength);
    auto *findBtn = entry::commandButton(QStringLiteral("btnFind"), QStringLiteral("Find"));
    auto *clearBtn = entry::commandButton(QStringLiteral("btnClear"), QStringLiteral("Clear"));
    auto *addBtn = entry::commandButton(QStringLiteral("btnAddNew"), QStringLiteral("Add New"));
    auto *exitBtn = entry::commandButton(QStringLiteral("btnExit"), QStringLiteral("Exit"));
    findBtn->setDefault(true);
    entry::returnClicks(this, findBtn);

    auto *cg = new QGridLayout(m_criteriaFrame);
    cg->addWidget(new QLabel(QStringLiteral("Customer")), 0, 0);
    cg->addWidget(m_customer, 0, 1, 1, 2);
    cg->addWidget(new QLabel(QStringLiteral("Status")), 0, 3);
    cg->addWidget(m_status, 0, 4);
    cg->addWidget(m_useDate, 1, 0);
    cg->addWidget(m_start, 1, 1);
    cg->addWidget(m_end, 1, 2);
    cg->addWidget(new QLabel(QStringLiteral("Order Number")), 1, 3);
    cg->addWidget(m_orderNumber, 1, 4);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {findBtn, clearBtn, addBtn, exitBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    cg->addLayout(buttons, 2, 0, 1, 5);

    m_ordersFrame = new QGroupBox(QStringLiteral("Orders"), this);
    m_ordersFrame->setObjectName(QStringLiteral("fraOrders"));
    m_orders = new Grid(m_ordersFrame);
    m_orders->setSortable(true);
    m_orders->setObjectName(QStringLiteral("vsfgOrders"));
    m_orders->setColumns(orderColumns());
    m_orders->setAllAlignment(Qt::AlignCenter);
    m_itemsFrame = new QGroupBox(QStringLiteral("Line Items"), this);
    m_itemsFrame->setObjectName(QStringLiteral("fraLineItems"));
    m_items = new Grid(m_itemsFrame);
    m_items->setObjectName(QStringLiteral("vsfgItems"));
    m_items->setAllAlignment(Qt::AlignCenter);

    m_status->addItems({QStringLiteral("Open"), QStringLiteral("Closed"), QStringLiteral("Void")});
    m_status->setCurrentIndex(0);
    entry::guarded(this, [&] { m_customer->addItems(AllCustomerNames()); });
    m_customer->setCurrentIndex(-1);
    emptyItems();

    connect(findBtn, &QPushButton::clicked, this, &OrderNavigator::find);
    connect(clearBtn, &QPushButton::clicked, this, &OrderNavigator::clear);
    connect(addBtn, &QPushButton::clicked, this, &OrderNavigator::addNew);
    connect(exitBtn, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    connect(m_orders, &Grid::currentDataRowChanged, this, &OrderNavigator::orderRowChosen);
    connect(m_orders, &Grid::rowDoubleClicked, this, &OrderNavigator::openOrderAt);

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
    c.customer = m_customer->currentText();
    c.status = m_status->currentText();
    c.useOrderDate = m_useDate->isChecked();
    c.from = m_start->date();
    c.to = m_end->date();
    c.orderNumber = m_orderNumber->text();
    return c;
}

void OrderNavigator::emptyItems()
{
    m_items->setColumns({});
}

void OrderNavigator::UpdateGrids()
{
    BusyPointer busy;
    RowSet rows;
    if (!entry::guarded(this, [&] { rows = orders::findOrders(criteria()); }))
        return;
    m_orders->blockSignals(true); // rows added are not rows moved to
    m_orders->clearRows();
    for (const Row &r : rows) {
        m_orders->addValues({r.text(QStringLiteral("OrderNumber")), r.text(QStringLiteral("Customer")),
                             r.value(QStringLiteral("OrderDate")), r.value(QStringLiteral("DueDate")),
                             r.text(QStringLiteral("Status")),
                             QVariant::fromValue(r.money(QStringLiteral("Total"))), orders::shipToLine(r),
                             r.text(QStringLiteral("ShipToPhone")), r.text(QStringLiteral("ShipToFax")),
                             r.value(QStringLiteral("DateAdded")), r.integer(QStringLiteral("ID"))});
    }
    m_orders->setCurrentCell(-1, -1);
    m_orders->blockSignals(false);
    m_orders->autoSize();
    emptyItems();
}

void OrderNavigator::orderRowChosen(int row)
{
    if (row < 0 || row >= m_orders->rowCount())
        return;
    const qint64 id = m_orders->value(row, OColId).toLongLong();
    m_itemsFrame->setTitle(QStringLiteral("Order ") + m_orders->text(row, OColNumber) +
                           QStringLiteral(" Line Items"));
    m_items->setColumns(itemColumns());
    std::vector<OrderLine> lines;
    entry::guarded(this, [&] { lines = orders::loadOrderLines(id); });
    for (const OrderLine &l : lines)
        m_items->addValues({l.itemNumber, l.qty, l.style, l.material, l.customerRefNo,
                            QVariant::fromValue(l.priceEach), QVariant::fromValue(l.priceExt())});
    m_items->autoSize();
}

void OrderNavigator::clear()
{
    m_status->setCurrentIndex(-1);
    m_customer->setCurrentIndex(-1);
    m_orderNumber->clear();
    m_useDate->setChecked(false);
    UpdateGrids();
    emptyItems();
    m_itemsFrame->setTitle(QStringLiteral("Line Items"));
}

void OrderNavigator::addNew()
{
    host::openChild(QStringLiteral("OrderEntry"), [] { return new OrderEntry; });
}

void OrderNavigator::openOrderAt(int row)
{
    const qint64 id = row >= 0 && row < m_orders->rowCount() ? m_orders->value(row, OColId).toLongLong() : 0;
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
    const int criteriaHeight = m_criteriaFrame->sizeHint().height();
    if (frameWidth > 0) {
        m_criteriaFrame->setGeometry(left, 0, frameWidth, criteriaHeight);
        m_ordersFrame->setGeometry(left, criteriaHeight + px(60), frameWidth, m_ordersFrame->height());
        m_itemsFrame->setGeometry(left, m_itemsFrame->y(), frameWidth, m_itemsFrame->height());
    }
    const int available = h - criteriaHeight - px(650);
    const int ordersHeight = int(available * 0.55);
    if (ordersHeight > 0)
        m_ordersFrame->resize(m_ordersFrame->width(), ordersHeight);
    const int ordersGridHeight = m_ordersFrame->height() - px(700);
    const int gridTop = px(330);
    if (gridWidth > 0)
        m_orders->setGeometry(gridLeft, gridTop, gridWidth, m_orders->height());
    if (ordersGridHeight > 0)
        m_orders->resize(m_orders->width(), ordersGridHeight);

    m_itemsFrame->move(left, m_ordersFrame->y() + m_ordersFrame->height() + px(100));
    const int itemsHeight = int(available * 0.45);
    if (itemsHeight > 0)
        m_itemsFrame->resize(m_itemsFrame->width(), itemsHeight);
    const int itemsGridHeight = m_itemsFrame->height() - px(600);
    if (gridWidth > 0)
        m_items->setGeometry(gridLeft, gridTop, gridWidth, m_items->height());
    if (itemsGridHeight > 0)
        m_items->resize(m_items->width(), itemsGridHeight);
}
