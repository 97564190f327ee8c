#include "orders/OrderEntry.h"

#include "core/Clock.h"
#include "core/PrintToPdf.h"
#include "core/ReportJob.h"
#include "core/SharedRoutines.h"
#include "core/Spreadsheet.h"
#include "orders/OrderNavigator.h"
#include "orders/OrderReports.h"
#include "orders/QuintarWorkbook.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/FileDialogs.h"
#include "ui/Grid.h"
#include "ui/MessageBox.h"
#include "ui/Notices.h"
#include "ui/Printing.h"
#include "ui/Widgets.h"
#include "ui/WindowHost.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QList<GridColumn> itemColumns()
{
    return {GridColumn::whole(QStringLiteral("Item Number")),
            GridColumn::whole(QStringLiteral("Qty")),
            GridColumn::text(QStringLiteral("Customer Ref. No.")),
            GridColumn::text(QStringLiteral("Style")),
            GridColumn::text(QStringLiteral("Material")),
            GridColumn::money(QStringLiteral("Price Each")),
            GridColumn::money(QStringLiteral("Price Ext."))};
}

QVariantList cells(const OrderLine &l)
{
    return {l.itemNumber,
            l.qty,
            l.customerRefNo,
            l.style,
            l.material,
            QVariant::fromValue(l.priceEach),
            QVariant::fromValue(l.priceExt())};
}

} // namespace

OrderEntry::OrderEntry(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Order Entry"));
    buildUi();
    fillCustomers();
    m_orderDate->setDate(Clock::today());
    m_dueDate->setDate(Clock::today());
    m_total = Money();
    m_totalBox->setText(m_total.toDisplayString(2));
    RefreshGrid();
}

