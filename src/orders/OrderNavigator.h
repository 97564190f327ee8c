#pragma once

#include "orders/OrderData.h"

#include <QWidget>

class Grid;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;

// Set while the order navigator is open, so the order window refreshes it when it closes.
bool &NavigatorOpen();

// "Order Navigator": finds orders, shows the lines of the order moved to, and opens an order in
// the order window.
class OrderNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit OrderNavigator(QWidget *parent = nullptr);
    ~OrderNavigator() override;

    // The controls, by their names on screen.
    QGroupBox *fraSearchCriteria = nullptr;
    QGroupBox *fraOrders = nullptr;
    QGroupBox *fraLineItems = nullptr;
    QComboBox *cmbCustomer = nullptr;
    QComboBox *cmbStatus = nullptr;
    QCheckBox *chkOrderDate = nullptr;
    QDateEdit *dtStartDate = nullptr;
    QDateEdit *dtEndDate = nullptr;
    QLineEdit *txtOrderNumber = nullptr;
    Grid *vsfgOrders = nullptr;
    Grid *vsfgItems = nullptr;

    // Runs the search with the current criteria; empties the line grid.
    void UpdateGrids();

    void find() { UpdateGrids(); }
    void clear();
    void addNew();
    // Opens the order window with the order of data row `row` (none for -1).
    void openOrderAt(int row);

    OrderCriteria criteria() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void orderRowChosen(int row);
    void emptyItems();
    void arrange();

    bool m_sized = false;
};
