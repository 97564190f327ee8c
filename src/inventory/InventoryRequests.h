#pragma once

#include "ui/RequestForm.h"

class QCheckBox;
class QComboBox;
class QListWidget;

// The request windows of the material documents: each previews its document and closes.

// The as-of requests: a day and whether inactive materials are listed too.
class AsOfRequest : public AsOfRequestForm
{
    Q_OBJECT
public:
    QCheckBox *chkInActive = nullptr;

protected:
    AsOfRequest(const QString &title, QWidget *parent);
    // The document previewed, by its registry name.
    virtual QString document() const = 0;
    void produce() override;
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
class frmLeatherHistory : public PeriodRequestForm
{
    Q_OBJECT
public:
    explicit frmLeatherHistory(QWidget *parent = nullptr);

    QComboBox *cmbMaterial = nullptr;
    QCheckBox *chkCutsheets = nullptr;

protected:
    void produce() override;
};

// "Leather Sales Report Options": material ordered by four chosen customers and by all others.
class frmLeatherSales : public PeriodRequestForm
{
    Q_OBJECT
public:
    explicit frmLeatherSales(QWidget *parent = nullptr);

    QListWidget *lstCustomers = nullptr;

    // The selected names, top to bottom.
    QStringList chosenCustomers() const;

protected:
    bool ready() override;
    void produce() override;
};
