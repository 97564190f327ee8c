#pragma once

#include "ui/WindowHost.h"

#include <QMainWindow>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QToolBox;

// The frame every working window opens in, with the navigation pane at its left.
class MainWindow : public QMainWindow, public host::Frame
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The one main window, or nullptr (tests that build windows alone).
    static MainWindow *instance();

    // Runs the command registered for `key`; a key with nothing registered does nothing.
    void runCommand(const QString &key);

    // The same as host::openChild and host::findChild.
    static QWidget *openChild(const QString &name, const std::function<QWidget *()> &make);
    static QWidget *findChildWindow(const QString &name);

    // host::Frame
    QWidget *openFrameChild(const QString &name, const std::function<QWidget *()> &make) override;
    QWidget *findFrameChild(const QString &name) const override;
    QWidget *frameWidget() override { return this; }

    QMdiArea *mdiArea() const { return m_mdi; }
    QMdiSubWindow *slideBar() const { return m_slideBar; }
    QToolBox *listBar() const { return m_listBar; }
    // Sizes the navigation pane to the frame.
    void ArrangeSlideBar();

Q_SIGNALS:
    // The children are gone and the database is still open: the last moment to use it.
    void closingDatabase();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSlideBar();

    QMdiArea *m_mdi = nullptr;
    QMdiSubWindow *m_slideBar = nullptr;
    QToolBox *m_listBar = nullptr;
    bool m_closing = false;
};
