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
    m_po = new QComboBox;
    m_po->setObjectName(QStringLiteral("cmbPO"));
    m_po->setEditable(true);
    m_po->setInsertPolicy(QComboBox::NoInsert);
    m_po->setMinimumWidth(110);
    keepListWidth(m_po);
    m_useDate = new QCheckBox(QStringLiteral("PO Date:"));
    m_useDate->setObjectName(QStringLiteral("chkDate"));
    m_start = entry::datePicker(QStringLiteral("dtStart"));
    m_end = entry::datePicker(QStringLiteral("dtEnd"));
    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("PO Number:")));
    filters->addWidget(m_po);
    filters->addSpacing(16);
    filters->addWidget(m_useDate);
    filters->addWidget(m_start);
    filters->addWidget(new QLabel(QStringLiteral("to")));
    filters->addWidget(m_end);
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

    m_grid = new Grid(this);
    m_grid->setSortable(true);
    m_grid->setObjectName(QStringLiteral("vsfgPO"));
    m_grid->setColumns(poColumns());
    m_grid->setAllAlignment(Qt::AlignCenter);

    QList<qint64> numbers;
    entry::guarded(this, [&] { numbers = purchasing::purchaseOrderNumbers(); });
    for (qint64 n : numbers)
        m_po->addItem(QString::number(n));
    clear();
    FindPurchaseOrders();

    connect(findButton, &QPushButton::clicked, this, &frmPONavigator::FindPurchaseOrders);
    connect(clearButton, &QPushButton::clicked, this, &frmPONavigator::clear);
    connect(printButton, &QPushButton::clicked, this, &frmPONavigator::print);
    // A double click on a purchase order previews it, as Print does for the current row.
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            print();
    });
    connect(deleteButton, &QPushButton::clicked, this, &frmPONavigator::deleteOrder);
    connect(exitButton, &QPushButton::clicked, this, [this] { closeChildWindow(this); });

    resize(sizeHint());
}

void frmPONavigator::clear()
{
    m_po->setCurrentIndex(-1);
    m_po->setEditText(QString());
    m_useDate->setChecked(false);
    m_start->setDate(Clock::today());
    m_end->setDate(Clock::today());
}

void frmPONavigator::FindPurchaseOrders()
{
    const purchasing::PONumber number = purchasing::parsePONumber(m_po->currentText());
    if (number.refusal)
        return entry::showRefusal(this, *number.refusal);
    purchasing::POCriteria c;
    c.number = number.number;
    c.useDate = m_useDate->isChecked();
    c.from = m_start->date();
    c.to = m_end->date();
    RowSet rows;
    if (!entry::guarded(this, [&] { rows = purchasing::findPurchaseOrders(c); }))
        return;
    m_grid->setUpdatesEnabled(false);
    m_grid->clearRows();
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
    m_grid->addValueRows(values);
    m_grid->setCurrentCell(-1, -1);
    m_grid->autoSize();
    m_grid->setUpdatesEnabled(true);
}

qint64 frmPONavigator::currentNumber() const
{
    const int row = m_grid->currentDataRow();
    if (row < 0 || row >= m_grid->rowCount())
        return 0;
    return m_grid->value(row, ColNumber).toLongLong();
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
    layout::arrange(this, m_top, m_grid, px(170), px(1845) - px(240), 345, 1845);
}
