#include "common/SettingsStore.h"
#include "link/clsConnectionData.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

TEST(ConnectionData, EmptyStoreGivesDefaults) {
    MemorySettingsStore store;
    clsConnectionData data(store);
    EXPECT_EQ(data.ConnectionType(), "Serial");
    EXPECT_EQ(data.ComPort(), 1);
    EXPECT_EQ(data.TelnetAddress(), "0.0.0.0");
    EXPECT_EQ(data.TelnetPort(), 23);
    EXPECT_EQ(data.TelnetPassword(), "");
    EXPECT_EQ(data.baudRate(), 38400);
}

TEST(ConnectionData, SettersIgnoreValuesOutsideTheirRule) {
    MemorySettingsStore store;
    clsConnectionData data(store);
    data.ConnectionType("Telnet");
    for (const char* word : {"serial", "TELNET", "", "Modem"}) {
        data.ConnectionType(word);
        EXPECT_EQ(data.ConnectionType(), "Telnet") << word;
    }
    data.ComPort(4);
    for (std::int16_t bad : {0, -3, -32768}) {
        data.ComPort(bad);
        EXPECT_EQ(data.ComPort(), 4) << bad;
    }
}

TEST(ConnectionData, CommitWritesKeysInOrderAndReloadsExactly) {
    MemorySettingsStore store;
    {
        clsConnectionData data(store);
        data.ConnectionType("Telnet");
        data.ComPort(12);
        data.TelnetAddress("10.001.2.3");
        data.TelnetPort(0);
        data.TelnetPassword("s3cret");
        data.commitParameters();
    }
    EXPECT_EQ(store.writes(), (std::vector<std::string>{
                                  "Parms/ConnectType", "Parms/COMPort", "Parms/TelnetAddress",
                                  "Parms/TelnetPort", "Parms/TelnetPass", "Parms/DEBUGBaudRate"}));
    EXPECT_EQ(store.get("Parms", "TelnetPort", "?"), "0");
    EXPECT_EQ(store.get("Parms", "COMPort", "?"), "12");
    clsConnectionData reloaded(store);
    EXPECT_EQ(reloaded.ConnectionType(), "Telnet");
    EXPECT_EQ(reloaded.ComPort(), 12);
    EXPECT_EQ(reloaded.TelnetAddress(), "10.001.2.3");
    EXPECT_EQ(reloaded.TelnetPort(), 0);
    EXPECT_EQ(reloaded.TelnetPassword(), "s3cret");
    EXPECT_EQ(reloaded.baudRate(), 38400);
}

struct StoredCase {
    const char* key;
    const char* stored;
    long long expected;
};

TEST(ConnectionData, StoredNumbersConvertOrFallBack) {
    const StoredCase cases[] = {
        {"COMPort", "abc", 0},            // not a number reads as 0
        {"COMPort", "7x", 7},             // leading number
        {"COMPort", " 3", 3},             //
        {"COMPort", "2.5", 2},            // rounds half to even
        {"COMPort", "40000", 1},          // does not fit 16 bits: the key's default
        {"TelnetPort", "-32768", -32768}, //
        {"TelnetPort", "99999", 23},      //
        {"TelnetPort", "99999999999999999999999", 23},
        {"DEBUGBaudRate", "115200", 115200},
        {"DEBUGBaudRate", "4294967296", 38400},
    };
    for (const auto& c : cases) {
        MemorySettingsStore store;
        store.write("Parms", c.key, c.stored);
        clsConnectionData data(store);
        long long got = std::string(c.key) == "COMPort"      ? data.ComPort()
                        : std::string(c.key) == "TelnetPort" ? data.TelnetPort()
                                                             : data.baudRate();
        EXPECT_EQ(got, c.expected) << c.key << "=" << c.stored;
    }
}

TEST(ConnectionData, StoredConnectTypeIsTakenWithoutTheSetterCheck) {
    MemorySettingsStore store;
    store.write("Parms", "ConnectType", "Modem");
    clsConnectionData data(store);
    EXPECT_EQ(data.ConnectionType(), "Modem");
}

} // namespace
} // namespace tessivar
