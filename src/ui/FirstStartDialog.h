#pragma once

#include <QDialog>

class DatePicker;
class QLineEdit;
class QRadioButton;

// Shown instead of a configuration error when no config.txt exists: makes a new shop file or
// takes an existing one, and writes config.txt into the user's configuration folder.
class FirstStartDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FirstStartDialog(const QString &configFolder, QWidget *parent = nullptr);

    // The config.txt written once the dialog was accepted.
    QString writtenConfig() const { return m_written; }
    // The new file's own passphrase, so that opening it does not ask again; empty for the fixed key.
    QByteArray newFileKey() const { return m_key; }

private:
    void browse(bool newFile);
    void start();

    QString m_folder;
    QString m_written;
    QByteArray m_key;
    QRadioButton *m_new = nullptr;
    QRadioButton *m_existing = nullptr;
    QLineEdit *m_newPath = nullptr;
    QLineEdit *m_existingPath = nullptr;
    QLineEdit *m_passphrase = nullptr;
    QLineEdit *m_confirm = nullptr;
    DatePicker *m_cutoff = nullptr;
};
