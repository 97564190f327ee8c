#include "ui/Grid.h"

#include "core/PrintToPdf.h"
#include "ui/GridPrint.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowMemory.h"

#include <QGuiApplication>
#include <QMdiSubWindow>

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

Grid::Grid(QWidget *parent) : QTableView(parent), m_model(new GridModel(this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setWordWrap(false);
    showElidedTextAsToolTip(this);
    verticalHeader()->hide(); // no fixed column
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                const int row = current.isValid() ? current.row() : -1;
                const int before = previous.isValid() ? previous.row() : -1;
                if (row != before)
                    Q_EMIT currentDataRowChanged(row);
            });
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int) { Q_EMIT rowDoubleClicked(-1); });
    connect(m_model, &GridModel::cellEdited, this, &Grid::cellEdited);
    // Shown once the editor has closed, so the message box does not commit it a second time.
    connect(m_model, &GridModel::editRefused, this, [this](int, int, const Refusal &refusal) {
        QTimer::singleShot(0, this, [this, refusal] {
            MessageBox::show(this, refusal.text, refusal.title, MessageBox::OkOnly, MessageBox::Exclamation);
        });
    });
    connect(m_model, &GridModel::rowHiddenChanged, this,
            [this](int row, bool hidden) { QTableView::setRowHidden(row, hidden); });
    connect(m_model, &GridModel::columnHiddenChanged, this,
            [this](int column, bool hidden) { QTableView::setColumnHidden(column, hidden); });
    connect(m_model, &GridModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { applyHiddenRows(first, last); });
    connect(m_model, &GridModel::modelReset, this, [this] {
        applyHiddenColumns();
        applyHiddenRows(0, m_model->rowCount() - 1);
    });
    // Only a drag (or a double-click on a divider) is the clerk's; the windows set widths too.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!m_applyingWidths && (QGuiApplication::mouseButtons() & Qt::LeftButton)) {
            m_clerkSized.insert(column);
            windowMemory::rememberColumn(memoryKey(), m_model->headers().value(column), width);
        }
    });
    // A window sets its columns' widths after it sets the columns: the clerk's come after that.
    const auto queueWidths = [this] {
        if (m_widthsQueued || windowMemory::file().isEmpty())
            return;
        m_widthsQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_widthsQueued = false;
            applyRememberedWidths();
        });
    };
    connect(m_model, &GridModel::modelReset, this, queueWidths);
    connect(m_model, &GridModel::headerDataChanged, this, queueWidths);
}

QString Grid::memoryKey() const
{
    const QWidget *window = this;
    while (window->parentWidget() && !window->isWindow() &&
           !qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        window = window->parentWidget();
    const QString grid = objectName().isEmpty() ? QStringLiteral("grid") : objectName();
    return window == this ? grid : window->objectName() + u'/' + grid;
}

void Grid::applyRememberedWidths()
{
    const QStringList headings = m_model->headers();
    const QString key = memoryKey();
    m_applyingWidths = true;
    for (int c = 0; c < headings.size(); ++c) {
        if (const std::optional<int> width = windowMemory::recallColumn(key, headings.at(c))) {
            m_clerkSized.insert(c);
            setColumnWidth(c, *width);
        }
    }
    m_applyingWidths = false;
    fitColumns();
}

void Grid::setSortable(bool sortable)
{
    QHeaderView *header = horizontalHeader();
    header->setSectionsClickable(sortable);
    header->setSortIndicatorShown(sortable);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    disconnect(m_sortConnection);
    if (!sortable)
        return;
    m_sortConnection = connect(header, &QHeaderView::sectionClicked, this, [this, header](int column) {
        const Qt::SortOrder order = m_sortColumn == column && m_sortOrder == Qt::AscendingOrder
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        m_sortColumn = column;
        m_sortOrder = order;
        header->setSortIndicator(column, order);
        m_model->sortRows(column, order);
    });
}

void Grid::setColumns(const QList<GridColumn> &columns)
{
    m_clerkSized.clear();
    m_model->setColumns(columns);
}

void Grid::applyHiddenRows(int first, int last)
{
    for (int r = first; r <= last; ++r)
        QTableView::setRowHidden(r, m_model->isRowHidden(r));
}

void Grid::applyHiddenColumns()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        QTableView::setColumnHidden(c, m_model->isColumnHidden(c));
}

