#pragma once

#include "core/Database.h"
#include "production/MasterControls.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

// "Employee Entry/Edit": adds and edits the cutters. An employee saved under a changed SSN
// becomes a new employee; there is no delete.
class EmployeeEntry : public QWidget
{
    Q_OBJECT
public:
    explicit EmployeeEntry(QWidget *parent = nullptr);

    QLineEdit *txtSSN = nullptr;
    QLineEdit *txtFName = nullptr;
    QLineEdit *txtLName = nullptr;
    QLineEdit *txtAddress = nullptr;
    QLineEdit *txtCity = nullptr;
    QLineEdit *txtState = nullptr;
    QLineEdit *txtZip = nullptr;
    QLineEdit *txtPhone = nullptr;
    QDateEdit *dtHireDate = nullptr;
    QComboBox *cmbStatus = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

    // Shows the employee of the SSN on screen, or empties the fields for a new one.
    void LoadEmployee();
    // "Save And Close".
    void SaveAndClose();

private:
    std::vector<MasterData::TextColumn> m_texts; // the text columns besides the SSN
    MasterData::LoadedRecord m_loaded;
};
