#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// The user name and password for a shop database on a PostgreSQL server, asked at start-up when
// libpq's password and service files have none. Nothing typed here is kept.
class ServerLoginBox : public QDialog
{
    Q_OBJECT
public:
    ServerLoginBox(const QString &uri, const QString &problem, QWidget *parent = nullptr);

    QLineEdit *userName() const { return m_user; }
    QLineEdit *password() const { return m_password; }

    // The start-up hook: false when the clerk cancels.
    static bool ask(const QString &uri, QString &user, QString &password, const QString &problem);

private:
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
};
