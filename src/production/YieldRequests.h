#pragma once

#include "ui/Documents.h"
#include "ui/RequestForm.h"

class QComboBox;
class QRadioButton;

// The request windows of the yield and earnings documents: a period (both days included) and,
// for yield, one employee or customer or all, and the standard the required feet come from.
// "Ok" previews the document and closes the window.

// What both yield windows share: one employee or customer or all, and the standard, production
// first.
class YieldRequest : public PeriodRequestForm
{
    Q_OBJECT
public:
    QRadioButton *optProd = nullptr;
    QRadioButton *optCost = nullptr;

protected:
    // The period, then `pick` (the employee or customer list first), then the two standards.
    YieldRequest(const QString &caption, const std::vector<request::Input> &pick, QWidget *parent);
    // The document for the chosen standard, from the production standard's name.
    QString document(const QString &production) const;
    // False while the list shows its all-entry.
    bool picked() const;
    // An empty list gives no document.
    bool ready() override;

private:
    QComboBox *m_pick = nullptr;
    QString m_all;
};

class frmEmployeeYield : public YieldRequest
{
    Q_OBJECT
public:
    explicit frmEmployeeYield(QWidget *parent = nullptr);

    QComboBox *cmbEmployee = nullptr;
    QComboBox *cmbEmployeeID = nullptr; // the SSNs, one place behind cmbEmployee; never shown

protected:
    void produce() override;
};

class frmCustomerYield : public YieldRequest
{
    Q_OBJECT
public:
    explicit frmCustomerYield(QWidget *parent = nullptr);

    QComboBox *cmbCustomer = nullptr;

protected:
    void produce() override;
};

class frmEmployeeEarnings : public PeriodRequestForm
{
    Q_OBJECT
public:
    explicit frmEmployeeEarnings(QWidget *parent = nullptr);

protected:
    void produce() override;
};
