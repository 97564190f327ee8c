#pragma once

#include <QWidget>

#include <optional>
#include <vector>

class Grid;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace shipping {
struct ShipmentLine;
}

// "Shipment Selection": which cut sets of which order lines leave in one shipment to one
// customer, in which boxes. Save And Close writes it with its invoice, then prints the packing
// slip and the invoice, each until the user says it printed, and closes.
class Shipment : public QWidget
{
    Q_OBJECT
public:
    explicit Shipment(QWidget *parent = nullptr);

    QComboBox *cmbCustomer = nullptr;
    QComboBox *cmbOrders = nullptr;
    QComboBox *cmbOrderID = nullptr; // parallel to cmbOrders; never shown
    QComboBox *cmbItems = nullptr;
    QComboBox *cmbItemID = nullptr; // parallel to cmbItems; never shown
    QLineEdit *txtOrdered = nullptr;
    QLineEdit *txtCut = nullptr;
    QLineEdit *txtShipped = nullptr;
    QLineEdit *txtAvailable = nullptr;
    QLineEdit *txtShip = nullptr;
    QLineEdit *txtBox = nullptr;
    QLineEdit *txtID = nullptr;
    QDateEdit *dtDate = nullptr;
    QLineEdit *txtTotalSets = nullptr;
    Grid *vsfgShipment = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnRemove = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

    // Hides the key columns, sizes the columns and totals the sets shipped.
    void FormatShipmentGrid();
    void AddToShipment();
    void RemoveFromShipment();
    // Leaving the shipment ID: loads that shipment in place of what the grid holds.
    bool LoadShipment();
    void Save();

    std::vector<shipping::ShipmentLine> lines() const;

private:
    void customerChosen();
    void orderChosen();
    void lineChosen();
    void clearQuantities();
    void clearOrderLists();

    int m_customerPosition = 0;
    std::optional<qint64> m_loaded; // the stored shipment being edited
    QByteArray m_stamp;             // ... as it was stored when loaded or last saved here
};
