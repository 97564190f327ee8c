#include "ui/WindowHost.h"

#include "ui/Widgets.h"

#include <QPointer>
#include <QWidget>

#include <map>

namespace host {

namespace {

Frame *g_frame = nullptr;
std::map<QString, QPointer<QWidget>> g_loneChildren; // children opened without a frame

} // namespace

void install(Frame *frame)
{
    g_frame = frame;
}

void uninstall(Frame *frame)
{
    if (g_frame == frame)
        g_frame = nullptr;
}

QWidget *findChild(const QString &name)
{
    if (g_frame)
        return g_frame->findFrameChild(name);
    auto it = g_loneChildren.find(name);
    return it != g_loneChildren.end() ? it->second.data() : nullptr;
}

QWidget *openChild(const QString &name, const std::function<QWidget *()> &make)
{
    if (g_frame)
        return g_frame->openFrameChild(name, make);
    if (QWidget *open = findChild(name))
        return open;
    QWidget *w = make();
    if (!w)
        return nullptr;
    w->setObjectName(name);
    w->setAttribute(Qt::WA_DeleteOnClose);
    giveMnemonics(w);
    g_loneChildren[name] = w;
    // A window that sized itself is kept within the screen; otherwise the toolkit does that.
    if (w->testAttribute(Qt::WA_Resized))
        w->resize(fitToScreen(w, w->size()));
    w->show();
    return w;
}

QWidget *frame()
{
    return g_frame ? g_frame->frameWidget() : nullptr;
}

int frameHeight()
{
    QWidget *w = frame();
    return w ? w->height() : 0;
}

void closeLoneChildren()
{
    for (auto &[name, child] : g_loneChildren) {
        if (child)
            child->close();
    }
}

} // namespace host
