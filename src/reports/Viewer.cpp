#include "reports/Viewer.h"

#include "reports/ReportPrinter.h"
#include "ui/Progress.h"
#include "ui/Widgets.h"
#include "ui/WindowHost.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int kZoomSteps[] = {50, 75, 100, 125, 150, 200, 300};
constexpr int kNotch = 120; // one wheel notch

// Adds `turn` to what a wheel has turned so far (starting afresh when it turns the other way)
// and takes out the whole notches: positive away from the user. Fine-grained wheels step like
// notched ones.
int spendNotches(int &turned, int turn)
{
    if ((turn > 0) != (turned > 0))
        turned = 0;
    turned += turn;
    const int notches = turned / kNotch;
    turned -= notches * kNotch;
    return notches;
}

QToolButton *toolButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &tip, const QString &name)
{
    auto *b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setObjectName(name);
    b->setAutoRaise(true);
    return b;
}

} // namespace

ReportView::ReportView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CRViewer"));
    setFocusPolicy(Qt::StrongFocus);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    m_first = toolButton(this, QStyle::SP_MediaSkipBackward, QStringLiteral("First page"),
                         QStringLiteral("btnFirst"));
    m_previous = toolButton(this, QStyle::SP_MediaSeekBackward, QStringLiteral("Previous page"),
                            QStringLiteral("btnPrevious"));
    m_next =
        toolButton(this, QStyle::SP_MediaSeekForward, QStringLiteral("Next page"), QStringLiteral("btnNext"));
    m_last =
        toolButton(this, QStyle::SP_MediaSkipForward, QStringLiteral("Last page"), QStringLiteral("btnLast"));
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("txtPage"));
    m_pageBox->setRange(1, 1);
    m_pageOf = new QLabel(this);
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("cmbZoom"));
    m_zoomBox->addItem(QStringLiteral("Page Width"), FitWidth);
    m_zoomBox->addItem(QStringLiteral("Whole Page"), FitPage);
    for (int z : kZoomSteps)
        m_zoomBox->addItem(QStringLiteral("%1%").arg(z), z);
    m_print =
        toolButton(this, QStyle::SP_DialogSaveButton, QStringLiteral("Print"), QStringLiteral("btnPrint"));
    m_print->setIcon(QIcon::fromTheme(QStringLiteral("document-print"), m_print->icon()));
    m_print->setText(QStringLiteral("Print..."));
    m_print->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_export = toolButton(this, QStyle::SP_DriveFDIcon, QStringLiteral("Export to PDF"),
                          QStringLiteral("btnExport"));
    m_export->setText(QStringLiteral("Export PDF..."));
    m_export->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addWidget(m_first);
    bar->addWidget(m_previous);
    bar->addWidget(m_pageBox);
    bar->addWidget(m_pageOf);
    bar->addWidget(m_next);
    bar->addWidget(m_last);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(QStringLiteral("Zoom"), this));
    bar->addWidget(m_zoomBox);
    bar->addStretch(1);
    bar->addWidget(m_print);
    bar->addWidget(m_export);

    m_canvas = new QLabel;
    m_canvas->setAlignment(Qt::AlignCenter);
    m_canvas->setObjectName(QStringLiteral("pageCanvas"));
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(true);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->viewport()->installEventFilter(this);
    m_scroll->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_first, &QToolButton::clicked, this, [this] { firstPage(); });
    connect(m_previous, &QToolButton::clicked, this, [this] { previousPage(); });
    connect(m_next, &QToolButton::clicked, this, [this] { nextPage(); });
    connect(m_last, &QToolButton::clicked, this, [this] { lastPage(); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int v) {
        if (v - 1 != m_page)
            showPage(v - 1);
    });
    connect(m_zoomBox, &QComboBox::activated, this,
            [this](int index) { setZoom(m_zoomBox->itemData(index).toInt()); });
    connect(m_print, &QToolButton::clicked, this, [this] { printWithDialog(); });
    connect(m_export, &QToolButton::clicked, this, [this] { exportPdf(); });
    updateControls();
}

void ReportView::setReportSource(const reports::ReportDocument &document)
{
    m_document.emplace(document);
    m_page = 0;
    m_shown = QImage();
}

