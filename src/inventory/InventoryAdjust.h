#pragma once

#include <QDate>
#include <QWidget>

class Grid;
class MoneyField;
class QDateEdit;
class QLineEdit;
class QPushButton;

// "Inventory Adjust": a dated, reasoned change of the stock of any number of materials, each
// with a unit price. The grid shows every material with its stock on hand as of the date.
class InventoryAdjust : public QWidget
{
    Q_OBJECT
public:
    // The grid's columns.
    enum Column
    {
        ColMaterial,
        ColDescription,
        ColStatus,
        ColType,
        ColUoM,
        ColOnHand,
        ColAdjustment,
        ColNewBalance,
        ColUnitPrice,
        ColPriceExt
    };

    explicit InventoryAdjust(QWidget *parent = nullptr);

    QDateEdit *dtDate = nullptr;
    QLineEdit *txtReason = nullptr;
    MoneyField *txtTotal = nullptr;
    Grid *vsfgAdj = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

    // Every material with its stock on hand as of the date; typed lines are discarded.
    void FillAdjustmentGrid();
    // The sum of the extended prices into the total.
    void UpdateAdjustmentTotal();
    void Save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void recomputeRow(int row, int column);
    // The adjusted lines: those whose adjustment is not blank.
    QList<int> adjustedRows() const;
    QString printTitle() const;

    // The day the grid's stock was read for; null until the first fill.
    QDate m_filledFor;
    bool m_fillQueued = false;
};
