#include "purchasing/PendingPOItems.h"

#include "core/Clock.h"
#include "purchasing/WindowLayout.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/Grid.h"
#include "ui/MessageBox.h"
#include "ui/MoneyField.h"
#include "ui/PickList.h"
#include "ui/Widgets.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using purchasing::PendingItem;
using purchasing::POHeader;
using purchasing::POLine;

using purchasing::layout::px;
namespace layout = purchasing::layout;

namespace {

const QString kPurchasingMoney = QStringLiteral("$#,##0.00");

QList<GridColumn> itemColumns()
{
    return {GridColumn(QStringLiteral("Transfer"), CellType::Check),
            GridColumn::whole(QStringLiteral("ID")),
            GridColumn::text(QStringLiteral("Customer Ref. No.")),
            GridColumn::text(QStringLiteral("Part Number")),
            GridColumn::text(QStringLiteral("Description")),
            GridColumn::text(QStringLiteral("Color Name")),
            GridColumn::text(QStringLiteral("R-String No.")),
            GridColumn::text(QStringLiteral("Quantity")),
            GridColumn::money(QStringLiteral("Price Each"), kPurchasingMoney),
            GridColumn::money(QStringLiteral("Price Ext."), kPurchasingMoney),
            GridColumn::date(QStringLiteral("Dock Date"))};
}

QGroupBox *lines3(const QString &title, const QString &name, QLineEdit **fields, QWidget *form)
{
    auto *box = new QGroupBox(title);
    auto *v = new QVBoxLayout(box);
    v->setSpacing(2);
    v->setContentsMargins(6, 4, 6, 4);
    for (int i = 0; i < 3; ++i) {
        fields[i] = entry::makeText(form, name + QString::number(i + 1));
        v->addWidget(fields[i]);
    }
    return box;
}

} // namespace

frmPendingPOItems::frmPendingPOItems(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Pending PO Items"));
    setObjectName(QStringLiteral("frmPendingPOItems"));

    m_top = new QWidget(this);
    auto *top = new QGridLayout(m_top);
    top->setContentsMargins(px(120), px(60), px(120), 0);
    top->addWidget(lines3(QStringLiteral("Vendor:"), QStringLiteral("txtVendor"), m_vendor, this), 0, 0);
    top->addWidget(lines3(QStringLiteral("Bill To:"), QStringLiteral("txtBillTo"), m_billTo, this), 0, 1);
    top->addWidget(lines3(QStringLiteral("Ship To:"), QStringLiteral("txtShipTo"), m_shipTo, this), 0, 2);

    dtDate = entry::datePicker(QStringLiteral("dtDate"));
    dtDue = entry::datePicker(QStringLiteral("dtDue"));
    dtDate->setDate(Clock::today());
    dtDue->setDate(Clock::today());
    txtTerms = entry::makeText(this, QStringLiteral("txtTerms"));
    txtComment = entry::makeText(this, QStringLiteral("txtComment"));
    txtTotal = new MoneyField;
    txtTotal->setObjectName(QStringLiteral("txtTotal"));
    txtTotal->setReadOnly(true);
    txtTotal->setValue(Money());
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("PO Date:")));
    row->addWidget(dtDate);
    row->addWidget(new QLabel(QStringLiteral("Ship Date:")));
    row->addWidget(dtDue);
    row->addWidget(new QLabel(QStringLiteral("Terms:")));
    row->addWidget(txtTerms, 1);
    row->addWidget(new QLabel(QStringLiteral("Total:")));
    row->addWidget(txtTotal);
    top->addLayout(row, 1, 0, 1, 3);
    auto *commentRow = new QHBoxLayout;
    commentRow->addWidget(new QLabel(QStringLiteral("Comment:")));
    commentRow->addWidget(txtComment, 1);
    top->addLayout(commentRow, 2, 0, 1, 3);

    auto *selectAllButton =
        entry::commandButton(QStringLiteral("btnSelectAll"), QStringLiteral("Select All"));
    auto *selectNoneButton =
        entry::commandButton(QStringLiteral("btnSelectNone"), QStringLiteral("Select None"));
    auto *deleteButton = entry::commandButton(QStringLiteral("btnDelete"), QStringLiteral("Delete Item"));
    auto *createButton = entry::commandButton(QStringLiteral("btnCreatePO"), QStringLiteral("Create PO"));
    auto *exitButton = entry::commandButton(QStringLiteral("btnExit"), QStringLiteral("Exit"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {selectAllButton, selectNoneButton, deleteButton})
        buttons->addWidget(b);
    // Says which purchase order Create PO wrote.
    buttons->addWidget(entry::makeStatusLine(this), 1);
    buttons->addWidget(createButton);
    buttons->addWidget(exitButton);
    top->addLayout(buttons, 3, 0, 1, 3);

    vsfgItems = new Grid(this);
    vsfgItems->setSortable(true);
    vsfgItems->setObjectName(QStringLiteral("vsfgItems"));
    vsfgItems->setColumns(itemColumns());
    vsfgItems->setAllAlignment(Qt::AlignCenter);
    vsfgItems->setEditGate([](int, int column) { return column == ColTransfer; });

    entry::guarded(this, [&] {
        if (const std::optional<POHeader> d = purchasing::poDefaults()) {
            const QString vendor[3] = {d->vendor1, d->vendor2, d->vendor3};
            const QString billTo[3] = {d->billTo1, d->billTo2, d->billTo3};
            const QString shipTo[3] = {d->shipTo1, d->shipTo2, d->shipTo3};
            for (int i = 0; i < 3; ++i) {
                m_vendor[i]->setText(vendor[i]);
                m_billTo[i]->setText(billTo[i]);
                m_shipTo[i]->setText(shipTo[i]);
            }
            txtTerms->setText(d->terms);
            txtComment->setText(d->comment);
        }
    });
    FillPendingGrid();

    connect(vsfgItems, &Grid::cellEdited, this, [this](int, int column) {
        if (column == ColTransfer)
            UpdateSelectedTotal();
    });
    connect(selectAllButton, &QPushButton::clicked, this, [this] { selectAll(true); });
    connect(selectNoneButton, &QPushButton::clicked, this, [this] { selectAll(false); });
    connect(deleteButton, &QPushButton::clicked, this, &frmPendingPOItems::deleteItem);
    connect(createButton, &QPushButton::clicked, this, &frmPendingPOItems::createPO);
    connect(exitButton, &QPushButton::clicked, this, [this] { closeChildWindow(this); });

    resize(sizeHint());
}

