#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Cross Reference Entry/Edit": the supplier's part for each customer item number, which the
// demand import needs; found by the customer's number, added when the number is new.
class CrossReferenceEntry : public QWidget
{
    Q_OBJECT
public:
    explicit CrossReferenceEntry(QWidget *parent = nullptr);

    QComboBox *cmbRefNumber = nullptr;
    QLineEdit *txtPartNumber = nullptr;
    QLineEdit *txtDescription = nullptr;
    QLineEdit *txtColorName = nullptr;
    QLineEdit *txtRStringNumber = nullptr;
    QLineEdit *txtCost = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnExit = nullptr;

    // Shows the row of the number typed or picked, or empties the fields for a new one.
    void LoadCrossReference();
    void SaveAndClose();
};
