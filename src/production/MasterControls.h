#pragma once

#include "core/Database.h"
#include "production/MasterData.h"

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

// The form pieces the customer, employee, material and set windows share.
namespace MasterData {

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

// Sets the tab order of `widgets` in the order given.
void chainTabOrder(const std::vector<QWidget *> &widgets);

// Appends the active employees: "LastName, FirstName" to `names`, the SSN at the same place of
// `ssns`, in one order so that a position means the same employee in both.
void addActiveEmployees(QComboBox *names, QComboBox *ssns);

} // namespace MasterData
