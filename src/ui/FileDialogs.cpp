#include "ui/FileDialogs.h"

#include <QFileDialog>

namespace {
bool g_scripted = false;
QStringList g_names;
QStringList g_asked;

QString scripted(const QString &caption)
{
    g_asked << caption;
    return g_names.isEmpty() ? QString() : g_names.takeFirst();
}
} // namespace

namespace FileDialogs {

QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_scripted)
        return scripted(caption);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_scripted)
        return scripted(caption);
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString folder(QWidget *parent, const QString &caption, const QString &dir)
{
    if (g_scripted)
        return scripted(caption);
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

void script(const QStringList &names)
{
    g_scripted = true;
    g_names = names;
    g_asked.clear();
}

void stopScripting()
{
    g_scripted = false;
    g_names.clear();
}

QStringList asked()
{
    return g_asked;
}

} // namespace FileDialogs
