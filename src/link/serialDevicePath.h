#pragma once

#include "common/SettingsStore.h"

#include <cstdint>
#include <string>

namespace tessivar {

// The device behind serial port number comPort (1 = the first port). An operator can name it
// in the settings store, section "Ports", key "COM" + number (for example a USB adapter at
// /dev/ttyUSB0); otherwise port n is the n-th built-in port, /dev/ttyS(n-1). A port number
// below 1 names no device and gives an empty path.
std::string serialDevicePath(ISettingsStore& settings, std::int16_t comPort);

} // namespace tessivar
