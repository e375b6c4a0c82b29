#include "common/SettingsStore.h"
#include "link/ComSelect.h"
#include "link/clsConnectionData.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

namespace tessivar {
namespace {

using testing::FakePrompt;

// Records every step of the connection sequence in order, with scripted state answers.
class RecordingHost : public IConnectionHost {
public:
    // What the store holds when the shared settings are replaced.
    void replaceSettings() override {
        clsConnectionData fresh(store);
        steps.push_back(fresh.ConnectionType() == "Serial"
                            ? "commit Serial " + std::to_string(fresh.ComPort())
                            : "commit " + fresh.ConnectionType() + " " + fresh.TelnetAddress() +
                                  ":" + std::to_string(fresh.TelnetPort()) + " " +
                                  fresh.TelnetPassword());
    }
    void discardChannel() override { steps.push_back("discard"); }
    bool openConnection() override {
        steps.push_back("open");
        return opens;
    }
    void turnOffVerbose() override { steps.push_back("verboseOff"); }
    std::string getActiveStatus() override {
        steps.push_back("state?");
        if (states.empty())
            return {};
        std::string s = states.front();
        states.pop_front();
        return s;
    }
    void doTakeOver() override { steps.push_back("takeOver"); }
    void setPollInterval(int ms) override { steps.push_back("interval " + std::to_string(ms)); }
    void hideDialog() override { steps.push_back("hide"); }
    void runInventory() override { steps.push_back("inventory"); }

