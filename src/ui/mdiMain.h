#pragma once

#include "ui/WindowRegistry.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QDockWidget;

namespace tessivar {
class ICommandChannel;
class IOperatorPrompt;
} // namespace tessivar

namespace tessivar::ui {

class frmAbout;

// The program's main window: a multiple-document frame holding the navigation tree at its
// left and every other window as a child. It owns the poll timer and the menus.
class mdiMain : public QMainWindow {
    Q_OBJECT
public:
    // What the menus and the poll timer act on; filled by the console once its shared
    // objects exist.
    struct Actions {
        std::function<void()> pollTick;     // one step of the poll cycle
        std::function<void()> reinitialize; // the card inventory again
        std::function<std::string()> frameInfo;
        std::function<void()> endProgram; // "&Exit": at once, nothing closed first
    };

    mdiMain(ICommandChannel& channel, IOperatorPrompt& prompt, QWidget* parent = nullptr);
    // The about box is not a child, so it goes with the main window explicitly.
    ~mdiMain() override;

    void setActions(Actions actions) { actions_ = std::move(actions); }
    WindowRegistry& windows() { return registry_; }
    QMdiArea* area() const { return area_; }

    // The tree, docked along the left edge; rebuilt by "&Reinitialize".
    void setTree(QWidget* tree);
    QWidget* tree() const { return tree_; }
    int treeWidth() const;

    // Poll ticks wait for this: the log writer, the logging selection and the voltage
    // labels must exist before the first tick is handled. A timer started earlier (the
    // inventory runs inside the connection dialog) keeps running; its ticks do nothing.
    void setPollReady(bool ready) { pollReady_ = ready; }
    // Ticks do nothing while the link is busy elsewhere (the inventory of "&Reinitialize").
    void setLinkBusy(bool busy) { linkBusy_ = busy; }
    bool linkBusy() const { return linkBusy_; }

    // "YES": the watchdog item is shown and enabled; "CAPABLE": greyed, visibility kept;
    // anything else: hidden.
    void setWatchdogMenu(const std::string& isRedundantFrameAnswer);

    // An open child window of that kind (class name) and, when strName is not empty, that
    // title; both compared ignoring letter case. nullptr when none is open.
    QMdiSubWindow* IsLoaded(const std::string& F_Form, const std::string& strName) const;
    // Adds a window as a child, placed to the right of the tree with the full height, and
    // shows it in front.
    QMdiSubWindow* showChild(QWidget* window);
    static void bringToFront(QMdiSubWindow* window);
    // Opens a registered kind (a box when it is not available yet) or brings the open one to
    // the front. name is what the box calls the window.
    QMdiSubWindow* openSingle(const std::string& kind, const QString& name);
    QMdiSubWindow* openByTitle(const std::string& kind, const std::string& title,
                               const QString& name);

    QTimer timUpdate;
    // The poll timer's handler: one poll cycle step unless one is still running (a modal box
    // inside a tick runs a nested event loop) or the link is busy elsewhere.
    void timUpdate_Timer();

    QMenu* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuSettings = nullptr;
    QAction* mnuFrameType = nullptr;
    QAction* mnuReinitialize = nullptr;
    QAction* mnuRedundantMatrix = nullptr;
    QAction* mnuReclock = nullptr;
    QAction* mnuConverter = nullptr;
    QMenu* mnuWindow = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

signals:
    // After "&Reinitialize" took the inventory: the tree must be built again.
    void inventoryRebuilt();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fillWindowMenu();
    void mnuFrameType_Click();
    void mnuReinitialize_Click();
    void openKept(QMdiSubWindow*& kept, const std::string& kind, const QString& name);
    void notAvailable(const QString& name);

    ICommandChannel& channel_;
    IOperatorPrompt& prompt_;
    Actions actions_;
    WindowRegistry registry_;
    QMdiArea* area_ = nullptr;
    QDockWidget* dock_ = nullptr;
    QWidget* tree_ = nullptr;
    QMdiSubWindow* reclock_ = nullptr;
    QMdiSubWindow* converter_ = nullptr;
    QPointer<frmAbout> about_;
    bool inTick_ = false;
    bool pollReady_ = false;
    bool linkBusy_ = false;
};

} // namespace tessivar::ui
