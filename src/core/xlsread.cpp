// The workbook reader process: reads one .xls and writes its cells to standard output.
#include "core/WorkbookReader.h"

#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: corvane-xlsread WORKBOOK\n", stderr);
        return 2;
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    return workbookreader::serve(QFile::decodeName(argv[1]), out);
}
