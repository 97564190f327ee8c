#pragma once

#include <QSet>
#include <QStringList>
#include <QTableWidget>

#include <functional>

// A read-only text grid: cells keep plain texts (numbers as plain decimals, dates as stored);
// a per-column display format changes only what is shown. The header is the fixed row, so data
// rows count from 0 here.
class Grid : public QTableWidget
{
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);

    // Sets the columns and their header texts and removes every data row.
    void setHeaders(const QStringList &headers);
    QStringList headers() const;
    void clearRows() { setRowCount(0); }

    // Appends a data row; missing cells are empty. Returns its index.
    int addRow(const QStringList &cells);
    // Appends a row given as tab-joined cell texts.
    int addItem(const QString &tabJoined) { return addRow(tabJoined.split(u'\t')); }

    QString text(int row, int column) const;
    void setText(int row, int column, const QString &text);
    QStringList rowTexts(int row) const;
    // What the user sees in a cell: the text through the column's display format.
    QString displayText(int row, int column) const;

    // Money formats ("$#,###.##", "$#,##0.00"), number formats ("#,##0.00") and date formats
    // ("m/d/yyyy"); empty shows the text as it is.
    void setColumnFormat(int column, const QString &format);
    QString columnFormat(int column) const { return m_formats.value(column); }
    void setColumnAlignment(int column, Qt::Alignment alignment);
    // Every cell and header centred (or as given).
    void setAllAlignment(Qt::Alignment alignment);
    Qt::Alignment columnAlignment(int column) const;

    // Sizes every column to its header and shown contents.
    void autoSize();

    // The current data row, or -1.
    int currentDataRow() const { return currentRow(); }

    // A check-box column keeps "1" or "0" as its text and shows a box the user toggles.
    void setCheckColumn(int column, bool check = true);
    bool isCheckColumn(int column) const { return m_checkColumns.contains(column); }

    // Decides which cells the user may edit; none without a gate.
    using EditGate = std::function<bool(int row, int column)>;
    void setEditGate(EditGate gate);
    bool mayEdit(int row, int column) const { return m_gate && m_gate(row, column); }

    // The display form of `text` under `format`; text that does not fit the format is shown as is.
    static QString formatText(const QString &text, const QString &format);

Q_SIGNALS:
    // The current row moved to another data row (-1 when none).
    void currentDataRowChanged(int row);
    // A double-click: the data row under the mouse, or -1 over the header or empty space.
    void rowDoubleClicked(int row);
    // The user changed a cell (typed or toggled); texts as stored.
    void cellEdited(int row, int column, const QString &oldText, const QString &newText);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    QHash<int, QString> m_formats;
    QHash<int, Qt::Alignment> m_alignments;
    QSet<int> m_checkColumns;
    EditGate m_gate;
    Qt::Alignment m_defaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};
