#include "ui/Notices.h"

#include "ui/Widgets.h"

Notices &Notices::instance()
{
    static Notices notices;
    return notices;
}

void Notices::say(const QString &text)
{
    Q_EMIT instance().said(text);
}

void closeSaved(QWidget *widget, const QString &text)
{
    Notices::say(text);
    closeChildWindow(widget);
}
