#include "ui/FirstStartDialog.h"

#include "core/Clock.h"
#include "core/Config.h"
#include "core/FirstStart.h"
#include "ui/DatePicker.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString kFilter = QStringLiteral("Shop files (*.db);;All files (*)");

} // namespace

FirstStartDialog::FirstStartDialog(const QString &configFolder, QWidget *parent)
    : QDialog(parent), m_folder(configFolder)
{
    setObjectName(QStringLiteral("frmFirstStart"));
    setWindowTitle(QStringLiteral("Corvane - First Start"));
    setWindowIcon(programIcon());

    auto *intro =
        new QLabel(QStringLiteral("No configuration was found. Choose the shop file to work with; the "
                                  "choice is written to %1.")
                       .arg(QDir::toNativeSeparators(configPath(configFolder))),
                   this);
    intro->setWordWrap(true);

    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    m_new = new QRadioButton(QStringLiteral("&Create a new shop file"), this);
    m_new->setObjectName(QStringLiteral("optNew"));
    m_new->setChecked(true);
    m_newPath = new QLineEdit(QDir(documents).filePath(QStringLiteral("Corvane/shop.db")), this);
    m_newPath->setObjectName(QStringLiteral("txtNewPath"));
    auto *browseNew = new QPushButton(QStringLiteral("Browse..."), this);
    browseNew->setObjectName(QStringLiteral("btnBrowseNew"));
    // The new file's own passphrase: optional, since a shop may keep the program's fixed key.
    m_passphrase = new QLineEdit(this);
    m_passphrase->setObjectName(QStringLiteral("txtPassphrase"));
    m_passphrase->setEchoMode(QLineEdit::Password);
    m_passphrase->setPlaceholderText(QStringLiteral("optional, at least 10 characters"));
    m_confirm = new QLineEdit(this);
    m_confirm->setObjectName(QStringLiteral("txtConfirm"));
    m_confirm->setEchoMode(QLineEdit::Password);
    auto *keyForm = new QFormLayout;
    keyForm->addRow(QStringLiteral("&Passphrase:"), m_passphrase);
    keyForm->addRow(QStringLiteral("Con&firm passphrase:"), m_confirm);

    m_existing = new QRadioButton(QStringLiteral("&Open an existing shop file"), this);
    m_existing->setObjectName(QStringLiteral("optExisting"));
    m_existingPath = new QLineEdit(this);
    m_existingPath->setObjectName(QStringLiteral("txtExistingPath"));
    auto *browseExisting = new QPushButton(QStringLiteral("Browse..."), this);
    browseExisting->setObjectName(QStringLiteral("btnBrowseExisting"));

    auto *choices = new QGridLayout;
    choices->addWidget(m_new, 0, 0, 1, 2);
    choices->addWidget(m_newPath, 1, 0);
    choices->addWidget(browseNew, 1, 1);
    choices->addLayout(keyForm, 2, 0);
    choices->addWidget(m_existing, 3, 0, 1, 2);
    choices->addWidget(m_existingPath, 4, 0);
    choices->addWidget(browseExisting, 4, 1);
    choices->setColumnMinimumWidth(0, 380);

    m_cutoff = new DatePicker(this);
    m_cutoff->setObjectName(QStringLiteral("dtCutoff"));
    m_cutoff->setDate(QDate(Clock::today().year(), 1, 1));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Price change cut-off:"), m_cutoff);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *start = buttons->addButton(QStringLiteral("&Start"), QDialogButtonBox::AcceptRole);
    start->setObjectName(QStringLiteral("btnStart"));
    start->setDefault(true);
    QPushButton *quit = buttons->addButton(QStringLiteral("&Quit"), QDialogButtonBox::RejectRole);
    quit->setObjectName(QStringLiteral("btnQuit"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(choices);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // Typing into a path chooses its option.
    connect(m_newPath, &QLineEdit::textEdited, m_new, [this] { m_new->setChecked(true); });
    connect(m_existingPath, &QLineEdit::textEdited, m_existing, [this] { m_existing->setChecked(true); });
    for (QLineEdit *key : {m_passphrase, m_confirm})
        connect(key, &QLineEdit::textEdited, m_new, [this] { m_new->setChecked(true); });
    // An existing file keeps its own key: the passphrase boxes belong to a new file only.
    connect(m_new, &QRadioButton::toggled, this, [this](bool isNew) {
        m_passphrase->setEnabled(isNew);
        m_confirm->setEnabled(isNew);
    });
    connect(browseNew, &QPushButton::clicked, this, [this] { browse(true); });
    connect(browseExisting, &QPushButton::clicked, this, [this] { browse(false); });
    connect(start, &QPushButton::clicked, this, &FirstStartDialog::start);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

void FirstStartDialog::browse(bool newFile)
{
    QLineEdit *edit = newFile ? m_newPath : m_existingPath;
    const QString dir = edit->text().isEmpty() ? QDir::homePath() : QFileInfo(edit->text()).absolutePath();
    const QString chosen =
        newFile ? FileDialogs::saveFileName(this, QStringLiteral("New Shop File"), dir, kFilter)
                : FileDialogs::openFileName(this, QStringLiteral("Open Shop File"), dir, kFilter);
    if (chosen.isEmpty())
        return;
    edit->setText(QDir::toNativeSeparators(chosen));
    (newFile ? m_new : m_existing)->setChecked(true);
}

void FirstStartDialog::start()
{
    ShopChoice choice;
    choice.kind = m_new->isChecked() ? ShopChoice::NewFile : ShopChoice::ExistingFile;
    choice.databasePath =
        QDir::fromNativeSeparators((m_new->isChecked() ? m_newPath : m_existingPath)->text().trimmed());
    choice.priceChangeCutoff = m_cutoff->date();
    if (choice.kind == ShopChoice::NewFile) {
        choice.passphrase = m_passphrase->text().toUtf8();
        choice.passphraseAgain = m_confirm->text().toUtf8();
    }
    try {
        m_written = setUpShop(choice, m_folder);
    } catch (const StartupError &e) {
        MessageBox::show(this, e.text(), e.title(), MessageBox::OkOnly, MessageBox::Exclamation);
        return;
    }
    m_key = choice.passphrase;
    accept();
}
