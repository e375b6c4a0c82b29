#include "link/modUtilities.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

struct HexCase {
    std::string text;
    std::int32_t expected;
};

TEST(ParseHexValue, ReadsDigitsAfterPrefixOrFromStart) {
    const HexCase cases[] = {
        {"0xFF", 255},
        {"Temp 0x2a C", 42},
        {"1F", 31},
        {"0x 12", 18},
        {"0xFFFF", 65535},
        {"0x1G", 1},
        {"xyz", 0},
        {"", 0},
        {"  7f  ", 127},
        {"a0x10", 16}, // only what follows the first prefix counts
        {"0x7FFFFFFF", 0x7FFFFFFF},
        {"0x80000000", 0x7FFFFFFF}, // saturates instead of wrapping negative
        {"0xFFFFFFFFFFFFFFFFFFFF", 0x7FFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseHexValue(c.text), c.expected) << "text: [" << c.text << "]";
}

struct KeyCase {
    std::string key;
    std::string reply;
    std::string expected;
};

TEST(FindKeyValue, FindsValueBetweenEqualsAndSpaceOrCarriageReturn) {
    const KeyCase cases[] = {
        {"IP", "IP = 10.1.2.3\r\n", "10.1.2.3"},
        {"IP", "IP = 10.1.2.3", ""}, // nothing ends the value
        {"WC", "CRC = 0x1\r\nWC = 0x000C\r\nWC Error = 0\r\n>", "0x000C"},
        {"OD1", "OD1 = 0x00AB more", "0x00AB"},
        {"X", "nothing here", ""},
        {"X", "X no equals\r\n", ""},
        {"WC", "WC=0x5 Z = 7\r", "7"}, // the character after the key is skipped
        {"K", "K", ""},
        {"Total Errors", "Total Errors =   12  \r\n", "12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findKeyValue(c.key, c.reply), c.expected) << c.key << " in [" << c.reply << "]";
}

TEST(SplitCommaList, TrimsFieldsAndLeavesLastInText) {
    std::string text = "1, 2,3 ";
    auto fields = splitCommaList(text);
    EXPECT_EQ(fields, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(text, "3");

    std::string single = " a ";
    EXPECT_EQ(splitCommaList(single), (std::vector<std::string>{" a "}));
    std::string empty;
    EXPECT_EQ(splitCommaList(empty).size(), 1U);
    std::string trailing = "5,";
    EXPECT_EQ(splitCommaList(trailing), (std::vector<std::string>{"5", ""}));
}

TEST(OrderPair, SwapsOnlyWhenFirstIsGreater) {
    EXPECT_EQ(orderPair(3, 9), std::make_pair(3, 9));
    EXPECT_EQ(orderPair(9, 3), std::make_pair(3, 9));
    EXPECT_EQ(orderPair(4, 4), std::make_pair(4, 4));
}

TEST(IsAllDigits, AcceptsOnlyNonEmptyDecimalDigits) {
    EXPECT_TRUE(isAllDigits("007"));
    EXPECT_TRUE(isAllDigits("255"));
    for (const char* bad : {"", "-1", "+1", "1.5", " 1", "1a"})
        EXPECT_FALSE(isAllDigits(bad)) << bad;
}

TEST(TrimNonPrintable, StripsControlCharactersAtTheEndsOnly) {
    EXPECT_EQ(trimNonPrintable("\nab\r\n"), "ab");
    EXPECT_EQ(trimNonPrintable("a\tb"), "a\tb");
    EXPECT_EQ(trimNonPrintable("\x01\x7F"), "");
    EXPECT_EQ(trimNonPrintable(" x "), " x ");
}

TEST(FileHelpers, AppendWritesLineEndAndReportsFailure) {
    testing::MemoryFileSystem files;
    testing::FakePrompt prompt;
    appendLineToFile(files, prompt, "hello", "/logs/a.log");
    appendLineToFile(files, prompt, "world", "/logs/a.log");
    EXPECT_EQ(files.files["/logs/a.log"], "hello\r\nworld\r\n");
    EXPECT_TRUE(prompt.boxes.empty());

    files.failing["/missing/b.log"] = true;
    appendLineToFile(files, prompt, "lost", "/missing/b.log");
    ASSERT_EQ(prompt.boxes.size(), 1U);
    EXPECT_EQ(prompt.boxes[0].message, "Error in Writing to log file: /missing/b.log\r");
    EXPECT_EQ(prompt.boxes[0].title, "Tessivar");

    EXPECT_TRUE(deleteFile(files, "/logs/a.log"));
    EXPECT_FALSE(deleteFile(files, "/logs/a.log"));
}

TEST(LeadingNumber, ReadsDecimalPrefix) {
    EXPECT_EQ(leadingNumber("23"), 23.0);
    EXPECT_EQ(leadingNumber(" 12abc"), 12.0);
    EXPECT_EQ(leadingNumber("-4"), -4.0);
    EXPECT_EQ(leadingNumber("2.5x"), 2.5);
    EXPECT_FALSE(leadingNumber("abc").has_value());
    EXPECT_FALSE(leadingNumber("").has_value());
}

} // namespace
} // namespace tessivar
