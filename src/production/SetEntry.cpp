#include "production/SetEntry.h"

#include "core/Clock.h"
#include "core/SharedRoutines.h"
#include "ui/EntryWindow.h"
#include "ui/MoneyField.h"
#include "ui/Notices.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace MasterData;
using namespace entry;

SetEntry::SetEntry(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Set Entry/Edit"));

    cmbCustomer = makeList(this, QStringLiteral("cmbCustomer"), {});
    txtRefNo = makeText(this, QStringLiteral("txtRefNo"));
    txtStyle = makeText(this, QStringLiteral("txtStyle"));
    txtMaterial = new QComboBox(this);
    txtMaterial->setObjectName(QStringLiteral("txtMaterial"));
    txtMaterial->setEditable(true);
    txtMaterial->setInsertPolicy(QComboBox::NoInsert);
    txtMaterial->lineEdit()->setMaxLength(kMaxTextLength);
    completeInline(txtMaterial);
    keepListWidth(txtMaterial);
    txtFeetReq = makeText(this, QStringLiteral("txtFeetReq"));
    txtProdStandard = makeText(this, QStringLiteral("txtProdStandard"));
    cmbType = makeList(
        this, QStringLiteral("cmbType"),
        {QStringLiteral("Set"), QStringLiteral("Hide"), QStringLiteral("Vinyl"), QStringLiteral("Kit")});
    cmbStatus =
        makeList(this, QStringLiteral("cmbStatus"), {QStringLiteral("Active"), QStringLiteral("InActive")});
    auto money = [this](const char *name) {
        auto *field = new MoneyField(this);
        field->setObjectName(QString::fromLatin1(name));
        return field;
    };
    txtEmployeeRate = money("txtEmployeeRate");
    txtCut = money("txtCut");
    txtSew = money("txtSew");
    txtVinyl = money("txtVinyl");
    txtLeather = money("txtLeather");
    txtKit = money("txtKit");
    txtTotal = money("txtTotal");

    auto *grid = new QGridLayout(this);
    grid->setColumnMinimumWidth(2, 24);
    addRow(grid, 0, 0, QStringLiteral("Customer"), cmbCustomer);
    addRow(grid, 1, 0, QStringLiteral("Reference No."), txtRefNo);
    addRow(grid, 2, 0, QStringLiteral("Style"), txtStyle);
    addRow(grid, 3, 0, QStringLiteral("Material"), txtMaterial);
    addRow(grid, 4, 0, QStringLiteral("Cost Standard"), txtFeetReq);
    addRow(grid, 5, 0, QStringLiteral("Prod. Standard"), txtProdStandard);
    addRow(grid, 6, 0, QStringLiteral("Type"), cmbType);
    addRow(grid, 7, 0, QStringLiteral("Status"), cmbStatus);
    addRow(grid, 0, 3, QStringLiteral("Employee Rate"), txtEmployeeRate);
    addRow(grid, 1, 3, QStringLiteral("Cutting Price"), txtCut);
    addRow(grid, 2, 3, QStringLiteral("Sewing Price"), txtSew);
    addRow(grid, 3, 3, QStringLiteral("Vinyl Price"), txtVinyl);
    addRow(grid, 4, 3, QStringLiteral("Leather Price"), txtLeather);
    addRow(grid, 5, 3, QStringLiteral("Kit Price"), txtKit);
    addRow(grid, 6, 3, QStringLiteral("Total Price"), txtTotal);
    const SaveExit row = addSaveExit(this, grid, 8, 5);
    btnSave = row.save;
    btnExit = row.exit;
    cmbCustomer->setMinimumWidth(220);

    chainTabOrder({cmbCustomer, txtRefNo, txtStyle, txtMaterial, txtFeetReq, txtProdStandard, cmbType,
                   cmbStatus, txtEmployeeRate, txtCut, txtSew, txtVinyl, txtLeather, txtKit, txtTotal,
                   btnSave, btnExit});

    installTypeAhead(cmbCustomer);
    onLeave(this, txtRefNo, [this] {
        LoadSet();
        return true;
    });
    // Passing through the customer list shows the stored set again.
    onLeave(this, cmbCustomer, [this] {
        LoadSet();
        return true;
    });
    onLeave(this, txtMaterial, [this] {
        CheckMaterial();
        return true;
    });
    for (MoneyField *c : components())
        onLeave(this, c, [this] {
            UpdateTotal();
            return true;
        });
    connect(btnSave, &QPushButton::clicked, this, &SetEntry::SaveAndClose);

    guarded(this, [&] {
        cmbCustomer->addItems(ActiveCustomerNames());
        cmbCustomer->setCurrentIndex(-1);
        txtMaterial->addItems(ActiveMaterialIds());
        txtMaterial->setCurrentIndex(-1);
    });
}

