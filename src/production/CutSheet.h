#pragma once

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cutsheets {
struct Entry;
}

// "Cutsheet Entry/Edit": enters, corrects and deletes cut sheets. It stays open from one cut sheet
// to the next; on closing, what was saved or deleted meanwhile is printed as the control report.
class CutSheet : public QWidget
{
    Q_OBJECT
public:
    explicit CutSheet(QWidget *parent = nullptr);

    QLineEdit *txtCutsheetID = nullptr;
    QComboBox *cmbEmployee = nullptr;
    QComboBox *cmbEmployeeID = nullptr; // the SSNs, parallel to cmbEmployee; never shown
    QDateEdit *dtDate = nullptr;
    QComboBox *cmbOrderLine = nullptr; // the lines with sets left to cut; picking one fills order and item
    QLineEdit *txtOrder = nullptr;
    QLineEdit *txtItem = nullptr;
    QLineEdit *txtStyle = nullptr;
    QLineEdit *txtSets = nullptr;
    QLineEdit *txtUsed = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnDelete = nullptr;
    QPushButton *btnExit = nullptr;
    QLabel *lblMessage = nullptr; // what the last save or delete wrote

    // Leaving the cut sheet ID: loads that cut sheet.
    void LoadCutsheet();
    // Leaving the order or the item: the line must be of an open order and not a kit.
    void CheckOrderItem();
    // Leaving the sets: no more than were ordered, counting what was cut before.
    void CheckSets();
    void Save();
    void Delete();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    cutsheets::Entry entry() const;
    // The loaded cut sheet as stored, and its ID: a save of another ID is not judged by it.
    QByteArray m_stamp;
    QString m_stampId;
    void clearEntry();
    void orderLinePicked(int index);
};
