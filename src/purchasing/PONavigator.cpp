#include "purchasing/PONavigator.h"

#include "core/Clock.h"
#include "purchasing/PurchaseOrders.h"
#include "purchasing/WindowLayout.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/Grid.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using purchasing::layout::px;
namespace layout = purchasing::layout;

namespace {

QList<GridColumn> poColumns()
{
    return {GridColumn::whole(QStringLiteral("PO No.")),
            GridColumn::text(QStringLiteral("Vendor")),
            GridColumn::date(QStringLiteral("Date")),
            GridColumn::date(QStringLiteral("Ship Date")),
            GridColumn::text(QStringLiteral("Terms")),
            GridColumn::money(QStringLiteral("Total"), QStringLiteral("$#,##0.00")),
            GridColumn::text(QStringLiteral("Comment"))};
}

} // namespace

frmPONavigator::frmPONavigator(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Purchase Order Navigator"));
    setObjectName(QStringLiteral("frmPONavigator"));

    m_top = new QWidget(this);
    auto *v = new QVBoxLayout(m_top);
    v->setContentsMargins(px(120), px(60), px(120), 0);
    cmbPO = new QComboBox;
    cmbPO->setObjectName(QStringLiteral("cmbPO"));
    cmbPO->setEditable(true);
    cmbPO->setInsertPolicy(QComboBox::NoInsert);
    cmbPO->setMinimumWidth(110);
    keepListWidth(cmbPO);
    chkDate = new QCheckBox(QStringLiteral("PO Date:"));
    chkDate->setObjectName(QStringLiteral("chkDate"));
    dtStart = entry::datePicker(QStringLiteral("dtStart"));
    dtEnd = entry::datePicker(QStringLiteral("dtEnd"));
    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("PO Number:")));
    filters->addWidget(cmbPO);
    filters->addSpacing(16);
    filters->addWidget(chkDate);
    filters->addWidget(dtStart);
    filters->addWidget(new QLabel(QStringLiteral("to")));
    filters->addWidget(dtEnd);
    filters->addStretch();
    v->addLayout(filters);

    auto *findButton = entry::commandButton(QStringLiteral("btnFind"), QStringLiteral("Find"));
    auto *clearButton = entry::commandButton(QStringLiteral("btnClear"), QStringLiteral("Clear"));
    auto *printButton = entry::commandButton(QStringLiteral("btnPrint"), QStringLiteral("Print"));
    auto *deleteButton = entry::commandButton(QStringLiteral("btnDelete"), QStringLiteral("Delete"));
    auto *exitButton = entry::commandButton(QStringLiteral("btnExit"), QStringLiteral("Exit"));
    findButton->setDefault(true);
    entry::returnClicks(this, findButton);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {findButton, clearButton, printButton, deleteButton, exitButton})
        buttons->addWidget(b);
    buttons->addStretch();
    v->addLayout(buttons);

    vsfgPO = new Grid(this);
    vsfgPO->setSortable(true);
    vsfgPO->setObjectName(QStringLiteral("vsfgPO"));
    vsfgPO->setColumns(poColumns());
    vsfgPO->setAllAlignment(Qt::AlignCenter);

    QList<qint64> numbers;
    entry::guarded(this, [&] { numbers = purchasing::purchaseOrderNumbers(); });
    for (qint64 n : numbers)
        cmbPO->addItem(QString::number(n));
    clear();
    FindPurchaseOrders();

    connect(findButton, &QPushButton::clicked, this, &frmPONavigator::FindPurchaseOrders);
    connect(clearButton, &QPushButton::clicked, this, &frmPONavigator::clear);
    connect(printButton, &QPushButton::clicked, this, &frmPONavigator::print);
    // A double click on a purchase order previews it, as Print does for the current row.
    connect(vsfgPO, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            print();
    });
    connect(deleteButton, &QPushButton::clicked, this, &frmPONavigator::deleteOrder);
    connect(exitButton, &QPushButton::clicked, this, [this] { closeChildWindow(this); });

    resize(sizeHint());
}

void frmPONavigator::clear()
{
    cmbPO->setCurrentIndex(-1);
    cmbPO->setEditText(QString());
    chkDate->setChecked(false);
    dtStart->setDate(Clock::today());
    dtEnd->setDate(Clock::today());
}

void frmPONavigator::FindPurchaseOrders()
{
    const purchasing::PONumber number = purchasing::parsePONumber(cmbPO->currentText());
    if (number.refusal)
        return entry::showRefusal(this, *number.refusal);
    purchasing::POCriteria c;
    c.number = number.number;
    c.useDate = chkDate->isChecked();
    c.from = dtStart->date();
    c.to = dtEnd->date();
    RowSet rows;
    if (!entry::guarded(this, [&] { rows = purchasing::findPurchaseOrders(c); }))
        return;
    vsfgPO->setUpdatesEnabled(false);
    vsfgPO->clearRows();
    QList<QVariantList> values;
    m_found.clear();
    for (const Row &r : rows)
        m_found.insert(r.integer(QStringLiteral("ID")), Database::stamp(r));
    for (const Row &r : rows)
        values.push_back({r.integer(QStringLiteral("ID")), r.text(QStringLiteral("Vendor1")),
                          r.value(QStringLiteral("PODate")), r.value(QStringLiteral("DueDate")),
                          r.text(QStringLiteral("Terms")),
                          QVariant::fromValue(r.money(QStringLiteral("Total"))),
                          r.text(QStringLiteral("Comment"))});
    vsfgPO->addValueRows(values);
    vsfgPO->setCurrentCell(-1, -1);
    vsfgPO->autoSize();
    vsfgPO->setUpdatesEnabled(true);
}

qint64 frmPONavigator::currentNumber() const
{
    const int row = vsfgPO->currentDataRow();
    if (row < 0 || row >= vsfgPO->rowCount())
        return 0;
    return vsfgPO->value(row, ColNumber).toLongLong();
}

void frmPONavigator::print()
{
    if (const qint64 po = currentNumber())
        entry::guarded(this, [&] {
            documents::produce(QStringLiteral("crptPurchaseOrder"),
                               {{QStringLiteral("po"), QString::number(po)}});
        });
}

void frmPONavigator::deleteOrder()
{
    const qint64 po = currentNumber();
    if (!po)
        return;
    if (MessageBox::show(
            this,
            QStringLiteral("Are you sure you want to deleted the selected PO: ") + QString::number(po) +
                QStringLiteral("? The PO will be permanently deleted and the items will be put back in "
                               "the Pending Items table."),
            QStringLiteral("Delete Confirmation"), MessageBox::YesNo) != MessageBox::Yes)
        return;
    if (entry::guarded(this, [&] { purchasing::deletePurchaseOrder(po, m_found.value(po)); }))
        FindPurchaseOrders();
}

QSize frmPONavigator::sizeHint() const
{
    return {px(10500), px(7000)};
}

void frmPONavigator::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void frmPONavigator::arrange()
{
    layout::arrange(this, m_top, vsfgPO, px(170), px(1845) - px(240), 345, 1845);
}
