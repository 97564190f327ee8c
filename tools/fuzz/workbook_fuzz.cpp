// Fuzzing target for the workbook readers: reads one file and exits, for use in a mutation loop.
//   corvane-workbook-fuzz [--in-process] FILE   reads every sheet, prints "cells N" or "error: ..."
//   corvane-workbook-fuzz --mutate SEED FILE OUT  writes one seeded mutation of FILE to OUT
// Exit code 0 for cells or a refusal; a crash of the program shows as a signal.
#include "Mutation.h"
#include "core/Spreadsheet.h"
#include "core/WorkbookReader.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() == 4 && args.first() == QLatin1String("--mutate")) {
        QFile in(args.at(2)), out(args.at(3));
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
            return 1;
        out.write(mutateWorkbook(in.readAll(), args.at(1).toUInt()));
        return 0;
    }
    const bool inProcess = !args.isEmpty() && args.first() == QLatin1String("--in-process");
    if (inProcess)
        args.removeFirst();
    if (args.size() != 1) {
        std::fputs("usage: corvane-workbook-fuzz [--in-process] FILE | --mutate SEED FILE OUT\n", stderr);
        return 2;
    }
    try {
        auto book = inProcess ? workbookreader::openInProcess(args.first()) : Spreadsheet::open(args.first());
        int cells = 0;
        for (int s = 1; s <= book->sheetCount(); ++s)
            for (int r = 1; r <= 2000; ++r)
                for (int c = 1; c <= 30; ++c)
                    cells += book->cell(s, r, c).kind != SheetCell::Kind::Empty;
        std::printf("cells %d\n", cells);
    } catch (const SpreadsheetError &e) {
        std::printf("error: %s\n", qPrintable(e.message()));
    }
    return 0;
}
