#include "model/CardDirectory.h"
#include "model/clsQuorvelBoard.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace tessivar {
namespace {

using testing::FakeCommandChannel;
using Words = std::vector<std::pair<std::string, std::string>>;

// A status reply as the controller writes it: echo, one "key = value" line per item, prompt.
std::string statusReply(const std::string& echo, const Words& items) {
    std::string reply = echo + "\r\n";
    for (const auto& [key, value] : items)
        reply += key + " = " + value + "\r\n";
    return reply + ">";
}

class Directory : public ICardDirectory {
public:
    const clsQuorvelBoard* outputCard(std::int16_t number) const override {
        auto it = outputs.find(number);
        return it == outputs.end() ? nullptr : it->second;
    }
    const clsQuorvelBoard* matrixCard(std::int16_t number) const override {
        auto it = matrices.find(number);
        return it == matrices.end() ? nullptr : it->second;
    }
    std::int16_t matrixCount() const override { return count; }

    std::map<std::int16_t, const clsQuorvelBoard*> outputs;
    std::map<std::int16_t, const clsQuorvelBoard*> matrices;
    std::int16_t count = 0;
};

class Board : public ::testing::Test {
protected:
    clsQuorvelBoard card(const std::string& type, std::int16_t index) {
        clsQuorvelBoard b(channel, &directory);
        b.boardType(type);
        b.boardIndex(index);
        return b;
    }
    // Polls once with the given reply to whatever command the record sends.
    void poll(clsQuorvelBoard& b, const std::string& reply) {
        channel.queue = {reply};
        b.updateStatus();
    }

