#include "app/main_window.h"

#include "app/radar_console.h"
#include "gui/command_actions.h"
#include "gui/help_topics.h"
#include "gui/palette.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace mv {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmRadarMDI");
    setWindowTitle("Marovane");
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiArea");
    mdiArea_->setBackground(PaletteFor(DisplayPalette::Day).workspace);
    setCentralWidget(mdiArea_);
    // pnlMDI: a thin strip under the workspace that says what the keys do; it has no controls.
    auto* pnlMDI = new QStatusBar(this);
    pnlMDI->setObjectName("pnlMDI");
    pnlMDI->setSizeGripEnabled(false);
    pnlMDI->addWidget(
        new QLabel("F1: help on the control in focus    Ctrl+P: pause    Ctrl+R: "
                   "repeat    Ctrl+Up/Down: range    Ctrl+L: plot    Ctrl+I: identify",
                   pnlMDI));
    setStatusBar(pnlMDI);
    setMinimumSize(720, 480);
    resize(1280, 800);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    help->setObjectName("shortcutContextHelp");
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, [this] {
        if (contextHelp) contextHelp(HelpContextOf(QApplication::focusWidget()));
    });
    // A drag of the window's edge makes and drops a window buffer (up to 32 MiB at 4K) at
    // every step; half a second after the last step the heap they left free is handed back,
    // so the program's memory after a drag is what it was before it.
    resizeSettled_ = new QTimer(this);
    resizeSettled_->setSingleShot(true);
    resizeSettled_->setInterval(500);
#ifdef __GLIBC__
    connect(resizeSettled_, &QTimer::timeout, this, [] { malloc_trim(0); });
#endif
}

MainWindow::~MainWindow() = default;

QMdiSubWindow* MainWindow::addChild(QWidget* child) {
    // No close box and no minimise button: a closed or shrunken console was lost for good.
    QMdiSubWindow* sub =
        mdiArea_->addSubWindow(child, Qt::SubWindow | Qt::CustomizeWindowHint |
                                          Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint);
    sub->setObjectName("frmRadarWindow");
    // The console lives as long as the application: a tick or a message box may still be
    // using it when the main window closes.
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowTitle(child->windowTitle());
    if (QMenu* system = sub->systemMenu())
        for (QAction* a : system->actions())
            if (a->shortcut() == QKeySequence::Close || a->text().contains("Close") ||
                a->text().contains("Min"))
                system->removeAction(a);
    sub->setMinimumSize(child->minimumSizeHint().expandedTo(QSize(640, 420)));
    sub->installEventFilter(this);
    console_ = sub;
    sub->showMaximized();
    return sub;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == console_) {
        if (event->type() == QEvent::Close && !closing_) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::WindowStateChange &&
            console_->windowState() == Qt::WindowNoState) {
            // Restored: most of the workspace, never less than the console needs.
            const QSize area = mdiArea_->viewport()->size();
            const QSize want = (area * 0.9)
                                   .expandedTo(console_->minimumSize())
                                   .boundedTo(area.expandedTo(console_->minimumSize()));
            console_->resize(want);
            console_->move(0, 0);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QAction* MainWindow::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void MainWindow::InstallMenus(const std::vector<MenuEntry>& table, CommandActions& actions) {
    QMap<QString, QMenu*> menus;
    for (const MenuEntry& e : table) {
        QMenu* parentMenu = e.parent.isEmpty() ? nullptr : menus.value(e.parent);
        Q_ASSERT_X(e.parent.isEmpty() || parentMenu, "InstallMenus", qPrintable(e.name));
        if (e.isSeparator()) {
            parentMenu->addSeparator()->setObjectName(e.name);
        } else if (e.isCommand()) {
            QAction* a = actions.action(e.name);
            Q_ASSERT_X(a, "InstallMenus", qPrintable(e.name));
            if (!a) continue;
            if (parentMenu)
                parentMenu->addAction(a);
            else
                menuBar()->addAction(a);
        } else {
            QMenu* menu =
                parentMenu ? parentMenu->addMenu(e.caption) : menuBar()->addMenu(e.caption);
            menu->setObjectName(e.name + "_menu");
            // A greyed entry says why on hovering (the companion program not installed).
            menu->setToolTipsVisible(true);
            menu->menuAction()->setObjectName(e.name);
            menus.insert(e.name, menu);
        }
    }
}

int MainWindow::HelpContextOf(const QWidget* widget) {
    return mv::HelpContextOf(widget);
}

void MainWindow::mnuExit_Click() {
    close();
}

void MainWindow::CloseOtherWindows() {
    // The last window first, as long as any other is open. A window that refuses to close
    // (the True View hides itself instead) is hidden; hiding a modal box ends its wait too.
    for (int pass = 0; pass < 3; ++pass) {
        QWidgetList open;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != this && w->isVisible()) open.push_back(w);
        if (open.isEmpty()) return;
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            QWidget* w = *it;
            w->close();
            if (w->isVisible()) w->hide();
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing_) return event->accept();
    // Refused only when the user says so; whatever windows are open never stand in the way.
    if (mayClose && !mayClose()) return event->ignore();
    event->accept();
    closing_ = true;
    CloseOtherWindows();
    if (console_) console_->close();
    QMainWindow::closeEvent(event);
    event->accept();
    if (endProgram) endProgram();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    KeepSizeLimits();
    resizeSettled_->start();
}

void MainWindow::KeepSizeLimits() {
    if (limiting_ ||
        windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    limiting_ = true;
    int w = width(), h = height();
    if (console_ && console_->isMaximized()) {
        if (auto* console = qobject_cast<RadarConsole*>(console_->widget())) {
            // The frame around the console (menus, borders) and the width the console needs
            // at the height it would have.
            const int frameW = w - console->width();
            const int frameH = h - console->height();
            const int need = frameW + console->UsableWidth(std::max(h - frameH, 1));
            if (w < need) w = need;
        }
    }
    if (0.8 * h > w) h = static_cast<int>(0.8 * w);
    if (w != width() || h != height()) resize(w, h);
    limiting_ = false;
}

} // namespace mv
