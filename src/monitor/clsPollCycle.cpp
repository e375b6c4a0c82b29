#include "monitor/clsPollCycle.h"

#include "commands/CardCategories.h"
#include "commands/clsControllerCommands.h"
#include "common/OperatorPrompt.h"
#include "link/CommandChannel.h"
#include "link/modUtilities.h"
#include "logging/clsLogFile.h"
#include "logging/clsLogging.h"
#include "model/clsQuorvelBoard.h"
#include "monitor/MonitorPorts.h"
#include "monitor/clsCardInventory.h"

#include <cmath>

namespace tessivar {

namespace {

struct CardStep {
    std::int16_t treeCategory;
    const char* noun; // of the offline box
};

// Steps 0..3: inputs, outputs, matrices, power supplies.
constexpr CardStep kCardSteps[] = {
    {2, "Input card "},
    {1, "Output card "},
    {3, "Matrix card "},
    {4, "Power supply "},
};

constexpr std::int16_t kFanControllerTreeCategory = 5;

// Clears the flag on every way out of a tick, including an exception from a window.
class TickGuard {
public:
    explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TickGuard() { flag_ = false; }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;

private:
    bool& flag_;
};

} // namespace

clsPollCycle::clsPollCycle(clsCardInventory& inventory, clsControllerCommands& commands,
                           ICommandChannel& channel, IOperatorPrompt& prompt, IPollTimer& timer)
    : inventory_(inventory), commands_(commands), channel_(channel), prompt_(prompt),
      timer_(timer) {}

void clsPollCycle::attachLogging(clsLogFile& logFile, clsLogging& logging) {
    logFile_ = &logFile;
    logging_ = &logging;
}

void clsPollCycle::tick() {
    if (inTick_ || !isReady())
        return;
    TickGuard guard(inTick_);

    timer_.setInterval(inventory_.pollInterval());
    switch (pollStep_) {
    case 0:
    case 1:
    case 2:
    case 3:
        cardStep();
        break;
    case 4:
        controllerStateStep();
        break;
    case 5:
        alarmStep();
        break;
    case 6:
        watchdogMenuStep();
        break;
    case 7:
        fanControllerStep();
        break;
    case 8:
        restartStep();
        break;
    default:
        pollStep_ = 0;
        break;
    }
}

void clsPollCycle::cardStep() {
    const CardStep& step = kCardSteps[pollStep_];
    std::int16_t last = 0;
    const clsCardInventory::CardList* list = nullptr;
    bool (clsLogging::*selected)(std::int16_t) const = nullptr;
    switch (pollStep_) {
    case 0:
        last = inventory_.inputCount();
        list = &inventory_.inputCards();
        selected = &clsLogging::IsInputSetForLogging;
        break;
    case 1:
        last = inventory_.outputCount();
        list = &inventory_.outputCards();
        selected = &clsLogging::IsOutputSetForLogging;
        break;
    case 2:
        last = inventory_.matrixCount();
        list = &inventory_.matrixCards();
        selected = &clsLogging::IsMatrixSetForLogging;
        break;
    default:
        // The last three power slots are the output monitor and the fan controllers.
        last = static_cast<std::int16_t>(inventory_.powerCount() - 3);
        list = &inventory_.powerCards();
        selected = &clsLogging::IsPowerSetForLogging;
        break;
    }

    // The list may hold fewer records than its count says only if the roll call lied; the
    // record lookup guards that as well.
    clsQuorvelBoard* card = cardAt(*list, pollIndex_);
    if (pollIndex_ < 1 || pollIndex_ > last || card == nullptr) {
        pollIndex_ = 1;
        ++pollStep_;
        return;
    }
    // Keep the record alive through the box below even if the inventory is rebuilt meanwhile.
    clsCardInventory::CardPtr keep = (*list)[static_cast<std::size_t>(pollIndex_)];
    const std::int16_t number = pollIndex_;

    const std::int32_t totalBefore = card->errorCount();
    card->updateStatus();
    const std::string category = card->boardType();
    // A record keeps the delta of its last decoded poll through polls it could not decode;
    // only a total that moved in this poll is news.
    const bool newErrors = card->deltaErrorCount() != 0 && card->errorCount() != totalBefore;
    const bool logThisCard = (logging_->*selected)(number);
    if (logThisCard) {
        if (card->boardStatChange() && logging_->detailLog()) {
            logFile_->addDetailEntry(*card);
            card->boardStatChange(false);
        }
        if (newErrors && logging_->simpleLog())
            logFile_->addEntry(category + " " + std::to_string(number) + " has " +
                               std::to_string(card->deltaErrorCount()) + " New errors.");
    }
    if (card->hasBoardChangedState()) {
        const bool online = card->isBoardValid();
        std::string message = category + " " + std::to_string(number);
        if (online) {
            message += " has gone ONLINE.";
        } else {
            message += " has gone OFFLINE.";
            prompt_.tell(step.noun + std::to_string(number) + " has gone offline");
        }
        if (tree_)
            tree_->RedrawTreeNode(step.treeCategory, number, online);
        if (logging_->simpleLog() && logThisCard)
            logFile_->addEntry(message);
    }
    pollIndex_ = static_cast<std::int16_t>(number + 1);
}

void clsPollCycle::controllerStateStep() {
    std::string state = commands_.getActiveStatus();
    if (state != lastControllerState_ && logFile_->SimpleLogEnable()) {
        logFile_->addEntry("New Controller state is: " + state);
        lastControllerState_ = state;
    }
    channel_.turnOffVerbose();
    pollStep_ = 5;
}

void clsPollCycle::alarmStep() {
    std::string alarm = commands_.getAlarm();
    if (alarm != lastAlarm_) {
        lastAlarm_ = alarm;
        if (logging_->simpleLog())
            logFile_->addEntry("New Alarm: " + alarm);
        if (logging_->detailLog() && alarm.find("FAN:") != std::string::npos)
            logFanAlarmSupplies(alarm);
    }
    pollStep_ = 6;
}

// An alarm line names supplies as "PWR" followed by a space and the supply number. Each
// pass moves past a "PWR" and the space after it, so the walk ends on any text; a name
// without a number, or a number with no such record, writes nothing.
void clsPollCycle::logFanAlarmSupplies(const std::string& alarm) {
    std::size_t at = alarm.find("PWR");
    if (at == std::string::npos)
        return;
    std::string rest = trimSpaces(alarm.substr(at));
    while (true) {
        std::size_t space = rest.find(' ');
        if (space == std::string::npos)
            return;
        rest = trimSpaces(rest.substr(space + 1));
        std::string word = rest.substr(0, rest.find(' '));
        std::optional<double> value = leadingNumber(word);
        if (value && *value >= 1 && *value <= inventory_.powerCount()) {
            auto number = static_cast<std::int16_t>(std::nearbyint(*value));
            clsQuorvelBoard* supply = inventory_.powerCard(number);
            if (supply && logging_->IsPowerSetForLogging(number))
                logFile_->addDetailEntry(*supply);
        }
        at = rest.find("PWR");
        if (at == std::string::npos)
            return;
        rest = trimSpaces(rest.substr(at));
    }
}

void clsPollCycle::watchdogMenuStep() {
    std::string answer = commands_.isRedundantFrame();
    if (menu_)
        applyWatchdogMenuWhilePolling(answer, *menu_);
    pollStep_ = 7;
}

void clsPollCycle::fanControllerStep() {
    pollStep_ = 8;
    if (commands_.hasFanControllers() < 1)
        return;
    // A frame whose power list stops short of the fan controller slots has none to poll.
    if (inventory_.powerCount() < kLastFanControllerSlot)
        return;
    for (std::int16_t slot = kFirstFanControllerSlot; slot <= kLastFanControllerSlot; ++slot) {
        clsCardInventory::CardPtr keep;
        if (const auto& list = inventory_.powerCards();
            static_cast<std::size_t>(slot) < list.size())
            keep = list[static_cast<std::size_t>(slot)];
        if (!keep)
            return;
        keep->updateStatus();
        if (!keep->hasBoardChangedState())
            continue;
        const bool online = keep->isBoardValid();
        if (!online)
            prompt_.tell("Fan controller " + std::to_string(slot - kFirstFanControllerSlot + 1) +
                         " has gone offline");
        if (tree_)
            tree_->RedrawTreeNode(kFanControllerTreeCategory, slot, online);
    }
}

void clsPollCycle::restartStep() {
    timer_.stop();
    timer_.setInterval(inventory_.pollInterval());
    timer_.start(inventory_.pollInterval());
    pollStep_ = 0;
}

} // namespace tessivar
