#include "ui/Documents.h"

#include "ui/EntryWindow.h"
#include "ui/Widgets.h"

#include <stdexcept>

namespace documents {

namespace {

Producer &installed()
{
    static Producer producer;
    return producer;
}

} // namespace

bool produce(const QString &name, const Request &request)
{
    if (!installed())
        throw std::logic_error("no document producer installed");
    return installed()(name, request);
}

void produceAndClose(QWidget *form, const QString &name, const Request &request)
{
    bool shown = false;
    {
        BusyPointer busy;
        shown = entry::guarded(form, [&] { produce(name, request); });
    }
    if (shown)
        closeChildWindow(form);
}

void install(Producer producer)
{
    installed() = std::move(producer);
}

} // namespace documents
