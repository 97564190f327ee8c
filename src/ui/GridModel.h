#pragma once

#include "core/Refusal.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <utility>

// What the cells of a grid column hold. Text cells keep any text; the others keep a typed value
// (qint64, Money, QDate, bool) or nothing.
enum class CellType
{
    Text,
    Whole,
    Money,
    Date,
    Check
};

struct GridColumn
{
    GridColumn(QString header_ = {}, CellType type_ = CellType::Text, QString format_ = {},
               bool hidden_ = false)
        : header(std::move(header_)), type(type_), format(std::move(format_)), hidden(hidden_)
    {
    }

    static GridColumn text(const QString &header) { return {header}; }
    static GridColumn whole(const QString &header) { return {header, CellType::Whole}; }
    // Money shown as "$#,###.##" unless another format is given.
    static GridColumn money(const QString &header, const QString &format = QStringLiteral("$#,###.##"))
    {
        return {header, CellType::Money, format};
    }
    static GridColumn date(const QString &header) { return {header, CellType::Date}; }

    QString header;
    CellType type = CellType::Text;
    // Money ("$#,###.##", "$#,##0.00"), number ("#,##0.00") or date ("m/d/yyyy") format; empty
    // shows a date in the program's date format and anything else as stored.
    QString format;
    bool hidden = false;
};

// The rows of a grid, typed by column. The stored text of a cell is its value written plainly
// (numbers as plain decimals, dates as ISO, check boxes as "1"/"0"); what is shown goes through
// the column's format. Edits from a view pass the edit gate and are refused when they do not
// fit the column's type, keeping the old value.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The cell's typed value (null when empty).
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit GridModel(QObject *parent = nullptr);

    // Sets the columns and removes every row.
    void setColumns(const QList<GridColumn> &columns);
    // New header texts; columns keep their type, format and hiding by position. Removes every row.
    void setHeaders(const QStringList &headers);
    const GridColumn &column(int column) const { return m_columns.at(column); }
    QStringList headers() const;
    // Changes a column's type, keeping each cell's stored text where it fits the new type.
    void setColumnType(int column, CellType type);
    void setColumnFormat(int column, const QString &format);
    void setColumnHidden(int column, bool hidden);
    bool isColumnHidden(int column) const;
    void setColumnAlignment(int column, Qt::Alignment alignment);
    void setDefaultAlignment(Qt::Alignment alignment);
    Qt::Alignment columnAlignment(int column) const;

    // Appends a row of stored texts (missing or unfitting cells are empty); returns its index.
    int addRow(const QStringList &texts);
    // Appends a row of values, converted to the columns' types; returns its index.
    int addValues(const QVariantList &values);
    // Appends many rows of values at once (one insertion for the views: long lists fill fast).
    void addValueRows(const QList<QVariantList> &rows);
    void removeRow(int row) { removeRows(row, 1); }
    void clearRows();
    void setRowHidden(int row, bool hidden);
    bool isRowHidden(int row) const;
    // Orders the rows by one column's values as its type compares them (empty cells first, texts
    // ignoring case); rows that compare equal keep their order.
    void sortRows(int column, Qt::SortOrder order);

    QVariant value(int row, int column) const;
    void setValue(int row, int column, const QVariant &value);
    QString text(int row, int column) const;
    // Stores `text` from code (no gate, no after-edit signal). A text that does not fit the
    // column's type is refused and the cell keeps its value.
    bool setText(int row, int column, const QString &text);
    QStringList rowTexts(int row) const;
    QString displayText(int row, int column) const;

    using EditGate = std::function<bool(int row, int column)>;
    // Decides which cells a view may edit; none without a gate.
    void setEditGate(EditGate gate) { m_gate = std::move(gate); }
    bool hasEditGate() const { return bool(m_gate); }
    bool mayEdit(int row, int column) const;

    // Why `text` cannot go into a cell of `column`; nullopt when it fits.
    std::optional<Refusal> refusalFor(int column, const QString &text) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // The display form of `text` under `format`; text that does not fit the format is shown as is.
    static QString formatText(const QString &text, const QString &format);

Q_SIGNALS:
    // A view changed a cell (typed or toggled); texts as stored.
    void cellEdited(int row, int column, const QString &oldText, const QString &newText);
    // A view's edit did not fit the column; the cell kept its value.
    void editRefused(int row, int column, const Refusal &refusal);
    void rowHiddenChanged(int row, bool hidden);
    void columnHiddenChanged(int column, bool hidden);

private:
    struct Row
    {
        QVariantList cells;
        bool hidden = false;
    };
    // `text` as a value of the column's type: null for empty text, nullopt when it does not fit.
    std::optional<QVariant> parse(int column, const QString &text) const;
    QVariant converted(int column, const QVariant &value) const;
    bool userEdit(const QModelIndex &index, const QVariant &value);

    QList<GridColumn> m_columns;
    QList<Row> m_rows;
    QHash<int, Qt::Alignment> m_alignments;
    Qt::Alignment m_defaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    EditGate m_gate;
};
