#include "ui/AboutBox.h"

#include "ui/MessageBox.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

AboutBox::AboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Order Management Software"));

    auto *icon = new QLabel;
    icon->setPixmap(programIcon().pixmap(48, 48));
    auto *title = new QLabel(QStringLiteral("Order Management Software"));
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    title->setFont(f);
    auto *version = new QLabel(QStringLiteral("Version 2.3 5/14/2010"));
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *description = new QLabel(descriptionLine());
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutBox::StartSysInfo);

    auto *text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    setMinimumWidth(460);
}

QString AboutBox::descriptionLine()
{
    // __DATE__ reads "Dec  9 2026".
    const QDate built =
        QLocale::c().toDate(QString::fromLatin1(__DATE__).simplified(), QStringLiteral("MMM d yyyy"));
    return QStringLiteral("Corvane %1, built %2")
        .arg(QStringLiteral(CORVANE_VERSION), built.toString(QStringLiteral("M/d/yyyy")));
}

QString AboutBox::systemInfoProgram()
{
    for (const char *name : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

void AboutBox::StartSysInfo()
{
    const QString program = systemInfoProgram();
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        MessageBox::show(this, QStringLiteral("System Information Is Unavailable At This Time"),
                         windowTitle(), MessageBox::OkOnly);
}
