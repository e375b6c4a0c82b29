#pragma once
// What the monitor engine needs of the main window: its poll timer, the tree's node colours
// and the watchdog menu item. The desktop build backs these with widgets; tests record the
// calls.

#include <cstdint>
#include <string>

namespace tessivar {

// The main window's poll timer (timUpdate). Its tick handler is clsPollCycle::tick.
class IPollTimer {
public:
    virtual ~IPollTimer() = default;
    virtual void setInterval(int milliseconds) = 0;
    // Starts the countdown afresh with the given interval.
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The navigation tree: paints a card node black (online) or silver. category: 1 output,
// 2 input, 3 matrix, 4 power supply, 5 fan controller.
class ITreeNodePainter {
public:
    virtual ~ITreeNodePainter() = default;
    virtual void RedrawTreeNode(std::int16_t category, std::int16_t card, bool online) = 0;
};

// The "&Matrix Watchdog..." menu item.
class IWatchdogMenuItem {
public:
    virtual ~IWatchdogMenuItem() = default;
    virtual void setVisible(bool visible) = 0;
    virtual void setEnabled(bool enabled) = 0;
};

// At start-up: "YES" shows and enables the item, "CAPABLE" shows it greyed, anything else
// hides it.
void applyWatchdogMenuAtStart(const std::string& redundantAnswer, IWatchdogMenuItem& item);

// During polling: "YES" shows and enables the item, "CAPABLE" greys it without touching its
// visibility, anything else hides it.
void applyWatchdogMenuWhilePolling(const std::string& redundantAnswer, IWatchdogMenuItem& item);

} // namespace tessivar
