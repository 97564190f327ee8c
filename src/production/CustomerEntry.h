#pragma once

#include "core/Database.h"
#include "production/MasterControls.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Customer Entry/Edit": adds and edits customers. A customer saved under a changed name
// becomes a new customer; there is no delete and no rename.
class CustomerEntry : public QWidget
{
    Q_OBJECT
public:
    explicit CustomerEntry(QWidget *parent = nullptr);

    QComboBox *cmbCustomer = nullptr; // editable: pick a name or type a new one
    QLineEdit *txtAddress1 = nullptr;
    QLineEdit *txtAddress2 = nullptr;
    QLineEdit *txtCity = nullptr;
    QLineEdit *txtState = nullptr;
    QLineEdit *txtZip = nullptr;
    QLineEdit *txtPhone = nullptr;
    QLineEdit *txtFax = nullptr;
    QComboBox *cmbStatus = nullptr;
    QLineEdit *txtShipTo = nullptr;
    QLineEdit *txtShipToAddress1 = nullptr;
    QLineEdit *txtShipToAddress2 = nullptr;
    QLineEdit *txtShipToCity = nullptr;
    QLineEdit *txtShipToState = nullptr;
    QLineEdit *txtShipToZip = nullptr;
    QLineEdit *txtShipToPhone = nullptr;
    QLineEdit *txtShipToFax = nullptr;
    QLineEdit *txtTerms = nullptr;
    QLineEdit *txtDays = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

    // Shows the customer whose name is on screen, or empties the fields for a new one.
    void LoadCustomer();
    // Refuses days that are not a whole number.
    void CheckDays();
    // "Save And Close".
    void SaveAndClose();

private:
    std::vector<MasterData::TextColumn> m_texts; // the text columns besides the name
    MasterData::LoadedRecord m_loaded;
};
