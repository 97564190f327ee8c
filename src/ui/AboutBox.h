#pragma once

#include <QDialog>

class QPushButton;

// "About Order Management Software".
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

    // Starts the platform's system information tool; says so when there is none.
    void StartSysInfo();
    // "Corvane 2.3, built 12/9/2026": the program and when this build was made.
    static QString descriptionLine();
    // Where this platform keeps such a tool (empty when it has none).
    static QString systemInfoProgram();
};
