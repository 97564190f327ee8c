#include "ui/ServerLoginBox.h"

#include "ui/EntryWindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

ServerLoginBox::ServerLoginBox(const QString &uri, const QString &problem, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmServerLoginBox"));
    setWindowTitle(QStringLiteral("Database Login"));
    auto *grid = new QGridLayout(this);
    auto *note = new QLabel(
        problem.isEmpty() ? QStringLiteral("The shop's database %1 asks who you are.").arg(uri) : problem);
    note->setWordWrap(true);
    grid->addWidget(note, 0, 0, 1, 3);
    auto field = [&](const QString &name, const QString &caption, int row) {
        auto *edit = entry::makeText(this, name);
        auto *label = new QLabel(caption);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1, 1, 2);
        return edit;
    };
    m_user = field(QStringLiteral("txtUserName"), QStringLiteral("&User name:"), 1);
    m_user->setText(QUrl(uri).userName());
    m_password = field(QStringLiteral("txtPassword"), QStringLiteral("&Password:"), 2);
    m_password->setEchoMode(QLineEdit::Password);
    const entry::OkCancel buttons = entry::addOkCancel(this, grid, 3, 3);
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    (m_user->text().isEmpty() ? m_user : m_password)->setFocus();
    setMinimumWidth(420);
}

bool ServerLoginBox::ask(const QString &uri, QString &user, QString &password, const QString &problem)
{
    ServerLoginBox box(uri, problem);
    if (!user.isEmpty())
        box.userName()->setText(user);
    if (box.exec() != QDialog::Accepted)
        return false;
    user = box.userName()->text().trimmed();
    password = box.password()->text();
    return true;
}
