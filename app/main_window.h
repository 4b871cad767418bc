#pragma once
// frmRadarMDI: the main window, a multiple-document frame that holds the radar console, the
// panel pnlMDI and the menu bar built from the menu table. Closing it by any means closes every
// other window of the program first; it is refused only when mayClose says no (the student
// keeps an assessed exercise running).

#include "app/menu_table.h"

#include <QMainWindow>

#include <functional>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QTimer;

namespace mv {

class CommandActions;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    QMdiArea* mdiArea() const { return mdiArea_; }
    // The console inside the frame, maximised; it has no close box and cannot be closed by
    // itself, and restored it keeps the size at which all of it is usable.
    QMdiSubWindow* addChild(QWidget* child);
    QMdiSubWindow* consoleWindow() const { return console_; }

    // Builds the menu bar from the table, each command's entry its one action.
    void InstallMenus(const std::vector<MenuEntry>& table, CommandActions& actions);
    QAction* action(const QString& name) const;

    // The help context number of a control (or of the nearest parent that has one), for F1.
    static int HelpContextOf(const QWidget* widget);
    // F1: context help for the focused control.
    std::function<void(int contextId)> contextHelp;
    // What ends the program once every window is closed; nothing by default (tests).
    std::function<void()> endProgram;
    // Asked before the window closes by any means (File > Exit, Ctrl+Q, the frame's close
    // box); false keeps the program running. Nothing by default: the window always closes.
    std::function<bool()> mayClose;

  public slots:
    void mnuExit_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The main window's size limits in the normal state: never narrower than the console
    // needs, never taller than 0.8 of its width.
    void KeepSizeLimits();
    // Every other window of the program closed, the last first.
    void CloseOtherWindows();

    QMdiArea* mdiArea_ = nullptr;
    QMdiSubWindow* console_ = nullptr;
    // Runs once a resize has rested: the heap the drag's buffers left free goes back.
    QTimer* resizeSettled_ = nullptr;
    bool closing_ = false;
    bool limiting_ = false;
};

} // namespace mv