    FakeCommandChannel channel;
    Directory directory;
};

// --- Category and slot ---

TEST_F(Board, CategoryIsStoredInUpperCaseAndTheSlotWithinItsLimit) {
    const struct {
        const char* type;
        std::int16_t index;
        const char* storedType;
        std::int16_t storedIndex;
    } cases[] = {
        {"power", 19, "POWER", 19},
        {"POWER", 20, "POWER", 0},
        {"Input", 64, "INPUT", 64},
        {"INPUT", 65, "INPUT", 0},
        {"output_option", 1, "OUTPUT_OPTION", 1},
        {"MATRIX", 0, "MATRIX", 0},
        {"MATRIX", -3, "MATRIX", 0},
        {"FAN", 1, "", 0},
        {"", 1, "", 0},
    };
    for (const auto& c : cases) {
        clsQuorvelBoard b = card(c.type, c.index);
        EXPECT_EQ(b.boardType(), c.storedType) << c.type;
        EXPECT_EQ(b.boardIndex(), c.storedIndex) << c.type << " " << c.index;
    }
}

TEST_F(Board, StatusCommandsAndExpectedWordCountsPerKind) {
    const struct {
        const char* type;
        std::int16_t index;
        const char* command;
        const char* goodCount;
        const char* badCount;
    } cases[] = {
        {"INPUT", 4, "IB 4", "5", "4"},
        {"OUTPUT", 3, "OB 3", "0C", "0B"},
        {"MATRIX", 12, "MB 12", "4", "5"},
        {"POWER", 1, "SB 1", "A", "5"},
        {"POWER", 17, "SB 17", "5", "6"},
        {"POWER", 17, "SB 17", "0xA", "4"}, // a slot answering as a supply is a supply
        {"POWER", 18, "SB 18", "6", "5"},
        {"POWER", 19, "SB 19", "6", "C"},
        {"POWER", 3, "SB 3", "A", "6"},
        {"OUTPUT_OPTION", 2, "OOB 2", "4", "C"},
    };
    for (const auto& c : cases) {
        clsQuorvelBoard b = card(c.type, c.index);
        channel.commands.clear();
        poll(b, statusReply(c.command, {{"WC", c.goodCount}}));
        EXPECT_TRUE(b.isBoardValid()) << c.command << " WC " << c.goodCount;
        EXPECT_EQ(channel.commands, std::vector<std::string>{c.command});
        EXPECT_EQ(b.boardCommand(), c.command);
        poll(b, statusReply(c.command, {{"WC", c.badCount}}));
        EXPECT_FALSE(b.isBoardValid()) << c.command << " WC " << c.badCount;
    }
    EXPECT_EQ(channel.timeoutsSeen, std::vector<float>(channel.timeoutsSeen.size(), 0.0F));
}

TEST_F(Board, FrameRecordPollsNothing) {
    clsQuorvelBoard frame(channel);
    frame.updateStatus();
    EXPECT_TRUE(channel.commands.empty());
    EXPECT_TRUE(frame.isBoardValid());
}

// --- Validity ---

TEST_F(Board, IncompleteRepliesMarkTheCardInvalidAndKeepEveryField) {
    const std::string good = statusReply(
        "OB 3",
        {{"WC", "C"}, {"OD1", "9071"}, {"OD2", "1808"}, {"OD10", "0342"}, {"Total Errors", "5"}});
    const std::string bad[] = {
        "",
        "OB 3\r\nWC = C", // cut off before the value ends: no value
        statusReply("OB 3", {{"WC", "B"}, {"OD1", "0001"}, {"Total Errors", "9"}}),
        statusReply("OB 3", {{"OD1", "0001"}}),
        "garbage =\r\n=\r\n>",
    };
    for (const auto& reply : bad) {
        clsQuorvelBoard b = card("OUTPUT", 3);
        poll(b, good);
        ASSERT_TRUE(b.isBoardValid());
        b.boardStatChange(false);
        poll(b, reply);
        EXPECT_FALSE(b.isBoardValid()) << reply;
        EXPECT_TRUE(b.hasBoardChangedState());
        EXPECT_EQ(b.boardResponse(), reply);
        EXPECT_EQ(b.boardSubType(), "SD");
        EXPECT_EQ(b.PortListen(), "B");
        EXPECT_EQ(b.temperature(), 0x42);
        EXPECT_EQ(b.SWrevision(), 3);
        EXPECT_EQ(b.errorCount(), 5);
        EXPECT_EQ(b.getOutputSigDesc(2), "HD");
        EXPECT_EQ(b.OptionBoardType(), "Dual Fiber");
        EXPECT_FALSE(b.boardStatChange()) << reply;
        poll(b, reply);
        EXPECT_FALSE(b.hasBoardChangedState()) << "still offline is no change";
        poll(b, good);
        EXPECT_TRUE(b.isBoardValid());
        EXPECT_TRUE(b.hasBoardChangedState());
    }
}

TEST_F(Board, CommErrorFailsThePollButDecodesTheCardsOwnWords) {
    clsQuorvelBoard b = card("MATRIX", 1);
    poll(b, statusReply("MB 1", {{"WC", "4"}, {"OD1", "0002"}, {"OD2", "0120"}}) + " comm error");
    EXPECT_FALSE(b.isBoardValid());
    EXPECT_EQ(b.boardSubType(), "HD128x128");
    EXPECT_EQ(b.temperature(), 0x20);
}

// --- Fields common to every card ---

TEST_F(Board, ErrorTotalsGiveTheDeltaSinceTheLastTotal) {
    clsQuorvelBoard b = card("INPUT", 1);
    const struct {
        const char* total; // nullptr: no "Total Errors" item
        std::int32_t count;
        std::int16_t delta;
    } steps[] = {
        {"5", 5, 5},
        {"8", 8, 3},
        {nullptr, 8, 0},
        {"0", 0, -8},
        {"10000", 0x10000, 32767}, // beyond 16 bits: saturated, sign kept
        {"0", 0, -32768},
        {"FFFFFFFFF", 0x7FFFFFFF, 32767},
    };
    for (const auto& s : steps) {
        Words words{{"WC", "5"}};
        if (s.total)
            words.emplace_back("Total Errors", s.total);
        poll(b, statusReply("IB 1", words));
        EXPECT_EQ(b.errorCount(), s.count) << (s.total ? s.total : "none");
        EXPECT_EQ(b.deltaErrorCount(), s.delta) << (s.total ? s.total : "none");
    }
}

TEST_F(Board, PortAndRailFlagsComeFromTheFirstWord) {
    const struct {
        const char* od1;
        const char* port;
        bool v33, v5, v28, v45;
    } cases[] = {
        {"8000", "B", false, false, false, false}, {"7FFF", "A", true, true, true, true},
        {"0020", "A", false, true, false, false},  {"0010", "A", true, false, false, false},
        {"0040", "A", false, false, true, false},  {"0x80", "A", false, false, false, true},
        {"FFFF0", "B", true, true, true, true},
    };
    for (const auto& c : cases) {
        clsQuorvelBoard b = card("MATRIX", 2);
        poll(b, statusReply("MB 2", {{"WC", "4"}, {"OD1", c.od1}}));
        EXPECT_EQ(b.PortListen(), c.port) << c.od1;
        EXPECT_EQ(b.Volt3_3OK(), c.v33) << c.od1;
        EXPECT_EQ(b.Volt5OK(), c.v5) << c.od1;
        EXPECT_EQ(b.Volt4_8OK(), c.v5) << c.od1;
        EXPECT_EQ(b.Volt28OK(), c.v28) << c.od1;
        EXPECT_EQ(b.Volt4_5OK(), c.v45) << c.od1;
    }
}

TEST_F(Board, AGoodPollWithoutAWordClearsItsPerPollValues) {
    clsQuorvelBoard b = card("MATRIX", 2);
    poll(b, statusReply("MB 2", {{"WC", "4"}, {"OD1", "8070"}, {"OD2", "0544"}}));
    poll(b, statusReply("MB 2", {{"WC", "4"}}));
    EXPECT_TRUE(b.isBoardValid());
    EXPECT_EQ(b.PortListen(), "");
    EXPECT_FALSE(b.Volt28OK());
    EXPECT_EQ(b.temperature(), 0);
    EXPECT_EQ(b.SWrevision(), 0);
    EXPECT_EQ(b.boardSubType(), "HD64x64") << "the subtype is not a per-poll value";
}

TEST_F(Board, TemperatureWordSplitsIntoTemperatureAndRevision) {
    const struct {
        const char* word;
        std::int16_t temperature;
        std::int16_t revision;
    } cases[] = {
        {"0342", 0x42, 3},      {"FFFF", 255, 255}, {"0x2A", 42, 0},
        {"FFFFFF", 255, 32767}, // wider than a status word: the revision saturates
        {"zz", 0, 0},
    };
    for (const auto& c : cases) {
        clsQuorvelBoard b = card("INPUT", 1);
        poll(b, statusReply("IB 1", {{"WC", "5"}, {"OD3", c.word}}));
        EXPECT_EQ(b.temperature(), c.temperature) << c.word;
        EXPECT_EQ(b.SWrevision(), c.revision) << c.word;
    }
}

// --- Category decoders ---

TEST_F(Board, SubtypeTablesPerCategory) {
    const struct {
        const char* type;
        const char* echo;
        const char* wc;
        const char* od1;
        const char* subtype;
    } cases[] = {
        {"INPUT", "IB 1", "5", "0000", "HD"},        {"INPUT", "IB 1", "5", "0002", "FIBER"},
        {"INPUT", "IB 1", "5", "0007", "FIBER/EXP"}, {"INPUT", "IB 1", "5", "0008", "unknown"},
        {"INPUT", "IB 1", "5", "FFF6", "MULTIRATE"}, {"OUTPUT", "OB 1", "C", "0002", "unknown"},
        {"OUTPUT", "OB 1", "C", "0006", "MR/RECLK"}, {"OUTPUT", "OB 1", "C", "000B", "HD/FIBER"},
        {"OUTPUT", "OB 1", "C", "000C", "unknown"},  {"MATRIX", "MB 1", "4", "0004", "HD72x72"},
        {"MATRIX", "MB 1", "4", "0001", "ANALOG"},   {"MATRIX", "MB 1", "4", "0005", "unknown"},
    };
    for (const auto& c : cases) {
        clsQuorvelBoard b = card(c.type, 1);
        poll(b, statusReply(c.echo, {{"WC", c.wc}, {"OD1", c.od1}}));
        EXPECT_EQ(b.boardSubType(), c.subtype) << c.type << " " << c.od1;
    }
}

TEST_F(Board, OptionCardDependsOnTheOutputSubtype) {
    const std::pair<const char*, const char*> cases[] = {
        {"1000", "Dual Fiber"},   {"1004", "Dual BNC"}, {"0005", "Dual BNC High Level"},
        {"6000", "None"},         {"2005", "None"},     {"3000", "HD to SD Converter"},
        {"5001", "Fiber 16 Mux"}, {"F000", "None"},     {"0000", "Dual BNC"},
    };
    for (const auto& [od1, option] : cases) {
        clsQuorvelBoard b = card("OUTPUT", 1);
        EXPECT_EQ(b.OptionBoardType(), "");
        poll(b, statusReply("OB 1", {{"WC", "C"}, {"OD1", od1}}));
        EXPECT_EQ(b.OptionBoardType(), option) << od1;
    }
}

TEST(SignalByte, CodesByBit) {
    const std::pair<int, int> cases[] = {
        {0x28, 8}, {0x18, 7}, {0x08, 1}, {0x09, 2}, {0x0A, 3}, {0x0B, 4}, {0x0C, 5},
        {0x0D, 6}, {0x0F, 6}, {0x07, 0}, {0x00, 0}, {0xC0, 0}, {0xFF, 8}, {0xD8, 7},
    };
    for (const auto& [byte, code] : cases)
        EXPECT_EQ(clsQuorvelBoard::decodeSignalByte(byte), code) << byte;
}

TEST_F(Board, OutputWordsCarryTwoOutputsEach) {
    clsQuorvelBoard b = card("OUTPUT", 2);
    poll(b, statusReply("OB 2", {{"WC", "C"},
                                 {"OD1", "0000"},
                                 {"OD2", "1808"},
                                 {"OD5", "2D0C"},
                                 {"OD9", "0B10"},
                                 {"OD10", "0130"}}));
    std::vector<std::int16_t> codes;
    ASSERT_TRUE(b.getOutputSigtype(codes));
    EXPECT_EQ(codes,
              (std::vector<std::int16_t>{0, 1, 7, 0, 0, 0, 0, 5, 8, 0, 0, 0, 0, 0, 0, 7, 4}));
    const std::pair<int, const char*> texts[] = {{0, ""},    {1, "143"}, {2, "HD"},   {3, "NA"},
                                                 {7, "540"}, {8, "BYP"}, {16, "360"}, {17, ""}};
    for (const auto& [output, text] : texts)
        EXPECT_EQ(b.getOutputSigDesc(static_cast<std::int16_t>(output)), text) << output;
    EXPECT_EQ(b.rawOutputWord(0), "1808");
    EXPECT_EQ(b.rawOutputWord(1), "");
    EXPECT_EQ(b.temperature(), 0x30);
}

TEST_F(Board, ReclockValuesFollowTheWordReadBeforeEachOutputWord) {
    clsQuorvelBoard b = card("OUTPUT", 1);
    // Reading order OD1, OD10, OD2..OD9: OD2 sees OD10 (80), OD3 sees OD2 (40), OD4 sees OD3
    // (C0), OD5 still sees OD3 because OD4 is absent.
    poll(b,
         statusReply(
             "OB 1",
             {{"WC", "C"}, {"OD1", "0040"}, {"OD2", "0040"}, {"OD3", "00C0"}, {"OD10", "0080"}}));
    std::vector<std::int16_t> mode;
    std::vector<std::int16_t> status;
    ASSERT_TRUE(b.getReclockMode(mode));
    ASSERT_TRUE(b.getReclockStatus(status));
    EXPECT_EQ(mode, (std::vector<std::int16_t>{128, 0, 128, 128, 128, 128, 128, 128, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0}));
    EXPECT_EQ(status, (std::vector<std::int16_t>{0, 64, 64, 64, 64, 64, 64, 64, 0, 0, 0, 0, 0, 0, 0,
                                                 0, 0}));
}

TEST_F(Board, InputPresenceBits) {
    clsQuorvelBoard b = card("INPUT", 1);
    poll(b, statusReply("IB 1", {{"WC", "5"}, {"OD1", "0001"}, {"OD2", "8001"}}));
    std::vector<bool> present;
    ASSERT_TRUE(b.getInputPresence(present));
    ASSERT_EQ(present.size(), 17U);
    for (int i = 1; i <= 16; ++i)
        EXPECT_EQ(present[static_cast<std::size_t>(i)], i == 1 || i == 16) << i;
    EXPECT_EQ(b.boardSubType(), "SD");
    EXPECT_EQ(b.InputsPerBoard(), 16);
    EXPECT_EQ(b.OutputsPerBoard(), 0);
}

TEST_F(Board, PowerSupplyValues) {
    const struct {
        const char* od6;
        const char* od7;
        float volts;
        float amps;
    } cases[] = {
        {"03FF", "0000", 29.604F, 0.0F},      {"0000", "0001", 0.0F, 0.0F},
        {"0000", "0002", 0.0F, 0.0F},         {"0000", "03FF", 0.0F, 175.624F},
        {"FC00", "FFFF", 0.0F, 175.624F}, // only the low ten bits are measured
        {"0x1B9", "0x0A0", 12.762F, 13.518F},
    };
    for (const auto& c : cases) {
        clsQuorvelBoard b = card("POWER", 4);
        poll(b, statusReply("SB 4", {{"WC", "A"},
                                     {"OD1", "8000"},
                                     {"OD2", "0x21D"},
                                     {"OD3", "0x1B9"},
                                     {"OD4", "0x10F"},
                                     {"OD5", "0x0DD"},
                                     {"OD6", c.od6},
                                     {"OD7", c.od7},
                                     {"OD8", "0x0233"},
                                     {"Total Errors", "7"}}));
        EXPECT_NEAR(b.outputPowerVoltage(), c.volts, 0.005) << c.od6;
        EXPECT_NEAR(b.outputPowerCurrent(), c.amps, 0.005) << c.od7;
        EXPECT_NEAR(b.fanCurrent(1), 0x21D / 1082.0, 1e-5);
        EXPECT_NEAR(b.fanVoltage(1), 0x1B9 / 34.5561, 1e-4);
        EXPECT_NEAR(b.fanCurrent(2), 0x10F / 1082.0, 1e-5);
        EXPECT_NEAR(b.fanVoltage(2), 0x0DD / 34.5561, 1e-4);
        EXPECT_EQ(b.fanVoltage(0), 0.0F);
        EXPECT_EQ(b.fanVoltage(3), 0.0F);
        EXPECT_EQ(b.PortListen(), "B");
        EXPECT_EQ(b.temperature(), 0x33);
        EXPECT_EQ(b.SWrevision(), 2);
        EXPECT_EQ(b.rawWord(4), "0x0233");
        EXPECT_EQ(b.errorCount(), 0) << "a supply's reply does not update the error total";
        EXPECT_FALSE(b.Volt28OK()) << "nor its rail flags";
    }
}

TEST_F(Board, PowerSupplyCommErrorChangesNothingElse) {
    clsQuorvelBoard b = card("POWER", 2);
    const Words words{{"WC", "A"},     {"OD1", "8000"}, {"OD3", "0100"},
                      {"OD6", "0200"}, {"OD7", "0100"}, {"OD8", "0421"}};
    poll(b, statusReply("SB 2", words));
    const float volts = b.outputPowerVoltage();
    const float amps = b.outputPowerCurrent();
    const float fan = b.fanVoltage(1);
    poll(b, statusReply("SB 2", {{"WC", "A"},
                                 {"OD1", "0000"},
                                 {"OD3", "0000"},
                                 {"OD6", "0000"},
                                 {"OD7", "0000"},
                                 {"OD8", "0000"}}) +
                "comm error");
    EXPECT_FALSE(b.isBoardValid());
    EXPECT_EQ(b.PortListen(), "B");
    EXPECT_EQ(b.temperature(), 0x21);
    EXPECT_EQ(b.SWrevision(), 4);
    EXPECT_EQ(b.outputPowerVoltage(), volts);
    EXPECT_EQ(b.outputPowerCurrent(), amps);
    EXPECT_EQ(b.fanVoltage(1), fan);
}

TEST_F(Board, OutputMonitorDecodesTwoOutputsAndItsCommonWords) {
    clsQuorvelBoard b = card("POWER", 17);
    poll(b, statusReply("SB 17", {{"WC", "5"},
                                  {"OD1", "8020"},
                                  {"OD2", "2809"},
                                  {"OD3", "0155"},
                                  {"Total Errors", "3"}}));
    EXPECT_TRUE(b.isBoardValid());
    EXPECT_EQ(b.PortListen(), "B");
    EXPECT_TRUE(b.Volt5OK());
    EXPECT_EQ(b.errorCount(), 3);
    EXPECT_EQ(b.temperature(), 0x55);
    EXPECT_EQ(b.getMonitorOutputSigDesc(1), "177");
    EXPECT_EQ(b.getMonitorOutputSigDesc(2), "BYP");
    EXPECT_EQ(b.getMonitorOutputSigDesc(3), "UNDEF");
    EXPECT_EQ(b.getMonitorOutputSigDesc(17), "");
    EXPECT_EQ(b.getOutputSigDesc(1), "") << "not an output card";

    // A link error keeps what the common words gave and decodes nothing more.
    poll(b, statusReply("SB 17", {{"WC", "5"},
                                  {"OD1", "0040"},
                                  {"OD2", "0000"},
                                  {"OD3", "0111"},
                                  {"Total Errors", "4"}}) +
                "comm error");
    EXPECT_FALSE(b.isBoardValid());
    EXPECT_EQ(b.errorCount(), 4);
    EXPECT_TRUE(b.Volt28OK());
    EXPECT_EQ(b.PortListen(), "A");
    EXPECT_EQ(b.temperature(), 0);
    EXPECT_EQ(b.getMonitorOutputSigDesc(1), "177");
}

TEST_F(Board, FanControllerReportsFailedFansBySetBits) {
    clsQuorvelBoard b = card("POWER", 18);
    std::vector<bool> fans{true};
    ASSERT_TRUE(b.getFanStatus(fans));
    EXPECT_EQ(fans, std::vector<bool>(9, false));
    poll(b, statusReply("SB 18", {{"WC", "6"}, {"OD1", "0070"}, {"OD3", "0129"}, {"OD4", "00FE"}}));
    ASSERT_TRUE(b.getFanStatus(fans));
    EXPECT_EQ(fans,
              (std::vector<bool>{false, true, false, false, false, false, false, false, false}));
    EXPECT_EQ(b.temperature(), 0x29);
    EXPECT_EQ(b.PortListen(), "A");
    EXPECT_TRUE(b.Volt3_3OK());

    // A link error keeps what the common words gave and leaves the fans as they were.
    poll(b, statusReply("SB 18", {{"WC", "6"}, {"OD1", "8040"}, {"OD3", "0133"}, {"OD4", "0000"}}) +
                "comm error");
    EXPECT_FALSE(b.isBoardValid());
    EXPECT_EQ(b.PortListen(), "B");
    EXPECT_TRUE(b.Volt28OK());
    EXPECT_EQ(b.temperature(), 0);
    ASSERT_TRUE(b.getFanStatus(fans));
    EXPECT_EQ(fans,
              (std::vector<bool>{false, true, false, false, false, false, false, false, false}));

    std::vector<bool> untouched{true, true};
    clsQuorvelBoard input = card("INPUT", 1);
    EXPECT_FALSE(input.getFanStatus(untouched));
    EXPECT_EQ(untouched, (std::vector<bool>{true, true}));
}

TEST_F(Board, OutputOptionTakesTheSubtypeOfItsOutputCard) {
    clsQuorvelBoard output = card("OUTPUT", 2);
    poll(output, statusReply("OB 2", {{"WC", "C"}, {"OD1", "3004"}}));
    directory.outputs[2] = &output;

    clsQuorvelBoard option = card("OUTPUT_OPTION", 2);
    poll(option,
         statusReply("OOB 2",
                     {{"WC", "4"}, {"OD1", "8000"}, {"OD2", "0230"}, {"Total Errors", "2"}}));
    EXPECT_EQ(option.boardSubType(), "ANALOGHI");
    EXPECT_EQ(option.boardCommand(), "OOB 2");
    EXPECT_EQ(option.temperature(), 0x30);
    EXPECT_EQ(option.rawWord(3), "0230");
    EXPECT_EQ(option.PortListen(), "B");
    EXPECT_EQ(option.deltaErrorCount(), 2);

    clsQuorvelBoard orphan = card("OUTPUT_OPTION", 5);
    poll(orphan, statusReply("OOB 5", {{"WC", "4"}}));
    EXPECT_TRUE(orphan.isBoardValid());
    EXPECT_EQ(orphan.boardSubType(), "");

    clsQuorvelBoard noDirectory(channel);
    noDirectory.boardType("OUTPUT_OPTION");
    noDirectory.boardIndex(2);
    poll(noDirectory, statusReply("OOB 2", {{"WC", "4"}}));
    EXPECT_EQ(noDirectory.boardSubType(), "");
}

TEST_F(Board, OutputOptionKeepsWhatAnEarlierPollGaveUntilAWordReplacesIt) {
    clsQuorvelBoard option = card("OUTPUT_OPTION", 3);
    poll(option,
         statusReply("OOB 3",
                     {{"WC", "4"}, {"OD1", "8070"}, {"OD2", "0230"}, {"Total Errors", "5"}}));
    poll(option, statusReply("OOB 3", {{"WC", "4"}}));
    EXPECT_TRUE(option.isBoardValid());
    EXPECT_EQ(option.PortListen(), "B");
    EXPECT_TRUE(option.Volt3_3OK());
    EXPECT_TRUE(option.Volt28OK());
    EXPECT_EQ(option.temperature(), 0x30);
    EXPECT_EQ(option.SWrevision(), 2);
    EXPECT_EQ(option.deltaErrorCount(), 5) << "no new total: the last delta stands";
}

// --- Change detection ---

TEST_F(Board, ANewFirstWordIsAChangeForEveryKindButInputs) {
    const struct {
        const char* type;
        std::int16_t index;
        const char* echo;
        const char* wc;
        bool changes;
    } cases[] = {
        {"INPUT", 1, "IB 1", "5", false},         {"OUTPUT", 1, "OB 1", "C", true},
        {"MATRIX", 1, "MB 1", "4", true},         {"POWER", 1, "SB 1", "A", true},
        {"POWER", 17, "SB 17", "5", true},        {"POWER", 18, "SB 18", "6", true},
        {"OUTPUT_OPTION", 1, "OOB 1", "4", true},
    };
    for (const auto& c : cases) {
        clsQuorvelBoard b = card(c.type, c.index);
        poll(b, statusReply(c.echo, {{"WC", c.wc}, {"OD1", "0001"}}));
        b.boardStatChange(false);
        poll(b, statusReply(c.echo, {{"WC", c.wc}, {"OD1", "0001"}}));
        EXPECT_FALSE(b.boardStatChange()) << c.echo << ": same status";
        poll(b, statusReply(c.echo, {{"WC", c.wc}, {"OD1", "0002"}}));
        EXPECT_EQ(b.boardStatChange(), c.changes) << c.echo;
        poll(b, statusReply(c.echo, {{"WC", c.wc}, {"OD1", "0002"}}));
        EXPECT_EQ(b.boardStatChange(), c.changes) << c.echo << ": the flag is sticky";
    }
    clsQuorvelBoard input = card("INPUT", 1);
    poll(input, statusReply("IB 1", {{"WC", "5"}, {"OD1", "0001"}}));
    input.boardStatChange(false);
    poll(input, statusReply("IB 1", {{"WC", "5"}}));
    EXPECT_TRUE(input.boardStatChange()) << "an input's first word going absent is a change";
}

TEST_F(Board, OutputSignalWordsAndTemperatureWordAreWatched) {
    const Words base{{"WC", "C"}, {"OD1", "0001"}, {"OD2", "0808"}, {"OD10", "0120"}};
    const std::pair<const char*, const char*> changes[] = {
        {"OD9", "0001"}, {"OD2", "0809"}, {"OD10", "0121"}};
    for (const auto& [key, value] : changes) {
        clsQuorvelBoard b = card("OUTPUT", 1);
        poll(b, statusReply("OB 1", base));
        b.boardStatChange(false);
        Words changed = base;
        changed.emplace_back(key, value); // the first occurrence of a key wins
        std::rotate(changed.rbegin(), changed.rbegin() + 1, changed.rend());
        poll(b, statusReply("OB 1", changed));
        EXPECT_TRUE(b.boardStatChange()) << key;
    }
}

TEST_F(Board, SupplyOutputValuesChangeOnlyPastTheirThresholds) {
    // 1 raw step is 1/34.5561 V; 66 steps = 1.91 V, 73 steps = 2.11 V.
    auto supplyReply = [](int voltRaw, int ampRaw) {
        char v[8];
        char a[8];
        std::snprintf(v, sizeof v, "%04X", voltRaw);
        std::snprintf(a, sizeof a, "%04X", ampRaw);
        return statusReply("SB 1", {{"WC", "A"}, {"OD6", v}, {"OD7", a}});
    };
    clsQuorvelBoard b = card("POWER", 1);
    poll(b, supplyReply(400, 100));
    b.boardStatChange(false);
    poll(b, supplyReply(400 + 66, 100));
    EXPECT_FALSE(b.boardStatChange()) << "1.9 V";
    poll(b, supplyReply(400 + 73, 100));
    EXPECT_TRUE(b.boardStatChange()) << "2.1 V";
    b.boardStatChange(false);
    poll(b, supplyReply(400 + 73 + 66, 100));
    EXPECT_FALSE(b.boardStatChange()) << "the reference moved to the new value";
    poll(b, supplyReply(400 + 73 + 66, 110)); // 0.9 A more
    EXPECT_FALSE(b.boardStatChange()) << "0.9 A";
    poll(b, supplyReply(400 + 73 + 66, 122)); // 2.0 A more than the reference
    EXPECT_TRUE(b.boardStatChange()) << "current";

    // The supply's temperature word is watched like the first word.
    Words temperature{{"WC", "A"}, {"OD8", "0130"}};
    poll(b, statusReply("SB 1", temperature));
    b.boardStatChange(false);
    temperature.back().second = "0131";
    poll(b, statusReply("SB 1", temperature));
    EXPECT_TRUE(b.boardStatChange()) << "temperature word";
}

// --- Read side ---

TEST_F(Board, ArraysOfAnotherCategoryLeaveTheCallersArray) {
    clsQuorvelBoard output = card("OUTPUT", 1);
    clsQuorvelBoard input = card("INPUT", 1);
    std::vector<bool> presence{true, false, true};
    std::vector<std::int16_t> codes{9, 9};
    EXPECT_FALSE(output.getInputPresence(presence));
    EXPECT_FALSE(input.getOutputSigtype(codes));
    EXPECT_FALSE(input.getReclockMode(codes));
    EXPECT_FALSE(input.getReclockStatus(codes));
    EXPECT_EQ(presence, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(codes, (std::vector<std::int16_t>{9, 9}));
    EXPECT_TRUE(input.getInputPresence(presence));
    EXPECT_EQ(presence.size(), 17U);
    EXPECT_EQ(input.getOutputSigDesc(1), "");
    EXPECT_EQ(input.fanVoltage(1), 0.0F);
    EXPECT_EQ(input.outputPowerVoltage(), 0.0F);
    EXPECT_EQ(output.OutputsPerBoard(), 16);
    EXPECT_EQ(output.InputsPerBoard(), 0);
}

TEST_F(Board, MatrixOutputsPerCardFollowTheFrameType) {
    const std::pair<const char*, std::int16_t> cases[] = {
        {"7", 64}, {"0", 64}, {"B", 128}, {"10", 128}, {"12", 128}, {"13", 0}, {"b", 0}, {"", 0},
    };
    for (const auto& [code, outputs] : cases) {
        clsQuorvelBoard matrix = card("MATRIX", 1);
        channel.replies["FT"] = std::string("FT\r\nFrame type: ") + code + " (frame)\r\n>";
        matrix.getFrameTypeInfo();
        EXPECT_EQ(matrix.getFrameType(), code);
        EXPECT_EQ(matrix.OutputsPerBoard(), outputs) << code;
        EXPECT_EQ(matrix.InputsPerBoard(), 64);
    }
}

// --- Frame-wide queries ---

TEST_F(Board, FrameTypeReply) {
    clsQuorvelBoard frame(channel);
    channel.replies["FT"] = "FT\r\nFrame Type: A 512x512 HD\r\n>";
    EXPECT_EQ(frame.getFrameTypeInfo(), "");
    EXPECT_EQ(frame.getFrameType(), "A");
    EXPECT_EQ(frame.getFrameInfo(), "FT\r\nFrame Type: A 512x512 ");

    const std::pair<const char*, const char*> keepType[] = {
        {"FT: 5", ""}, {"no colon here", "no colon"}, {"", ""}, {"abc", ""}, {":", ""}};
    for (const auto& [reply, info] : keepType) {
        channel.replies["FT"] = reply;
        frame.getFrameTypeInfo();
        EXPECT_EQ(frame.getFrameType(), "A") << reply;
        EXPECT_EQ(frame.getFrameInfo(), info) << reply;
    }
}

TEST_F(Board, FanControllerQueryReadsTwoAnswers) {
    const struct {
        const char* reply;
        bool active;
        bool error;
    } cases[] = {
        {"FC 1\r\nActive: YES Error: NO\r\n>", true, false},
        {"Active: NO\r\nError: YES\r\n>", false, true},
        {"Active:  YES Error: YES", false, true}, // the answer must start right after ": "
        {"Active: YES", true, false},
    };
    for (const auto& c : cases) {
        clsQuorvelBoard fan = card("POWER", 18);
        channel.replies["FC 18"] = c.reply;
        fan.getFanControllerInfo(18);
        EXPECT_EQ(fan.fanControllerActive(), c.active) << c.reply;
        EXPECT_EQ(fan.fanControllerError(), c.error) << c.reply;
    }
    clsQuorvelBoard fan = card("POWER", 19);
    channel.replies["FC 19"] = "Active: YES Error: YES";
    fan.getFanControllerInfo(19);
    channel.replies["FC 19"] = "no answer";
    fan.getFanControllerInfo(19);
    EXPECT_TRUE(fan.fanControllerActive());
    EXPECT_TRUE(fan.fanControllerError());
}

class Watchdog : public Board {
protected:
    void SetUp() override {
        for (std::int16_t i = 1; i <= 18; ++i) {
            matrices.push_back(std::make_unique<clsQuorvelBoard>(card("MATRIX", i)));
            channel.queue = {i == 3 ? "" : statusReply("MB", {{"WC", "4"}})};
            matrices.back()->updateStatus();
            directory.matrices[i] = matrices.back().get();
        }
        directory.count = 18;
        channel.commands.clear();
    }
    void read(const std::string& rd, const std::string& gr, const std::string& at) {
        channel.replies["RD"] = rd;
        channel.replies["GR"] = gr;
        channel.replies["AT"] = at;
        frame.getRedundantOutputs();
    }
    std::vector<int> switched() const {
        std::vector<int> out;
        for (std::int16_t k = 0; k <= 16; ++k)
            if (frame.getRedundantCard(k))
                out.push_back(k);
        return out;
    }
    std::vector<int> capable() const {
        std::vector<int> out;
        for (std::int16_t k = 0; k <= 16; ++k)
            if (frame.getRedundantCapableCard(k))
                out.push_back(k);
        return out;
    }

    std::vector<std::unique_ptr<clsQuorvelBoard>> matrices;
    clsQuorvelBoard frame{channel, &directory};
};

TEST_F(Watchdog, CapableBlocksFromTheRangeList) {
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"RD 1-128,129-256 257-384,1-128\r\n>", {2, 9}},
        {"1-128,1-128 1-128,129-256\r\n>", {2}}, // the first word is never examined
        {"x 385-512,385-512 129-256,257-384 2-128,1-128 1-128 1,1-128 -1,1-\r\n>", {7, 16}},
        {"x 1-128,129 1-,129-256 1-128,-5 x1-128,1-128 1-128,129-256-7\r\n>", {2}},
        {"", {}},
        {">", {}},
    };
    for (const auto& [rd, blocks] : cases) {
        read(rd, "", "");
        EXPECT_EQ(capable(), blocks) << rd;
    }
}

