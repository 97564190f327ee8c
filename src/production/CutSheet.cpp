#include "production/CutSheet.h"

#include "core/Clock.h"
#include "production/CutsheetData.h"
#include "production/MasterControls.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/MessageBox.h"
#include "ui/PickList.h"
#include "ui/Printing.h"
#include "ui/Widgets.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace entry;

CutSheet::CutSheet(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Cutsheet Entry/Edit"));

    txtCutsheetID = makeText(this, QStringLiteral("txtCutsheetID"));
    txtCutsheetID->setPlaceholderText(QStringLiteral("new")); // left empty, the save makes a new cut sheet
    cmbEmployee = makeList(this, QStringLiteral("cmbEmployee"), {});
    cmbEmployeeID = makeList(this, QStringLiteral("cmbEmployeeID"), {});
    cmbEmployeeID->hide();
    dtDate = datePicker(QStringLiteral("dtDate"), this);
    cmbOrderLine = makePickList(this, QStringLiteral("cmbOrderLine"), [this](QComboBox *list) {
        guarded(this, [&] {
            for (const cutsheets::OpenLine &l : cutsheets::linesToCut())
                list->addItem(cutsheets::describe(l), QVariantList{l.orderId, l.item});
        });
    });
    cmbOrderLine->setMinimumWidth(320);
    txtOrder = makeText(this, QStringLiteral("txtOrder"));
    txtItem = makeText(this, QStringLiteral("txtItem"));
    txtStyle = displayBox(QStringLiteral("txtStyle"), this);
    txtSets = makeText(this, QStringLiteral("txtSets"));
    txtUsed = makeText(this, QStringLiteral("txtUsed"));
    btnSave = commandButton(QStringLiteral("btnSave"), QStringLiteral("Save"), this);
    bindSaveKey(this, btnSave);
    btnDelete = commandButton(QStringLiteral("btnDelete"), QStringLiteral("Delete"), this);
    btnExit = commandButton(QStringLiteral("btnExit"), QStringLiteral("Exit"), this);
    installTypeAhead(cmbEmployee);
    cmbEmployee->setMinimumWidth(220);

    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    addRow(grid, 0, 0, QStringLiteral("Cutsheet ID"), txtCutsheetID);
    addRow(grid, 1, 0, QStringLiteral("Employee"), cmbEmployee);
    addRow(grid, 2, 0, QStringLiteral("Date"), dtDate);
    addRow(grid, 3, 0, QStringLiteral("Order Line"), cmbOrderLine);
    addRow(grid, 4, 0, QStringLiteral("Order ID"), txtOrder);
    addRow(grid, 5, 0, QStringLiteral("Item Number"), txtItem);
    addRow(grid, 6, 0, QStringLiteral("Style"), txtStyle);
    addRow(grid, 7, 0, QStringLiteral("Sets"), txtSets);
    addRow(grid, 8, 0, QStringLiteral("Feet Used"), txtUsed);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnDelete);
    buttons->addWidget(btnExit);
    grid->addLayout(buttons, 9, 0, 1, 2);
    lblMessage = makeStatusLine(this);
    grid->addWidget(lblMessage, 10, 0, 1, 2);

    chainTabOrder({txtCutsheetID, cmbEmployee, dtDate, cmbOrderLine, txtOrder, txtItem, txtSets, txtUsed,
                   btnSave, btnDelete, btnExit});

    guarded(this, [&] {
        MasterData::addActiveEmployees(cmbEmployee, cmbEmployeeID);
        cutsheets::clearLog();
    });
    cmbEmployee->setCurrentIndex(-1);
    cmbEmployeeID->setCurrentIndex(-1);
    dtDate->setDate(Clock::today());

    // The SSN list always stands where the name list stands.
    connect(cmbEmployee, &QComboBox::currentIndexChanged, cmbEmployeeID, &QComboBox::setCurrentIndex);
    onLeave(this, txtCutsheetID, [this] {
        LoadCutsheet();
        return true;
    });
    onLeave(this, txtOrder, [this] {
        CheckOrderItem();
        return true;
    });
    onLeave(this, txtItem, [this] {
        CheckOrderItem();
        return true;
    });
    onLeave(this, txtSets, [this] {
        CheckSets();
        return true;
    });
    connect(cmbOrderLine, &QComboBox::activated, this, &CutSheet::orderLinePicked);
    connect(btnSave, &QPushButton::clicked, this, &CutSheet::Save);
    connect(btnDelete, &QPushButton::clicked, this, &CutSheet::Delete);
    connect(btnExit, &QPushButton::clicked, this, [this] { exitChildWindow(this); });
    guardUnsaved(this, btnSave);
    txtCutsheetID->setFocus();
}

