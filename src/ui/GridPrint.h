#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

class GridModel;
class QPagedPaintDevice;

// A grid printed as it is shown: its title, the page orientation, and the shown texts of the
// columns and rows not hidden.
struct GridPrintJob
{
    QString title;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QStringList headers;
    QList<QStringList> rows;
    QList<Qt::Alignment> alignments;
    bool printerDialog = false; // the user picks the printer (and copies) first
};

GridPrintJob gridPrintJob(const GridModel &model, const QString &title, QPageLayout::Orientation orientation);

// Lays the job out on `device` in its orientation, the title and the header row on every page.
// Returns the number of pages painted, 0 when the device refused.
int paintGrid(QPagedPaintDevice &device, const GridPrintJob &job);

// Where printed grids go: the default printer in the program, a capture in tests.
class GridPrintOutput
{
public:
    virtual ~GridPrintOutput() = default;
    // False when nothing was printed.
    virtual bool print(const GridPrintJob &job) = 0;
    // Writes the job as a PDF file at `path`. False when nothing was written.
    virtual bool savePdf(const GridPrintJob &job, const QString &path) = 0;
};

class CapturedGridPrints : public GridPrintOutput
{
public:
    bool print(const GridPrintJob &job) override
    {
        prints << job;
        return true;
    }
    // The file is made (empty), so the name is taken as by a written document.
    bool savePdf(const GridPrintJob &job, const QString &path) override;
    QList<GridPrintJob> prints;
    QList<QPair<QString, GridPrintJob>> pdfs;
};

// The process-wide output; the default printer until another is installed.
GridPrintOutput &gridPrintOutput();
// Installs `output` (not owned); nullptr restores the printer.
void setGridPrintOutput(GridPrintOutput *output);
