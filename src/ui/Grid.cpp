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
#include <QTimer>

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
        if (!m_applyingWidths && (QGuiApplication::mouseButtons() & Qt::LeftButton))
            windowMemory::rememberColumn(memoryKey(), m_model->headers().value(column), width);
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
        if (const std::optional<int> width = windowMemory::recallColumn(key, headings.at(c)))
            setColumnWidth(c, *width);
    }
    m_applyingWidths = false;
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
    resizeColumnsToContents();
    // A long text is elided (its tooltip shows it whole) rather than widening the grid.
    const int widest = std::max(120, fontMetrics().averageCharWidth() * 40);
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, std::min(columnWidth(c) + 8, widest));
    viewport()->update();
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
