#include "logging/clsLogFile.h"

#include "common/SettingsStore.h"
#include "common/TimeFormatter.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tessivar {
namespace {

using testing::FakeClock;
using testing::FakePrompt;
using testing::MemoryFileSystem;

const std::string kRule(106, '*');
const std::string kSimplePath = "/opt/tessivar/events.log";
const std::string kDetailPath = "/opt/tessivar/status.log";

class LogFileTest : public ::testing::Test {
protected:
    LogFileTest() {
        clock.local = LocalDateTime{2007, 5, 22, 14, 5, 9};
        log.setSimpleFileName("events.log");
        log.setDetailFileName("status.log");
    }

    MemoryFileSystem files;
    MemorySettingsStore settings;
    FakePrompt prompt;
    FakeClock clock;
    FixedTimeFormatter formatter;
    clsLogFile log{files, settings, prompt, clock, formatter};
};

TEST_F(LogFileTest, SimpleHeaderAndFooterAreFiveLineBlocks) {
    log.addSimpleHeader();
    clock.local.minute = 6;
    log.addSimpleFooter();
    EXPECT_EQ(files.files[kSimplePath],
              kRule + "\r\nSTART Logging\r\nMay 22 2007: 2:05:09 PM\r\n\r\n" + kRule + "\r\n" +
                  kRule + "\r\nSTOP Logging\r\nMay 22 2007: 2:06:09 PM\r\n\r\n" + kRule + "\r\n");
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(LogFileTest, DetailHeaderIsEightLinesAndFooterMatchesSimpleOne) {
    log.addDetailHeader();
    log.addDetailFooter();
    EXPECT_EQ(files.files[kDetailPath],
              kRule +
                  "\r\nSTART Logging\r\nMay 22 2007: 2:05:09 PM\r\n\r\nFile Format\r\n"
                  "Date, Time, Command, Total Errors, CRC Error, WC Error, LEN Error, CRC, WC, "
                  "OD1...last OD for that command\r\n\r\n" +
                  kRule + "\r\n" + kRule + "\r\nSTOP Logging\r\nMay 22 2007: 2:05:09 PM\r\n\r\n" +
                  kRule + "\r\n");
    EXPECT_FALSE(files.exists(kSimplePath));
}

TEST_F(LogFileTest, EntriesCarryDateAndTimeAndAppend) {
    log.SimpleLogEnable(true);
    EXPECT_TRUE(log.addEntry("OUTPUT 3 has gone OFFLINE."));
    clock.local.hour = 9;
    EXPECT_TRUE(log.addEntry("T"));
    EXPECT_EQ(files.files[kSimplePath], "May 22 2007 : 2:05:09 PM: OUTPUT 3 has gone OFFLINE.\r\n"
                                        "May 22 2007 : 9:05:09 AM: T\r\n");
}

TEST_F(LogFileTest, DisabledLogsWriteNothingAndReportSuccess) {
    EXPECT_TRUE(log.addEntry("T"));
    EXPECT_TRUE(log.addDetailEntry("OB 3", "WC = 0x000C"));
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(LogFileTest, StampSwitchesShapeEntryAndStampLine) {
    struct Case {
        bool date;
        bool time;
        std::string entry;
        std::string stamp;
        std::string detail;
    };
    const Case cases[] = {
        {true, true, "May 22 2007 : 2:05:09 PM: T", "May 22 2007: 2:05:09 PM",
         "May 22 2007,2:05:09 PM,IB 1"},
        {false, true, "2:05:09 PM: T", "2:05:09 PM", "2:05:09 PM,IB 1"},
        {true, false, "May 22 2007 : T", "May 22 2007: ", "May 22 2007,IB 1"},
        {false, false, "T", "", "IB 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        files.files.clear();
        log.DateStamp(c.date);
        log.TimeStamp(c.time);
        log.SimpleLogEnable(true);
        log.DetailLogEnable(true);
        log.addEntry("T");
        log.addSimpleHeader();
        log.addDetailEntry("IB 1", "");
        EXPECT_EQ(files.files[kSimplePath], c.entry + "\r\n" + kRule + "\r\nSTART Logging\r\n" +
                                                c.stamp + "\r\n\r\n" + kRule + "\r\n");
        EXPECT_EQ(files.files[kDetailPath], c.detail + ",,,,,,\r\n");
    }
}

TEST_F(LogFileTest, EmptyFileNameIsRefusedAndKeepsPreviousName) {
    EXPECT_FALSE(log.setSimpleFileName(""));
    EXPECT_FALSE(log.setDetailFileName(""));
    EXPECT_EQ(log.SimpleLogFileName(), "events.log");
    EXPECT_EQ(log.DetailLogFileName(), "status.log");
    log.SimpleLogEnable(true);
    log.addEntry("T");
    EXPECT_TRUE(files.exists(kSimplePath));
}

TEST_F(LogFileTest, FileNamesComeFromTheStore) {
    MemorySettingsStore fresh;
    clsLogFile other{files, fresh, prompt, clock, formatter};
    EXPECT_EQ(other.SimpleLogFileName(), "");
    fresh.write("Parms", "DetailLogFileName", "kept.log");
    EXPECT_EQ(other.DetailLogFileName(), "kept.log");
    EXPECT_TRUE(other.setSimpleFileName("a.log"));
    EXPECT_EQ(fresh.get("Parms", "SimpleLogFileName", "?"), "a.log");
}

TEST_F(LogFileTest, RenamingWhileOnSendsLaterEntriesToTheNewFileWithoutHeader) {
    log.SimpleLogEnable(true);
    log.addSimpleHeader();
    log.setSimpleFileName("second.log");
    log.addEntry("T");
    EXPECT_EQ(files.files["/opt/tessivar/second.log"], "May 22 2007 : 2:05:09 PM: T\r\n");
    EXPECT_EQ(files.files[kSimplePath].find("T\r\n"), std::string::npos);
}

TEST(LogFileDetailFields, ExtractedFromReplyLayout) {
    auto zeros = [](const std::string& total) {
        return "Total Errors = " + total +
               " CRC Error = 0 WC Error = 0 LEN Error = 0 CRC = 0x0000 ";
    };
    struct Case {
        const char* name;
        std::string reply;
        std::vector<std::string> fields;
    };
    const std::string full = "OB 3\r\nTotal Errors = 7 CRC Error = 1 WC Error = 0 LEN Error = 2 "
                             "CRC = 0x1A2B WC = 0x000C OD1 = 0x1004 OD2 = 0x0808 OD3 = 0xFFFF\r\n>";
    const Case cases[] = {
        {"three OD values in reply order",
         full,
         {"7", "1", "0", "2", "1A2B", "000C", "1004", "0808", "FFFF"}},
        {"one character of a longer total",
         zeros("12") + "WC = 0x0004\r\n>",
         {"1", "0", "0", "0", "0000", "0004"}},
        {"missing label reads at its offset from the start",
         "abcdefghijklmnopqrstuvwxyz",
         {"o", "l", "k", "l", "hijk", "ghij"}},
        {"empty reply", "", {"", "", "", "", "", ""}},
        {"WC without OD after it",
         zeros("0") + "WC = 0x0005\r\n>",
         {"0", "0", "0", "0", "0000", "0005"}},
        {"only the WC field is trimmed", "WC = 0x5 ", {"", "", "", "", "5 ", "5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(clsLogFile::detailFields(c.reply), c.fields);
    }
}

TEST_F(LogFileTest, DetailEntryJoinsCommandAndFields) {
    log.DetailLogEnable(true);
    EXPECT_TRUE(log.addDetailEntry("OB 3", "Total Errors = 7 CRC Error = 1 WC Error = 0 LEN "
                                           "Error = 2 CRC = 0x1A2B WC = 0x000C OD1 = 0x1004 OD2 = "
                                           "0x0808\r\n>"));
    EXPECT_TRUE(log.addDetailEntry("SB 2", ""));
    EXPECT_EQ(files.files[kDetailPath],
              "May 22 2007,2:05:09 PM,OB 3,7,1,0,2,1A2B,000C,1004,0808\r\n"
              "May 22 2007,2:05:09 PM,SB 2,,,,,,\r\n");
}

TEST_F(LogFileTest, WriteFailureIsReportedEachTimeAndLoggingStaysOn) {
    files.failing[kSimplePath] = true;
    files.failing[kDetailPath] = true;
    log.SimpleLogEnable(true);
    log.DetailLogEnable(true);
    EXPECT_FALSE(log.addEntry("T"));
    EXPECT_FALSE(log.addDetailEntry("IB 1", ""));
    log.addSimpleHeader();
    EXPECT_TRUE(log.SimpleLogEnable());
    EXPECT_TRUE(log.DetailLogEnable());
    ASSERT_EQ(prompt.boxes.size(), 3U);
    const std::string prefix = "Error in Writing to log file: " + kSimplePath + "\r\n";
    EXPECT_EQ(prompt.boxes[0].message.substr(0, prefix.size()), prefix);
    EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(prompt.boxes[0].title, "Tessivar");
    EXPECT_NE(prompt.boxes[1].message.find(kDetailPath + "\r\n"), std::string::npos);
    EXPECT_TRUE(files.files.empty());

    files.failing.clear();
    EXPECT_TRUE(log.addEntry("again"));
    EXPECT_EQ(prompt.boxes.size(), 3U);
}

TEST(LogFileOnDisk, MissingDirectoryReportsNameAndSystemErrorNumber) {
    std::filesystem::path missing =
        std::filesystem::temp_directory_path() / "tessivar-no-such-dir" / "inner";
    StdFileSystem files(missing.string());
    MemorySettingsStore settings;
    FakePrompt prompt;
    FakeClock clock;
    FixedTimeFormatter formatter;
    clsLogFile log{files, settings, prompt, clock, formatter};
    log.setSimpleFileName("events.log");
    log.SimpleLogEnable(true);

    EXPECT_FALSE(log.addEntry("T"));
    ASSERT_EQ(prompt.messages().size(), 1U);
    EXPECT_EQ(prompt.messages()[0],
              "Error in Writing to log file: " + (missing / "events.log").string() + "\r\n" +
                  std::to_string(ENOENT));
    EXPECT_TRUE(log.SimpleLogEnable());
}

} // namespace
} // namespace tessivar
