#include "monitor/MonitorPorts.h"

namespace tessivar {

void applyWatchdogMenuAtStart(const std::string& redundantAnswer, IWatchdogMenuItem& item) {
    if (redundantAnswer == "YES") {
        item.setVisible(true);
        item.setEnabled(true);
    } else if (redundantAnswer == "CAPABLE") {
        item.setVisible(true);
        item.setEnabled(false);
    } else {
        item.setVisible(false);
    }
}

void applyWatchdogMenuWhilePolling(const std::string& redundantAnswer, IWatchdogMenuItem& item) {
    if (redundantAnswer == "YES") {
        item.setVisible(true);
        item.setEnabled(true);
    } else if (redundantAnswer == "CAPABLE") {
        item.setEnabled(false);
    } else {
        item.setVisible(false);
    }
}

} // namespace tessivar