TEST_F(Watchdog, SwitchedBlocksFromTheGetList) {
    read("", "1,129 385,385\r\n>", "");
    EXPECT_EQ(switched(), (std::vector<int>{2, 16}));
    read("", "257,1 bad 1, ,129 129,\r\n>", "");
    EXPECT_EQ(switched(), (std::vector<int>{2, 9, 16})) << "entries are only ever set";

    // "All" covers the valid matrix cards up to 16 (card 3 never answered); "none" clears.
    read("", "4095\r\n>", "");
    EXPECT_EQ(switched(), (std::vector<int>{1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    read("", "0\r\n>", "");
    EXPECT_EQ(switched(), std::vector<int>{});

    clsQuorvelBoard lonely(channel);
    channel.replies["GR"] = "4095\r\n>";
    lonely.getRedundantOutputs();
    EXPECT_FALSE(lonely.getRedundantCard(1));
}

TEST_F(Watchdog, AutomaticSwitchoverUnlessDisabledOrError) {
    const std::pair<const char*, bool> cases[] = {
        {"AT\r\nAuto switch Disabled\r\n>", false},
        {"Error", false},
        {"Enabled", true},
        {"", true},
    };
    for (const auto& [reply, automatic] : cases) {
        read("", "", reply);
        EXPECT_EQ(frame.getRedundantAutoSwitch(), automatic) << reply;
    }
    EXPECT_EQ(channel.commands, (std::vector<std::string>{"RD", "GR", "AT", "RD", "GR", "AT", "RD",
                                                          "GR", "AT", "RD", "GR", "AT"}));
}

TEST_F(Watchdog, MovingBlocksAndOutputs) {
    frame.setRedundantCard(6, 129, 129, 2);
    EXPECT_TRUE(frame.getRedundantCard(6));
    frame.setRedundantCard(6, 129, 129, 1);
    EXPECT_FALSE(frame.getRedundantCard(6));
    frame.setRedundantCard(4095, 1, 1, 1);
    frame.setRedundantCard(40, 1, 1, 2); // no such block: sent, nothing recorded
    EXPECT_EQ(channel.commands,
              (std::vector<std::string>{"SR 129,129,2", "SR 129,129,1", "SR 1,1,2"}))
        << "moving all blocks before the capability is known sends nothing";

    read("x 1-128,1-128 1-128,129-256 129-256,1-128 129-256,129-256 385-512,129-256\r\n>", "", "");
    channel.commands.clear();
    frame.setRedundantCard(4095, 7, 7, 1);
    EXPECT_EQ(channel.commands, (std::vector<std::string>{"SR 1,1,1", "SR 129,1,1", "SR 1,129,1",
                                                          "SR 129,129,1", "SR 129,385,1"}));
    EXPECT_EQ(switched(), std::vector<int>{});

    channel.commands.clear();
    frame.setRedundantOutput(5, 3, 2);
    frame.setRedundantOutput(600, 3, 2);
    frame.setRedundantAutoSwitch(1);
    EXPECT_TRUE(frame.getRedundantAutoSwitch());
    frame.setRedundantAutoSwitch(0);
    EXPECT_FALSE(frame.getRedundantAutoSwitch());
    EXPECT_EQ(channel.commands,
              (std::vector<std::string>{"SM 5,3,2", "SM 600,3,2", "AT 1", "AT 0"}));
    EXPECT_TRUE(frame.getRedundantOutput(5));
    EXPECT_FALSE(frame.getRedundantOutput(6));
    EXPECT_FALSE(frame.getRedundantOutput(600));
    EXPECT_FALSE(frame.getRedundantOutput(-1));
    EXPECT_FALSE(frame.getRedundantCard(-1));
    EXPECT_FALSE(frame.getRedundantCapableCard(17));
}

} // namespace
} // namespace tessivar
