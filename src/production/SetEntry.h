#pragma once

#include "core/Database.h"
#include "core/Money.h"
#include "production/MasterControls.h"

#include <QWidget>

#include <optional>
#include <vector>

class MoneyField;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Set Entry/Edit": adds and edits the catalogue's sets. There is no delete.
class SetEntry : public QWidget
{
    Q_OBJECT
public:
    explicit SetEntry(QWidget *parent = nullptr);

    QComboBox *cmbCustomer = nullptr;
    QLineEdit *txtRefNo = nullptr;
    QLineEdit *txtStyle = nullptr;
    // The active materials, with a material typed or stored outside them still shown and checked.
    QComboBox *txtMaterial = nullptr;
    QLineEdit *txtFeetReq = nullptr;
    QLineEdit *txtProdStandard = nullptr;
    QComboBox *cmbType = nullptr;
    QComboBox *cmbStatus = nullptr;
    MoneyField *txtEmployeeRate = nullptr;
    MoneyField *txtCut = nullptr;
    MoneyField *txtSew = nullptr;
    MoneyField *txtVinyl = nullptr;
    MoneyField *txtLeather = nullptr;
    MoneyField *txtKit = nullptr;
    MoneyField *txtTotal = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

    // Shows the set of the reference number on screen, or empties the fields for a new one.
    void LoadSet();
    // Refuses a material that is not in the material list.
    void CheckMaterial();
    // The total price becomes the sum of the five component prices.
    void UpdateTotal();
    // "Save And Close".
    void SaveAndClose();

private:
    std::vector<MoneyField *> components() const;
    MasterData::LoadedRecord m_loaded;
};
