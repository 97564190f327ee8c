#pragma once

#include "core/Database.h"
#include "core/Refusal.h"
#include "ui/MessageBox.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class QAbstractButton;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// What every entry window builds its form from: the controls, leaving a field, the Save/Exit
// row, database errors and refusals shown the same way.
namespace entry {

// A command button that does not take Enter from the text boxes.
QPushButton *commandButton(const QString &name, const QString &caption, QWidget *parent = nullptr);
// A text box; entering it selects its whole text.
QLineEdit *makeText(QWidget *form, const QString &name);
// A box that is read, not typed in: disabled, text in the normal colour.
QLineEdit *displayBox(const QString &name, QWidget *parent = nullptr);
// A date box with a calendar, in the one date format.
QDateEdit *datePicker(const QString &name, QWidget *parent = nullptr);
// A date box showing today.
QDateEdit *todayPicker(const QString &name, QWidget *parent = nullptr);
// A drop-down list (not editable) holding `entries`, nothing selected.
QComboBox *makeList(QWidget *form, const QString &name, const QStringList &entries);

// Puts `label` in column `column` and `field` in the next one of `row`.
void addRow(QGridLayout *grid, int row, int column, const QString &label, QWidget *field);

// Sets the tab order of `widgets` in the order given.
void chainTabOrder(const std::vector<QWidget *> &widgets);

// Disabled controls still show their text in the normal colour: they are read, not typed in.
void keepTextReadable(QWidget *control);

// Entering the field selects its whole text.
void selectAllOnEntry(QLineEdit *field);

// Runs `handler` when `field` loses the focus to another control of `form` (not to a popup,
// a message box or another window). The handler is not re-entered. When it returns false, or
// puts the focus back itself, the field keeps the focus.
void onLeave(QWidget *form, QWidget *field, std::function<bool()> handler);

// "Save And Close" and "Exit" at the bottom right of `form`'s layout `grid`, spanning `columns`.
// Exit closes the window without saving.
struct SaveExit
{
    QPushButton *save;
    QPushButton *exit;
};
SaveExit addSaveExit(QWidget *form, QGridLayout *grid, int row, int columns);
// Ctrl+S anywhere in `form` presses `save`, while it is enabled.
void bindSaveKey(QWidget *form, QAbstractButton *save);
// Return or Enter that the focused control of `form` leaves alone presses `button` (a focused
// push button presses itself), as a dialog's default button.
void returnClicks(QWidget *form, QAbstractButton *button);

// Unsaved work. `form` remembers what its fields, lists, dates, check boxes and grids held when
// the clerk first touched it, and again at every markClean. Closing it in any way (Exit, Escape,
// the close box, the main window closing) while they hold something else asks Save / Discard /
// Cancel: Save presses `save` and closes only when the window then closed itself or is clean,
// Discard closes, Cancel leaves the window as it was. addSaveExit guards its form itself.
void guardUnsaved(QWidget *form, QAbstractButton *save);
// What the form shows now is what is stored: after a load, or a save that keeps the window open.
void markClean(QWidget *form);
// The same for some controls only (a grid reloaded, a line shown for editing).
void markClean(QWidget *form, const std::vector<QWidget *> &controls);
// True when a guarded form holds changes since it was opened, loaded or saved.
bool hasUnsavedChanges(QWidget *form);
// A label the window's own commands change (an order's status) counts as a field.
void trackLabel(QLabel *label);

// "Ok" and "Cancel" of a request window at the bottom right of `grid`; Cancel closes the window.
struct OkCancel
{
    QPushButton *ok;
    QPushButton *cancel;
};
OkCancel addOkCancel(QWidget *form, QGridLayout *grid, int row, int columns);

// Shows the refusal and puts the focus in the field it names, if `form` has one by that name.
// Validations carry no icon; a few warnings and notices do.
void showRefusal(QWidget *form, const Refusal &refusal, MessageBox::Icon icon = MessageBox::NoIcon);

// Shows a database error once.
void showDbError(QWidget *parent, const DbError &error);

// Runs `command`; a database error is shown and `guarded` returns false.
template <typename Command> bool guarded(QWidget *parent, Command &&command)
{
    try {
        std::forward<Command>(command)();
        return true;
    } catch (const DbError &e) {
        showDbError(parent, e);
        return false;
    }
}

} // namespace entry
