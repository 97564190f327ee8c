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

    // Runs the search with the current criteria; empties the line grid.
    void UpdateGrids();

    void find() { UpdateGrids(); }
    void clear();
    void addNew();
    // Opens the order window with the order of data row `row` (none for -1).
    void openOrderAt(int row);

    OrderCriteria criteria() const;
    Grid *ordersGrid() const { return m_orders; }
    Grid *itemsGrid() const { return m_items; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void orderRowChosen(int row);
    void emptyItems();
    void arrange();

    QGroupBox *m_criteriaFrame = nullptr;
    QGroupBox *m_ordersFrame = nullptr;
    QGroupBox *m_itemsFrame = nullptr;
    QComboBox *m_customer = nullptr;
    QComboBox *m_status = nullptr;
    QCheckBox *m_useDate = nullptr;
    QDateEdit *m_start = nullptr;
    QDateEdit *m_end = nullptr;
    QLineEdit *m_orderNumber = nullptr;
    Grid *m_orders = nullptr;
    Grid *m_items = nullptr;
    bool m_sized = false;
};