void CutSheet::LoadCutsheet()
{
    if (txtCutsheetID->text().isEmpty())
        return;
    guarded(this, [&] {
        const cutsheets::Lookup found = cutsheets::findCutsheet(txtCutsheetID->text());
        if (found.refusal) {
            showRefusal(this, *found.refusal);
            return;
        }
        const Row &r = *found.row;
        m_stamp = found.stamp;
        m_stampId = txtCutsheetID->text();
        // A row whose SSN is in no list (an inactive employee, a shipment's kit consumption)
        // shows no employee: saving it again asks for one.
        cmbEmployee->setCurrentIndex(
            cmbEmployeeID->findText(r.text(QStringLiteral("SSN")), Qt::MatchExactly));
        const QDate date = r.date(QStringLiteral("Date"));
        if (date.isValid())
            dtDate->setDate(date);
        txtOrder->setText(r.text(QStringLiteral("OrderID")));
        txtItem->setText(r.text(QStringLiteral("Item")));
        txtSets->setText(r.text(QStringLiteral("Sets")));
        txtUsed->setText(r.text(QStringLiteral("Feet")));
        markClean(this);
    });
}

void CutSheet::CheckOrderItem()
{
    if (txtOrder->text().isEmpty() || txtItem->text().isEmpty())
        return;
    guarded(this, [&] {
        const cutsheets::LineCheck line = cutsheets::checkOrderLine(txtOrder->text(), txtItem->text());
        if (line.refusal)
            showRefusal(this, *line.refusal);
        else
            txtStyle->setText(line.style);
    });
}

void CutSheet::orderLinePicked(int index)
{
    const QVariantList line = cmbOrderLine->itemData(index).toList();
    if (line.size() != 2)
        return;
    txtOrder->setText(line.at(0).toString());
    txtItem->setText(line.at(1).toString());
    CheckOrderItem();
}

void CutSheet::CheckSets()
{
    guarded(this, [&] {
        if (const auto refusal = cutsheets::refuseTooManySets(txtCutsheetID->text(), txtOrder->text(),
                                                              txtItem->text(), txtSets->text()))
            showRefusal(this, *refusal);
    });
}

cutsheets::Entry CutSheet::entry() const
{
    return {txtCutsheetID->text(),
            cmbEmployee->currentText(),
            cmbEmployeeID->currentText(),
            dtDate->date(),
            txtOrder->text(),
            txtItem->text(),
            txtSets->text(),
            txtUsed->text(),
            txtCutsheetID->text() == m_stampId ? m_stamp : QByteArray()};
}

void CutSheet::clearEntry()
{
    for (QLineEdit *f : {txtCutsheetID, txtOrder, txtItem, txtSets, txtUsed})
        f->clear();
    cmbOrderLine->setCurrentIndex(-1);
    m_stamp.clear();
    m_stampId.clear();
    txtCutsheetID->setFocus();
}

void CutSheet::Save()
{
    cutsheets::Saved saved;
    if (!guarded(this, [&] { saved = cutsheets::saveCutsheet(entry()); }))
        return;
    if (saved.refusal) {
        showRefusal(this, *saved.refusal);
        return;
    }
    // The employee and the date stay for the next cut sheet of the same day.
    clearEntry();
    lblMessage->setText(QStringLiteral("Cut sheet %1 saved.").arg(saved.id));
    markClean(this);
}

void CutSheet::Delete()
{
    const QString id = txtCutsheetID->text();
    if (const auto refusal = cutsheets::refuseDelete(id)) {
        showRefusal(this, *refusal);
        return;
    }
    if (MessageBox::show(this, QStringLiteral("Are you sure you want to delete cutsheet ID %1?").arg(id),
                         QStringLiteral("Delete Confirmation"), MessageBox::YesNo) != MessageBox::Yes)
        return;
    if (!guarded(this, [&] { cutsheets::deleteCutsheet(entry()); }))
        return;
    clearEntry();
    cmbEmployee->setCurrentIndex(-1);
    lblMessage->setText(QStringLiteral("Cut sheet %1 deleted.").arg(id));
    markClean(this);
}

void CutSheet::closeEvent(QCloseEvent *event)
{
    guarded(this, [&] {
        if (cutsheets::logIsEmpty())
            return;
        printWithConfirmation(
            this, cutsheets::logName(),
            [] { documents::produce(QStringLiteral("crptCutsheetEntryControlReport")); },
            PrintQuestion::CutsheetControl, PrintQuestion::Title);
        cutsheets::clearLog();
    });
    QWidget::closeEvent(event);
}
