#pragma once

#include "core/Database.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// One document to produce: a named design, the rows handed to it, an optional second row set
// for its sub-report, and its run-time text slots (name, text) in the order they were set.
struct ReportJob
{
    QString design;
    RowSet rows;
    std::optional<RowSet> subRows;
    QList<QPair<QString, QString>> textSlots;

    QString slot(const QString &name) const
    {
        for (const auto &s : textSlots) {
            if (s.first == name)
                return s.second;
        }
        return QString();
    }
};

// Where documents go: the viewer window and the printer in the program, a capture in tests.
class ReportOutput
{
public:
    virtual ~ReportOutput() = default;
    // Shows the document in the one report viewer window.
    virtual void preview(const ReportJob &job) = 0;
    // Prints to the default printer without a dialog. False when nothing was printed.
    virtual bool print(const ReportJob &job) = 0;
};

// Keeps every document handed to it; tests read them and choose what print() answers.
class CapturedReports : public ReportOutput
{
public:
    void preview(const ReportJob &job) override { previews << job; }
    bool print(const ReportJob &job) override
    {
        prints << job;
        return printSucceeds;
    }
    QList<ReportJob> previews;
    QList<ReportJob> prints;
    bool printSucceeds = true;
};

// The process-wide output. Until one is installed, documents are captured and go nowhere.
ReportOutput &reportOutput();
// Installs `output` (not owned); nullptr restores the capturing default.
void setReportOutput(ReportOutput *output);