const reports::ReportDocument *ReportView::reportSource() const
{
    return m_document ? &*m_document : nullptr;
}

void ReportView::viewReport()
{
    render();
    m_scroll->verticalScrollBar()->setValue(0);
}

int ReportView::pageCount() const
{
    return m_document ? m_document->pageCount() : 0;
}

void ReportView::showPage(int page)
{
    if (!m_document)
        return;
    page = std::clamp(page, 0, pageCount() - 1);
    if (page == m_page && !m_shown.isNull())
        return;
    m_page = page;
    render();
    m_scroll->verticalScrollBar()->setValue(0);
}

void ReportView::setZoom(int percent)
{
    m_zoom = std::max(int(FitPage), percent);
    const int index = m_zoomBox->findData(m_zoom);
    if (index >= 0)
        m_zoomBox->setCurrentIndex(index);
    // The same part of the page stays in view.
    QScrollBar *h = m_scroll->horizontalScrollBar();
    QScrollBar *v = m_scroll->verticalScrollBar();
    const double x = h->maximum() > 0 ? double(h->value()) / h->maximum() : 0;
    const double y = v->maximum() > 0 ? double(v->value()) / v->maximum() : 0;
    render();
    h->setValue(qRound(x * h->maximum()));
    v->setValue(qRound(y * v->maximum()));
}

int ReportView::shownPercent() const
{
    return qRound(pixelsPerPoint() * 72.0 / logicalDpiX() * 100);
}

void ReportView::zoomIn()
{
    const int now = m_zoom > 0 ? m_zoom : shownPercent();
    for (int z : kZoomSteps) {
        if (z > now) {
            setZoom(z);
            return;
        }
    }
}

void ReportView::zoomOut()
{
    const int now = m_zoom > 0 ? m_zoom : shownPercent();
    for (auto z = std::rbegin(kZoomSteps); z != std::rend(kZoomSteps); ++z) {
        if (*z < now) {
            setZoom(*z);
            return;
        }
    }
}

double ReportView::pixelsPerPoint() const
{
    if (!m_document)
        return 1;
    if (m_zoom > 0)
        return logicalDpiX() / 72.0 * m_zoom / 100.0;
    const QSizeF page = m_document->pageSize();
    const QSize room = m_scroll->viewport()->size() - QSize(24, 24);
    double scale = room.width() / page.width();
    if (m_zoom == FitPage)
        scale = std::min(scale, room.height() / page.height());
    return std::max(0.2, scale);
}

void ReportView::render()
{
    if (!m_document) {
        m_shown = QImage();
        m_canvas->clear();
        updateControls();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    m_shown = m_document->pageImage(m_page, pixelsPerPoint() * ratio);
    m_shown.setDevicePixelRatio(ratio);
    m_canvas->setPixmap(QPixmap::fromImage(m_shown));
    // The scroll range follows the new page now, not at the next layout pass, so that a
    // position set right after (bottom of the previous page, same place when zooming) holds.
    QCoreApplication::sendPostedEvents(m_scroll->viewport(), QEvent::LayoutRequest);
    updateControls();
}

void ReportView::updateControls()
{
    const int pages = pageCount();
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < pages);
    m_last->setEnabled(m_page + 1 < pages);
    m_pageBox->blockSignals(true);
    m_pageBox->setRange(1, std::max(1, pages));
    m_pageBox->setValue(m_page + 1);
    m_pageBox->blockSignals(false);
    m_pageBox->setEnabled(pages > 1);
    m_pageOf->setText(QStringLiteral("of %1").arg(groupedNumber(pages)));
    m_print->setEnabled(pages > 0);
    m_export->setEnabled(pages > 0);
}

// Both keep a copy: while the pages go out the windows are repainted, and the copy (which shares
// the laid-out pages) stays whatever the viewer is given meanwhile.
bool ReportView::printWithDialog()
{
    if (!m_document)
        return false;
    const reports::ReportDocument document = *m_document;
    return reports::printDocumentWithDialog(this, document);
}

bool ReportView::exportPdf()
{
    if (!m_document)
        return false;
    const reports::ReportDocument document = *m_document;
    return reports::saveDocumentAsPdf(this, document);
}

