#include "production/YieldRequests.h"

#include "core/SharedRoutines.h"
#include "production/MasterControls.h"
#include "ui/Documents.h"
#include "ui/EntryWindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QRadioButton>

using namespace entry;

namespace {

const QString kAllEmployees = QStringLiteral("***All Employees***");
const QString kAllCustomers = QStringLiteral("***All Customers***");
const QString kStartDate = QStringLiteral("Start Date");

std::vector<request::Input> withStandards(const std::vector<request::Input> &pick)
{
    std::vector<request::Input> inputs{request::period(kStartDate)};
    inputs.insert(inputs.end(), pick.begin(), pick.end());
    inputs.push_back(request::option(QStringLiteral("optProd"), QStringLiteral("Production Standard")));
    inputs.push_back(request::option(QStringLiteral("optCost"), QStringLiteral("Cost Standard")));
    return inputs;
}

} // namespace

YieldRequest::YieldRequest(const QString &caption, const std::vector<request::Input> &pick, QWidget *parent)
    : PeriodRequestForm({.caption = caption, .inputs = withStandards(pick)}, parent),
      optProd(control<QRadioButton>(QStringLiteral("optProd"))),
      optCost(control<QRadioButton>(QStringLiteral("optCost"))),
      m_pick(control<QComboBox>(pick.front().name)), m_all(pick.front().entries.front())
{
}

QString YieldRequest::document(const QString &production) const
{
    // The cost standard's document is the production standard's with a 2.
    return optCost->isChecked() ? production + u'2' : production;
}

bool YieldRequest::picked() const
{
    return m_pick->currentText() != m_all;
}

bool YieldRequest::ready()
{
    return !m_pick->currentText().isEmpty();
}

frmEmployeeYield::frmEmployeeYield(QWidget *parent)
    : YieldRequest(
          QStringLiteral("Employee Yield Report"),
          {request::pick(QStringLiteral("cmbEmployee"), QStringLiteral("Employee"), kAllEmployees, 220),
           request::hidden(QStringLiteral("cmbEmployeeID"))},
          parent),
      cmbEmployee(control<QComboBox>(QStringLiteral("cmbEmployee"))),
      cmbEmployeeID(control<QComboBox>(QStringLiteral("cmbEmployeeID")))
{
    guarded(this, [&] { MasterData::addActiveEmployees(cmbEmployee, cmbEmployeeID); });
    cmbEmployeeID->setCurrentIndex(-1);
    // The all-entry has no SSN, so the SSN list stands one place behind.
    connect(cmbEmployee, &QComboBox::currentIndexChanged, cmbEmployeeID,
            [this](int index) { cmbEmployeeID->setCurrentIndex(index - 1); });
}

void frmEmployeeYield::produce()
{
    documents::Request request = period();
    if (picked())
        request.insert(QStringLiteral("employee"), cmbEmployeeID->currentText());
    documents::produce(document(QStringLiteral("crptEmployeeYieldReport")), request);
}

frmCustomerYield::frmCustomerYield(QWidget *parent)
    : YieldRequest(QStringLiteral("Customer Yield Report"),
                   {request::pick(QStringLiteral("cmbCustomer"), QStringLiteral("Customer"), kAllCustomers,
                                  220, ActiveCustomerNames)},
                   parent),
      cmbCustomer(control<QComboBox>(QStringLiteral("cmbCustomer")))
{
}

void frmCustomerYield::produce()
{
    documents::Request request = period();
    if (picked())
        request.insert(QStringLiteral("customer"), cmbCustomer->currentText());
    documents::produce(document(QStringLiteral("crptCustomerYieldReport")), request);
}

frmEmployeeEarnings::frmEmployeeEarnings(QWidget *parent)
    : PeriodRequestForm(
          {.caption = QStringLiteral("Employee Earnings Report"), .inputs = {request::period(kStartDate)}},
          parent)
{
}

void frmEmployeeEarnings::produce()
{
    documents::produce(QStringLiteral("crptEmployeeEarningsReport"), period());
}
