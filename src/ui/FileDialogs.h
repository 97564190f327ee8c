#pragma once

#include <QStringList>

class QWidget;

// The platform's file dialogs, behind one seam tests can script with the next file names.
namespace FileDialogs {

// Empty when the user cancels.
QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString folder(QWidget *parent, const QString &caption, const QString &dir);

// Test seam: the next names to answer, in order (an empty name is a cancel).
void script(const QStringList &names);
void stopScripting();
QStringList asked(); // captions of the dialogs asked for

} // namespace FileDialogs
