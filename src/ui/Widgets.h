#pragma once

#include <QString>

#include <functional>

class QComboBox;
class QWidget;
class QMdiSubWindow;

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

// Prints with `printOnce`, then asks `text`/`title` (Yes/No, no icon); No prints again,
// only Yes ends it.
void printWithConfirmation(QWidget *parent, const std::function<void()> &printOnce, const QString &text,
                           const QString &title);

// Closes the child window holding `widget` (its MDI frame when it has one).
void closeChildWindow(QWidget *widget);
