#pragma once

#include <QMainWindow>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QToolBox;

// The frame every working window opens in, with the navigation pane at its left.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The one main window, or nullptr (tests that build windows alone).
    static MainWindow *instance();

    // Runs the command with `key`; a key that matches none does nothing.
    void runCommand(const QString &key);

    // Opens the child window named `name` made by `make`, unless one is open already (then it is
    // left as it is). Returns the open window. Without a main window the child is shown alone.
    static QWidget *openChild(const QString &name, const std::function<QWidget *()> &make);
    // The open child window named `name`, or nullptr.
    static QWidget *findChildWindow(const QString &name);

    QMdiArea *mdiArea() const { return m_mdi; }
    QMdiSubWindow *slideBar() const { return m_slideBar; }
    QToolBox *listBar() const { return m_listBar; }
    // Sizes the navigation pane to the frame.
    void ArrangeSlideBar();

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
