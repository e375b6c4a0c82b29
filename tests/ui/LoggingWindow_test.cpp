#include "common/SettingsStore.h"
#include "common/TimeFormatter.h"
#include "logging/clsLogFile.h"
#include "logging/clsLogging.h"
#include "support/Fakes.h"
#include "ui/frmLogging.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tessivar {
namespace {

using testing::FakeClock;
using testing::FakePrompt;
using testing::MemoryFileSystem;

int count(const std::string& text, const std::string& word) {
    int n = 0;
    for (auto p = text.find(word); p != std::string::npos; p = text.find(word, p + 1))
        ++n;
    return n;
}

// The log writer and the logging selection live for the run; windows come and go.
struct LoggingFixture {
    MemorySettingsStore store;
    MemoryFileSystem files;
    FakePrompt prompt;
    FakeClock clock;
    FixedTimeFormatter formatter;
    clsLogFile logFile{files, store, prompt, clock, formatter};
    clsLogging logging{store};

    std::unique_ptr<ui::frmLogging> open() {
        return std::make_unique<ui::frmLogging>(logFile, logging, store, prompt);
    }
    std::string simpleLog() { return files.files[files.directory + "/simple.log"]; }
};

TEST(LoggingWindow, FirstOpeningWithNothingStoredSelectsNothing) {
    LoggingFixture f;
    auto w = f.open();
    EXPECT_EQ(w->windowTitle(), "File Logging");
    EXPECT_TRUE(w->txtSimpleFileName->text().isEmpty());
    EXPECT_FALSE(w->chkInputs->isChecked());
    EXPECT_FALSE(f.logging.IsInputSetForLogging(1));
    EXPECT_TRUE(f.store.writes().empty()); // an empty box filled with nothing runs nothing
    EXPECT_TRUE(f.prompt.boxes.empty());

    // Ticking a category alone selects nothing until its text is edited.
    QTest::mouseClick(w->chkOutputs, Qt::LeftButton);
    EXPECT_EQ(f.store.get("Parms", "LogOutputs", ""), "1");
    EXPECT_FALSE(f.logging.IsOutputSetForLogging(1));
    QTest::keyClicks(w->txtOutputs, "12");
    EXPECT_EQ(f.store.get("Parms", "WhichOutputs", ""), "12");
    EXPECT_TRUE(f.logging.IsOutputSetForLogging(12));
    EXPECT_FALSE(f.logging.IsOutputSetForLogging(1)); // "1" was applied, then "12"
}

TEST(LoggingWindow, OpeningAppliesTheStoredSettingsInOrder) {
    LoggingFixture f;
    f.store.write("Parms", "SimpleLogFileName", "simple.log");
    f.store.write("Parms", "LogInputs", "1"); // checked, no text: all inputs
    f.store.write("Parms", "WhichInputs", "");
    f.store.write("Parms", "LogOutputs", "0"); // unchecked, with a text: that text
    f.store.write("Parms", "WhichOutputs", "3");
    f.store.write("Parms", "LogMatrices", "1"); // checked with a text
    f.store.write("Parms", "WhichMatrices", "2-3");
    f.store.clearWrites();

    auto w = f.open();
    EXPECT_EQ(w->txtSimpleFileName->text(), "simple.log");
    EXPECT_EQ(f.logFile.simpleFilePath(), f.files.directory + "/simple.log");
    EXPECT_TRUE(w->chkInputs->isChecked());
    EXPECT_FALSE(w->chkOutputs->isChecked());
    EXPECT_TRUE(f.logging.IsInputSetForLogging(250));
    EXPECT_TRUE(f.logging.IsOutputSetForLogging(3));
    EXPECT_FALSE(f.logging.IsOutputSetForLogging(2));
    EXPECT_TRUE(f.logging.IsMatrixSetForLogging(2));
    EXPECT_FALSE(f.logging.IsMatrixSetForLogging(4));
    EXPECT_FALSE(f.logging.IsPowerSetForLogging(1));

    // Name first, then the checked boxes' flags, then the selections, then the checked
    // categories once more; nothing is written for what did not change.
    const std::vector<std::string> expected = {
        "Parms/SimpleLogFileName", "Parms/LogInputs",   "Parms/LogMatrices",  "Parms/WhichOutputs",
        "Parms/WhichMatrices",     "Parms/WhichInputs", "Parms/WhichMatrices"};
    EXPECT_EQ(f.store.writes(), expected);
    EXPECT_TRUE(f.simpleLog().empty()); // logging is not on
}

TEST(LoggingWindow, EnableClicksWriteHeadersAndFootersAndReopeningWritesAnotherHeader) {
    LoggingFixture f;
    auto w = f.open();
    QTest::mouseClick(w->chkSimpleLog, Qt::LeftButton); // no file name yet
    EXPECT_EQ(f.prompt.messages(), std::vector<std::string>{"Please Enter a valid log file name."});
    EXPECT_FALSE(f.logFile.SimpleLogEnable());
    EXPECT_FALSE(f.logging.simpleLog());
    EXPECT_TRUE(w->chkSimpleLog->isChecked());          // the box keeps its new state
    QTest::mouseClick(w->chkSimpleLog, Qt::LeftButton); // unchecking asks again
    EXPECT_EQ(f.prompt.boxes.size(), 2U);

    QTest::keyClicks(w->txtSimpleFileName, "simple.log");
    QTest::mouseClick(w->chkSimpleLog, Qt::LeftButton);
    EXPECT_TRUE(f.logFile.SimpleLogEnable());
    EXPECT_TRUE(f.logging.simpleLog());
    EXPECT_EQ(count(f.simpleLog(), "START Logging"), 1);

    w.reset(); // closing changes nothing
    EXPECT_TRUE(f.logFile.SimpleLogEnable());
    w = f.open();
    EXPECT_TRUE(w->chkSimpleLog->isChecked());
    EXPECT_EQ(count(f.simpleLog(), "START Logging"), 2);
    EXPECT_EQ(count(f.simpleLog(), "STOP Logging"), 0);

    QTest::mouseClick(w->chkSimpleLog, Qt::LeftButton);
    EXPECT_FALSE(f.logFile.SimpleLogEnable());
    EXPECT_FALSE(f.logging.simpleLog());
    EXPECT_EQ(count(f.simpleLog(), "STOP Logging"), 1);

    // the detailed box follows the same steps with its own file
    QTest::keyClicks(w->txtDetailFileName, "detail.log");
    QTest::mouseClick(w->chkDetailLog, Qt::LeftButton);
    EXPECT_TRUE(f.logFile.DetailLogEnable());
    EXPECT_TRUE(f.logging.detailLog());
    EXPECT_EQ(count(f.files.files[f.files.directory + "/detail.log"], "START Logging"), 1);
}

TEST(LoggingWindow, UncheckingACategoryKeepsItsSelection) {
    LoggingFixture f;
    f.store.write("Parms", "LogPower", "1");
    f.store.write("Parms", "WhichPower", "1-5,13-16");
    auto w = f.open();
    QTest::mouseClick(w->chkPower, Qt::LeftButton);
    EXPECT_EQ(f.store.get("Parms", "LogPower", ""), "0");
    EXPECT_TRUE(f.logging.IsPowerSetForLogging(13));
    EXPECT_FALSE(f.logging.IsPowerSetForLogging(6));
}

} // namespace
} // namespace tessivar
