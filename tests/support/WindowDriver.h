#pragma once

// Drives an entry window as a user would: focus moves, typing, clicks.

#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <memory>

namespace drive {

// Opens the window as the command does (without a main window it stands alone) and waits until
// it can take the focus.
template <typename W>
W *open(const QString &name)
{
    auto *w = static_cast<W *>(MainWindow::openChild(name, [] { return new W; }));
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        QTest::qFail(qPrintable(QStringLiteral("window %1 did not become active").arg(name)), __FILE__, __LINE__);
    return w;
}

// Moves the focus to `to`, which fires the leave rules of the control that had it.
inline void focus(QWidget *to)
{
    to->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
}

// Enters `field`, replaces its text by typing `text` key by key.
inline void type(QWidget *field, const QString &text)
{
    focus(field);
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
    else if (auto *box = qobject_cast<QAbstractSpinBox *>(field))
        box->selectAll();
    else if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->isEditable())
        combo->lineEdit()->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

inline void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
}

// True while the window is still shown (a save that succeeded closes it).
inline bool stillOpen(const QPointer<QWidget> &w)
{
    return w && w->isVisible();
}

inline void closeIfOpen(QPointer<QWidget> w)
{
    if (w)
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The controls Tab visits, in order, starting from the first.
inline QList<QWidget *> tabStops(QWidget *form)
{
    QList<QWidget *> stops;
    QWidget *w = form;
    while ((w = w->nextInFocusChain()) != form) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->isVisible())
            stops << w;
    }
    return stops;
}

inline QStringList shownTexts()
{
    QStringList texts;
    for (const MessageBox::Shown &s : MessageBox::shown())
        texts << s.text;
    return texts;
}

// One test's database and window of type W, whose rows live in `table` keyed by `key`.
template <typename W>
class Session
{
public:
    Session(QString name, QString table, QString key)
        : m_name(std::move(name)), m_table(std::move(table)), m_key(std::move(key))
    {
    }

    TestDatabase &start()
    {
        m_db = std::make_unique<TestDatabase>();
        return *m_db;
    }
    void finish()
    {
        closeIfOpen(m_window);
        m_db.reset();
    }
    Database &db() { return m_db->db(); }
    TestDatabase &fixture() { return *m_db; }

    W *open()
    {
        W *w = drive::open<W>(m_name);
        m_window = w;
        return w;
    }
    bool windowOpen() const { return stillOpen(m_window); }

    RowSet rows(const QString &key)
    {
        return db().query(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(m_table, m_key), {key});
    }
    int count() { return db().scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(m_table)).toInt(); }

private:
    QString m_name;
    QString m_table;
    QString m_key;
    std::unique_ptr<TestDatabase> m_db;
    QPointer<QWidget> m_window;
};

} // namespace drive
