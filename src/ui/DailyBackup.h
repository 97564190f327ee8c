#pragma once

#include <QString>

class MainWindow;
class QWidget;

// The backup the program makes by itself on the first close of each day, from the open shop
// file into the backups folder beside it. Progress shows when it lasts over half a second; a
// failure is said plainly and the program closes all the same. Gives the backup made, or empty
// when none was due, it failed or the user cancelled it.
QString makeDailyBackup(QWidget *parent);

// Makes the daily backup when `window` closes, while the database is still open.
void backUpDailyOnClose(MainWindow &window);
