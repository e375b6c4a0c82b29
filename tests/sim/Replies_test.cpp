// Replies of the simulated controller, read the way the console reads them: markers, fixed
// offsets and key = value items. A layout that drifts by one character fails here.

#include "SimClient.h"
#include "sim/FrameSimulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace tessivar::sim {
namespace {

using testing::framePath;

FrameSimulator smallFrame() {
    return FrameSimulator::fromFile(framePath("small.json"));
}

std::string trimSpaces(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

// Key = value item: first occurrence of the key, one character skipped, the text after the next
// "=" trimmed, ending at a space or carriage return (absent without either).
std::string keyValue(const std::string& reply, const std::string& key) {
    const auto at = reply.find(key);
    if (at == std::string::npos) {
        return "";
    }
    const auto eq = reply.find('=', at + key.size() + 1);
    if (eq == std::string::npos) {
        return "";
    }
    std::size_t b = eq + 1;
    while (b < reply.size() && reply[b] == ' ') {
        ++b;
    }
    const auto e = reply.find_first_of(" \r", b);
    return e == std::string::npos ? "" : reply.substr(b, e - b);
}

long hexValue(const std::string& v) {
    const auto x = v.find("0x");
    return std::stol(x == std::string::npos ? v : v.substr(x + 2), nullptr, 16);
}

// Text from a 0-based offset after a marker's first character, spaces trimmed.
std::string from(const std::string& reply, const std::string& marker, std::size_t skip) {
    const auto at = reply.find(marker);
    if (at == std::string::npos || at + skip > reply.size()) {
        return "";
    }
    return trimSpaces(reply.substr(at + skip));
}

std::string firstLine(const std::string& reply) {
    return reply.substr(0, reply.find('\r'));
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos;
         at = text.find(what, at + what.size())) {
        ++n;
    }
    return n;
}

// The OD fields the detailed log takes: after "WC = " + 13, one field per "x" while "OD" remains.
std::vector<std::string> detailOdFields(const std::string& reply) {
    std::vector<std::string> out;
    const auto wc = reply.find("WC = ");
    std::string rest = wc == std::string::npos ? "" : trimSpaces(reply.substr(wc + 12));
    while (rest.find("OD") != std::string::npos) {
        const auto x = rest.find('x');
        if (x == std::string::npos) {
            break;
        }
        out.push_back(trimSpaces(rest.substr(x + 1, 4)));
        rest = x + 5 < rest.size() ? trimSpaces(rest.substr(x + 5)) : "";
    }
    return out;
}

struct StatusCase {
    const char* command;
    long wordCount;
    std::vector<std::pair<const char*, long>> words;
};

class StatusReplies : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusReplies, CarryTheWordCountAndWordsInTheLayoutEveryReaderExpects) {
    const StatusCase& c = GetParam();
    auto sim = smallFrame();
    const std::string r = sim.handleCommand(c.command);

