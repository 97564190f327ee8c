#pragma once

#include "reports/ReportDocument.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

// The text of a PDF file as pdftotext reads it (layout kept); empty when it cannot be read.
QString pdfText(const QString &path, int firstPage = 0, int lastPage = 0);
// Pages of a PDF file as pdfinfo counts them; -1 when it cannot be read.
int pdfPageCount(const QString &path);
// Writes `document` to a temporary PDF and returns its text.
QString documentText(const reports::ReportDocument &document);

// A row set with the given columns and rows.
RowSet makeRows(const QStringList &columns, const QList<QVariantList> &rows);

// Loads the hand-filled shop (fixtures/shop.sql) into the current test database.
void loadShopFixture();
