#pragma once

#include "reports/ReportDocument.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

// The text of a PDF file as pdftotext reads it (layout kept); empty when it cannot be read.
QString pdfText(const QString &path, int firstPage = 0, int lastPage = 0);
// Pages of a PDF file as pdfinfo counts them; -1 when it cannot be read.
int pdfPageCount(const QString &path);
// Writes `document` to a temporary PDF and returns its text. When the PDF cannot be written or
// read the running test fails (the empty text returned then is no result).
QString documentText(const reports::ReportDocument &document);
// Every run of white space as one blank, so texts read in one line.
QString squeeze(QString s);

// The command line's request run inside the test, with what it wrote out and to errors.
struct CommandResult
{
    int code;
    QString out;
    QString err;
};
CommandResult runCommand(const QStringList &args, const QString &programFolder = QString());
// The lines of a CSV file written by the command line, without the last empty one.
QStringList csvLines(const QString &path);

// The bytes of a file (empty when it cannot be read); writes `bytes` as a file, false on failure.
QByteArray fileBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

// A row set with the given columns and rows.
RowSet makeRows(const QStringList &columns, const QList<QVariantList> &rows);

// Loads the hand-filled shop (fixtures/shop.sql) into the current test database.
void loadShopFixture();
