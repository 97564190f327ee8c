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

    // The controls, by their names on screen.
    QComboBox *cmbCustomer = nullptr;
    QLineEdit *txtOrderNumber = nullptr;
    QDateEdit *dtOrderDate = nullptr;
    QDateEdit *dtDueDate = nullptr;
    QLabel *lblStatus = nullptr;
    QLabel *lblID = nullptr;
    QLineEdit *txtShipTo = nullptr;
    QLineEdit *txtAddress1 = nullptr;
    QLineEdit *txtAddress2 = nullptr;
    QLineEdit *txtCity = nullptr;
    QLineEdit *txtState = nullptr;
    QLineEdit *txtZip = nullptr;
    QLineEdit *txtPhone = nullptr;
    QLineEdit *txtFax = nullptr;
    QPushButton *btnXLS = nullptr;
    QLabel *lblItem = nullptr;
    QLineEdit *txtQty = nullptr;
    QLineEdit *txtCustomerRefNo = nullptr;
    QLineEdit *txtStyle = nullptr;
    QLineEdit *txtMaterial = nullptr;
    QLineEdit *txtPriceEach = nullptr;
    QLabel *lblPriceExt = nullptr;
    Grid *vsfgItems = nullptr;
    QLineEdit *lblTotal = nullptr;

    // Fills the window with the stored order; an ID that matches no order changes nothing.
    void OpenOrder(qint32 id);
    // Reloads the lines from the stored order in lblID (none for a new order) and shows them.
    void RefreshGrid();
    // Recomputes the order total from the lines.
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
    // The order's lines as they stand in the window; the grid shows them.
    const std::vector<OrderLine> &lines() const { return m_lines; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildUi();
    void fillCustomers();
    void customerChosen(int index);
    void orderNumberLeft();
    // False (after saying so) when the reference number names no active set.
    bool refNoLeft();
    void updatePriceExt();
    void gridRowChosen(int row);
    void clearEntryRow();
    void showLines();
    void setCustomerText(const QString &name);
    void setShipTo(const ShipToAddress &s);
    ShipToAddress shipTo() const;
    void appendLine(const OrderLine &line);

    std::vector<OrderLine> m_lines;
    Money m_storedSetPrice;
    Money m_total;
    QByteArray m_loaded; // the opened order as stored, to refuse saving over someone's change

};
