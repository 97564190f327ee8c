#include "reports/ReportDocument.h"

#include "reports/ReportEngineInternal.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>

#include <cmath>

// The engine's files: ReportTemplate (text with fields), ReportExpression (column arithmetic),
// ReportColumns (sections and totals), ReportLayout (the design compiled and laid out in bands),
// ReportPaint (a page painted). This one puts the pages out.

namespace reports {

ReportDocument::ReportDocument(const ReportJob &job)
{
    const Design &design = checkJob(job);
    auto l = std::make_shared<engine::Layout>();
    l->compile(job, design);
    l->build();
    m_layout = std::move(l);
}

const Design &ReportDocument::design() const
{
    return *m_layout->design;
}

const ReportJob &ReportDocument::job() const
{
    return m_layout->job;
}

int ReportDocument::pageCount() const
{
    return int(m_layout->pageStart.size());
}

QSizeF ReportDocument::pageSize() const
{
    return m_layout->page;
}

void ReportDocument::paintPage(QPainter &painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_layout->paint(painter, page);
    painter.restore();
}

QStringList ReportDocument::clippedTexts() const
{
    QStringList clipped;
    engine::clippedTexts = &clipped;
    for (int page = 0; page < pageCount(); ++page) {
        const qsizetype before = clipped.size();
        QPicture picture; // records the page without drawing it
        QPainter painter(&picture);
        m_layout->paint(painter, page);
        painter.end();
        for (qsizetype i = before; i < clipped.size(); ++i)
            clipped[i] = QStringLiteral("page %1: %2").arg(page + 1).arg(clipped.at(i));
    }
    engine::clippedTexts = nullptr;
    return clipped;
}

QImage ReportDocument::pageImage(int page, double scale) const
{
    const QSizeF s = pageSize() * scale;
    QImage image(QSize(int(std::ceil(s.width())), int(std::ceil(s.height()))), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    paintPage(p, page);
    p.end();
    return image;
}

bool ReportDocument::renderTo(QPagedPaintDevice &device, int first, int last,
                              const PageProgress &progress) const
{
    const Design &d = design();
    device.setPageSize(QPageSize(d.pageSize));
    device.setPageOrientation(d.orientation);
    device.setPageMargins(QMarginsF());
    if (last < 0 || last >= pageCount())
        last = pageCount() - 1;
    first = std::max(0, first);
    QPainter p;
    if (!p.begin(&device))
        return false;
    const QSizeF page = pageSize();
    const double scale = std::min(device.width() / page.width(), device.height() / page.height());
    const int total = last - first + 1;
    for (int i = first; i <= last; ++i) {
        if (i > first && !device.newPage()) {
            p.end();
            return false;
        }
        p.save();
        p.scale(scale, scale);
        paintPage(p, i);
        p.restore();
        if (progress && !progress(i - first + 1, total)) {
            p.end();
            return false;
        }
    }
    return p.end();
}

output::Result ReportDocument::exportPdf(const QString &path, const PageProgress &progress) const
{
    bool painted = false;
    bool stopped = false;
    output::Result result = output::writeFile(path, [&](QIODevice &device) {
        QPdfWriter writer(&device);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Corvane"));
        writer.setTitle(design().title);
        const PageProgress watch = [&](int done, int total) {
            stopped = progress && !progress(done, total);
            return !stopped;
        };
        painted = renderTo(writer, 0, -1, watch);
        return painted && !stopped;
    });
    if (result.outcome == output::Outcome::Cancelled && !stopped)
        result = {output::Outcome::Failed, QStringLiteral("The file \"%1\" could not be written.").arg(path)};
    return result;
}

bool ReportDocument::writePdf(const QString &path, QString *error, const PageProgress &progress) const
{
    const output::Result result = exportPdf(path, progress);
    if (error)
        *error = result.message;
    return result.written();
}

} // namespace reports
