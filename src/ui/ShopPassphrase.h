#pragma once

#include <QByteArray>
#include <QDialog>

class QLineEdit;
class QPushButton;

// Keys the shop's file with a passphrase of its own, typed twice; it is asked at every start.
class ShopPassphrase : public QDialog
{
    Q_OBJECT
public:
    explicit ShopPassphrase(QWidget *parent = nullptr);

    QLineEdit *passphrase() const { return m_passphrase; }
    QLineEdit *confirm() const { return m_confirm; }
    QPushButton *ok() const { return m_ok; }

    // The start-up question for a keyed file; empty when the clerk cancels.
    static QByteArray ask(const QString &file, int attempt);

private:
    void save();

    QLineEdit *m_passphrase = nullptr;
    QLineEdit *m_confirm = nullptr;
    QPushButton *m_ok = nullptr;
};
