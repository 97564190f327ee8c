#include "ui/MainWindow.h"

#include "core/SharedRoutines.h"
#include "ui/CommandRegistry.h"
#include "ui/CommandTable.h"
#include "ui/Notices.h"
#include "ui/Widgets.h"
#include "ui/WindowMemory.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QStyle>
#include <QToolBox>

namespace {

MainWindow *g_main = nullptr;

constexpr int kListBarWidth = 190;
// Icon, spacing, frame and a scroll bar beside a caption.
constexpr int kListBarChrome = 24 + 4 + 12 + 24 + 8;
constexpr int kFrameAllowance = 60; // 900 twips at 96 dots per inch

QIcon commandIcon(const QString &kind)
{
    QStyle *style = QApplication::style();
    if (kind == QLatin1String("Navigator"))
        return style->standardIcon(QStyle::SP_FileDialogContentsView);
    if (kind == QLatin1String("Reports"))
        return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    return style->standardIcon(QStyle::SP_FileDialogNewFolder);
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    g_main = this;
    host::install(this);
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Corvane - Order Management Software"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    setWindowIcon(programIcon());
    buildSlideBar();
    // Ctrl+Q closes as the close box does, asking nothing more.
    auto *quit = new QAction(QStringLiteral("Quit"), this);
    quit->setObjectName(QStringLiteral("actQuit"));
    // Some desktops name no key for quitting; Ctrl+Q is the one users expect everywhere.
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Quit);
    if (!keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Q)))
        keys << QKeySequence(Qt::CTRL | Qt::Key_Q);
    quit->setShortcuts(keys);
    quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
    // A window that closed on a save leaves its word here.
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    connect(&Notices::instance(), &Notices::said, this,
            [this](const QString &text) { statusBar()->showMessage(text); });
    resize(fitToScreen(this, QSize(1200, 800)));
}

MainWindow::~MainWindow()
{
    if (g_main == this)
        g_main = nullptr;
    host::uninstall(this);
}

MainWindow *MainWindow::instance()
{
    return g_main;
}

void MainWindow::buildSlideBar()
{
    m_listBar = new QToolBox;
    m_listBar->setObjectName(QStringLiteral("MainListBar"));
    // Wide enough for the longest caption of any group.
    int widest = 0;
    const QFontMetrics metrics(m_listBar->font());
    for (const Command &c : commandTable())
        widest = std::max(widest, metrics.horizontalAdvance(c.caption));
    for (const QString &group : commandGroups())
        widest = std::max(widest, metrics.horizontalAdvance(group));
    m_listBar->setFixedWidth(std::max(kListBarWidth, widest + kListBarChrome));
    for (const QString &group : commandGroups()) {
        auto *list = new QListWidget;
        list->setObjectName(group);
        list->setIconSize(QSize(24, 24));
        list->setSpacing(2);
        list->setFrameShape(QFrame::NoFrame);
        for (const Command &c : commandTable()) {
            if (c.group != group)
                continue;
            auto *item = new QListWidgetItem(commandIcon(c.icon), c.caption, list);
            item->setData(Qt::UserRole, c.key);
            item->setData(Qt::UserRole + 1, c.icon);
        }
        // One click runs a command.
        connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem *item) {
            const QString key = item->data(Qt::UserRole).toString();
            list->clearSelection();
            runCommand(key);
        });
        m_listBar->addItem(list, group);
    }

    m_slideBar = new QMdiSubWindow;
    m_slideBar->setObjectName(QStringLiteral("frmSlideBar"));
    m_slideBar->setWidget(m_listBar);
    m_slideBar->setWindowIcon(programIcon());
    m_slideBar->setWindowTitle(QStringLiteral("Slide Bar"));
    m_slideBar->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowMinimizeButtonHint);
    m_mdi->addSubWindow(m_slideBar);
    // The pane is the program's whole menu: it can be minimised but not closed on its own.
    m_slideBar->installEventFilter(this);
    m_slideBar->move(0, 0);
    m_slideBar->show();
}

void MainWindow::ArrangeSlideBar()
{
    if (!m_slideBar || m_slideBar->isMinimized())
        return;
    if (isMinimized())
        return;
    const int height = std::max(100, frameGeometry().height() - kFrameAllowance);
    const QMargins frame = m_slideBar->contentsMargins();
    m_listBar->setFixedHeight(std::max(50, height - frame.top() - frame.bottom()));
    m_slideBar->resize(m_listBar->width() + frame.left() + frame.right(), height);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    ArrangeSlideBar();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        ArrangeSlideBar();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched != m_slideBar) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(watched);
            sub && sub->widget() && !sub->isMaximized() && !sub->isMinimized())
            windowMemory::remember(sub->widget()->objectName(), sub->geometry());
    }
    if (watched == m_slideBar && event->type() == QEvent::Close && !m_closing) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Each window with unsaved work asks first; one kept open keeps the program open.
    bool refused = false;
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        if (sub != m_slideBar && !sub->close())
            refused = true;
    }
    if (refused) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_mdi->closeAllSubWindows();
    host::closeLoneChildren();
    Q_EMIT closingDatabase();
    CloseDatabase();
    event->accept();
}

QWidget *MainWindow::findChildWindow(const QString &name)
{
    return host::findChild(name);
}

QWidget *MainWindow::openChild(const QString &name, const std::function<QWidget *()> &make)
{
    return host::openChild(name, make);
}

QWidget *MainWindow::findFrameChild(const QString &name) const
{
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        if (sub->widget() && sub->widget()->objectName() == name)
            return sub->widget();
    }
    return nullptr;
}

QWidget *MainWindow::openFrameChild(const QString &name, const std::function<QWidget *()> &make)
{
    if (QWidget *open = findFrameChild(name))
        return open;
    QWidget *w = make();
    if (!w)
        return nullptr;
    w->setObjectName(name);
    w->setAttribute(Qt::WA_DeleteOnClose);
    giveMnemonics(w);
    QMdiSubWindow *sub = m_mdi->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(programIcon());
    // Right of the navigation pane, each new window a step down and right of the last one open,
    // so none hides another entirely.
    const int left = m_slideBar && !m_slideBar->isMinimized() ? m_slideBar->width() : 0;
    int open = 0;
    for (QMdiSubWindow *other : m_mdi->subWindowList()) {
        if (other != sub && other != m_slideBar && other->isVisible())
            ++open;
    }
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    QPoint at(left + (open % 8) * step, (open % 8) * step);
    sub->adjustSize();
    QSize size = sub->size();
    // Wide enough for the whole caption: it is centred between the icon and three buttons.
    const int bar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    const QFontMetrics caption(sub->font());
    size.setWidth(std::max(size.width(), caption.horizontalAdvance(w->windowTitle()) + 6 * bar + 16));
    // Where the clerk last left it, as long as that is still within the client area.
    if (const std::optional<QRect> last = windowMemory::recall(name)) {
        size = last->size();
        const QRect area = m_mdi->viewport()->rect();
        if (area.contains(last->topLeft()) && last->left() < area.right() - 40 &&
            last->top() < area.bottom() - 40)
            at = last->topLeft();
    }
    // Never larger than the screen, whatever the window asks for.
    sub->resize(fitToScreen(this, size));
    sub->move(at);
    sub->installEventFilter(this);
    sub->show();
    return w;
}

void MainWindow::runCommand(const QString &key)
{
    // A key with nothing registered (a window not built yet) does nothing.
    commands::run(key);
}
