#include "production/CustomerEntry.h"

#include "core/Clock.h"
#include "core/SharedRoutines.h"
#include "ui/EntryWindow.h"
#include "ui/MessageBox.h"
#include "ui/Notices.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace MasterData;
using namespace entry;

namespace {

const QString kKey = QStringLiteral("Name");

} // namespace

CustomerEntry::CustomerEntry(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Customer Entry/Edit"));

    cmbCustomer = new QComboBox(this);
    cmbCustomer->setObjectName(QStringLiteral("cmbCustomer"));
    cmbCustomer->setEditable(true);
    // The name is looked up as typed (completed to the first customer it begins), and Enter adds
    // nothing to the list.
    completeInline(cmbCustomer);
    cmbCustomer->setInsertPolicy(QComboBox::NoInsert);
    cmbCustomer->setMinimumWidth(220);
    keepListWidth(cmbCustomer);
    txtAddress1 = makeText(this, QStringLiteral("txtAddress1"));
    txtAddress2 = makeText(this, QStringLiteral("txtAddress2"));
    txtCity = makeText(this, QStringLiteral("txtCity"));
    txtState = makeText(this, QStringLiteral("txtState"));
    txtZip = makeText(this, QStringLiteral("txtZip"));
    txtPhone = makeText(this, QStringLiteral("txtPhone"));
    txtFax = makeText(this, QStringLiteral("txtFax"));
    cmbStatus =
        makeList(this, QStringLiteral("cmbStatus"), {QStringLiteral("Active"), QStringLiteral("InActive")});
    txtShipTo = makeText(this, QStringLiteral("txtShipTo"));
    txtShipToAddress1 = makeText(this, QStringLiteral("txtShipToAddress1"));
    txtShipToAddress2 = makeText(this, QStringLiteral("txtShipToAddress2"));
    txtShipToCity = makeText(this, QStringLiteral("txtShipToCity"));
    txtShipToState = makeText(this, QStringLiteral("txtShipToState"));
    txtShipToZip = makeText(this, QStringLiteral("txtShipToZip"));
    txtShipToPhone = makeText(this, QStringLiteral("txtShipToPhone"));
    txtShipToFax = makeText(this, QStringLiteral("txtShipToFax"));
    txtTerms = makeText(this, QStringLiteral("txtTerms"));
    txtDays = makeText(this, QStringLiteral("txtDays"));
    txtDays->setMaximumWidth(60);

    auto *grid = new QGridLayout(this);
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    addRow(grid, 0, 0, QStringLiteral("Customer"), cmbCustomer);
    addRow(grid, 1, 0, QStringLiteral("Address 1"), txtAddress1);
    addRow(grid, 2, 0, QStringLiteral("Address 2"), txtAddress2);
    addRow(grid, 3, 0, QStringLiteral("City/St/Zip"), cityStateZip(this, txtCity, txtState, txtZip));
    addRow(grid, 4, 0, QStringLiteral("Phone"), txtPhone);
    addRow(grid, 5, 0, QStringLiteral("Fax"), txtFax);
    addRow(grid, 6, 0, QStringLiteral("Status"), cmbStatus);
    addRow(grid, 0, 3, QStringLiteral("Ship To"), txtShipTo);
    addRow(grid, 1, 3, QStringLiteral("Ship To Address 1"), txtShipToAddress1);
    addRow(grid, 2, 3, QStringLiteral("Ship To Address 2"), txtShipToAddress2);
    addRow(grid, 3, 3, QStringLiteral("Ship To City/St/Zip"),
           cityStateZip(this, txtShipToCity, txtShipToState, txtShipToZip));
    addRow(grid, 4, 3, QStringLiteral("Ship To Phone"), txtShipToPhone);
    addRow(grid, 5, 3, QStringLiteral("Ship To Fax"), txtShipToFax);
    auto *termsRow = new QWidget(this);
    auto *termsBox = new QHBoxLayout(termsRow);
    termsBox->setContentsMargins(0, 0, 0, 0);
    termsBox->addWidget(txtTerms, 1);
    auto *daysLabel = new QLabel(QStringLiteral("Days"), termsRow);
    daysLabel->setBuddy(txtDays);
    termsBox->addWidget(daysLabel);
    termsBox->addWidget(txtDays);
    addRow(grid, 6, 3, QStringLiteral("Terms"), termsRow);
    const SaveExit row = addSaveExit(this, grid, 7, 5);
    btnSave = row.save;
    btnExit = row.exit;

    chainTabOrder(
        {cmbCustomer,   txtAddress1,    txtAddress2,  txtCity,        txtState,          txtZip,
         txtPhone,      txtFax,         cmbStatus,    txtShipTo,      txtShipToAddress1, txtShipToAddress2,
         txtShipToCity, txtShipToState, txtShipToZip, txtShipToPhone, txtShipToFax,      txtTerms,
         txtDays,       btnSave,        btnExit});

    m_texts = {{QStringLiteral("Address1"), txtAddress1},
               {QStringLiteral("Address2"), txtAddress2},
               {QStringLiteral("City"), txtCity},
               {QStringLiteral("State"), txtState},
               {QStringLiteral("Zip"), txtZip},
               {QStringLiteral("Phone"), txtPhone},
               {QStringLiteral("Fax"), txtFax},
               {QStringLiteral("ShipTo"), txtShipTo},
               {QStringLiteral("ShipToAddress1"), txtShipToAddress1},
               {QStringLiteral("ShipToAddress2"), txtShipToAddress2},
               {QStringLiteral("ShipToCity"), txtShipToCity},
               {QStringLiteral("ShipToState"), txtShipToState},
               {QStringLiteral("ShipToZip"), txtShipToZip},
               {QStringLiteral("ShipToPhone"), txtShipToPhone},
               {QStringLiteral("ShipToFax"), txtShipToFax},
               {QStringLiteral("Terms"), txtTerms}};

    guarded(this, [&] {
        cmbCustomer->addItems(AllCustomerNames());
        cmbCustomer->setCurrentIndex(-1);
        cmbCustomer->clearEditText();
    });
    // Every keystroke, and every pick from the list, looks the name up.
    connect(cmbCustomer, &QComboBox::currentTextChanged, this, &CustomerEntry::LoadCustomer);
    onLeave(this, txtDays, [this] {
        CheckDays();
        return true;
    });
    connect(btnSave, &QPushButton::clicked, this, &CustomerEntry::SaveAndClose);
}

