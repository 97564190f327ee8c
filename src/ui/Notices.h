#pragma once

#include <QObject>
#include <QString>

class QWidget;

// What a window says it wrote when it closes on a save, for the main window's status bar: the
// windows do not know the main window, only this.
class Notices : public QObject
{
    Q_OBJECT
public:
    static Notices &instance();
    // Says `text` ("Set R100 saved.") to whoever shows notices.
    static void say(const QString &text);

Q_SIGNALS:
    void said(const QString &text);
};

// Says `text`, then closes the child window holding `widget` as closeChildWindow does.
void closeSaved(QWidget *widget, const QString &text);
