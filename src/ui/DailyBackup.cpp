#include "ui/DailyBackup.h"

#include "core/Backup.h"
#include "core/Clock.h"
#include "core/Config.h"
#include "core/Database.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "ui/Progress.h"

#include <QDir>

#include <cstdio>

QString makeDailyBackup(QWidget *parent)
{
    // A server's database is backed up where it is kept, by the server's own tools.
    if (!hasDbConnection() || !DbConnection().isOpen() || DbConnection().isServer())
        return {};
    Database &db = DbConnection();
    const QString folder = backup::defaultFolder(db.path());
    const QDate today = Clock::today();
    if (!backup::dailyDue(folder, db.path(), today))
        return {};
    bool cancelled = false;
    try {
        Progress progress(parent, QStringLiteral("Daily Backup"),
                          QStringLiteral("Making the day's backup of the shop file in %1")
                              .arg(QDir::toNativeSeparators(folder)));
        const backup::Made made = backup::make(db, folder, BackupsKept(), [&](int done, int total) {
            cancelled = !progress.step(done, total);
            return !cancelled;
        });
        backup::markDaily(folder, db.path(), today);
        return made.file;
    } catch (const backup::BackupError &e) {
        std::fprintf(stderr, "Backup Failed: %s\n", qPrintable(e.text()));
        std::fflush(stderr);
        if (cancelled)
            return {}; // asked for: tried again at the next close
        MessageBox::show(
            parent,
            QStringLiteral("Today's backup of the shop file could not be made: %1.\n\nThe shop file "
                           "itself is unchanged. The program closes now and tries the backup again "
                           "at the next close.")
                .arg(e.text()),
            QStringLiteral("Backup Failed"), MessageBox::OkOnly, MessageBox::Exclamation);
    }
    return {};
}

void backUpDailyOnClose(MainWindow &window)
{
    QObject::connect(&window, &MainWindow::closingDatabase, &window, [&window] { makeDailyBackup(&window); });
}
