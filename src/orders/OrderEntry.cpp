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
    dtOrderDate->setDate(Clock::today());
    dtDueDate->setDate(Clock::today());
    m_total = Money();
    lblTotal->setText(m_total.toDisplayString(2));
    RefreshGrid();
}

void OrderEntry::buildUi()
{
    auto *info = new QGroupBox(QStringLiteral("Order Info"));
    info->setObjectName(QStringLiteral("fraOrderInfo"));
    auto *ig = new QGridLayout(info);

    cmbCustomer = entry::makeList(this, QStringLiteral("cmbCustomer"), {});
    cmbCustomer->setMinimumWidth(200);
    installTypeAhead(cmbCustomer);
    txtOrderNumber = new QLineEdit;
    txtOrderNumber->setObjectName(QStringLiteral("txtOrderNumber"));
    txtOrderNumber->setMaxLength(kMaxTextLength);
    dtOrderDate = entry::datePicker(QStringLiteral("dtOrderDate"));
    dtDueDate = entry::datePicker(QStringLiteral("dtDueDate"));
    for (QWidget *w : std::initializer_list<QWidget *>{cmbCustomer, txtOrderNumber, dtOrderDate, dtDueDate})
        entry::keepTextReadable(w);
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumWidth(60);
    lblID = new QLabel;
    lblID->setObjectName(QStringLiteral("lblID"));
    txtShipTo = entry::displayBox(QStringLiteral("txtShipTo"));
    txtAddress1 = entry::displayBox(QStringLiteral("txtAddress1"));
    txtAddress2 = entry::displayBox(QStringLiteral("txtAddress2"));
    txtCity = entry::displayBox(QStringLiteral("txtCity"));
    txtState = entry::displayBox(QStringLiteral("txtState"));
    txtState->setMaximumWidth(50);
    txtZip = entry::displayBox(QStringLiteral("txtZip"));
    txtZip->setMaximumWidth(90);
    txtPhone = entry::displayBox(QStringLiteral("txtPhone"));
    txtFax = entry::displayBox(QStringLiteral("txtFax"));
    btnXLS = entry::commandButton(QStringLiteral("btnXLS"), QStringLiteral("Read Quintar XLS"));

    int r = 0;
    ig->addWidget(new QLabel(QStringLiteral("Customer")), r, 0);
    ig->addWidget(cmbCustomer, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Ship To")), r, 2);
    ig->addWidget(txtShipTo, r, 3, 1, 3);
    ++r;
    ig->addWidget(new QLabel(QStringLiteral("Order Number")), r, 0);
    ig->addWidget(txtOrderNumber, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Address 1")), r, 2);
    ig->addWidget(txtAddress1, r, 3, 1, 3);
    ++r;
    ig->addWidget(new QLabel(QStringLiteral("Order Date")), r, 0);
    ig->addWidget(dtOrderDate, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Address 2")), r, 2);
    ig->addWidget(txtAddress2, r, 3, 1, 3);
    ++r;
    ig->addWidget(new QLabel(QStringLiteral("Due Date")), r, 0);
    ig->addWidget(dtDueDate, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("City/St/Zip")), r, 2);
    ig->addWidget(txtCity, r, 3);
    ig->addWidget(txtState, r, 4);
    ig->addWidget(txtZip, r, 5);
    ++r;
    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(lblStatus);
    statusRow->addStretch();
    // The cut sheet asks for this number, so it is named where it shows.
    auto *idCaption = new QLabel(QStringLiteral("Order ID"));
    idCaption->setObjectName(QStringLiteral("lblIDCaption"));
    statusRow->addWidget(idCaption);
    statusRow->addWidget(lblID);
    ig->addWidget(new QLabel(QStringLiteral("Status")), r, 0);
    ig->addLayout(statusRow, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Ship To Phone")), r, 2);
    ig->addWidget(txtPhone, r, 3, 1, 3);
    ++r;
    ig->addWidget(btnXLS, r, 1);
    ig->addWidget(new QLabel(QStringLiteral("Ship To Fax")), r, 2);
    ig->addWidget(txtFax, r, 3, 1, 3);
    ig->setColumnStretch(3, 1);

    auto *lines = new QGroupBox(QStringLiteral("Line Items"));
    lines->setObjectName(QStringLiteral("fraLineItems"));
    auto *lg = new QGridLayout(lines);
    lblItem = new QLabel;
    lblItem->setObjectName(QStringLiteral("lblItem"));
    lblItem->setMinimumWidth(36);
    lblItem->setFrameShape(QFrame::StyledPanel);
    txtQty = entry::makeText(this, QStringLiteral("txtQty"));
    txtQty->setMaximumWidth(60);
    txtCustomerRefNo = entry::makeText(this, QStringLiteral("txtCustomerRefNo"));
    txtStyle = entry::displayBox(QStringLiteral("txtStyle"));
    txtMaterial = entry::displayBox(QStringLiteral("txtMaterial"));
    txtPriceEach = entry::makeText(this, QStringLiteral("txtPriceEach"));
    txtPriceEach->setMaximumWidth(90);
    lblPriceExt = new QLabel;
    lblPriceExt->setObjectName(QStringLiteral("lblPriceExt"));
    lblPriceExt->setMinimumWidth(80);
    lblPriceExt->setFrameShape(QFrame::StyledPanel);
    auto *saveItem = entry::commandButton(QStringLiteral("btnSaveItem"), QStringLiteral("Save"));
    auto *deleteItem = entry::commandButton(QStringLiteral("btnDeleteItem"), QStringLiteral("Delete"));
    const QStringList captions = {
        QStringLiteral("Item"),     QStringLiteral("Qty"),      QStringLiteral("Customer Ref. No."),
        QStringLiteral("Style"),    QStringLiteral("Material"), QStringLiteral("Price Each"),
        QStringLiteral("Price Ext")};
    for (int c = 0; c < captions.size(); ++c)
        lg->addWidget(new QLabel(captions.at(c)), 0, c);
    const QList<QWidget *> row = {lblItem,      txtQty,      txtCustomerRefNo,  txtStyle,   txtMaterial,
                                  txtPriceEach, lblPriceExt, saveItem, deleteItem};
    for (int c = 0; c < row.size(); ++c)
        lg->addWidget(row.at(c), 1, c);
    vsfgItems = new Grid;
    vsfgItems->setObjectName(QStringLiteral("vsfgItems"));
    vsfgItems->setMinimumSize(680, 220);
    vsfgItems->setColumns(itemColumns());
    vsfgItems->setAllAlignment(Qt::AlignCenter);
    lg->addWidget(vsfgItems, 2, 0, 1, int(row.size()));

    lblTotal = new QLineEdit;
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    lblTotal->setReadOnly(true);
    lblTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTotal->setMaximumWidth(130);
    lblTotal->setFocusPolicy(Qt::NoFocus);
    auto *openBtn = entry::commandButton(QStringLiteral("btnOpenOrder"), QStringLiteral("Open Order"));
    auto *voidBtn = entry::commandButton(QStringLiteral("btnVoidOrder"), QStringLiteral("Void Order"));
    auto *saveBtn = entry::commandButton(QStringLiteral("btnSave"), QStringLiteral("Save and Close"));
    auto *exitBtn = entry::commandButton(QStringLiteral("btnExit"), QStringLiteral("Exit"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Order Total")));
    bottom->addWidget(lblTotal);
    bottom->addStretch();
    for (QPushButton *b : {openBtn, voidBtn, saveBtn, exitBtn})
        bottom->addWidget(b);
    entry::bindSaveKey(this, saveBtn);
    entry::guardUnsaved(this, saveBtn);
    entry::trackLabel(lblStatus);

    auto *main = new QVBoxLayout(this);
    main->addWidget(info);
    main->addWidget(lines, 1);
    main->addLayout(bottom);

    entry::onLeave(this, txtOrderNumber, [this] {
        orderNumberLeft();
        return true;
    });
    entry::onLeave(this, txtCustomerRefNo, [this] { return refNoLeft(); });
    for (QLineEdit *e : {txtQty, txtPriceEach})
        entry::onLeave(this, e, [this] {
            updatePriceExt();
            return true;
        });
    setTabOrder(txtQty, txtCustomerRefNo);
    setTabOrder(txtCustomerRefNo, txtPriceEach);
    setTabOrder(txtPriceEach, saveItem);

    connect(cmbCustomer, &QComboBox::activated, this, &OrderEntry::customerChosen);
    connect(vsfgItems, &Grid::currentDataRowChanged, this, &OrderEntry::gridRowChosen);
    connect(saveItem, &QPushButton::clicked, this, &OrderEntry::saveLine);
    connect(deleteItem, &QPushButton::clicked, this, &OrderEntry::deleteLine);
    connect(openBtn, &QPushButton::clicked, this, &OrderEntry::openOrder);
    connect(voidBtn, &QPushButton::clicked, this, &OrderEntry::voidOrder);
    connect(saveBtn, &QPushButton::clicked, this, &OrderEntry::saveAndClose);
    connect(exitBtn, &QPushButton::clicked, this, [this] { exitChildWindow(this); });
    connect(btnXLS, &QPushButton::clicked, this, &OrderEntry::readWorkbook);
}

void OrderEntry::fillCustomers()
{
    entry::guarded(this, [&] { cmbCustomer->addItems(ActiveCustomerNames()); });
    cmbCustomer->setCurrentIndex(-1);
}

qint64 OrderEntry::orderId() const
{
    return lblID->text().toLongLong();
}

void OrderEntry::customerChosen(int index)
{
    if (index < 0)
        return;
    entry::guarded(this, [&] {
        setShipTo(orders::customerShipTo(cmbCustomer->itemText(index)).value_or(ShipToAddress{}));
    });
}

void OrderEntry::orderNumberLeft()
{
    const QString number = txtOrderNumber->text();
    if (number.isEmpty() || !txtOrderNumber->isEnabled())
        return;
    std::optional<Refusal> warning;
    if (entry::guarded(this, [&] { warning = orders::usedOrderNumberWarning(number); }) && warning)
        entry::showRefusal(this, *warning, MessageBox::Exclamation);
}

bool OrderEntry::refNoLeft()
{
    const QString ref = txtCustomerRefNo->text().trimmed();
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
        txtStyle->setText(set->style);
    txtMaterial->setText(set->material);
    txtPriceEach->setText(set->totalPrice.toPlainString());
    m_storedSetPrice = set->totalPrice;
    updatePriceExt();
    return true;
}

void OrderEntry::updatePriceExt()
{
    const Money qty = orders::leadingNumber(txtQty->text());
    const Money price = orders::leadingNumber(txtPriceEach->text());
    lblPriceExt->setText(price.times(qty).toPlainString());
}

void OrderEntry::gridRowChosen(int row)
{
    if (row < 0 || row >= int(m_lines.size()))
        return;
    const OrderLine &l = m_lines.at(row);
    lblItem->setText(QString::number(l.itemNumber));
    txtQty->setText(QString::number(l.qty));
    txtCustomerRefNo->setText(l.customerRefNo);
    txtStyle->setText(l.style);
    txtMaterial->setText(l.material);
    txtPriceEach->setText(l.priceEach.toPlainString());
    lblPriceExt->setText(l.priceExt().toPlainString());
    // Showing a line for editing changes nothing yet.
    entry::markClean(this, {txtQty, txtCustomerRefNo, txtStyle, txtMaterial, txtPriceEach});
    txtQty->setFocus();
}

void OrderEntry::clearEntryRow()
{
    for (QLineEdit *e : {txtQty, txtCustomerRefNo, txtStyle, txtMaterial, txtPriceEach})
        e->clear();
    lblItem->clear();
    lblPriceExt->clear();
}

void OrderEntry::appendLine(const OrderLine &line)
{
    m_lines.push_back(line);
    vsfgItems->addValues(cells(line));
}

void OrderEntry::showLines()
{
    vsfgItems->clearRows();
    for (const OrderLine &l : m_lines)
        vsfgItems->addValues(cells(l));
    vsfgItems->autoSize();
}

void OrderEntry::saveLine()
{
    const LineEntry typed{lblItem->text().toInt(), txtQty->text(),      txtCustomerRefNo->text(),
                          txtStyle->text(),        txtMaterial->text(), txtPriceEach->text()};
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
            vsfgItems->gridModel()->setValue(change.row, c, values.at(c));
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
    vsfgItems->autoSize();
    clearEntryRow();
    txtQty->setFocus();
    UpdateTotal();
}

void OrderEntry::deleteLine()
{
    const int row = vsfgItems->currentDataRow();
    const QString item = lblItem->text();
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
    vsfgItems->removeRow(row);
    vsfgItems->autoSize();
    clearEntryRow();
    txtQty->setFocus();
    UpdateTotal();
}

void OrderEntry::voidOrder()
{
    if (MessageBox::show(this, QStringLiteral("Are you sure you want to void this order?"),
                         QStringLiteral("Void Order Confirmations"), MessageBox::YesNo) == MessageBox::Yes)
        lblStatus->setText(QStringLiteral("Void"));
}

void OrderEntry::openOrder()
{
    if (MessageBox::show(this, QStringLiteral("Are you sure you want to open this order?"),
                         QStringLiteral("Open Order Confirmations"), MessageBox::YesNo) == MessageBox::Yes)
        lblStatus->setText(QStringLiteral("Open"));
}

void OrderEntry::UpdateTotal()
{
    m_total = orders::linesTotal(m_lines);
    lblTotal->setText(m_total.toDisplayString(2));
}

void OrderEntry::saveAndClose()
{
    if (const auto refusal = orders::refuseOrderSave(txtOrderNumber->text(), cmbCustomer->currentText())) {
        entry::showRefusal(this, *refusal);
        return;
    }
    UpdateTotal();
    OrderHeader h;
    h.id = orderId();
    h.orderNumber = txtOrderNumber->text();
    h.customer = cmbCustomer->currentText();
    h.orderDate = dtOrderDate->date();
    h.dueDate = dtDueDate->date();
    h.shipTo = shipTo();
    h.status = lblStatus->text();
    h.total = m_total;
    h.loaded = m_loaded;
    ReportJob job;
    const bool saved = entry::guarded(this, [&] {
        BusyPointer busy;
        const qint64 id = orders::saveOrder(h, m_lines);
        // Only a committed order has an ID to show.
        lblID->setText(QString::number(id));
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
    int index = cmbCustomer->findText(name, Qt::MatchFixedString);
    if (index < 0 && !name.isEmpty()) {
        // An order of a customer no longer active still shows its customer.
        cmbCustomer->addItem(name);
        index = cmbCustomer->count() - 1;
    }
    cmbCustomer->setCurrentIndex(index);
}

void OrderEntry::setShipTo(const ShipToAddress &s)
{
    txtShipTo->setText(s.shipTo);
    txtAddress1->setText(s.address1);
    txtAddress2->setText(s.address2);
    txtCity->setText(s.city);
    txtState->setText(s.state);
    txtZip->setText(s.zip);
    txtPhone->setText(s.phone);
    txtFax->setText(s.fax);
}

ShipToAddress OrderEntry::shipTo() const
{
    return {txtShipTo->text(), txtAddress1->text(), txtAddress2->text(), txtCity->text(),
            txtState->text(),  txtZip->text(),      txtPhone->text(),    txtFax->text()};
}

void OrderEntry::OpenOrder(qint32 id)
{
    std::optional<OrderHeader> h;
    if (!entry::guarded(this, [&] { h = orders::loadOrder(id); }) || !h)
        return;
    setCustomerText(h->customer);
    txtOrderNumber->setText(h->orderNumber);
    dtOrderDate->setDate(h->orderDate);
    dtDueDate->setDate(h->dueDate);
    lblStatus->setText(h->status);
    lblID->setText(QString::number(h->id));
    setShipTo(h->shipTo);
    m_total = h->total;
    m_loaded = h->loaded;
    lblTotal->setText(m_total.toDisplayString(2));
    for (QWidget *w : std::initializer_list<QWidget *>{cmbCustomer, txtOrderNumber, dtOrderDate, dtDueDate})
        w->setEnabled(false);
    dtOrderDate->setSelectedSection(QDateTimeEdit::NoSection);
    dtDueDate->setSelectedSection(QDateTimeEdit::NoSection);
    clearEntryRow();
    RefreshGrid();
    entry::markClean(this);
}

void OrderEntry::RefreshGrid()
{
    m_lines.clear();
    if (!lblID->text().isEmpty())
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
    if (cmbCustomer->findText(customer, Qt::MatchFixedString) >= 0)
        setCustomerText(customer);
    else
        o.problems.prepend(
            QStringLiteral("Quintar is not an active customer; choose the customer before saving."));
    lblStatus->setText(QStringLiteral("Open"));
    txtOrderNumber->setText(o.orderNumber);
    if (o.orderDate)
        dtOrderDate->setDate(*o.orderDate);
    if (o.dueDate)
        dtDueDate->setDate(*o.dueDate);
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
    vsfgItems->autoSize();
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
