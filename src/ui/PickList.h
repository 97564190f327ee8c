#pragma once

#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QWidget;

namespace entry {

// A pick list of the numbers a field asks for, filled by `fill` each time the clerk enters it (so
// opening the window costs nothing), with the shared type-ahead.
QComboBox *makePickList(QWidget *form, const QString &name, std::function<void(QComboBox *)> fill);
// The line under a form's buttons that says what the last command wrote.
QLabel *makeStatusLine(QWidget *form);

} // namespace entry
