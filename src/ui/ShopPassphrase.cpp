#include "ui/ShopPassphrase.h"

#include "core/Passphrase.h"
#include "ui/EntryWindow.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ShopPassphrase::ShopPassphrase(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmShopPassphrase"));
    setWindowTitle(QStringLiteral("Shop Passphrase"));
    auto *grid = new QGridLayout(this);
    auto *note = new QLabel(QStringLiteral("The shop's file will be opened only with this passphrase. It is "
                                           "asked each time the program starts and is kept nowhere: without "
                                           "it, the file cannot be opened."));
    note->setWordWrap(true);
    grid->addWidget(note, 0, 0, 1, 3);
    auto field = [&](const QString &name, const QString &caption, int row) {
        auto *edit = entry::makeText(this, name);
        edit->setEchoMode(QLineEdit::Password);
        auto *label = new QLabel(caption);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1, 1, 2);
        return edit;
    };
    m_passphrase = field(QStringLiteral("txtPassphrase"), QStringLiteral("&New passphrase:"), 1);
    m_confirm = field(QStringLiteral("txtConfirm"), QStringLiteral("&Type it again:"), 2);
    const entry::OkCancel buttons = entry::addOkCancel(this, grid, 3, 3);
    m_ok = buttons.ok;
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &ShopPassphrase::save);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(420);
}

void ShopPassphrase::save()
{
    const QByteArray typed = m_passphrase->text().toUtf8();
    if (const auto no = passphrase::refusal(typed, m_confirm->text().toUtf8())) {
        entry::showRefusal(this, *no);
        return;
    }
    if (!entry::guarded(this, [&] { passphrase::rekey(DbConnection(), typed); }))
        return;
    MessageBox::show(this,
                     QStringLiteral("The shop's file is now keyed with the new passphrase. It will be asked "
                                    "the next time the program starts."),
                     windowTitle(), MessageBox::OkOnly, MessageBox::Information);
    accept();
}

QByteArray ShopPassphrase::ask(const QString &file, int attempt)
{
    const QString where = QDir::toNativeSeparators(file);
    const QString text = attempt == 1
                             ? QStringLiteral("The shop's file %1 is keyed with a passphrase. Passphrase:").arg(where)
                             : QStringLiteral("That passphrase is wrong (try %1 of 3). Passphrase of %2:")
                                   .arg(attempt)
                                   .arg(where);
    bool ok = false;
    const QString typed = QInputDialog::getText(nullptr, QStringLiteral("Shop Passphrase"), text,
                                                QLineEdit::Password, QString(), &ok);
    return ok ? typed.toUtf8() : QByteArray();
}
