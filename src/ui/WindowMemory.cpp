#include "ui/WindowMemory.h"

#include <QSettings>

#include <memory>

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

QString columnKey(const QString &grid, const QString &heading)
{
    QString h = heading;
    h.replace(u'/', u'_'); // a slash would open a settings group
    return QStringLiteral("columns/") + grid + u'/' + h;
}

// One settings object for the columns: a drag resizes a column many times a second, and the
// object writes the file once the event loop is idle, not on every step.
QSettings *columns()
{
    static std::unique_ptr<QSettings> settings;
    if (path().isEmpty())
        return nullptr;
    if (!settings || settings->fileName() != path())
        settings = std::make_unique<QSettings>(path(), QSettings::IniFormat);
    return settings.get();
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

std::optional<int> recallColumn(const QString &grid, const QString &heading)
{
    QSettings *s = columns();
    if (!s || heading.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int width = s->value(columnKey(grid, heading)).toInt(&ok);
    if (!ok || width <= 0)
        return std::nullopt;
    return width;
}

void rememberColumn(const QString &grid, const QString &heading, int width)
{
    if (QSettings *s = columns(); s && !heading.isEmpty() && width > 0)
        s->setValue(columnKey(grid, heading), width);
}

} // namespace windowMemory
