#pragma once

#include <QWidget>

class Grid;
class QPushButton;

// "Inventory Value Adjust": new unit values typed by hand for any materials.
class InventoryValueAdjust : public QWidget
{
    Q_OBJECT
public:
    // Material, description, status and type, then the stored and the typed value.
    static constexpr int ColAvgPrice = 4;
    static constexpr int ColNewPrice = 5;

    explicit InventoryValueAdjust(QWidget *parent = nullptr);

    Grid *vsfgAdj = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

    void FillGrid();
    void Save();

private:
    void checkEdit(int row, int column);
};

// "Reset Item Price": after its confirmation, every unit value becomes the rounded average
// adjustment price. No on the confirmation leaves them all.
void ResetPrice(QWidget *parent);
