#pragma once

#include "ui/Documents.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QListWidget;
class QPushButton;

// The request windows of the material documents: each previews its document and closes.

// The as-of requests: a day and whether inactive materials are listed too.
class AsOfRequest : public QWidget
{
    Q_OBJECT
public:
    QDateEdit *dtDate = nullptr;
    QCheckBox *chkInActive = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

    void Preview();

protected:
    AsOfRequest(const QString &title, QWidget *parent);
    // The document previewed, by its registry name.
    virtual QString document() const = 0;
};

// "Available Inventory Report": stock as of a day against what is still to be cut.
class frmAvailableInventory : public AsOfRequest
{
    Q_OBJECT
public:
    explicit frmAvailableInventory(QWidget *parent = nullptr);

protected:
    QString document() const override;
};

// "Inventory Valuation Summary": stock as of a day at today's unit values.
class frmInventoryValuation : public AsOfRequest
{
    Q_OBJECT
public:
    explicit frmInventoryValuation(QWidget *parent = nullptr);

protected:
    QString document() const override;
};

// "Material History Report": the movements of a period with each material's running balance.
class frmLeatherHistory : public QWidget
{
    Q_OBJECT
public:
    explicit frmLeatherHistory(QWidget *parent = nullptr);

    QDateEdit *dtStart = nullptr;
    QDateEdit *dtEnd = nullptr;
    QComboBox *cmbMaterial = nullptr;
    QCheckBox *chkCutsheets = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    void Preview();
};

// "Leather Sales Report Options": material ordered by four chosen customers and by all others.
class frmLeatherSales : public QWidget
{
    Q_OBJECT
public:
    explicit frmLeatherSales(QWidget *parent = nullptr);

    QDateEdit *dtStart = nullptr;
    QDateEdit *dtEnd = nullptr;
    QListWidget *lstCustomers = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    // The selected names, top to bottom.
    QStringList chosenCustomers() const;
    void Preview();
};
