#pragma once

#include "ui/GridModel.h"

#include <QPageLayout>
#include <QSet>
#include <QStringList>
#include <QTableView>

// A read-only grid showing a GridModel: typed columns, per-column display formats, hidden
// columns and rows, an edit gate. The header is the fixed row, so data rows count from 0 here.
// Columns set by header texts alone are text columns, kept as typed.
class Grid : public QTableView
{
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);

    GridModel *gridModel() const { return m_model; }

    // Sets typed columns and removes every data row.
    void setColumns(const QList<GridColumn> &columns);
    // Sets the columns and their header texts and removes every data row.
    void setHeaders(const QStringList &headers)
    {
        m_clerkSized.clear();
        m_model->setHeaders(headers);
    }
    QStringList headers() const { return m_model->headers(); }
    void clearRows() { m_model->clearRows(); }

    int rowCount() const { return m_model->rowCount(); }
    int columnCount() const { return m_model->columnCount(); }
    // Appends a data row; missing cells are empty. Returns its index.
    int addRow(const QStringList &cells) { return m_model->addRow(cells); }
    // Appends a row given as tab-joined cell texts.
    int addItem(const QString &tabJoined) { return addRow(tabJoined.split(u'\t')); }
    int addValues(const QVariantList &values) { return m_model->addValues(values); }
    void addValueRows(const QList<QVariantList> &rows) { m_model->addValueRows(rows); }
    void removeRow(int row) { m_model->removeRow(row); }

    QString text(int row, int column) const { return m_model->text(row, column); }
    void setText(int row, int column, const QString &text) { m_model->setText(row, column, text); }
    QVariant value(int row, int column) const { return m_model->value(row, column); }
    QStringList rowTexts(int row) const { return m_model->rowTexts(row); }
    // What the user sees in a cell: the value through the column's display format.
    QString displayText(int row, int column) const { return m_model->displayText(row, column); }
    QModelIndex cellIndex(int row, int column) const { return m_model->index(row, column); }

    // Money formats ("$#,###.##", "$#,##0.00"), number formats ("#,##0.00") and date formats
    // ("m/d/yyyy"); empty shows the text as it is.
    void setColumnFormat(int column, const QString &format) { m_model->setColumnFormat(column, format); }
    QString columnFormat(int column) const { return m_model->column(column).format; }
    void setColumnAlignment(int column, Qt::Alignment alignment)
    {
        m_model->setColumnAlignment(column, alignment);
    }
    // Every cell and header centred (or as given).
    void setAllAlignment(Qt::Alignment alignment);
    Qt::Alignment columnAlignment(int column) const { return m_model->columnAlignment(column); }
    void setColumnHidden(int column, bool hidden) { m_model->setColumnHidden(column, hidden); }
    void setRowHidden(int row, bool hidden) { m_model->setRowHidden(row, hidden); }

    // Sizes every column to its header and shown contents, then fits them to the grid's width:
    // when they are too wide the longest texts give way down to their headings, when there is
    // room the widest text column takes it. Widths the clerk dragged stay as dragged. The fit is
    // made again whenever the grid is resized.
    void autoSize();
    // A click on a column's header sorts the rows by it; a second click reverses the order.
    void setSortable(bool sortable);

    // The current data row, or -1.
    int currentDataRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }
    // Moves the current cell; (-1, -1) leaves no current cell.
    void setCurrentCell(int row, int column);

    // A check-box column keeps "1" or "0" as its text and shows a box the user toggles.
    void setCheckColumn(int column, bool check = true);
    bool isCheckColumn(int column) const;

    // Decides which cells the user may edit; none without a gate.
    using EditGate = GridModel::EditGate;
    void setEditGate(EditGate gate);
    bool mayEdit(int row, int column) const { return m_model->mayEdit(row, column); }

    // Prints the grid as shown, under `title`, through the grid print output; with
    // `printerDialog` the user picks the printer first.
    bool print(const QString &title, QPageLayout::Orientation orientation = QPageLayout::Portrait,
               bool printerDialog = false) const;

    // The display form of `text` under `format`; text that does not fit the format is shown as is.
    static QString formatText(const QString &text, const QString &format)
    {
        return GridModel::formatText(text, format);
    }

Q_SIGNALS:
    // The current row moved to another data row (-1 when none).
    void currentDataRowChanged(int row);
    // A double-click: the data row under the mouse, or -1 over the header or empty space.
    void rowDoubleClicked(int row);
    // The user changed a cell (typed or toggled); texts as stored.
    void cellEdited(int row, int column, const QString &oldText, const QString &newText);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // The grid's or its viewport's size changed.
    void resizeEvent(QResizeEvent *event) override;

private:
    // The widths the clerk dragged columns to, kept between runs by window, grid and heading.
    QString memoryKey() const;
    void applyRememberedWidths();
    bool m_applyingWidths = false;
    bool m_widthsQueued = false;
    void fitColumns();
    // The least width that shows column `column`'s heading whole.
    int headingWidth(int column) const;
    // Each column's width from the last autoSize (none before it) and the columns the clerk sized.
    QList<int> m_natural;
    QSet<int> m_clerkSized;
    void applyHiddenRows(int first, int last);
    void applyHiddenColumns();

    GridModel *m_model;

private:
    QMetaObject::Connection m_sortConnection;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
