#pragma once

#include "reports/ReportDocument.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;
class QToolButton;
class QWheelEvent;

// The viewer control: page navigation, zoom, print and PDF export over one document.
class ReportView : public QWidget
{
    Q_OBJECT
public:
    explicit ReportView(QWidget *parent = nullptr);

    // The document shown; replaces the previous one and goes to its first page.
    void setReportSource(const reports::ReportDocument &document);
    const reports::ReportDocument *reportSource() const;
    // Shows the document given (the viewer's "show" call).
    void viewReport();

    int currentPage() const { return m_page; } // 0-based
    int pageCount() const;
    void showPage(int page);
    void firstPage() { showPage(0); }
    void previousPage() { showPage(m_page - 1); }
    void nextPage() { showPage(m_page + 1); }
    void lastPage() { showPage(pageCount() - 1); }

    // Zoom: FitWidth, FitPage (the whole page in view) or a percentage of the actual size.
    static constexpr int FitWidth = 0;
    static constexpr int FitPage = -1;
    void setZoom(int percent);
    int zoom() const { return m_zoom; }
    // The next larger or smaller of the zoom steps, from what is shown (also from a fit).
    void zoomIn();
    void zoomOut();
    // The size shown, as a percentage of the actual size.
    int shownPercent() const;
    // The page image at the current zoom, as shown.
    QImage shownPage() const { return m_shown; }

    // Asks for a printer and prints (offers a PDF when there is none). False when nothing printed.
    bool printWithDialog();
    // Asks for a file name and writes the document as PDF. False when nothing was written.
    bool exportPdf();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool navigationKey(const QKeyEvent *event);
    bool wheel(const QWheelEvent *event);
    void scrollTo(int value);
    void render();
    void updateControls();
    double pixelsPerPoint() const;

    std::optional<reports::ReportDocument> m_document;
    int m_page = 0;
    int m_zoom = FitWidth;
    int m_wheelZoom = 0; // wheel turn not yet spent, so fine-grained wheels step like notches
    int m_wheelTurn = 0;
    QImage m_shown;
    QToolButton *m_first = nullptr;
    QToolButton *m_previous = nullptr;
    QToolButton *m_next = nullptr;
    QToolButton *m_last = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_pageOf = nullptr;
    QComboBox *m_zoomBox = nullptr;
    QToolButton *m_print = nullptr;
    QToolButton *m_export = nullptr;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_canvas = nullptr;
};

// The one report viewer window of the program, "Report Viewer". It holds the viewer control
// CRViewer, which always fills it.
class Viewer : public QWidget
{
    Q_OBJECT
public:
    explicit Viewer(QWidget *parent = nullptr);

    ReportView *CRViewer() const { return m_view; }

    // Opens the viewer (once; a later document replaces the one shown) and shows `document`.
    static Viewer *showDocument(const reports::ReportDocument &document);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    ReportView *m_view = nullptr;
};