    MemorySettingsStore store;
    std::vector<std::string> steps;
    std::deque<std::string> states;
    bool opens = true;
};

ComSelectFields serial(const std::string& port) {
    ComSelectFields f;
    f.kind = LinkKind::Local;
    f.comPort = port;
    return f;
}

ComSelectFields telnet(const std::string& port, std::array<std::string, 4> address,
                       const std::string& password = "pw") {
    ComSelectFields f;
    f.kind = LinkKind::Remote;
    f.telnetPort = port;
    f.address = address;
    f.password = password;
    return f;
}

// The OK button as the dialog runs it: with its own settings instance, loaded at its start.
bool connect(const ComSelectFields& fields, RecordingHost& host, FakePrompt& prompt) {
    clsConnectionData dialogData(host.store);
    return runConnect(fields, dialogData, host, prompt);
}

struct TypedCase {
    ComSelectFields fields;
    std::string expectedMessage; // empty: accepted and committed
};

TEST(ConnectionDialog, RefusesTypedValuesWithTheirMessageAndCommitsNothing) {
    const TypedCase cases[] = {
        {serial("0255"), "Invalid Serial Port Specified. (1-255)"},
        {serial(""), "Invalid Serial Port Specified. (1-255)"},
        {serial("1a"), "Invalid Serial Port Specified. (1-255)"},
        {serial("-1"), "Invalid Serial Port Specified. (1-255)"},
        {serial("256"), "Invalid Serial Port Specified.  (1-255)"},
        {serial("0"), "Invalid Serial Port Specified.  (1-255)"},
        {serial("000"), "Invalid Serial Port Specified.  (1-255)"},
        {serial("1"), ""},
        {serial("255"), ""},
        {serial("007"), ""},
        {telnet("", {"10", "0", "0", "1"}), "Invalid Telnet Port Specified. (1-32000)"},
        {telnet("2x", {"10", "0", "0", "1"}), "Invalid Telnet Port Specified. (1-32000)"},
        {telnet("0", {"10", "0", "0", "1"}), "Invalid Telnet Port Specified. (1-32000)"},
        {telnet("32768", {"10", "0", "0", "1"}), "Invalid Telnet Port Specified. (1-32000)"},
        {telnet("99999999999999999999", {"10", "0", "0", "1"}),
         "Invalid Telnet Port Specified. (1-32000)"},
        {telnet("32767", {"10", "0", "0", "1"}), ""},
        {telnet("23", {"0", "0", "0", "0"}), "Invalid IP address."},
        {telnet("23", {"255", "255", "255", "255"}), "Invalid IP address."},
        {telnet("23", {"256", "0", "0", "1"}), "Invalid IP address."},
        {telnet("23", {"10", "-1", "0", "1"}), "Invalid IP address."},
        {telnet("23", {"10", "0", "", "1"}), "Invalid IP address."},
        {telnet("23", {"10", "0", "0", "99999999999999"}), "Invalid IP address."},
        // the port is checked before the address
        {telnet("0", {"0", "0", "0", "0"}), "Invalid Telnet Port Specified. (1-32000)"},
        {telnet("23", {"0", "0", "0", "1"}), ""},
        {telnet("23", {"00", "0", "0", "0"}), ""},
        {telnet("23", {"255", "255", "255", "254"}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields.kind == LinkKind::Local
                         ? "serial " + c.fields.comPort
                         : "telnet " + c.fields.telnetPort + " " + c.fields.address[0] + "." +
                               c.fields.address[1] + "." + c.fields.address[2] + "." +
                               c.fields.address[3]);
        RecordingHost host;
        host.states = {"ACTIVE", "ACTIVE"};
        FakePrompt prompt;
        bool done = connect(c.fields, host, prompt);
        if (c.expectedMessage.empty()) {
            EXPECT_TRUE(done);
            EXPECT_TRUE(prompt.boxes.empty());
            ASSERT_FALSE(host.steps.empty());
            EXPECT_EQ(host.steps.front().rfind("commit", 0), 0U);
        } else {
            EXPECT_FALSE(done);
            ASSERT_EQ(prompt.boxes.size(), 1U);
            EXPECT_EQ(prompt.boxes[0].message, c.expectedMessage);
            EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::Ok);
            EXPECT_EQ(prompt.boxes[0].title, "Tessivar");
            EXPECT_TRUE(host.steps.empty());
        }
    }
}

TEST(ConnectionDialog, SerialSequenceChecksTheControllerBeforeTheInventory) {
    RecordingHost host;
    host.states = {"Controller STANDBY", "STANDBY", "STANDBY"};
    FakePrompt prompt;
    prompt.answers = {PromptAnswer::Yes};
    ASSERT_TRUE(connect(serial("007"), host, prompt));
    const std::vector<std::string> expected = {
        "commit Serial 7", "open",   "verboseOff", "state?",   "interval 75", "hide",
        "verboseOff",      "state?", "state?",     "takeOver", "inventory"};
    EXPECT_EQ(host.steps, expected);
    ASSERT_EQ(prompt.boxes.size(), 1U);
    EXPECT_EQ(prompt.boxes[0].message,
              "The connected controller is not active.  Do you want to make it active?");
    EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::YesNo);
}

TEST(ConnectionDialog, SerialChoiceKeepsTheStoredTelnetFieldsNotTheTypedOnes) {
    RecordingHost host;
    host.store.write("Parms", "TelnetAddress", "10.0.0.9");
    host.store.write("Parms", "TelnetPass", "stored");
    host.states = {"ACTIVE", "ACTIVE"};
    FakePrompt prompt;
    auto fields = serial("4");
    fields.address = {"1", "2", "3", "4"};
    fields.password = "typed";
    ASSERT_TRUE(connect(fields, host, prompt));
    EXPECT_EQ(host.store.get("Parms", "ConnectType", ""), "Serial");
    EXPECT_EQ(host.store.get("Parms", "COMPort", ""), "4");
    EXPECT_EQ(host.store.get("Parms", "TelnetAddress", ""), "10.0.0.9");
    EXPECT_EQ(host.store.get("Parms", "TelnetPass", ""), "stored");
}

TEST(ConnectionDialog, TelnetSequenceDiscardsTheChannelAndSkipsTheResponsivenessCheck) {
    RecordingHost host;
    host.states = {"SINGLE"};
    FakePrompt prompt;
    ASSERT_TRUE(connect(telnet("2323", {"010", "0", "0", "1"}, "secret"), host, prompt));
    const std::vector<std::string> expected = {"commit Telnet 010.0.0.1:2323 secret",
                                               "discard",
                                               "open",
                                               "interval 200",
                                               "hide",
                                               "verboseOff",
                                               "state?",
                                               "inventory"};
    EXPECT_EQ(host.steps, expected);
    EXPECT_TRUE(prompt.boxes.empty());
}

struct StateCase {
    std::deque<std::string> answers;
    bool passes;          // the serial responsiveness check
    bool takeOverOffered; // asked afterwards by the activity check
};

TEST(ConnectionDialog, ControllerStateAnswersDecideResponsivenessAndTakeover) {
    const StateCase cases[] = {
        {{"ACTIVE", "ACTIVE"}, true, false},
        {{"SINGLE", "SINGLE"}, true, false},
        {{"STANDBY", "STANDBY", "STANDBY"}, true, true},
        {{"STANDBY", "STANDBY", "ACTIVE"}, true, false}, // the second activity answer counts
        {{"", "SINGLE", "SINGLE"}, true, false},         // a second responsiveness try
        {{"", "", "", ""}, false, false},
        {{"garbage", "noise"}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers.front());
        RecordingHost host;
        host.states = c.answers;
        FakePrompt prompt;
        bool done = connect(serial("1"), host, prompt);
        EXPECT_EQ(done, c.passes);
        if (!c.passes) {
            ASSERT_EQ(prompt.boxes.size(), 1U);
            EXPECT_EQ(prompt.boxes[0].message, kMsgNoData);
            EXPECT_EQ(std::count(host.steps.begin(), host.steps.end(), "inventory"), 0);
            continue;
        }
        EXPECT_EQ(prompt.boxes.size(), c.takeOverOffered ? 1U : 0U);
        EXPECT_EQ(host.steps.back(), "inventory");
    }
}

TEST(ConnectionDialog, TakeoverDeclinedStillTakesTheInventory) {
    RecordingHost host;
    host.states = {"STANDBY", "STANDBY"};
    FakePrompt prompt;
    prompt.answers = {PromptAnswer::No};
    ASSERT_TRUE(connect(telnet("23", {"10", "0", "0", "1"}), host, prompt));
    EXPECT_EQ(std::count(host.steps.begin(), host.steps.end(), "takeOver"), 0);
    EXPECT_EQ(host.steps.back(), "inventory");
}

TEST(ConnectionDialog, FailedOpenLeavesTheDialogOpenWithoutAMessageOfItsOwn) {
    for (auto fields : {serial("3"), telnet("23", {"10", "0", "0", "1"})}) {
        RecordingHost host;
        host.opens = false;
        FakePrompt prompt;
        EXPECT_FALSE(connect(fields, host, prompt));
        EXPECT_TRUE(prompt.boxes.empty());
        EXPECT_EQ(host.steps.back(), "open");
        // the settings were committed before the link was tried
        EXPECT_EQ(host.steps.front().rfind("commit", 0), 0U);
    }
}

TEST(ConnectionDialog, StoredAddressIsShownAsFourWholeNumbers) {
    using Boxes = std::array<std::string, 4>;
    const std::pair<std::string, Boxes> cases[] = {
        {"10.001.2.3", {"10", "1", "2", "3"}},
        {"0.0.0.0", {"0", "0", "0", "0"}},
        {"192.168.1.20", {"192", "168", "1", "20"}},
        {"10.1.2", {"", "", "", ""}},
        {"10.x.2.3", {"", "", "", ""}},
        {"", {"", "", "", ""}},
        {"10.1.2.3.4", {"10", "1", "2", "3"}}, // the first four parts
    };
    for (const auto& [stored, boxes] : cases) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(addressBoxesFor(stored), boxes);
    }
}

