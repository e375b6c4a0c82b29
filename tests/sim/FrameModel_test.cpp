// Frame descriptions: the shipped frames load, short files get their defaults, and mistakes
// are reported with the field that holds them.

#include "SimClient.h"
#include "sim/FrameSimulator.h"

#include <gtest/gtest.h>

namespace tessivar::sim {
namespace {

using testing::framePath;

int entries(FrameSimulator& sim, const std::string& rollCall) {
    const std::string r = sim.handleCommand(rollCall);
    int n = 0;
    for (auto at = r.find("0x"); at != std::string::npos; at = r.find("0x", at + 2)) {
        ++n;
    }
    return n;
}

TEST(FrameFiles, ShippedFramesLoadWithTheirSlotCounts) {
    struct Case {
        const char* file;
        int inputs, outputs, matrix, power, options;
    };
    for (const Case& c : {Case{"small.json", 2, 2, 1, 19, 2}, Case{"full.json", 64, 64, 64, 19, 64},
                          Case{"demo.json", 8, 8, 4, 19, 8}}) {
        auto sim = FrameSimulator::fromFile(framePath(c.file));
        EXPECT_EQ(entries(sim, "RC I,B"), c.inputs) << c.file;
        EXPECT_EQ(entries(sim, "RC O,B"), c.outputs) << c.file;
        EXPECT_EQ(entries(sim, "RC M,B"), c.matrix) << c.file;
        EXPECT_EQ(entries(sim, "RC S,B"), c.power) << c.file;
        EXPECT_EQ(entries(sim, "RC OO,B"), c.options) << c.file;
    }
}

TEST(FrameFiles, TheDemoFrameHasFaultsToSee) {
    auto sim = FrameSimulator::fromFile(framePath("demo.json"));
    std::string all;
    for (int card = 1; card <= 8; ++card) {
        all += sim.handleCommand("OB " + std::to_string(card));
        all += sim.handleCommand("IB " + std::to_string(card));
    }
    EXPECT_NE(all.find("comm error"), std::string::npos); // an absent slot
    bool errors = false;
    for (auto at = all.find("Total Errors = "); at != std::string::npos;
         at = all.find("Total Errors = ", at + 1)) {
        errors = errors || all[at + 15] != '0';
    }
    EXPECT_TRUE(errors);
    EXPECT_NE(sim.handleCommand("AL").find("OVERTEMP:"), std::string::npos);
}

TEST(FrameFiles, MissingFieldsTakeDefaults) {
    auto sim = FrameSimulator::fromJson(R"({"power": {"slots": 19}, "output": {"slots": 1}})");
    EXPECT_EQ(entries(sim, "RC I,B"), 0);
    EXPECT_NE(sim.handleCommand("SB 1").find("WC = 0x000A"), std::string::npos);
    EXPECT_NE(sim.handleCommand("SB 17").find("WC = 0x0005"), std::string::npos);
    EXPECT_NE(sim.handleCommand("SB 19").find("WC = 0x0006"), std::string::npos);
    EXPECT_EQ(sim.handleCommand("AC"), "ACTIVE\r\n>");
    EXPECT_EQ(sim.handleCommand("NF"), "Fan Controllers: 2\r\n>");
    // No inputs: the outputs report input 0 rather than a route to nowhere.
    EXPECT_EQ(sim.handleCommand("SS 1"), "Output 1 Input: 0\r\n>");
}

TEST(FrameFiles, MistakesNameTheirField) {
    struct Case {
        const char* json;
        const char* mentions;
    };
    const Case cases[] = {
        {"{", "not valid JSON"},
        {R"({"colour": "red"})", "colour"},
        {R"({"input": {"slots": 65}})", "input.slots"},
        {R"({"power": {"slots": 20}})", "power.slots"},
        {R"({"input": {"slots": 1, "cards": {"1": {"signals": 7}}}})", "input.cards.1.signals"},
        {R"({"input": {"slots": 1, "cards": {"2": {}}}})", "input.cards"},
        {R"({"output": {"slots": 1, "card": {"temperature": 300}}})", "output.card.temperature"},
        {R"({"output": {"slots": 1, "card": {"reclock": "999"}}})", "output.card.reclock"},
        {R"({"power": {"slots": 19, "cards": {"17": {"volts": 12.0}}}})", "power.cards.17.volts"},
        {R"({"state": "ON"})", "state"},
        {R"({"watchdog": {"blocks": [1], "switched": [2]}})", "watchdog.switched"},
        {R"({"output": {"slots": 1}, "converters": {"3": "S+C-"}})", "converters.3"},
        {R"({"network": {"mac": "00:11"}})", "network"},
        {R"({"output": {"slots": 1}, "routes": {"17": 1}})", "routes"},
        {R"({"sync": ["OK"]})", "sync"},
        {R"({"input": {"slots": 1, "card": {"inputs": "0x1G"}}})", "input.card.inputs"},
    };
    for (const Case& c : cases) {
        try {
            FrameSimulator::fromJson(c.json);
            ADD_FAILURE() << "accepted " << c.json;
        } catch (const FrameError& e) {
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos)
                << c.json << " -> " << e.what();
        }
    }
    EXPECT_THROW(FrameSimulator::fromFile("/nonexistent/frame.json"), FrameError);
}

} // namespace
} // namespace tessivar::sim
