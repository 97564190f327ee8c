#pragma once

#include "core/Database.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// What the customer, employee, material and set windows have in common: a key field that loads
// or empties the record, "Save And Close" that edits or adds by the key, "Exit".
namespace MasterData {

// --- Records -------------------------------------------------------------------------------

// The first row of `table` whose `keyColumn` equals `key`, with its row id as "RowKey".
std::optional<Row> findByKey(const QString &table, const QString &keyColumn, const QString &key);

// Looks `key` up again: edits the first row holding it with `fields`, or adds a row with
// `newRowFields` followed by `fields`. Returns true when a row was added.
bool saveByKey(const QString &table, const QString &keyColumn, const QString &key, const Fields &fields,
               const Fields &newRowFields);

// A plain decimal number ("12.5", " -3 "); nullopt when empty or not a number.
std::optional<double> parseNumber(const QString &text);
// A whole number ("30", " -2 "); nullopt when empty, fractional or not a number.
std::optional<int> parseWholeNumber(const QString &text);

// --- Controls ------------------------------------------------------------------------------

// Shows the entry whose text equals `text` without regard to case, or no entry.
void showListEntry(QComboBox *list, const QString &text);

// Puts `label` in column `column` and `field` in the next one of `row`.
void addRow(QGridLayout *grid, int row, int column, const QString &label, QWidget *field);

// City, state and zip side by side, for one row of the form.
QWidget *cityStateZip(QWidget *form, QLineEdit *city, QLineEdit *state, QLineEdit *zip);

// A text field bound to a column of its table.
struct TextColumn
{
    QString column;
    QLineEdit *field;
};
// Fills each field from its column, empty when unset; with no row, empties them all.
void loadTexts(const std::vector<TextColumn> &texts, const Row *row);
// Appends each field's text (empty as empty text).
void appendTexts(Fields &fields, const std::vector<TextColumn> &texts);

// A number field that failed its check, named by its label.
struct NumberCheck
{
    QString label;
    QWidget *field;
    bool ok;
};
// Refuses the first field that is not a number: says so, puts the focus in it and returns true.
bool refuseNonNumeric(QWidget *parent, const std::vector<NumberCheck> &checks);

// Sets the tab order of `widgets` in the order given.
void chainTabOrder(const std::vector<QWidget *> &widgets);

} // namespace MasterData
