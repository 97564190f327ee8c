#pragma once

#include "core/OutputFile.h"
#include "reports/ReportDesign.h"

#include <QImage>
#include <QSizeF>

#include <functional>
#include <memory>

class QPainter;
class QPagedPaintDevice;

namespace reports {

namespace engine {
struct Layout;
}

// Told after each page put out, with the pages done and the pages to do; answering false stops
// the output there (the user cancelled).
using PageProgress = std::function<bool(int done, int total)>;

// A design filled with one job's rows and slots, laid out in pages. Layout only places bands
// (a few numbers per row); text is measured and drawn when a page is painted, so even a
// document of thousands of pages is ready at once. Copies share the laid-out pages.
class ReportDocument
{
public:
    // Checks the job against its design (ReportError) and lays it out.
    explicit ReportDocument(const ReportJob &job);

    const Design &design() const;
    const ReportJob &job() const;
    int pageCount() const;
    // The page in points (1/72 inch), oriented.
    QSizeF pageSize() const;

    // Paints page `page` (0-based) with `painter` already scaled so that one unit is one point.
    void paintPage(QPainter &painter, int page) const;
    // What the pages would cut: each figure that does not fit its cell in the smallest type, and
    // each column heading that does not fit on two lines. Empty when every page prints whole.
    QStringList clippedTexts() const;
    // One page as an image, `scale` device pixels per point.
    QImage pageImage(int page, double scale) const;
    // Paints every page (or pages first..last, 0-based) on a paged device (printer, PDF writer):
    // sets the page size and orientation, scales to the device. False when the device refused
    // or `progress` stopped it; the painter is then still ended, so a caller that can abort the
    // device (a printer) does so from `progress`.
    bool renderTo(QPagedPaintDevice &device, int first = 0, int last = -1,
                  const PageProgress &progress = {}) const;
    // Writes the document as a PDF file. The pages go to a temporary file beside `path` that
    // replaces it only when complete, so a failed or stopped export leaves no partial file and
    // keeps the file that was there. False with `error` set when it could not be written (left
    // empty when `progress` stopped it).
    bool writePdf(const QString &path, QString *error = nullptr, const PageProgress &progress = {}) const;
    // The same, saying whether the target was refused, failed or cancelled.
    output::Result exportPdf(const QString &path, const PageProgress &progress = {}) const;

private:
    std::shared_ptr<const engine::Layout> m_layout;
};

} // namespace reports