TEST(ConnectionDialog, CancelEndsTheProgramOnlyOnTheCancelButton) {
    const std::pair<int, bool> cases[] = {{1, true}, {0, false}, {-1, false}};
    for (auto [choice, ends] : cases) {
        FakePrompt prompt;
        prompt.choices = {choice};
        EXPECT_EQ(confirmExit(prompt), ends);
        ASSERT_EQ(prompt.boxes.size(), 1U);
        EXPECT_EQ(prompt.boxes[0].first, "Back");
        EXPECT_EQ(prompt.boxes[0].second, "Cancel");
        EXPECT_EQ(prompt.boxes[0].title, "Are you sure you want to exit?");
    }
}

TEST(ConnectionDialog, CommandLineTargetsFillTheFieldsTheyName) {
    using Boxes = std::array<std::string, 4>;
    auto t = parseConnectTarget("telnet://10.0.0.5:2323");
    ASSERT_TRUE(t.value);
    EXPECT_EQ(t.value->kind, LinkKind::Remote);
    EXPECT_EQ(t.value->address, (Boxes{"10", "0", "0", "5"}));
    EXPECT_EQ(t.value->telnetPort, "2323");

    t = parseConnectTarget("telnet://localhost");
    ASSERT_TRUE(t.value);
    EXPECT_EQ(t.value->address, (Boxes{"127", "0", "0", "1"}));
    EXPECT_EQ(t.value->telnetPort, "23");

    t = parseConnectTarget("serial:3");
    ASSERT_TRUE(t.value);
    EXPECT_EQ(t.value->kind, LinkKind::Local);
    EXPECT_EQ(t.value->comPort, "3");

    // Values are passed on as typed: the dialog's own checks judge them.
    t = parseConnectTarget("serial:300");
    ASSERT_TRUE(t.value);
    EXPECT_EQ(t.value->comPort, "300");

    for (const char* bad : {"serial:", "telnet://", "telnet://frame.example.com",
                            "telnet://10.0.0.5:", "ssh://10.0.0.5", "10.0.0.5"}) {
        SCOPED_TRACE(bad);
        auto r = parseConnectTarget(bad);
        EXPECT_FALSE(r.value);
        EXPECT_FALSE(r.message.empty());
    }
}

} // namespace
} // namespace tessivar
