#pragma once

#include <QString>

#include <functional>

class QComboBox;
class QIcon;
class QAbstractItemView;
class QSize;
class QWidget;
class QMdiSubWindow;

// The program's own icon, for every window and the About box.
QIcon programIcon();

// `wanted`, made no larger than the available area of the screen `w` is on (the primary screen
// before it is shown).
QSize fitToScreen(const QWidget *w, const QSize &wanted);

// The longest text any column of the database holds; text boxes take no more.
inline constexpr int kMaxTextLength = 255;

// Entries too long for their cell or line are elided, and the whole text shows as a tooltip.
void showElidedTextAsToolTip(QAbstractItemView *view);

// A drop-down list that keeps its own width whatever its entries hold: long entries are elided
// in the box and in the list, which is never wider than half the screen.
void keepListWidth(QComboBox *combo);

// The application-wide hourglass for the length of a scope.
class BusyPointer
{
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

// Runs the incremental search of the drop-down list `combo` for one typed character: selects the
// first entry beginning with what was typed quickly, raising the list's activated signal as a
// mouse choice would. The character is always consumed.
void ComboTypeAhead(QComboBox *combo, QChar character);
// Routes every typed character of `combo` through ComboTypeAhead.
void installTypeAhead(QComboBox *combo);
// For an editable list whose text may also be new: a typed beginning of an entry is completed to
// the first such entry, ignoring case, with the completed part selected. Typing on replaces it,
// Delete drops it, and Tab takes the entry. Typed into the open list, keys do the same.
void completeInline(QComboBox *combo);

// Prints with `printOnce`, then asks `text`/`title` (Yes/No, no icon); No prints again,
// only Yes ends it.
void printWithConfirmation(QWidget *parent, const std::function<void()> &printOnce, const QString &text,
                           const QString &title);

// Gives every push button, check box and option button of `window` whose caption has no mnemonic
// one: the first letter of a word not yet taken in the window (by a button or a label), else any
// free letter. The caption reads the same.
void giveMnemonics(QWidget *window);

// Closes the child window holding `widget` (its MDI frame when it has one), as a window does
// itself once its work is saved: unsaved changes are not asked about.
void closeChildWindow(QWidget *widget);
// Closes it as the user does (Exit, Escape): a window with unsaved changes asks first.
void exitChildWindow(QWidget *widget);
// Set on a window while it closes itself through closeChildWindow.
inline constexpr char kClosingSaved[] = "closingSaved";
