#pragma once

#include "core/Database.h"
#include "production/MasterData.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

// The form pieces the customer, employee, material and set windows share.
namespace MasterData {

// --- Controls ------------------------------------------------------------------------------

// Shows the entry whose text equals `text` without regard to case, or no entry.
void showListEntry(QComboBox *list, const QString &text);

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


// Appends the active employees: "LastName, FirstName" to `names`, the SSN at the same place of
// `ssns`, in one order so that a position means the same employee in both.
void addActiveEmployees(QComboBox *names, QComboBox *ssns);

} // namespace MasterData