void OrderEntry::buildUi()
{
    auto *info = new QGroupBox(QStringLiteral("Order Info"));
    info->setObjectName(QStringLiteral("fraOrderInfo"));
    auto *ig = new QGridLayout(info);

    m_customer = entry::makeList(this, QStringLiteral("cmbCustomer"), {});
    m_customer->setMinimumWidth(200);
    installTypeAhead(m_customer);
    m_orderNumber = new QLineEdit;
    m_orderNumber->setObjectName(QStringLiteral("txtOrderNumber"));
    m_orderNumber->setMaxLength(kMaxTextLength);
    m_orderDate = entry::datePicker(QStringLiteral("dtOrderDate"));
    m_dueDate = entry::datePicker(QStringLiteral("dtDueDate"));
    for (QWidget *w : std::initializer_list<QWidget *>{m_customer, m_orderNumber, m_orderDate, m_dueDate})
        entry::keepTextReadable(w);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setMinimumWidth(60);
    m_id = new QLabel;
    m_id->setObjectName(QStringLiteral("lblID"));
    m_shipTo = entry::displayBox(QStringLiteral("txtShipTo"));
    m_address1 = entry::displayBox(QStringLiteral("txtAddress1"));
    m_address2 = entry::displayBox(QStringLiteral("txtAddress2"));
    m_city = entry::displayBox(QStringLiteral("txtCity"));
    m_state = entry::displayBox(QStringLiteral("txtState"));
    m_state->setMaximumWidth(50);
    m_zip = entry::displayBox(QStringLiteral("txtZip"));
    m_zip->setMaximumWidth(90);
    m_phone = entry::displayBox(QStringLiteral("txtPhone"));
    m_fax = entry::displayBox(QStringLiteral("txtFax"));
    m_xls = entry::commandButton(QStringLiteral("btnXLS"), QStringLiteral("Read Quintar XLS"));

    int r = 0;
    ig->addWidget(new QLabel(QStringLiteral("Customer")), r, 0);
    ig->addWidget(m_customer, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Ship To")), r, 2);
    ig->addWidget(m_shipTo, r, 3, 1, 3);
    ++r;
    ig->addWidget(new QLabel(QStringLiteral("Order Number")), r, 0);
    ig->addWidget(m_orderNumber, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Address 1")), r, 2);
    ig->addWidget(m_address1, r, 3, 1, 3);
    ++r;
    ig->addWidget(new QLabel(QStringLiteral("Order Date")), r, 0);
    ig->addWidget(m_orderDate, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Address 2")), r, 2);
    ig->addWidget(m_address2, r, 3, 1, 3);
    ++r;
    ig->addWidget(new QLabel(QStringLiteral("Due Date")), r, 0);
    ig->addWidget(m_dueDate, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("City/St/Zip")), r, 2);
    ig->addWidget(m_city, r, 3);
    ig->addWidget(m_state, r, 4);
    ig->addWidget(m_zip, r, 5);
    ++r;
    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status);
    statusRow->addStretch();
    // The cut sheet asks for this number, so it is named where it shows.
    auto *idCaption = new QLabel(QStringLiteral("Order ID"));
    idCaption->setObjectName(QStringLiteral("lblIDCaption"));
    statusRow->addWidget(idCaption);
    statusRow->addWidget(m_id);
    ig->addWidget(new QLabel(QStringLiteral("Status")), r, 0);
    ig->addLayout(statusRow, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Ship To Phone")), r, 2);
    ig->addWidget(m_phone, r, 3, 1, 3);
    ++r;
    ig->addWidget(m_xls, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Ship To Fax")), r, 2);
    ig->addWidget(m_fax, r, 3, 1, 3);
    ig->setColumnStretch(3, 1);

    auto *lines = new QGroupBox(QStringLiteral("Line Items"));
    lines->setObjectName(QStringLiteral("fraLineItems"));
    auto *lg = new QGridLayout(lines);
    m_item = new QLabel;
    m_item->setObjectName(QStringLiteral("lblItem"));
    m_item->setMinimumWidth(36);
    m_item->setFrameShape(QFrame::StyledPanel);
    m_qty = entry::makeText(this, QStringLiteral("txtQty"));
    m_qty->setMaximumWidth(60);
    m_refNo = entry::makeText(this, QStringLiteral("txtCustomerRefNo"));
    m_style = entry::displayBox(QStringLiteral("txtStyle"));
    m_material = entry::displayBox(QStringLiteral("txtMaterial"));
    m_priceEach = entry::makeText(this, QStringLiteral("txtPriceEach"));
    m_priceEach->setMaximumWidth(90);
    m_priceExt = new QLabel;
    m_priceExt->setObjectName(QStringLiteral("lblPriceExt"));
    m_priceExt->setMinimumWidth(80);
    m_priceExt->setFrameShape(QFrame::StyledPanel);
    auto *saveItem = entry::commandButton(QStringLiteral("btnSaveItem"), QStringLiteral("Save"));
    auto *deleteItem = entry::commandButton(QStringLiteral("btnDeleteItem"), QStringLiteral("Delete"));
    const QStringList captions = {
        QStringLiteral("Item"),     QStringLiteral("Qty"),      QStringLiteral("Customer Ref. No."),
        QStringLiteral("Style"),    QStringLiteral("Material"), QStringLiteral("Price Each"),
        QStringLiteral("Price Ext")};
    for (int c = 0; c < captions.size(); ++c)
        lg->addWidget(new QLabel(captions.at(c)), 0, c);
    const QList<QWidget *> row = {m_item,      m_qty,      m_refNo,  m_style,   m_material,
                                  m_priceEach, m_priceExt, saveItem, deleteItem};
    for (int c = 0; c < row.size(); ++c)
        lg->addWidget(row.at(c), 1, c);
    m_grid = new Grid;
    m_grid->setObjectName(QStringLiteral("vsfgItems"));
    m_grid->setMinimumSize(680, 220);
    m_grid->setColumns(itemColumns());
    m_grid->setAllAlignment(Qt::AlignCenter);
    lg->addWidget(m_grid, 2, 0, 1, int(row.size()));

    m_totalBox = new QLineEdit;
    m_totalBox->setObjectName(QStringLiteral("lblTotal"));
    m_totalBox->setReadOnly(true);
    m_totalBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_totalBox->setMaximumWidth(130);
    m_totalBox->setFocusPolicy(Qt::NoFocus);
    auto *openBtn = entry::commandButton(QStringLiteral("btnOpenOrder"), QStringLiteral("Open Order"));
    auto *voidBtn = entry::commandButton(QStringLiteral("btnVoidOrder"), QStringLiteral("Void Order"));
    auto *saveBtn = entry::commandButton(QStringLiteral("btnSave"), QStringLiteral("Save and Close"));
    auto *exitBtn = entry::commandButton(QStringLiteral("btnExit"), QStringLiteral("Exit"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Order Total")));
    bottom->addWidget(m_totalBox);
    bottom->addStretch();
    for (QPushButton *b : {openBtn, voidBtn, saveBtn, exitBtn})
        bottom->addWidget(b);
    entry::bindSaveKey(this, saveBtn);
    entry::guardUnsaved(this, saveBtn);
    entry::trackLabel(m_status);

    auto *main = new QVBoxLayout(this);
    main->addWidget(info);
    main->addWidget(lines, 1);
    main->addLayout(bottom);

    entry::onLeave(this, m_orderNumber, [this] {
        orderNumberLeft();
        return true;
    });
    entry::onLeave(this, m_refNo, [this] { return refNoLeft(); });
    for (QLineEdit *e : {m_qty, m_priceEach})
        entry::onLeave(this, e, [this] {
            updatePriceExt();
            return true;
        });
    setTabOrder(m_qty, m_refNo);
    setTabOrder(m_refNo, m_priceEach);
    setTabOrder(m_priceEach, saveItem);

    connect(m_customer, &QComboBox::activated, this, &OrderEntry::customerChosen);
    connect(m_grid, &Grid::currentDataRowChanged, this, &OrderEntry::gridRowChosen);
    connect(saveItem, &QPushButton::clicked, this, &OrderEntry::saveLine);
    connect(deleteItem, &QPushButton::clicked, this, &OrderEntry::deleteLine);
    connect(openBtn, &QPushButton::clicked, this, &OrderEntry::openOrder);
    connect(voidBtn, &QPushButton::clicked, this, &OrderEntry::voidOrder);
    connect(saveBtn, &QPushButton::clicked, this, &OrderEntry::saveAndClose);
    connect(exitBtn, &QPushButton::clicked, this, [this] { exitChildWindow(this); });
    connect(m_xls, &QPushButton::clicked, this, &OrderEntry::readWorkbook);
}

void OrderEntry::fillCustomers()
{
    entry::guarded(this, [&] { m_customer->addItems(ActiveCustomerNames()); });
    m_customer->setCurrentIndex(-1);
}

qint64 OrderEntry::orderId() const
{
    return m_id->text().toLongLong();
}

void OrderEntry::customerChosen(int index)
{
    if (index < 0)
        return;
    entry::guarded(this, [&] {
        setShipTo(orders::customerShipTo(m_customer->itemText(index)).value_or(ShipToAddress{}));
    });
}

void OrderEntry::orderNumberLeft()
{
    const QString number = m_orderNumber->text();
    if (number.isEmpty() || !m_orderNumber->isEnabled())
        return;
    std::optional<Refusal> warning;
    if (entry::guarded(this, [&] { warning = orders::usedOrderNumberWarning(number); }) && warning)
        entry::showRefusal(this, *warning, MessageBox::Exclamation);
}

bool OrderEntry::refNoLeft()
{
    const QString ref = m_refNo->text().trimmed();
    if (ref.isEmpty())
        return true;
    std::optional<SetInfo> set;
    if (!entry::guarded(this, [&] { set = orders::activeSet(ref); }))
        return true;
    if (!set) {
        entry::showRefusal(this, orders::unknownSetRefusal());
        return false;
    }
    if (!set->style.isEmpty())
        m_style->setText(set->style);
    m_material->setText(set->material);
    m_priceEach->setText(set->totalPrice.toPlainString());
    m_storedSetPrice = set->totalPrice;
    updatePriceExt();
    return true;
}

void OrderEntry::updatePriceExt()
{
    const Money qty = orders::leadingNumber(m_qty->text());
    const Money price = orders::leadingNumber(m_priceEach->text());
    m_priceExt->setText(price.times(qty).toPlainString());
}

void OrderEntry::gridRowChosen(int row)
{
    if (row < 0 || row >= int(m_lines.size()))
        return;
    const OrderLine &l = m_lines.at(row);
    m_item->setText(QString::number(l.itemNumber));
    m_qty->setText(QString::number(l.qty));
    m_refNo->setText(l.customerRefNo);
    m_style->setText(l.style);
    m_material->setText(l.material);
    m_priceEach->setText(l.priceEach.toPlainString());
    m_priceExt->setText(l.priceExt().toPlainString());
    // Showing a line for editing changes nothing yet.
    entry::markClean(this, {m_qty, m_refNo, m_style, m_material, m_priceEach});
    m_qty->setFocus();
}

void OrderEntry::clearEntryRow()
{
    for (QLineEdit *e : {m_qty, m_refNo, m_style, m_material, m_priceEach})
        e->clear();
    m_item->clear();
    m_priceExt->clear();
}

void OrderEntry::appendLine(const OrderLine &line)
{
    m_lines.push_back(line);
    m_grid->addValues(cells(line));
}

void OrderEntry::showLines()
{
    m_grid->clearRows();
    for (const OrderLine &l : m_lines)
        m_grid->addValues(cells(l));
    m_grid->autoSize();
}

void OrderEntry::saveLine()
{
    const LineEntry typed{m_item->text().toInt(), m_qty->text(),      m_refNo->text(),
                          m_style->text(),        m_material->text(), m_priceEach->text()};
    LineChange change;
    if (!entry::guarded(this, [&] { change = orders::prepareLine(typed, m_lines); }))
        return;
    if (change.refusal) {
        entry::showRefusal(this, *change.refusal);
        return;
    }
    const OrderLine &line = change.line;
    if (change.row >= 0) {
        m_lines[change.row] = line;
        const QVariantList values = cells(line);
        for (int c = 0; c < values.size(); ++c)
            m_grid->gridModel()->setValue(change.row, c, values.at(c));
    } else {
        m_storedSetPrice = change.set->totalPrice;
        if (change.offerSetPrice &&
            MessageBox::show(this, QStringLiteral("Do you want to save this new price for this item"),
                             QStringLiteral("Price Change"), MessageBox::YesNo) == MessageBox::Yes &&
            !entry::guarded(this,
                            [&] { UpdateSetPrice(line.customerRefNo, m_storedSetPrice, line.priceEach); }))
            return;
        appendLine(line);
    }
    m_grid->autoSize();
    clearEntryRow();
    m_qty->setFocus();
    UpdateTotal();
}

void OrderEntry::deleteLine()
{
    const int row = m_grid->currentDataRow();
    const QString item = m_item->text();
    if (item.isEmpty() || row < 0 || row >= int(m_lines.size()))
        return;
    bool cutsheets = false;
    if (!entry::guarded(
            this, [&] { cutsheets = orderId() != 0 && orders::lineHasCutsheets(orderId(), item.toInt()); }))
        return;
    if (cutsheets) {
        MessageBox::show(this, QStringLiteral("Cutsheets exists for this Line Item. It cannot be deleted."),
                         QStringLiteral("Cannot Delete Line Item"));
        return;
    }
    if (MessageBox::show(this, QStringLiteral("Are you sure you want to delete Line Item ") + item + u'?',
                         QStringLiteral("Delete Confirmation"), MessageBox::YesNo) != MessageBox::Yes)
        return;
    // Later lines keep their numbers: a gap remains.
    m_lines.erase(m_lines.begin() + row);
    m_grid->removeRow(row);
    m_grid->autoSize();
    clearEntryRow();
    m_qty->setFocus();
    UpdateTotal();
}

void OrderEntry::voidOrder()
{
    if (MessageBox::show(this, QStringLiteral("Are you sure you want to void this order?"),
                         QStringLiteral("Void Order Confirmations"), MessageBox::YesNo) == MessageBox::Yes)
        m_status->setText(QStringLiteral("Void"));
}

void OrderEntry::openOrder()
{
    if (MessageBox::show(this, QStringLiteral("Are you sure you want to open this order?"),
                         QStringLiteral("Open Order Confirmations"), MessageBox::YesNo) == MessageBox::Yes)
        m_status->setText(QStringLiteral("Open"));
}

void OrderEntry::UpdateTotal()
{
    m_total = orders::linesTotal(m_lines);
    m_totalBox->setText(m_total.toDisplayString(2));
}

void OrderEntry::saveAndClose()
{
    if (const auto refusal = orders::refuseOrderSave(m_orderNumber->text(), m_customer->currentText())) {
        entry::showRefusal(this, *refusal);
        return;
    }
    UpdateTotal();
    OrderHeader h;
    h.id = orderId();
    h.orderNumber = m_orderNumber->text();
    h.customer = m_customer->currentText();
    h.orderDate = m_orderDate->date();
    h.dueDate = m_dueDate->date();
    h.shipTo = shipTo();
    h.status = m_status->text();
    h.total = m_total;
    h.loaded = m_loaded;
    ReportJob job;
    const bool saved = entry::guarded(this, [&] {
        BusyPointer busy;
        const qint64 id = orders::saveOrder(h, m_lines);
        // Only a committed order has an ID to show.
        m_id->setText(QString::number(id));
        job = orders::orderEntryControlJob(id);
    });
    if (!saved)
        return;
    printWithConfirmation(
        this, QStringLiteral("Order %1").arg(orderId()), [&job] { printReport(job); },
        PrintQuestion::OrderControl, PrintQuestion::OrderControlTitle);
    closeSaved(this, QStringLiteral("Order %1 saved.").arg(orderId()));
}

void OrderEntry::setCustomerText(const QString &name)
{
    int index = m_customer->findText(name, Qt::MatchFixedString);
    if (index < 0 && !name.isEmpty()) {
        // An order of a customer no longer active still shows its customer.
        m_customer->addItem(name);
        index = m_customer->count() - 1;
    }
    m_customer->setCurrentIndex(index);
}

void OrderEntry::setShipTo(const ShipToAddress &s)
{
    m_shipTo->setText(s.shipTo);
    m_address1->setText(s.address1);
    m_address2->setText(s.address2);
    m_city->setText(s.city);
    m_state->setText(s.state);
    m_zip->setText(s.zip);
    m_phone->setText(s.phone);
    m_fax->setText(s.fax);
}

ShipToAddress OrderEntry::shipTo() const
{
    return {m_shipTo->text(), m_address1->text(), m_address2->text(), m_city->text(),
            m_state->text(),  m_zip->text(),      m_phone->text(),    m_fax->text()};
}

void OrderEntry::OpenOrder(qint32 id)
{
    std::optional<OrderHeader> h;
    if (!entry::guarded(this, [&] { h = orders::loadOrder(id); }) || !h)
        return;
    setCustomerText(h->customer);
    m_orderNumber->setText(h->orderNumber);
    m_orderDate->setDate(h->orderDate);
    m_dueDate->setDate(h->dueDate);
    m_status->setText(h->status);
    m_id->setText(QString::number(h->id));
    setShipTo(h->shipTo);
    m_total = h->total;
    m_loaded = h->loaded;
    m_totalBox->setText(m_total.toDisplayString(2));
    for (QWidget *w : std::initializer_list<QWidget *>{m_customer, m_orderNumber, m_orderDate, m_dueDate})
        w->setEnabled(false);
    m_orderDate->setSelectedSection(QDateTimeEdit::NoSection);
    m_dueDate->setSelectedSection(QDateTimeEdit::NoSection);
    clearEntryRow();
    RefreshGrid();
    entry::markClean(this);
}

void OrderEntry::RefreshGrid()
{
    m_lines.clear();
    if (!m_id->text().isEmpty())
        entry::guarded(this, [&] { m_lines = orders::loadOrderLines(orderId()); });
    showLines();
}

void OrderEntry::readWorkbook()
{
    const QString path =
        FileDialogs::openFileName(this, QStringLiteral("Browse For Spreadsheet..."), QString(),
                                  QStringLiteral("Workbooks (*.xls *.xlsx);;All Files (*)"));
    if (path.isEmpty())
        return;
    if (!QFileInfo(path).isFile()) {
        MessageBox::show(this, QStringLiteral("The Selected File Does Not Exist.  Choose Again."),
                         QStringLiteral("Browse For Spreadsheet..."), MessageBox::OkOnly,
                         MessageBox::Information);
        return;
    }
    importWorkbook(path);
}

void OrderEntry::importWorkbook(const QString &path)
{
    const QString title = QStringLiteral("Read Quintar XLS");
    WorkbookOrder o;
    try {
        BusyPointer busy;
        o = orders::readOrderWorkbook(path);
    } catch (const SpreadsheetError &e) {
        MessageBox::show(this, e.message() + QStringLiteral("\n\nNothing was read from it."), title,
                         MessageBox::OkOnly, MessageBox::Exclamation);
        return;
    }

    const QString customer = QStringLiteral("Quintar");
    if (m_customer->findText(customer, Qt::MatchFixedString) >= 0)
        setCustomerText(customer);
    else
        o.problems.prepend(
            QStringLiteral("Quintar is not an active customer; choose the customer before saving."));
    m_status->setText(QStringLiteral("Open"));
    m_orderNumber->setText(o.orderNumber);
    if (o.orderDate)
        m_orderDate->setDate(*o.orderDate);
    if (o.dueDate)
        m_dueDate->setDate(*o.dueDate);
    // The ship-to comes from the workbook, not from the customer record.
    setShipTo(o.shipTo);

    std::vector<ImportStep> steps;
    entry::guarded(this, [&] { steps = orders::importSteps(o, orders::nextLineNumber(m_lines)); });
    for (ImportStep &step : steps) {
        if (!step.line) {
            entry::showRefusal(this, orders::unknownImportRefusal(step.customerRefNo));
            continue;
        }
        if (step.pricesDiffer &&
            MessageBox::show(this, orders::importPriceQuestion(step), orders::importPriceTitle(),
                             MessageBox::YesNo) != MessageBox::Yes)
            step.line->priceEach = step.cataloguePrice;
        appendLine(*step.line);
    }
    m_grid->autoSize();
    UpdateTotal();
    if (!o.problems.isEmpty())
        MessageBox::show(this,
                         QStringLiteral("Some of the workbook could not be read:\n\n") +
                             o.problems.join(u'\n') +
                             QStringLiteral("\n\nCheck these fields and lines before saving the order."),
                         title, MessageBox::OkOnly, MessageBox::Exclamation);
}

void OrderEntry::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && NavigatorOpen()) {
        if (auto *nav = qobject_cast<OrderNavigator *>(host::findChild(QStringLiteral("OrderNavigator"))))
            nav->UpdateGrids();
    }
}
