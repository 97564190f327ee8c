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

    // Picks the file through the platform's file dialog.
    void browse();
    // Checks the choices, imports, prints the run's log and closes; stays open on a refusal or
    // a failed run.
    void ok();

private:
    QComboBox *m_customer = nullptr;
    QLineEdit *m_file = nullptr;
};

// "Import Log Report": reprints the log of an earlier run.
class frmPrintImportLog : public QWidget
{
    Q_OBJECT
public:
    explicit frmPrintImportLog(QWidget *parent = nullptr);

    void print();

private:
    QComboBox *m_log = nullptr;
    QList<qint64> m_logIds; // parallel to m_log's entries
};
