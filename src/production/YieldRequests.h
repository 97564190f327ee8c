#pragma once

#include <QWidget>

class QComboBox;
class QDateEdit;
class QPushButton;
class QRadioButton;

// The request windows of the yield and earnings documents: a period (both days included) and,
// for yield, one employee or customer or all, and the standard the required feet come from.
// "Ok" previews the document and closes the window.

class frmEmployeeYield : public QWidget
{
    Q_OBJECT
public:
    explicit frmEmployeeYield(QWidget *parent = nullptr);

    QDateEdit *dtStart = nullptr;
    QDateEdit *dtEnd = nullptr;
    QComboBox *cmbEmployee = nullptr;
    QComboBox *cmbEmployeeID = nullptr; // the SSNs, one place behind cmbEmployee; never shown
    QRadioButton *optProd = nullptr;
    QRadioButton *optCost = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    void Preview();
};

class frmCustomerYield : public QWidget
{
    Q_OBJECT
public:
    explicit frmCustomerYield(QWidget *parent = nullptr);

    QDateEdit *dtStart = nullptr;
    QDateEdit *dtEnd = nullptr;
    QComboBox *cmbCustomer = nullptr;
    QRadioButton *optProd = nullptr;
    QRadioButton *optCost = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    void Preview();
};

class frmEmployeeEarnings : public QWidget
{
    Q_OBJECT
public:
    explicit frmEmployeeEarnings(QWidget *parent = nullptr);

    QDateEdit *dtStart = nullptr;
    QDateEdit *dtEnd = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    void Preview();
};
