#include "ui/WindowMemory.h"

#include <QSettings>

namespace windowMemory {

namespace {

QString &path()
{
    static QString p;
    return p;
}

QString key(const QString &window)
{
    return QStringLiteral("windows/") + window;
}

} // namespace

void setFile(const QString &file)
{
    path() = file;
}

QString file()
{
    return path();
}

std::optional<QRect> recall(const QString &window)
{
    if (path().isEmpty() || window.isEmpty())
        return std::nullopt;
    const QRect r = QSettings(path(), QSettings::IniFormat).value(key(window)).toRect();
    if (!r.isValid())
        return std::nullopt;
    return r;
}

void remember(const QString &window, const QRect &geometry)
{
    if (path().isEmpty() || window.isEmpty() || !geometry.isValid())
        return;
    QSettings settings(path(), QSettings::IniFormat);
    settings.setValue(key(window), geometry);
}

} // namespace windowMemory
