#include "ui/Widgets.h"

#include "core/Clock.h"
#include "core/SharedRoutines.h"
#include "ui/MessageBox.h"
#include "ui/Printing.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QToolTip>

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
        // An open list shows the choice where Return would take it.
        if (combo->view()->isVisible())
            combo->view()->setCurrentIndex(combo->model()->index(found, combo->modelColumn()));
        Q_EMIT combo->activated(found);
    }
}

namespace {

class TypeAheadFilter : public QObject
{
public:
    explicit TypeAheadFilter(QComboBox *combo) : QObject(combo), m_combo(combo) {}
    ~TypeAheadFilter() override { TypeAhead::instance().forget(m_combo); }

protected:
    // Watches the list and, while it is open, its pop-up view: keys typed there would otherwise go
    // to the view's own search, which picks by other rules.
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
            key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        for (QChar c : text)
            ComboTypeAhead(m_combo, c);
        return true;
    }

private:
    QComboBox *m_combo;
};

} // namespace

void installTypeAhead(QComboBox *combo)
{
    auto *filter = new TypeAheadFilter(combo);
    combo->installEventFilter(filter);
    combo->view()->installEventFilter(filter);
}

namespace {

// Keys typed into the open list of an editable list go to its line, where they complete as they
// do with the list closed; the open list then marks the entry the line shows, for Return.
class TypeIntoLine : public QObject
{
public:
    explicit TypeIntoLine(QComboBox *combo) : QObject(combo), m_combo(combo) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const bool typing = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (!typing && key->key() != Qt::Key_Backspace)
            return false;
        QLineEdit *edit = m_combo->lineEdit();
        QCoreApplication::sendEvent(edit, event);
        const int found = m_combo->findText(edit->text(), Qt::MatchFixedString);
        if (found >= 0)
            m_combo->view()->setCurrentIndex(m_combo->model()->index(found, m_combo->modelColumn()));
        return true;
    }

private:
    QComboBox *m_combo;
};

} // namespace

void completeInline(QComboBox *combo)
{
    QLineEdit *edit = combo->lineEdit();
    Q_ASSERT(edit);
    combo->setCompleter(nullptr);
    combo->view()->installEventFilter(new TypeIntoLine(combo));
    auto previous = std::make_shared<QString>();
    QObject::connect(edit, &QLineEdit::textEdited, combo, [combo, edit, previous](const QString &typed) {
        // Only a key that added at the end completes; Backspace and Delete leave what is left.
        const bool added = typed.size() > previous->size() && edit->cursorPosition() == typed.size();
        *previous = typed;
        if (!added)
            return;
        // The first entry from the top, as the type-ahead of a closed list finds it.
        for (int i = 0; i < combo->count(); ++i) {
            const QString entry = combo->itemText(i);
            if (!entry.startsWith(typed, Qt::CaseInsensitive))
                continue;
            if (entry != typed) {
                edit->setText(entry);
                edit->setSelection(int(entry.size()), -int(entry.size() - typed.size()));
            }
            return;
        }
    });
}

void printWithConfirmation(QWidget *parent, const std::function<void()> &printOnce, const QString &text,
                           const QString &title)
{
    printWithConfirmation(parent, QStringLiteral("Document"), printOnce, text, title);
}

void giveMnemonics(QWidget *window)
{
    const auto mnemonicOf = [](const QString &text) -> QChar {
        const qsizetype at = text.indexOf(u'&');
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    QSet<QChar> taken;
    for (const QLabel *label : window->findChildren<QLabel *>())
        taken.insert(mnemonicOf(label->text()));
    QList<QAbstractButton *> buttons;
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
        if (!qobject_cast<QPushButton *>(b) && !qobject_cast<QCheckBox *>(b) &&
            !qobject_cast<QRadioButton *>(b))
            continue;
        if (b->text().contains(u'&'))
            taken.insert(mnemonicOf(b->text()));
        else if (!b->text().trimmed().isEmpty())
            buttons << b;
    }
    for (QAbstractButton *b : buttons) {
        const QString text = b->text();
        qsizetype chosen = -1;
        // Word starts first ("Save And Close": S, A, C), then any letter.
        for (int pass = 0; pass < 2 && chosen < 0; ++pass) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QChar c = text.at(i);
                const bool wordStart = i == 0 || !text.at(i - 1).isLetterOrNumber();
                if (c.isLetterOrNumber() && (pass == 1 || wordStart) && !taken.contains(c.toLower())) {
                    chosen = i;
                    break;
                }
            }
        }
        if (chosen < 0)
            continue;
        taken.insert(text.at(chosen).toLower());
        b->setText(QString(text).insert(chosen, u'&'));
    }
}

void closeChildWindow(QWidget *widget)
{
    widget->setProperty(kClosingSaved, true);
    exitChildWindow(widget);
}

void exitChildWindow(QWidget *widget)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(widget->parentWidget()))
        frame->close();
    else
        widget->close();
}

QIcon programIcon()
{
    // Built on each call: a static pixmap would outlive the application.
    QIcon i;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size;
        // A tan hide with a stitched border and the initial.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8a, 0x52, 0x2c));
        p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.2, s * 0.2);
        if (size >= 24) {
            QPen stitch(QColor(0xf3, 0xdf, 0xc1), std::max(1.0, s / 32), Qt::DashLine);
            p.setPen(stitch);
            p.setBrush(Qt::NoBrush);
            const double in = s * 0.1;
            p.drawRoundedRect(QRectF(in, in, s - 2 * in, s - 2 * in), s * 0.13, s * 0.13);
        }
        QFont f;
        f.setBold(true);
        f.setPixelSize(int(s * 0.62));
        p.setFont(f);
        p.setPen(QColor(0xfb, 0xf4, 0xe8));
        p.drawText(QRectF(0, 0, s, s * 0.96), Qt::AlignCenter, QStringLiteral("C"));
        p.end();
        i.addPixmap(pm);
    }
    return i;
}

QSize fitToScreen(const QWidget *w, const QSize &wanted)
{
    const QScreen *screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    return wanted.boundedTo(screen->availableGeometry().size());
}

namespace {

class ElidedToolTip : public QObject
{
public:
    explicit ElidedToolTip(QAbstractItemView *view) : QObject(view), m_view(view) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip)
            return false;
        auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = m_view->indexAt(help->pos());
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect cell = m_view->visualRect(index);
        // Room for the cell's margins and a check box or icon.
        const int room = cell.width() - 12;
        if (index.isValid() && index.data(Qt::ToolTipRole).isNull() &&
            m_view->fontMetrics().horizontalAdvance(text) > room) {
            QToolTip::showText(help->globalPos(), text, m_view->viewport(), cell);
            return true;
        }
        QToolTip::hideText();
        return false;
    }

private:
    QAbstractItemView *m_view;
};

} // namespace

void showElidedTextAsToolTip(QAbstractItemView *view)
{
    view->setTextElideMode(Qt::ElideRight);
    view->viewport()->installEventFilter(new ElidedToolTip(view));
}

void keepListWidth(QComboBox *combo)
{
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(16);
    if (QLineEdit *edit = combo->lineEdit())
        edit->setMaxLength(kMaxTextLength);
    QAbstractItemView *view = combo->view();
    showElidedTextAsToolTip(view);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() / 2 : 800;
    // The popup widens to its longest entry; its frame takes the cap.
    if (QWidget *popup = view->parentWidget())
        popup->setMaximumWidth(widest);
}
