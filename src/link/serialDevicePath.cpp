#include "link/serialDevicePath.h"

namespace tessivar {

std::string serialDevicePath(ISettingsStore& settings, std::int16_t comPort) {
    if (comPort < 1)
        return {};
    const std::string number = std::to_string(comPort);
    // An empty entry is treated as absent so that clearing the key restores the default.
    if (auto mapped = settings.read("Ports", "COM" + number); mapped && !mapped->empty())
        return *mapped;
    return "/dev/ttyS" + std::to_string(comPort - 1);
}

} // namespace tessivar
