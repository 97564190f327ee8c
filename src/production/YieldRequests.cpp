#include "production/YieldRequests.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/SharedRoutines.h"
#include "production/MasterControls.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"
#include "ui/Widgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

using namespace entry;

namespace {

const QString kAllEmployees = QStringLiteral("***All Employees***");
const QString kAllCustomers = QStringLiteral("***All Customers***");

// The period rows every request window starts with; both days are today.
QGridLayout *periodForm(QWidget *form, QDateEdit *&start, QDateEdit *&end)
{
    start = datePicker(QStringLiteral("dtStart"), form);
    end = datePicker(QStringLiteral("dtEnd"), form);
    start->setDate(Clock::today());
    end->setDate(Clock::today());
    auto *grid = new QGridLayout(form);
    grid->setColumnStretch(1, 1);
    MasterData::addRow(grid, 0, 0, QStringLiteral("Start Date"), start);
    MasterData::addRow(grid, 1, 0, QStringLiteral("End Date"), end);
    return grid;
}

void addStandards(QWidget *form, QGridLayout *grid, int row, QRadioButton *&prod, QRadioButton *&cost)
{
    prod = new QRadioButton(QStringLiteral("Production Standard"), form);
    prod->setObjectName(QStringLiteral("optProd"));
    cost = new QRadioButton(QStringLiteral("Cost Standard"), form);
    cost->setObjectName(QStringLiteral("optCost"));
    prod->setChecked(true);
    auto *group = new QButtonGroup(form);
    group->addButton(prod);
    group->addButton(cost);
    grid->addWidget(prod, row, 1);
    grid->addWidget(cost, row + 1, 1);
}

// The cost standard's document is the production standard's with a 2.
QString yieldDocument(const QString &production, const QRadioButton *cost)
{
    return cost->isChecked() ? production + u'2' : production;
}

documents::Request period(const QDateEdit *start, const QDateEdit *end)
{
    return {{QStringLiteral("from"), isoDate(start->date())}, {QStringLiteral("to"), isoDate(end->date())}};
}

} // namespace

frmEmployeeYield::frmEmployeeYield(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Employee Yield Report"));
    QGridLayout *grid = periodForm(this, dtStart, dtEnd);
    cmbEmployee = makeList(this, QStringLiteral("cmbEmployee"), {kAllEmployees});
    cmbEmployeeID = makeList(this, QStringLiteral("cmbEmployeeID"), {});
    cmbEmployeeID->hide();
    cmbEmployee->setMinimumWidth(220);
    installTypeAhead(cmbEmployee);
    MasterData::addRow(grid, 2, 0, QStringLiteral("Employee"), cmbEmployee);
    addStandards(this, grid, 3, optProd, optCost);
    const OkCancel row = addOkCancel(this, grid, 5, 2);
    btnOK = row.ok;
    btnCancel = row.cancel;
    MasterData::chainTabOrder({dtStart, dtEnd, cmbEmployee, optProd, optCost, btnOK, btnCancel});

    guarded(this, [&] { MasterData::addActiveEmployees(cmbEmployee, cmbEmployeeID); });
    cmbEmployee->setCurrentIndex(0);
    cmbEmployeeID->setCurrentIndex(-1);
    // The all-entry has no SSN, so the SSN list stands one place behind.
    connect(cmbEmployee, &QComboBox::currentIndexChanged, cmbEmployeeID,
            [this](int index) { cmbEmployeeID->setCurrentIndex(index - 1); });
    connect(btnOK, &QPushButton::clicked, this, &frmEmployeeYield::Preview);
}

void frmEmployeeYield::Preview()
{
    if (cmbEmployee->currentText().isEmpty())
        return;
    documents::Request request = period(dtStart, dtEnd);
    if (cmbEmployee->currentText() != kAllEmployees)
        request.insert(QStringLiteral("employee"), cmbEmployeeID->currentText());
    documents::produceAndClose(this, yieldDocument(QStringLiteral("crptEmployeeYieldReport"), optCost),
                               request);
}

frmCustomerYield::frmCustomerYield(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Customer Yield Report"));
    QGridLayout *grid = periodForm(this, dtStart, dtEnd);
    cmbCustomer = makeList(this, QStringLiteral("cmbCustomer"), {kAllCustomers});
    cmbCustomer->setMinimumWidth(220);
    installTypeAhead(cmbCustomer);
    MasterData::addRow(grid, 2, 0, QStringLiteral("Customer"), cmbCustomer);
    addStandards(this, grid, 3, optProd, optCost);
    const OkCancel row = addOkCancel(this, grid, 5, 2);
    btnOK = row.ok;
    btnCancel = row.cancel;
    MasterData::chainTabOrder({dtStart, dtEnd, cmbCustomer, optProd, optCost, btnOK, btnCancel});

    guarded(this, [&] { cmbCustomer->addItems(ActiveCustomerNames()); });
    cmbCustomer->setCurrentIndex(0);
    connect(btnOK, &QPushButton::clicked, this, &frmCustomerYield::Preview);
}

void frmCustomerYield::Preview()
{
    if (cmbCustomer->currentText().isEmpty())
        return;
    documents::Request request = period(dtStart, dtEnd);
    if (cmbCustomer->currentText() != kAllCustomers)
        request.insert(QStringLiteral("customer"), cmbCustomer->currentText());
    documents::produceAndClose(this, yieldDocument(QStringLiteral("crptCustomerYieldReport"), optCost),
                               request);
}

frmEmployeeEarnings::frmEmployeeEarnings(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Employee Earnings Report"));
    QGridLayout *grid = periodForm(this, dtStart, dtEnd);
    const OkCancel row = addOkCancel(this, grid, 2, 2);
    btnOK = row.ok;
    btnCancel = row.cancel;
    MasterData::chainTabOrder({dtStart, dtEnd, btnOK, btnCancel});
    connect(btnOK, &QPushButton::clicked, this, &frmEmployeeEarnings::Preview);
}

void frmEmployeeEarnings::Preview()
{
    documents::produceAndClose(this, QStringLiteral("crptEmployeeEarningsReport"), period(dtStart, dtEnd));
}