void ReportView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_zoom <= 0 && m_document)
        render();
}

void ReportView::keyPressEvent(QKeyEvent *event)
{
    if (!navigationKey(event))
        QWidget::keyPressEvent(event);
}

bool ReportView::eventFilter(QObject *watched, QEvent *event)
{
    // The scroll area would take these keys and the wheel for scrolling alone.
    if (watched == m_scroll && event->type() == QEvent::KeyPress)
        return navigationKey(static_cast<QKeyEvent *>(event));
    if (watched == m_scroll->viewport() && event->type() == QEvent::Wheel)
        return wheel(static_cast<QWheelEvent *>(event));
    return QWidget::eventFilter(watched, event);
}

// PgUp/PgDn always turn one page (each page is shown on its own, so a page key means a sheet);
// the wheel and the arrows scroll within it.
bool ReportView::navigationKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const bool ctrl = mods == Qt::ControlModifier;
    if (mods != Qt::NoModifier && !ctrl)
        return false;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (!ctrl)
            return false;
        zoomIn();
        return true;
    case Qt::Key_Minus:
        if (!ctrl)
            return false;
        zoomOut();
        return true;
    case Qt::Key_PageDown:
        if (ctrl)
            return false;
        nextPage();
        return true;
    case Qt::Key_PageUp:
        if (ctrl)
            return false;
        previousPage();
        return true;
    case Qt::Key_Home:
        firstPage();
        scrollTo(0);
        return true;
    case Qt::Key_End:
        lastPage();
        return true;
    default:
        return false;
    }
}

// Ctrl+wheel zooms through the steps; the wheel scrolls the page and, once at its bottom (top),
// turns to the next (previous) page, which shows from its top (bottom) so reading runs on.
bool ReportView::wheel(const QWheelEvent *event)
{
    const int turn = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        for (int n = spendNotches(m_wheelZoom, turn); n != 0; n += n > 0 ? -1 : 1)
            n > 0 ? zoomIn() : zoomOut();
        return true;
    }
    if (turn == 0 || !m_document)
        return false;
    const bool down = turn < 0;
    QScrollBar *bar = m_scroll->verticalScrollBar();
    const bool atEdge = down ? bar->value() >= bar->maximum() : bar->value() <= bar->minimum();
    const bool beyond = down ? m_page + 1 < pageCount() : m_page > 0;
    if (!atEdge || !beyond) {
        m_wheelTurn = 0;
        return false; // the scroll area scrolls
    }
    if (spendNotches(m_wheelTurn, turn) == 0)
        return true;
    m_wheelTurn = 0;
    showPage(m_page + (down ? 1 : -1));
    if (!down)
        scrollTo(bar->maximum());
    return true;
}

void ReportView::scrollTo(int value)
{
    m_scroll->verticalScrollBar()->setValue(value);
}

Viewer::Viewer(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Viewer"));
    setWindowTitle(QStringLiteral("Report Viewer"));
    m_view = new ReportView(this);
    resize(900, 700);
    // Escape puts the document away, as it closes a request window.
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    close->setContext(Qt::WidgetWithChildrenShortcut);
    connect(close, &QShortcut::activated, this, [this] { closeChildWindow(this); });
}

void Viewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The control always fills the window.
    m_view->setGeometry(0, 0, width(), height());
}

Viewer *Viewer::showDocument(const reports::ReportDocument &document)
{
    const bool wasOpen = host::findChild(QStringLiteral("Viewer")) != nullptr;
    auto *viewer =
        static_cast<Viewer *>(host::openChild(QStringLiteral("Viewer"), [] { return new Viewer; }));
    if (auto *frame = qobject_cast<QMdiSubWindow *>(viewer->parentWidget())) {
        if (QMdiArea *area = frame->mdiArea()) {
            if (!wasOpen) // a new viewer takes the client area right of the navigation pane
                frame->resize(std::max(600, area->viewport()->width() - frame->x()),
                              area->viewport()->height());
            if (frame->isMinimized())
                frame->showNormal();
            area->setActiveSubWindow(frame);
        }
    }
    viewer->m_view->setReportSource(document);
    viewer->m_view->viewReport();
    return viewer;
}
