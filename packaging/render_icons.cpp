// Writes the program's icon as corvane.png in each size asked for, one folder per size, for the
// icon theme of the desktop.
#include "ui/Widgets.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: corvane-render-icons FOLDER SIZE...\n");
        return 2;
    }
    const QIcon icon = programIcon();
    for (const QString &s : args.mid(1)) {
        const int size = s.toInt();
        const QString folder = QDir(args.first()).filePath(QStringLiteral("%1x%1").arg(size));
        QPixmap pm = icon.pixmap(QSize(size, size));
        if (pm.width() != size)
            pm = pm.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !pm.save(QDir(folder).filePath(QStringLiteral("corvane.png")), "PNG")) {
            std::fprintf(stderr, "corvane-render-icons: cannot write the %s icon\n", qPrintable(s));
            return 1;
        }
    }
    return 0;
}