std::vector<MoneyField *> SetEntry::components() const
{
    return {txtCut, txtSew, txtVinyl, txtLeather, txtKit};
}

void SetEntry::LoadSet()
{
    if (txtRefNo->text().isEmpty())
        return;
    guarded(this, [&] {
        const std::optional<Row> set = FindSet(txtRefNo->text());
        m_loaded.remember(txtRefNo->text(), set);
        const Row *row = set ? &*set : nullptr;
        txtMaterial->setEditText(row ? row->text(QStringLiteral("Material")) : QString());
        loadTexts({{QStringLiteral("Style"), txtStyle},
                   {QStringLiteral("ReqFeet"), txtFeetReq},
                   {QStringLiteral("ProductionStandard"), txtProdStandard}},
                  row);
        const std::vector<std::pair<const char *, MoneyField *>> prices = {
            {"EmployeeRate", txtEmployeeRate}, {"CuttingPrice", txtCut},     {"SewingPrice", txtSew},
            {"VinylPrice", txtVinyl},          {"LeatherPrice", txtLeather}, {"KitPrice", txtKit},
            {"TotalPrice", txtTotal}};
        for (const auto &[column, field] : prices)
            field->setRawText(row ? row->text(QString::fromLatin1(column)) : QString());
        if (row) {
            showListEntry(cmbStatus, row->text(QStringLiteral("Status")));
            showListEntry(cmbType, row->text(QStringLiteral("Type")));
            markClean(this);
        } else {
            showListEntry(cmbStatus, QStringLiteral("Active"));
        }
    });
}

void SetEntry::CheckMaterial()
{
    if (txtMaterial->currentText().isEmpty())
        return;
    std::optional<Refusal> refusal;
    if (guarded(this, [&] { refusal = refuseSetMaterial(txtMaterial->currentText()); }) && refusal)
        showRefusal(this, *refusal);
}

void SetEntry::UpdateTotal()
{
    std::vector<QString> typed;
    for (MoneyField *c : components())
        typed.push_back(c->rawText());
    txtTotal->setValue(SetTotalPrice(typed));
}

void SetEntry::SaveAndClose()
{
    if (const auto refusal = refuseSet(txtRefNo->text(), cmbStatus->currentText(), cmbType->currentText(),
                                       txtMaterial->currentText())) {
        showRefusal(this, *refusal);
        return;
    }
    const auto number = [](QLineEdit *field) { return parseNumber(field->text()); };
    const std::vector<std::pair<QString, MoneyField *>> prices = {
        {QStringLiteral("Employee Rate"), txtEmployeeRate}, {QStringLiteral("Cutting Price"), txtCut},
        {QStringLiteral("Sewing Price"), txtSew},           {QStringLiteral("Vinyl Price"), txtVinyl},
        {QStringLiteral("Leather Price"), txtLeather},      {QStringLiteral("Kit Price"), txtKit},
        {QStringLiteral("Total Price"), txtTotal}};
    std::vector<NumberCheck> checks = {
        {QStringLiteral("Cost Standard"), txtFeetReq->objectName(), txtFeetReq->text()},
        {QStringLiteral("Prod. Standard"), txtProdStandard->objectName(), txtProdStandard->text()}};
    for (const auto &[label, field] : prices)
        checks.push_back({label, field->objectName(), field->rawText(), true});
    if (const auto refusal = refuseNonNumeric(checks)) {
        showRefusal(this, *refusal);
        return;
    }

    SetValues v;
    v.customer = cmbCustomer->currentText();
    v.refNo = txtRefNo->text();
    v.style = txtStyle->text();
    v.material = txtMaterial->currentText();
    v.reqFeet = number(txtFeetReq);
    v.productionStandard = number(txtProdStandard);
    v.employeeRate = txtEmployeeRate->value();
    v.cuttingPrice = txtCut->value();
    v.sewingPrice = txtSew->value();
    v.vinylPrice = txtVinyl->value();
    v.leatherPrice = txtLeather->value();
    v.kitPrice = txtKit->value();
    v.totalPrice = txtTotal->value();
    v.type = cmbType->currentText();
    v.status = cmbStatus->currentText();
    v.loaded = m_loaded.stampFor(v.refNo);
    if (guarded(this, [&] { SaveSet(v); }))
        closeSaved(this, QStringLiteral("Set %1 saved.").arg(v.refNo));
}
