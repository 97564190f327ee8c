#pragma once

#include <QList>
#include <QWidget>

class QComboBox;
class QLineEdit;

// "Browse For Spreadsheet...": the customer and the demand spreadsheet to import.
class frmImportOrderXLS : public QWidget
{
    Q_OBJECT
public:
    explicit frmImportOrderXLS(QWidget *parent = nullptr);

    // The controls, by their names on screen.
    QComboBox *cmbCustomer = nullptr;
    QLineEdit *SelectedFile = nullptr;

    // Picks the file through the platform's file dialog.
    void browse();
    // Checks the choices, imports, prints the run's log and closes; stays open on a refusal or
    // a failed run.
    void ok();
};

// "Import Log Report": reprints the log of an earlier run.
class frmPrintImportLog : public QWidget
{
    Q_OBJECT
public:
    explicit frmPrintImportLog(QWidget *parent = nullptr);

    // The controls, by their names on screen.
    QComboBox *cmbLog = nullptr;

    void print();

private:
    QList<qint64> m_logIds; // parallel to cmbLog's entries
};
