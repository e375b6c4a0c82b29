#include "link/serialDevicePath.h"

#include <gtest/gtest.h>

#include <optional>

namespace tessivar {
namespace {

struct DevicePathCase {
    const char* name;
    std::int16_t comPort;
    std::optional<std::string> mapping; // value of Ports/COM<comPort>, if any
    std::string expected;
};

class SerialDevicePath : public ::testing::TestWithParam<DevicePathCase> {};

TEST_P(SerialDevicePath, MapsPortNumberToDevice) {
    const auto& c = GetParam();
    MemorySettingsStore store;
    // A mapping for another port must not leak into this one.
    store.write("Ports", "COM99", "/dev/wrong");
    if (c.mapping)
        store.write("Ports", "COM" + std::to_string(c.comPort), *c.mapping);
    EXPECT_EQ(serialDevicePath(store, c.comPort), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialDevicePath,
    ::testing::Values(DevicePathCase{"FirstPortIsTtyS0", 1, std::nullopt, "/dev/ttyS0"},
                      DevicePathCase{"FourthPortIsTtyS3", 4, std::nullopt, "/dev/ttyS3"},
                      DevicePathCase{"MappedPort", 1, "/dev/ttyUSB0", "/dev/ttyUSB0"},
                      DevicePathCase{"MappedHighPort", 7, "/dev/pts/5", "/dev/pts/5"},
                      DevicePathCase{"EmptyMappingFallsBack", 2, "", "/dev/ttyS1"},
                      DevicePathCase{"PortZeroNamesNothing", 0, std::nullopt, ""},
                      DevicePathCase{"NegativePortNamesNothing", -3, "/dev/ttyUSB0", ""}),
    [](const auto& param) { return param.param.name; });

} // namespace
} // namespace tessivar
