#include "ui/Console.h"

#include "common/OperatorPrompt.h"
#include "model/clsQuorvelBoard.h"
#include "ui/frmCOMSelect.h"
#include "ui/frmLogging.h"
#include "ui/frmSplash.h"
#include "ui/frmTree.h"
#include "ui/mdiMain.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace tessivar::ui {

class Console::PollTimer : public IPollTimer {
public:
    explicit PollTimer(QTimer& timer) : timer_(timer) {}
    void setInterval(int ms) override { timer_.setInterval(ms); }
    void start(int ms) override { timer_.start(ms); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer& timer_;
};

class Console::WatchdogItem : public IWatchdogMenuItem {
public:
    explicit WatchdogItem(mdiMain& main) : main_(main) {}
    void setVisible(bool visible) override { main_.mnuRedundantMatrix->setVisible(visible); }
    void setEnabled(bool enabled) override { main_.mnuRedundantMatrix->setEnabled(enabled); }

private:
    mdiMain& main_;
};

// The poll cycle keeps this one painter; it follows the tree through its rebuilds.
class Console::TreePainter : public ITreeNodePainter {
public:
    explicit TreePainter(Console& console) : console_(console) {}
    void RedrawTreeNode(std::int16_t category, std::int16_t card, bool online) override {
        if (frmTree* t = console_.tree())
            t->RedrawTreeNode(category, card, online);
    }

private:
    Console& console_;
};

namespace {

QString readingText(const std::string& category, std::int16_t card, std::int16_t count) {
    QString noun = QStringLiteral("Card");
    if (category == "INPUT")
        noun = QStringLiteral("Input card");
    else if (category == "OUTPUT")
        noun = QStringLiteral("Output card");
    else if (category == "MATRIX")
        noun = QStringLiteral("Matrix card");
    else if (category == "POWER")
        noun = QStringLiteral("Power slot");
    else if (category == "OUTPUT_OPTION")
        noun = QStringLiteral("Output option card");
    return QStringLiteral("Reading the frame\u2026\n%1 %2 of %3").arg(noun).arg(card).arg(count);
}

bool recordValid(const clsQuorvelBoard* record) {
    return record && record->isBoardValid();
}

} // namespace

Console::Console(Services services)
    : s_(std::move(services)), connectionSettings_(std::make_shared<clsConnectionData>(s_.store)),
      channel_(s_.channelFactory), commands_(channel_) {
    main_ = std::make_unique<mdiMain>(channel_, s_.prompt);
    timer_ = std::make_unique<PollTimer>(main_->timUpdate);
    watchdogItem_ = std::make_unique<WatchdogItem>(*main_);
    treePainter_ = std::make_unique<TreePainter>(*this);
    inventory_ = std::make_unique<clsCardInventory>(channel_, commands_, *timer_);
    poll_ = std::make_unique<clsPollCycle>(*inventory_, commands_, channel_, s_.prompt, *timer_);
    poll_->setWatchdogMenu(watchdogItem_.get());
    poll_->setTree(treePainter_.get());

    mdiMain::Actions actions;
    actions.pollTick = [this] { poll_->tick(); };
    actions.reinitialize = [this] { runInventory(); };
    actions.frameInfo = [this] {
        const clsQuorvelBoard* frame = inventory_->frameRecord();
        return frame ? frame->getFrameInfo() : std::string();
    };
    actions.endProgram = [this] { s_.endProgram(); };
    main_->setActions(std::move(actions));
    connect(main_.get(), &mdiMain::inventoryRebuilt, this, &Console::loadTree);
    registerWindows();
}

Console::~Console() {
    // Windows go before the objects they read.
    main_.reset();
}

void Console::registerWindows() {
    WindowRegistry& w = main_->windows();
    w.add("frmLogging", [this]() -> QWidget* {
        return new frmLogging(*logFile_, *logging_, s_.store, s_.prompt);
    });
}

bool Console::Main(const StartOptions& options) {
    if (options.showSplash) {
        frmSplash splash;
        splash.exec();
    }
    channel_.channel(); // the hidden command channel
    if (!loadMainWindow(options))
        return false;
    // Without a window manager (a bare X server, a kiosk session) maximising does nothing, so
    // the window is first sized to the screen's free area.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        main_->setGeometry(screen->availableGeometry());
    main_->showMaximized();
    loadTree();
    return true;
}

bool Console::loadMainWindow(const StartOptions& options) {
    dialog_ =
        new frmCOMSelect(s_.store, s_.prompt, *this, s_.endProgram, s_.devicePathFor, main_.get());
    if (options.connect)
        dialog_->fill(*options.connect);
    bool connected = false;
    if (options.connect && options.silentConnect) {
        dialog_->cmdOK->click();
        connected = dialog_->result() == QDialog::Accepted;
    }
    if (!connected) {
        if (options.connect && !options.silentConnect) {
            QPointer<frmCOMSelect> d = dialog_;
            QTimer::singleShot(0, dialog_, [d] {
                if (d)
                    d->cmdOK->click();
            });
        }
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            dialog_->adjustSize();
            dialog_->move(screen->availableGeometry().center() - dialog_->rect().center());
        }
        connected = dialog_->exec() == QDialog::Accepted;
    }
    if (!connected)
        return false;