    EXPECT_EQ(hexValue(keyValue(r, "WC")), c.wordCount) << r;
    for (const auto& [key, value] : c.words) {
        EXPECT_EQ(hexValue(keyValue(r, key)), value) << key << "\n" << r;
    }
    // CRC and WC first, the error counters after the status words.
    EXPECT_EQ(r.rfind("CRC = 0x", 0), 0u) << r;
    EXPECT_LT(r.find("WC = "), r.find("OD1 = "));
    EXPECT_LT(r.find("OD1 = "), r.find("WC Error"));
    EXPECT_EQ(hexValue(keyValue(r, "Total Errors")), hexValue(keyValue(r, "CRC Error")) +
                                                         hexValue(keyValue(r, "WC Error")) +
                                                         hexValue(keyValue(r, "LEN Error")));
    // Detailed log: CRC and WC are four digits after a two-character prefix, then one field
    // per status word.
    const std::string crc = r.substr(r.find("CRC = ") + 8, 4);
    EXPECT_TRUE(std::all_of(crc.begin(), crc.end(), [](unsigned char ch) {
        return std::isxdigit(ch);
    })) << crc;
    EXPECT_EQ(std::stol(r.substr(r.find("WC = ") + 7, 4), nullptr, 16), c.wordCount);
    EXPECT_EQ(static_cast<long>(detailOdFields(r).size()), c.wordCount - 2);
    EXPECT_EQ(r.substr(r.size() - 3), "\r\n>");
    EXPECT_EQ(r.find("comm error"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    SmallFrame, StatusReplies,
    ::testing::Values(
        // subtype 6, rails V1..V4 good; inputs 1 and 16 present; 52 degrees, revision 3
        StatusCase{"IB 2", 5, {{"OD1", 0x00F6}, {"OD2", 0x8001}, {"OD3", 0x0334}}},
        // option code 3; outputs 1, 2 HD (0x10), 3 code 1 (0x08), 4 bypass (0x20), each locked
        StatusCase{
            "OB 1", 12, {{"OD1", 0x30F6}, {"OD2", 0x5050}, {"OD3", 0x6048}, {"OD10", 0x0323}}},
        StatusCase{"OB 2", 12, {{"OD1", 0x10F0}, {"Total Errors", 5}, {"CRC Error", 5}}},
        StatusCase{"MB 1", 4, {{"OD1", 0x00F0}, {"OD2", 0x0329}}},
        // 28 V is 968 raw, 42.5 A is 392 raw (the console's current curve), fans 0.31 A, 12 V
        StatusCase{"SB 1", 10, {{"OD2", 335}, {"OD3", 415}, {"OD6", 968}, {"OD7", 392}}},
        // monitors watch outputs 1 and 17, both HD
        StatusCase{"SB 17", 5, {{"OD2", 0x5050}, {"OD3", 0x0327}}},
        // fan 2 failed
        StatusCase{"SB 18", 6, {{"OD4", 0x0002}}}, StatusCase{"OOB 2", 4, {{"OD2", 0x0323}}}));

TEST(StatusReplies, EmptyAbsentAndUnknownSlotsAnswerCommError) {
    auto sim = smallFrame();
    for (const char* cmd : {"SB 3", "SB 19", "IB 3", "OOB 9"}) {
        EXPECT_EQ(sim.handleCommand(cmd), "comm error\r\n>") << cmd;
    }
}

TEST(RollCall, ListsOneEntryPerSlotWithAbsentCardsMarked) {
    auto sim = smallFrame();
    struct Case {
        const char* command;
        int entries;
        int absent;
    };
    for (const Case& c : {Case{"RC I,A", 2, 0}, Case{"RC I,B", 2, 0}, Case{"RC O,B", 2, 0},
                          Case{"RC M,B", 1, 0}, Case{"RC S,B", 19, 15}, Case{"RC OO,B", 2, 0}}) {
        const std::string r = sim.handleCommand(c.command);
        EXPECT_EQ(countOf(r, "0x"), c.entries) << c.command << "\n" << r;
        EXPECT_EQ(countOf(r, "0xFF"), c.absent) << c.command;
    }
    auto empty = FrameSimulator::fromJson("{}");
    EXPECT_EQ(countOf(empty.handleCommand("RC I,B"), "0x"), 0);
}

TEST(FrameQueries, AnswerWithTheMarkersAndOffsetsTheConsoleReads) {
    auto sim = smallFrame();
    const std::string ac = sim.handleCommand("AC");
    EXPECT_EQ(firstLine(ac), "ACTIVE");
    EXPECT_EQ(firstLine(sim.handleCommand("SY 1")), "SYNC 1 OK 1080i/59.94");

    // Route status: the number right after "Input:" and one character.
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 1"), "Input:", 7)), 2);
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 17"), "Input:", 7)), 32);
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 2"), "Input:", 7)), 2);
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 2,M"), "Input:", 7)), 17);

    const std::string st = sim.handleCommand("ST");
    EXPECT_EQ(hexValue(st.substr(st.find("Frame Controller:") + 17)), 38);
    EXPECT_EQ(hexValue(st.substr(st.find("Output Monitor:") + 15)), 39);

    // FPGA revision: from "FPGA" + 12, up to and including the carriage return.
    const std::string ve = from(sim.handleCommand("VE"), "FPGA", 12);
    EXPECT_EQ(ve.substr(0, ve.find('\r') + 1), "3.07\r");

    const std::string et = sim.handleCommand("ET");
    EXPECT_EQ(from(et, "MAC address", 14).substr(0, 17), "00:0B:5E:10:22:31");
    EXPECT_EQ(trimSpaces(from(et, "IP address", 13).substr(0, 15)), "192.168.10.20");
    EXPECT_EQ(trimSpaces(from(et, "Subnet mask", 13).substr(0, 15)), "255.255.255.0");
    EXPECT_EQ(from(et, "DHCP", 14).substr(0, 3), "OFF");

    // Fan controllers: after the first ":" and its space, prompt and line ends dropped.
    std::string nf = sim.handleCommand("NF");
    const auto colon = nf.find(':');
    nf.pop_back();
    nf.erase(nf.find_last_not_of("\r\n") + 1);
    EXPECT_EQ(nf.substr(colon + 2), "1");

    const std::string fc = sim.handleCommand("FC 1");
    const std::string active = fc.substr(fc.find(':') + 2);
    EXPECT_EQ(active.substr(0, 3), "YES");
    EXPECT_EQ(active.substr(active.find(':') + 2, 2), "NO");
    EXPECT_EQ(sim.handleCommand("FC 2").find(':'), std::string::npos); // absent controller

    // Frame type: the reply less its last five characters; the code up to the first space.
    const std::string ft = sim.handleCommand("FT");
    EXPECT_EQ(ft.substr(0, ft.size() - 5), "Frame Type: 7 64x64 HD frame");
    const std::string tail = ft.substr(ft.find(':') + 2);
    EXPECT_EQ(tail.substr(0, tail.find(' ')), "7");

    EXPECT_EQ(sim.handleCommand("AL"), "Alarms: none\r\n>");
    EXPECT_NE(sim.handleCommand("PM O,1").find("ON"), std::string::npos);
    EXPECT_EQ(sim.handleCommand("XY 1"), "Error: unknown command\r\n>");
    EXPECT_EQ(sim.handleCommand(""), "\r\n>");
}

TEST(Watchdog, RedundancyRepliesNameBlocksAsTheConsoleParsesThem) {
    auto sim = smallFrame();
    const std::string rd = upper(sim.handleCommand("RD"));
    EXPECT_EQ(rd.find("NOT"), std::string::npos);
    EXPECT_EQ(rd.find("CAPABLE"), std::string::npos);
    // Words after the first: input range, comma, output range.
    EXPECT_NE(rd.find(" 1-128,1-128 1-128,129-256 129-256,1-128 129-256,129-256\r"),
              std::string::npos);
    EXPECT_EQ(sim.handleCommand("GR"), "1,129\r\n>"); // block 2
    EXPECT_NE(sim.handleCommand("AT").find("Disabled"), std::string::npos);

    EXPECT_EQ(sim.handleCommand("SR 1,1,2").rfind("Block 1", 0), 0u);
    EXPECT_EQ(sim.handleCommand("GR"), "1,1 1,129\r\n>");
    sim.handleCommand("SR 1,129,2");   // block 5: output 1, input 129
    sim.handleCommand("SR 129,129,2"); // block 6
    EXPECT_EQ(sim.handleCommand("GR"), "4095\r\n>");
    for (const char* back : {"SR 1,1,1", "SR 129,1,1", "SR 1,129,1", "SR 129,129,1"}) {
        sim.handleCommand(back);
    }
    EXPECT_EQ(sim.handleCommand("GR"), "0\r\n>");
    EXPECT_EQ(sim.handleCommand("SR 257,257,2").rfind("Error", 0), 0u); // block 11: no card

    sim.handleCommand("AT 1");
    const std::string at = sim.handleCommand("AT");
    EXPECT_EQ(at.find("Disabled"), std::string::npos);
    EXPECT_EQ(at.find("Error"), std::string::npos);

    auto plain = FrameSimulator::fromJson(R"({"watchdog": {"mode": "no"}})");
    EXPECT_NE(upper(plain.handleCommand("RD")).find("NOT"), std::string::npos);
    auto capable = FrameSimulator::fromJson(R"({"watchdog": {"mode": "capable", "blocks": [3]}})");
    EXPECT_NE(upper(capable.handleCommand("RD")).find("CAPABLE"), std::string::npos);
}

// The converter windows read S, C, 4, F in that order, each "+" right after its letter.
struct Converter {
    bool graticule, crop, fourThree, focus;
};
std::optional<Converter> readConverter(std::string r) {
    if (r.find('S') == std::string::npos) {
        return std::nullopt;
    }
    Converter c{};
    bool* flags[4] = {&c.graticule, &c.crop, &c.fourThree, &c.focus};
    const char letters[4] = {'S', 'C', '4', 'F'};
    for (int i = 0; i < 4; ++i) {
        r = trimSpaces(r.substr(r.find(letters[i]) + 1));
        *flags[i] = !r.empty() && r[0] == '+';
        r = trimSpaces(r.substr(1));
    }
    return c;
}

TEST(Converters, QueryAndSetOptionsPerOutput) {
    auto sim = smallFrame();
    auto three = readConverter(sim.handleCommand("AS 3"));
    ASSERT_TRUE(three);
    EXPECT_TRUE(three->graticule);
    EXPECT_FALSE(three->crop);
    EXPECT_FALSE(three->fourThree);
    EXPECT_TRUE(three->focus);

    sim.handleCommand("AS 3,S-,C+,4+,F-");
    three = readConverter(sim.handleCommand("AS 3"));
    ASSERT_TRUE(three);
    EXPECT_FALSE(three->graticule);
    EXPECT_TRUE(three->crop);
    EXPECT_TRUE(three->fourThree);
    EXPECT_FALSE(three->focus);

    // Output 20 sits on a card with a dual fibre option: nothing to read.
    EXPECT_FALSE(readConverter(sim.handleCommand("AS 20")));
    EXPECT_EQ(sim.handleCommand("AS 3,S*,C+,4+,F-").rfind("Error", 0), 0u);
}

TEST(StateChanges, CommandsChangeTheFrameAsARealOneWould) {
    auto sim = smallFrame();
    EXPECT_EQ(sim.handleCommand("SW 5,9").rfind("Error", 0), std::string::npos);
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 5"), "Input:", 7)), 9);
    EXPECT_EQ(sim.handleCommand("SW 5,99").rfind("Error", 0), 0u); // only 32 inputs
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 5"), "Input:", 7)), 9);
    sim.handleCommand("SW 2,30,M");
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 2,M"), "Input:", 7)), 30);
    sim.handleCommand("SW 6,4,2"); // with the second sync reference
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 6"), "Input:", 7)), 4);
    sim.handleCommand("SM 7,3,2");
    EXPECT_EQ(std::stoi(from(sim.handleCommand("SS 7"), "Input:", 7)), 3);

    // Power: an off card stops answering and leaves the roll call; on again, it answers.
    sim.handleCommand("PM O,2,OFF");
    EXPECT_EQ(sim.handleCommand("PM O,2").find("ON"), std::string::npos);
    EXPECT_EQ(sim.handleCommand("OB 2"), "comm error\r\n>");
    EXPECT_EQ(firstLine(sim.handleCommand("RC O,B")), "0x06 0xFF");
    sim.handleCommand("PM O,2,ON");
    EXPECT_EQ(hexValue(keyValue(sim.handleCommand("OB 2"), "WC")), 12);
    sim.handleCommand("PM S,17,OFF"); // the output monitor's own letter
    EXPECT_EQ(sim.handleCommand("SB 17"), "comm error\r\n>");

    // Clearing errors, one card and then a whole category.
    EXPECT_EQ(hexValue(keyValue(sim.handleCommand("OB 2"), "Total Errors")), 5);
    sim.handleCommand("CL O,2");
    EXPECT_EQ(hexValue(keyValue(sim.handleCommand("OB 2"), "Total Errors")), 0);
    sim.control("errors input 1 4");
    sim.control("errors input 2 6");
    sim.handleCommand("CL I");
    EXPECT_EQ(hexValue(keyValue(sim.handleCommand("IB 1"), "Total Errors")), 0);
    EXPECT_EQ(hexValue(keyValue(sim.handleCommand("IB 2"), "Total Errors")), 0);

    // Port B: bit 15 of every card's first word.
    sim.handleCommand("VT B");
    EXPECT_EQ(hexValue(keyValue(sim.handleCommand("MB 1"), "OD1")) & 0x8000, 0x8000);
    EXPECT_EQ(firstLine(sim.handleCommand("VT")), "Port B");

    // A forced reclock rate shows in bit 7 of that output's signal byte.
    sim.handleCommand("LR 1,3,HD");
    EXPECT_EQ(hexValue(keyValue(sim.handleCommand("OB 1"), "OD3")), 0x60C8);
    EXPECT_NE(sim.handleCommand("LR 1,3").find("HD"), std::string::npos);
    EXPECT_EQ(sim.handleCommand("LR 1,3,999").rfind("Error", 0), 0u);

    sim.control("state STANDBY");
    EXPECT_EQ(firstLine(sim.handleCommand("DT")), "ACTIVE");
    EXPECT_EQ(firstLine(sim.handleCommand("AC")), "ACTIVE");
}

} // namespace
} // namespace tessivar::sim