void CustomerEntry::LoadCustomer()
{
    const QString name = cmbCustomer->currentText();
    if (name.isEmpty())
        return;
    guarded(this, [&] {
        const std::optional<Row> customer = FindCustomer(name);
        m_loaded.remember(name, customer);
        loadTexts(m_texts, customer ? &*customer : nullptr);
        txtDays->setText(customer ? customer->text(QStringLiteral("Days")) : QString());
        showListEntry(cmbStatus,
                      customer ? customer->text(QStringLiteral("Status")) : QStringLiteral("Active"));
        if (customer)
            markClean(this);
    });
}

void CustomerEntry::CheckDays()
{
    if (const auto refusal = refuseCustomerDays(txtDays->text()))
        showRefusal(this, *refusal);
}

void CustomerEntry::SaveAndClose()
{
    const QString name = cmbCustomer->currentText();
    if (const auto refusal =
            refuseCustomer(name, cmbStatus->currentText(), txtTerms->text(), txtDays->text())) {
        showRefusal(this, *refusal);
        return;
    }
    const std::optional<int> days = parseWholeNumber(txtDays->text());
    Fields fields = {{kKey, name}};
    appendTexts(fields, m_texts);
    fields.emplace_back(QStringLiteral("Days"), *days);
    fields.emplace_back(QStringLiteral("Status"), cmbStatus->currentText());
    if (guarded(this, [&] { SaveCustomer(name, fields, m_loaded.stampFor(name)); }))
        closeSaved(this, QStringLiteral("Customer %1 saved.").arg(name));
}
