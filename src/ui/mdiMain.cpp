#include "ui/mdiMain.h"

#include "common/OperatorPrompt.h"
#include "link/CommandChannel.h"
#include "monitor/MonitorPorts.h"
#include "ui/frmAbout.h"
#include "views/TreeNodes.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScopeGuard>

namespace tessivar::ui {

mdiMain::mdiMain(ICommandChannel& channel, IOperatorPrompt& prompt, QWidget* parent)
    : QMainWindow(parent), channel_(channel), prompt_(prompt) {
    setObjectName(QStringLiteral("mdiMain"));
    setWindowTitle(QStringLiteral("Quorvel Tessivar"));
    area_ = new QMdiArea(this);
    area_->setObjectName(QStringLiteral("mdiArea"));
    area_->setBackground(palette().brush(QPalette::Dark));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuExit = mnuFile->addAction(QStringLiteral("&Exit"));
    mnuSettings = menuBar()->addMenu(QStringLiteral("&Settings"));
    mnuFrameType = mnuSettings->addAction(QStringLiteral("&FrameType"));
    mnuReinitialize = mnuSettings->addAction(QStringLiteral("&Reinitialize"));
    mnuRedundantMatrix = mnuSettings->addAction(QStringLiteral("&Matrix Watchdog..."));
    mnuReclock = mnuSettings->addAction(QStringLiteral("&Output Reclock Rates..."));
    mnuConverter = mnuSettings->addAction(QStringLiteral("&HD To SD Converter Options..."));
    mnuWindow = menuBar()->addMenu(QStringLiteral("&Window"));
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));

    connect(mnuExit, &QAction::triggered, this, [this] {
        if (actions_.endProgram)
            actions_.endProgram();
    });
    connect(mnuFrameType, &QAction::triggered, this, &mdiMain::mnuFrameType_Click);
    connect(mnuReinitialize, &QAction::triggered, this, &mdiMain::mnuReinitialize_Click);
    connect(mnuRedundantMatrix, &QAction::triggered, this,
            [this] { openSingle("frmRedundantMain", QStringLiteral("Matrix Watchdog")); });
    connect(mnuReclock, &QAction::triggered, this, [this] {
        openKept(reclock_, "frmReclock", QStringLiteral("Output Reclock Rate Selection"));
    });
    connect(mnuConverter, &QAction::triggered, this, [this] {
        openKept(converter_, "frmConvRange",
                 QStringLiteral("HD To SD Converter Card Option Selection"));
    });
    connect(mnuAbout, &QAction::triggered, this, [this] {
        // A window of its own, not a child: the main window stays usable. There is one about
        // box; asking again brings it forward.
        if (!about_)
            about_ = new frmAbout(nullptr);
        about_->show();
        about_->raise();
        about_->activateWindow();
    });
    connect(mnuWindow, &QMenu::aboutToShow, this, &mdiMain::fillWindowMenu);

    timUpdate.setObjectName(QStringLiteral("timUpdate"));
    connect(&timUpdate, &QTimer::timeout, this, &mdiMain::timUpdate_Timer);
}

mdiMain::~mdiMain() {
    delete about_;
}

void mdiMain::setTree(QWidget* tree) {
    if (!dock_) {
        dock_ = new QDockWidget(this);
        dock_->setObjectName(QStringLiteral("dockTree"));
        dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
        dock_->setTitleBarWidget(new QWidget(dock_));
        addDockWidget(Qt::LeftDockWidgetArea, dock_);
    }
    if (tree_ && tree_ != tree)
        tree_->deleteLater();
    tree_ = tree;
    dock_->setWidget(tree);
    dock_->setFixedWidth(tree->width());
}

int mdiMain::treeWidth() const {
    return dock_ ? dock_->width() : 0;
}

void mdiMain::timUpdate_Timer() {
    // A tick may open a modal box whose event loop delivers the next tick: that one must not
    // poll the same card again.
    if (inTick_ || !pollReady_ || linkBusy_ || !actions_.pollTick)
        return;
    inTick_ = true;
    auto done = qScopeGuard([this] { inTick_ = false; });
    actions_.pollTick();
}

void mdiMain::setWatchdogMenu(const std::string& answer) {
    struct Item : IWatchdogMenuItem {
        explicit Item(QAction* a) : action(a) {}
        void setVisible(bool visible) override { action->setVisible(visible); }
        void setEnabled(bool enabled) override { action->setEnabled(enabled); }
        QAction* action;
    } item(mnuRedundantMatrix);
    applyWatchdogMenuWhilePolling(answer, item);
}

QMdiSubWindow* mdiMain::IsLoaded(const std::string& F_Form, const std::string& strName) const {
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        const QWidget* w = sub->widget();
        if (!w)
            continue;
        if (windowMatches(w->objectName().toStdString(), sub->windowTitle().toStdString(), F_Form,
                          strName))
            return sub;
    }
    return nullptr;
}

QMdiSubWindow* mdiMain::showChild(QWidget* window) {
    QMdiSubWindow* sub = area_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(window->windowTitle());
    sub->show();
    // The area already starts at the tree's right edge: the child takes all of it.
    sub->setGeometry(0, 0, area_->viewport()->width(), area_->viewport()->height());
    bringToFront(sub);
    return sub;
}

void mdiMain::bringToFront(QMdiSubWindow* window) {
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    if (QMdiArea* a = window->mdiArea())
        a->setActiveSubWindow(window);
}

void mdiMain::notAvailable(const QString& name) {
    prompt_.tell(notAvailableText(name).toStdString());
}

QMdiSubWindow* mdiMain::openSingle(const std::string& kind, const QString& name) {
    return openByTitle(kind, {}, name);
}

QMdiSubWindow* mdiMain::openByTitle(const std::string& kind, const std::string& title,
                                    const QString& name) {
    if (QMdiSubWindow* open = IsLoaded(kind, title)) {
        bringToFront(open);
        return open;
    }
    QWidget* w = registry_.create(kind);
    if (!w) {
        notAvailable(name);
        return nullptr;
    }
    return showChild(w);
}

void mdiMain::openKept(QMdiSubWindow*& kept, const std::string& kind, const QString& name) {
    if (kept) {
        kept->show();
        bringToFront(kept);
        return;
    }
    QWidget* w = registry_.create(kind);
    if (!w) {
        notAvailable(name);
        return;
    }
    kept = showChild(w);
    // Reused for the rest of the run, also after the operator closed it.
    kept->setAttribute(Qt::WA_DeleteOnClose, false);
}

void mdiMain::fillWindowMenu() {
    mnuWindow->clear();
    const auto subs = area_->subWindowList();
    if (subs.isEmpty()) {
        mnuWindow->addAction(QStringLiteral("(no windows open)"))->setEnabled(false);
        return;
    }
    int n = 1;
    for (QMdiSubWindow* sub : subs) {
        if (!sub->isVisible())
            continue;
        QAction* a =
            mnuWindow->addAction(QStringLiteral("&%1 %2").arg(n++).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == area_->activeSubWindow());
        connect(a, &QAction::triggered, this, [sub] { bringToFront(sub); });
    }
}

void mdiMain::mnuFrameType_Click() {
    if (actions_.frameInfo)
        prompt_.tell(actions_.frameInfo());
}

void mdiMain::mnuReinitialize_Click() {
    if (!actions_.reinitialize)
        return;
    actions_.reinitialize();
    emit inventoryRebuilt();
}

void mdiMain::closeEvent(QCloseEvent* event) {
    channel_.turnOnVerbose();
    event->accept();
    QApplication::quit();
}

} // namespace tessivar::ui
