#pragma once

#include <cstdint>
#include <string>

namespace tessivar {

class ICommandChannel;
class IOperatorPrompt;
class IPollTimer;
class ITreeNodePainter;
class IWatchdogMenuItem;
class clsCardInventory;
class clsControllerCommands;
class clsLogFile;
class clsLogging;
class clsQuorvelBoard;

// The handler of the main window's poll timer: one small piece of work per tick (one card,
// or one frame-wide query), turning what changed into message boxes, log entries and tree
// colours.
class clsPollCycle {
public:
    clsPollCycle(clsCardInventory& inventory, clsControllerCommands& commands,
                 ICommandChannel& channel, IOperatorPrompt& prompt, IPollTimer& timer);

    // The inventory starts the timer before the main window has created the log file
    // writer and the logging selection; ticks are skipped until both are attached.
    void attachLogging(clsLogFile& logFile, clsLogging& logging);
    bool isReady() const { return logFile_ != nullptr && logging_ != nullptr; }

    // Either may be absent (before the tree is shown); the cycle then skips that output.
    void setTree(ITreeNodePainter* tree) { tree_ = tree; }
    void setWatchdogMenu(IWatchdogMenuItem* menu) { menu_ = menu; }

    // One tick. A tick that arrives while another is still running (a modal box inside it
    // runs a nested event loop) is dropped, so no card is polled or advanced twice.
    void tick();

    std::int16_t pollStep() const { return pollStep_; }
    std::int16_t pollIndex() const { return pollIndex_; }
    const std::string& lastControllerState() const { return lastControllerState_; }
    const std::string& lastAlarm() const { return lastAlarm_; }

private:
    void cardStep();
    void controllerStateStep();
    void alarmStep();
    void watchdogMenuStep();
    void fanControllerStep();
    void restartStep();
    void logFanAlarmSupplies(const std::string& alarm);

    clsCardInventory& inventory_;
    clsControllerCommands& commands_;
    ICommandChannel& channel_;
    IOperatorPrompt& prompt_;
    IPollTimer& timer_;
    clsLogFile* logFile_ = nullptr;
    clsLogging* logging_ = nullptr;
    ITreeNodePainter* tree_ = nullptr;
    IWatchdogMenuItem* menu_ = nullptr;

    bool inTick_ = false;
    std::int16_t pollStep_ = 0;
    std::int16_t pollIndex_ = 0;
    std::string lastControllerState_;
    std::string lastAlarm_;
};

} // namespace tessivar
