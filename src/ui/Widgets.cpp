#include "ui/Widgets.h"

#include "core/Clock.h"
#include "ui/MessageBox.h"
#include "core/SharedRoutines.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMdiSubWindow>

BusyPointer::BusyPointer()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer()
{
    QApplication::restoreOverrideCursor();
}

void ComboTypeAhead(QComboBox *combo, QChar character)
{
    QStringList entries;
    entries.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    const int found = TypeAhead::instance().feed(combo, character, entries, Clock::secondsSinceMidnight());
    if (found >= 0) {
        combo->setCurrentIndex(found);
        Q_EMIT combo->activated(found);
    }
}

namespace {

class TypeAheadFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *combo = qobject_cast<QComboBox *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (!combo || text.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
            key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        for (QChar c : text)
            ComboTypeAhead(combo, c);
        return true;
    }
};

} // namespace

void installTypeAhead(QComboBox *combo)
{
    combo->installEventFilter(new TypeAheadFilter(combo));
}

void printWithConfirmation(QWidget *parent, const std::function<void()> &printOnce, const QString &text,
                           const QString &title)
{
    do {
        printOnce();
    } while (MessageBox::show(parent, text, title, MessageBox::YesNo) != MessageBox::Yes);
}

void closeChildWindow(QWidget *widget)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(widget->parentWidget()))
        frame->close();
    else
        widget->close();
}
