#pragma once

#include <QString>

#include <functional>

class QWidget;

// What a child window may ask of the frame it opens in, without knowing the main window.
// Without a main window (tests that build windows alone) children are shown as top-level windows.
namespace host {

// Opens the child window named `name` made by `make`, unless one is open already (then it is left
// as it is). Returns the open window.
QWidget *openChild(const QString &name, const std::function<QWidget *()> &make);
// The open child window named `name`, or nullptr.
QWidget *findChild(const QString &name);
// The frame windows open in, as a parent for dialogs; nullptr without one.
QWidget *frame();
// The height of the frame, or 0 without one (windows that size themselves by it).
int frameHeight();

// The frame's side of the interface: the main window installs itself while it lives.
class Frame
{
public:
    virtual ~Frame() = default;
    virtual QWidget *openFrameChild(const QString &name, const std::function<QWidget *()> &make) = 0;
    virtual QWidget *findFrameChild(const QString &name) const = 0;
    virtual QWidget *frameWidget() = 0;
};
void install(Frame *frame);
void uninstall(Frame *frame);
// Closes the children opened without a frame.
void closeLoneChildren();

} // namespace host
