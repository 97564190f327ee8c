#include "production/EmployeeEntry.h"

#include "core/Clock.h"
#include "ui/EntryWindow.h"
#include "ui/MessageBox.h"
#include "ui/Notices.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace MasterData;
using namespace entry;

namespace {

const QString kKey = QStringLiteral("SSN");

} // namespace

EmployeeEntry::EmployeeEntry(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Employee Entry/Edit"));

    txtSSN = makeText(this, QStringLiteral("txtSSN"));
    txtFName = makeText(this, QStringLiteral("txtFName"));
    txtLName = makeText(this, QStringLiteral("txtLName"));
    txtAddress = makeText(this, QStringLiteral("txtAddress"));
    txtCity = makeText(this, QStringLiteral("txtCity"));
    txtState = makeText(this, QStringLiteral("txtState"));
    txtZip = makeText(this, QStringLiteral("txtZip"));
    txtPhone = makeText(this, QStringLiteral("txtPhone"));
    dtHireDate = datePicker(QStringLiteral("dtHireDate"), this);
    dtHireDate->setDate(Clock::today());
    cmbStatus =
        makeList(this, QStringLiteral("cmbStatus"), {QStringLiteral("Active"), QStringLiteral("InActive")});

    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    addRow(grid, 0, 0, QStringLiteral("SSN"), txtSSN);
    addRow(grid, 1, 0, QStringLiteral("First Name"), txtFName);
    addRow(grid, 2, 0, QStringLiteral("Last Name"), txtLName);
    addRow(grid, 3, 0, QStringLiteral("Address"), txtAddress);
    addRow(grid, 4, 0, QStringLiteral("City/St/Zip"), cityStateZip(this, txtCity, txtState, txtZip));
    addRow(grid, 5, 0, QStringLiteral("Phone"), txtPhone);
    addRow(grid, 6, 0, QStringLiteral("Hire Date"), dtHireDate);
    addRow(grid, 7, 0, QStringLiteral("Status"), cmbStatus);
    const SaveExit row = addSaveExit(this, grid, 8, 2);
    btnSave = row.save;
    btnExit = row.exit;
    txtAddress->setMinimumWidth(260);

    chainTabOrder({txtSSN, txtFName, txtLName, txtAddress, txtCity, txtState, txtZip, txtPhone, dtHireDate,
                   cmbStatus, btnSave, btnExit});

    m_texts = {{QStringLiteral("FirstName"), txtFName}, {QStringLiteral("LastName"), txtLName},
               {QStringLiteral("Address"), txtAddress}, {QStringLiteral("City"), txtCity},
               {QStringLiteral("State"), txtState},     {QStringLiteral("Zip"), txtZip},
               {QStringLiteral("Phone"), txtPhone}};

    onLeave(this, txtSSN, [this] {
        LoadEmployee();
        return true;
    });
    connect(btnSave, &QPushButton::clicked, this, &EmployeeEntry::SaveAndClose);
}

void EmployeeEntry::LoadEmployee()
{
    if (txtSSN->text().isEmpty())
        return;
    guarded(this, [&] {
        const std::optional<Row> employee = FindEmployee(txtSSN->text());
        m_loaded.remember(txtSSN->text(), employee);
        loadTexts(m_texts, employee ? &*employee : nullptr);
        if (!employee) {
            // A new employee keeps the hire date shown.
            showListEntry(cmbStatus, QStringLiteral("Active"));
            return;
        }
        const QDate hired = employee->date(QStringLiteral("HireDate"));
        if (hired.isValid())
            dtHireDate->setDate(hired);
        showListEntry(cmbStatus, employee->text(QStringLiteral("Status")));
        markClean(this);
    });
}

void EmployeeEntry::SaveAndClose()
{
    if (const auto refusal =
            refuseEmployee(txtSSN->text(), txtFName->text(), txtLName->text(), cmbStatus->currentText())) {
        showRefusal(this, *refusal);
        return;
    }
    Fields fields = {{kKey, txtSSN->text()}};
    appendTexts(fields, m_texts);
    fields.emplace_back(QStringLiteral("HireDate"), dtHireDate->date());
    fields.emplace_back(QStringLiteral("Status"), cmbStatus->currentText());
    if (guarded(this, [&] { SaveEmployee(txtSSN->text(), fields, m_loaded.stampFor(txtSSN->text())); }))
        closeSaved(this, QStringLiteral("Employee %1 %2 saved.").arg(txtFName->text(), txtLName->text()));
}