void frmPendingPOItems::FillPendingGrid()
{
    std::vector<PendingItem> items;
    if (!entry::guarded(this, [&] { items = purchasing::openPendingItems(); }))
        return;
    vsfgItems->setUpdatesEnabled(false);
    vsfgItems->clearRows();
    QList<QVariantList> values;
    for (const PendingItem &p : items)
        values.push_back({false, p.id, p.customerRefNo, p.partNumber, p.description, p.colorName,
                          p.rStringNumber, QString::number(p.quantity), QVariant::fromValue(p.price),
                          QVariant::fromValue(p.priceExt()), p.dockDate});
    vsfgItems->addValueRows(values);
    vsfgItems->setCurrentCell(-1, -1);
    vsfgItems->autoSize();
    vsfgItems->setUpdatesEnabled(true);
    UpdateSelectedTotal();
}

bool frmPendingPOItems::ticked(int row) const
{
    return vsfgItems->value(row, ColTransfer).toBool();
}

Money frmPendingPOItems::selectedTotal() const
{
    Money sum;
    for (int r = 0; r < vsfgItems->rowCount(); ++r)
        if (ticked(r))
            sum += vsfgItems->value(r, ColPriceExt).value<Money>();
    return sum;
}

void frmPendingPOItems::UpdateSelectedTotal()
{
    txtTotal->setValue(selectedTotal());
}

void frmPendingPOItems::selectAll(bool tick)
{
    for (int r = 0; r < vsfgItems->rowCount(); ++r)
        vsfgItems->gridModel()->setValue(r, ColTransfer, tick);
    UpdateSelectedTotal();
}

void frmPendingPOItems::deleteItem()
{
    const int row = vsfgItems->currentDataRow();
    if (row < 0 || row >= vsfgItems->rowCount())
        return;
    const QString id = vsfgItems->text(row, ColId);
    if (MessageBox::show(this,
                         QStringLiteral("Are you sure you want to remove the selected item:") + id + u'?',
                         QStringLiteral("Delete Confirmation"), MessageBox::YesNo) != MessageBox::Yes)
        return;
    if (entry::guarded(this, [&] { purchasing::withdrawPendingItem(id.toLongLong()); }))
        FillPendingGrid();
}

POHeader frmPendingPOItems::header() const
{
    POHeader h;
    h.vendor1 = m_vendor[0]->text();
    h.vendor2 = m_vendor[1]->text();
    h.vendor3 = m_vendor[2]->text();
    h.billTo1 = m_billTo[0]->text();
    h.billTo2 = m_billTo[1]->text();
    h.billTo3 = m_billTo[2]->text();
    h.shipTo1 = m_shipTo[0]->text();
    h.shipTo2 = m_shipTo[1]->text();
    h.shipTo3 = m_shipTo[2]->text();
    h.terms = txtTerms->text();
    h.comment = txtComment->text();
    h.poDate = dtDate->date();
    h.dueDate = dtDue->date();
    return h;
}

void frmPendingPOItems::createPO()
{
    std::vector<POLine> lines;
    for (int r = 0; r < vsfgItems->rowCount(); ++r) {
        if (!ticked(r))
            continue;
        POLine l;
        l.pendingId = vsfgItems->value(r, ColId).toLongLong();
        l.quantity = vsfgItems->text(r, ColQuantity).toDouble();
        l.partNumber = vsfgItems->text(r, ColPart);
        l.description = vsfgItems->text(r, ColDescription);
        l.color = vsfgItems->text(r, ColColor);
        l.colorNumber = vsfgItems->text(r, ColRString);
        l.priceEach = vsfgItems->value(r, ColPriceEach).value<Money>();
        l.priceExt = vsfgItems->value(r, ColPriceExt).value<Money>();
        lines.push_back(l);
    }
    if (const auto refusal = purchasing::refuseEmptyPurchaseOrder(lines)) {
        entry::showRefusal(this, *refusal);
        return;
    }
    qint64 po = 0;
    if (!entry::guarded(this,
                        [&] { po = purchasing::createPurchaseOrder(header(), selectedTotal(), lines); }))
        return;
    // The order is stored; a failing print does not undo it.
    entry::guarded(this, [&] {
        documents::produce(QStringLiteral("crptPurchaseOrder"),
                           {{QStringLiteral("po"), QString::number(po)}});
    });
    FillPendingGrid();
    findChild<QLabel *>(QStringLiteral("lblMessage"))
        ->setText(QStringLiteral("Purchase order %1 saved.").arg(po));
}

QSize frmPendingPOItems::sizeHint() const
{
    // Wide enough for every column of the items without scrolling sideways.
    return {px(14400), px(9375)};
}

void frmPendingPOItems::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void frmPendingPOItems::arrange()
{
    layout::arrange(this, m_top, vsfgItems, px(140), px(3720) - px(120), 285, 3720);
}