    logFile_ = std::make_unique<clsLogFile>(s_.files, s_.store, s_.prompt, s_.clock, s_.formatter);
    logging_ = std::make_unique<clsLogging>(s_.store);
    voltages_ = std::make_unique<clsVoltages>();
    poll_->attachLogging(*logFile_, *logging_);
    main_->setPollReady(true);
    applyWatchdogMenuAtStart(commands_.isRedundantFrame(), *watchdogItem_);
    return true;
}

void Console::loadTree() {
    frmTree::Source source;
    source.read = [this] {
        TreeSource t;
        auto validity = [](const clsCardInventory::CardList& list, std::int16_t count) {
            std::vector<bool> v;
            for (std::int16_t n = 1; n <= count; ++n)
                v.push_back(recordValid(cardAt(list, n)));
            return v;
        };
        t.inputValid = validity(inventory_->inputCards(), inventory_->inputCount());
        t.outputValid = validity(inventory_->outputCards(), inventory_->outputCount());
        t.matrixValid = validity(inventory_->matrixCards(), inventory_->matrixCount());
        t.powerValid = validity(inventory_->powerCards(), inventory_->powerCount());
        t.fanControllers = commands_.hasFanControllers();
        return t;
    };
    source.cardValid = [this](const std::string& category, std::int16_t card) {
        return recordValid(inventory_->card(category, card));
    };
    tree_ = new frmTree(*main_, std::move(source), selectedCardNumber_);
    main_->setTree(tree_);
}

void Console::replaceSettings() {
    connectionSettings_ = std::make_shared<clsConnectionData>(s_.store);
}

void Console::discardChannel() {
    channel_.discard();
}

bool Console::openConnection() {
    return channel_.channel().openConnection(connectionSettings_);
}

void Console::turnOffVerbose() {
    channel_.turnOffVerbose();
}

std::string Console::getActiveStatus() {
    return commands_.getActiveStatus();
}

void Console::doTakeOver() {
    commands_.doTakeOver();
}

void Console::setPollInterval(int milliseconds) {
    inventory_->pollInterval(milliseconds);
}

void Console::hideDialog() {
    if (dialog_)
        dialog_->finishConnected();
}

// The inventory sends one status command per slot: hundreds of blocking commands. Between
// them the progress box repaints; user input waits, and poll ticks are dropped while the
// link is busy here.
void Console::runInventory() {
    main_->setLinkBusy(true);
    auto progress = std::make_unique<QProgressDialog>(main_->isVisible() ? main_.get() : nullptr);
    progress_ = progress.get();
    progress->setWindowTitle(QString::fromUtf8(kProgramTitle));
    progress->setCancelButton(nullptr);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumWidth(320);
    progress->setLabelText(QStringLiteral("Reading the frame\u2026"));
    progress->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    inventory_->setProgress([this](const std::string& category, std::int16_t card,
                                   std::int16_t count) { showProgress(category, card, count); });
    inventory_->InitCardArrays();
    inventory_->setProgress({});
    progress->close();
    main_->setLinkBusy(false);
}

void Console::showProgress(const std::string& category, std::int16_t card, std::int16_t count) {
    if (!progress_)
        return;
    progress_->setMaximum(count);
    progress_->setValue(card - 1);
    progress_->setLabelText(readingText(category, card, count));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace tessivar::ui
