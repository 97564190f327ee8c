#pragma once

#include "core/Money.h"
#include "orders/OrderData.h"

#include <QWidget>

class Grid;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Order Entry": one customer order is entered, changed, voided or reopened. Nothing reaches
// the database before "Save and Close", except a set's new catalogue price accepted on a line.
class OrderEntry : public QWidget
{
    Q_OBJECT
public:
    explicit OrderEntry(QWidget *parent = nullptr);

    // Fills the window with the stored order; an ID that matches no order changes nothing.
    void OpenOrder(qint32 id);
    // Rebuilds the grid from the stored lines of the order in lblID (empty for a new order).
    void RefreshGrid();
    // Recomputes the order total from the grid.
    void UpdateTotal();

    // The commands, as their buttons run them.
    void saveLine();
    void deleteLine();
    void voidOrder();
    void openOrder();
    void saveAndClose();
    void readWorkbook();
    // The workbook import after a file has been chosen.
    void importWorkbook(const QString &path);

    qint64 orderId() const;
    Money total() const { return m_total; }
    Money storedSetPrice() const { return m_storedSetPrice; }
    Grid *grid() const { return m_grid; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildUi();
    void fillCustomers();
    void customerChosen(int index);
    void orderNumberLeft();
    void refNoLeft();
    void updatePriceExt();
    void gridRowChosen(int row);
    void clearEntryRow();
    void formatGrid();
    void setCustomerText(const QString &name);
    void setShipTo(const ShipToAddress &s);
    ShipToAddress shipTo() const;
    int nextLineNumber() const;
    void appendLine(const OrderLine &line);
    // The grid's lines; false (after saying which line) when a cell is not a number.
    bool gridLines(std::vector<OrderLine> *lines);

    Money m_storedSetPrice;
    Money m_total;

    QComboBox *m_customer = nullptr;
    QLineEdit *m_orderNumber = nullptr;
    QDateEdit *m_orderDate = nullptr;
    QDateEdit *m_dueDate = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_id = nullptr;
    QLineEdit *m_shipTo = nullptr;
    QLineEdit *m_address1 = nullptr;
    QLineEdit *m_address2 = nullptr;
    QLineEdit *m_city = nullptr;
    QLineEdit *m_state = nullptr;
    QLineEdit *m_zip = nullptr;
    QLineEdit *m_phone = nullptr;
    QLineEdit *m_fax = nullptr;
    QPushButton *m_xls = nullptr;

    QLabel *m_item = nullptr;
    QLineEdit *m_qty = nullptr;
    QLineEdit *m_refNo = nullptr;
    QLineEdit *m_style = nullptr;
    QLineEdit *m_material = nullptr;
    QLineEdit *m_priceEach = nullptr;
    QLabel *m_priceExt = nullptr;
    Grid *m_grid = nullptr;
    QLineEdit *m_totalBox = nullptr;
};
