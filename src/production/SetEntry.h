#pragma once

#include "core/Database.h"
#include "core/Money.h"

#include <QWidget>

#include <optional>
#include <vector>

class MoneyField;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace MasterData {

// What a save writes into the set catalogue. The identity (customer, reference number, style,
// material) is written only when the set is new; an empty number keeps the stored one.
struct SetValues
{
    QString customer;
    QString refNo;
    QString style;
    QString material;
    std::optional<double> reqFeet;
    std::optional<double> productionStandard;
    std::optional<Money> employeeRate;
    std::optional<Money> cuttingPrice;
    std::optional<Money> sewingPrice;
    std::optional<Money> vinylPrice;
    std::optional<Money> leatherPrice;
    std::optional<Money> kitPrice;
    std::optional<Money> totalPrice;
    QString type;
    QString status;
};

bool MaterialExists(const QString &id);
std::optional<Row> FindSet(const QString &refNo);
// Adds or edits the set of `v.refNo`, decided by looking it up now. True when added.
bool SaveSet(const SetValues &v);
// The price of a set from its component prices as typed; an empty or non-numeric one counts 0.
Money SetTotalPrice(const std::vector<QString> &components);

} // namespace MasterData

// "Set Entry/Edit": adds and edits the catalogue's sets. There is no delete.
class SetEntry : public QWidget
{
    Q_OBJECT
public:
    explicit SetEntry(QWidget *parent = nullptr);

    QComboBox *cmbCustomer = nullptr;
    QLineEdit *txtRefNo = nullptr;
    QLineEdit *txtStyle = nullptr;
    QLineEdit *txtMaterial = nullptr;
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
};
