#pragma once

#include "core/Database.h"
#include "production/MasterControls.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Material Entry/Edit": adds and edits the materials sets are cut from. A material saved under
// a changed ID becomes a new material; there is no delete.
class MaterialEntry : public QWidget
{
    Q_OBJECT
public:
    explicit MaterialEntry(QWidget *parent = nullptr);

    QLineEdit *txtID = nullptr;
    QLineEdit *txtDesc = nullptr;
    QComboBox *cmbStatus = nullptr;
    QComboBox *cmbType = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

    // Shows the material of the ID on screen, or empties the fields for a new one.
    void LoadMaterial();
    // "Save And Close".
    void SaveAndClose();

private:
    MasterData::LoadedRecord m_loaded;
};
