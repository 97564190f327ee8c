#pragma once

#include "purchasing/PurchaseOrders.h"

#include <QWidget>

class Grid;
class MoneyField;
class QDateEdit;
class QLineEdit;
class QPushButton;

// "Pending PO Items": the open pending items, ticked into one purchase order at a time.
class frmPendingPOItems : public QWidget
{
    Q_OBJECT
public:
    enum Column
    {
        ColTransfer,
        ColId,
        ColRef,
        ColPart,
        ColDescription,
        ColColor,
        ColRString,
        ColQuantity,
        ColPriceEach,
        ColPriceExt,
        ColDockDate
    };

    explicit frmPendingPOItems(QWidget *parent = nullptr);

    // The controls, by their names on screen.
    QLineEdit *txtTerms = nullptr;
    QLineEdit *txtComment = nullptr;
    QDateEdit *dtDate = nullptr;
    QDateEdit *dtDue = nullptr;
    MoneyField *txtTotal = nullptr;
    Grid *vsfgItems = nullptr;

    // Rebuilds the grid from the open items; nothing ticked.
    void FillPendingGrid();
    // The sum of "Price Ext." over the ticked rows, into txtTotal.
    void UpdateSelectedTotal();

    void selectAll(bool ticked);
    // Withdraws the item of the current row after asking.
    void deleteItem();
    // Writes the purchase order of the ticked rows, then prints it.
    void createPO();

    purchasing::POHeader header() const;

    // The size the window opens at.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrange();
    Money selectedTotal() const;
    bool ticked(int row) const;

    QWidget *m_top = nullptr;
    QLineEdit *m_vendor[3] = {};
    QLineEdit *m_billTo[3] = {};
    QLineEdit *m_shipTo[3] = {};
};