void Grid::setAllAlignment(Qt::Alignment alignment)
{
    m_model->setDefaultAlignment(alignment);
    horizontalHeader()->setDefaultAlignment(alignment);
}

void Grid::autoSize()
{
    // A long text is elided (its tooltip shows it whole) rather than widening the grid.
    const int widest = std::max(120, fontMetrics().averageCharWidth() * 40);
    m_natural.clear();
    for (int c = 0; c < columnCount(); ++c)
        m_natural << std::min(std::max(sizeHintForColumn(c), headingWidth(c)) + 8, widest);
    fitColumns();
    viewport()->update();
}

int Grid::headingWidth(int column) const
{
    const QHeaderView *header = horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    int width = header->fontMetrics().horizontalAdvance(m_model->headers().value(column)) + 3 * margin;
    // Only the sorted column draws its arrow.
    if (header->isSortIndicatorShown() && header->sortIndicatorSection() == column)
        width += header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + margin;
    return width;
}

void Grid::fitColumns()
{
    if (m_natural.size() != columnCount())
        return;
    // The viewport narrows when the vertical scroll bar appears, and the fit is made again then.
    const int room = viewport()->width();
    QList<int> widths = m_natural;
    QList<int> texts; // the columns that may give or take room
    int total = 0;
    for (int c = 0; c < columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        if (m_clerkSized.contains(c))
            widths[c] = columnWidth(c);
        else if (m_model->column(c).type == CellType::Text)
            texts << c;
        total += widths.at(c);
    }
    if (total > room) {
        // The widest text gives way first, down to the next widest, and so on; none becomes
        // narrower than its heading.
        int over = total - room;
        QList<int> least(columnCount(), 0);
        for (int c : texts)
            least[c] = headingWidth(c);
        while (over > 0) {
            int widest = -1;
            int next = 0;
            for (int c : texts) {
                if (widths.at(c) <= least.at(c))
                    continue;
                if (widest < 0 || widths.at(c) > widths.at(widest)) {
                    if (widest >= 0)
                        next = std::max(next, widths.at(widest));
                    widest = c;
                } else {
                    next = std::max(next, widths.at(c));
                }
            }
            if (widest < 0)
                break; // the figures and headings alone are wider than the grid
            const int target = std::max(least.at(widest), next);
            const int step = std::min(over, std::max(1, widths.at(widest) - target));
            widths[widest] -= step;
            over -= step;
        }
    } else if (!texts.isEmpty() && width() > 0) {
        const int widestText = *std::max_element(texts.begin(), texts.end(),
                                                 [&](int a, int b) { return widths.at(a) < widths.at(b); });
        widths[widestText] += room - total;
    }
    m_applyingWidths = true;
    for (int c = 0; c < columnCount(); ++c) {
        if (!isColumnHidden(c) && !m_clerkSized.contains(c))
            setColumnWidth(c, widths.at(c));
    }
    m_applyingWidths = false;
}

void Grid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitColumns();
}

void Grid::setCurrentCell(int row, int column)
{
    setCurrentIndex(m_model->index(row, column));
}

void Grid::setCheckColumn(int column, bool check)
{
    if (check)
        m_model->setColumnType(column, CellType::Check);
    else if (isCheckColumn(column))
        m_model->setColumnType(column, CellType::Text);
}

bool Grid::isCheckColumn(int column) const
{
    return column >= 0 && column < columnCount() && m_model->column(column).type == CellType::Check;
}

void Grid::setEditGate(EditGate gate)
{
    const bool open = bool(gate);
    m_model->setEditGate(std::move(gate));
    setEditTriggers(open ? DoubleClicked | EditKeyPressed | AnyKeyPressed : NoEditTriggers);
}

bool Grid::print(const QString &title, QPageLayout::Orientation orientation, bool printerDialog) const
{
    GridPrintJob job = gridPrintJob(*m_model, title, orientation);
    job.printerDialog = printerDialog;
    if (const QString pdf = PrintToPdf::target(); !pdf.isEmpty())
        return gridPrintOutput().savePdf(job, pdf);
    return gridPrintOutput().print(job);
}

void Grid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    Q_EMIT rowDoubleClicked(index.isValid() ? index.row() : -1);
}
