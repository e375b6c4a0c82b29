#include "logging/LoggingForm.h"

#include "common/SettingsStore.h"
#include "common/TimeFormatter.h"
#include "logging/clsLogFile.h"
#include "logging/clsLogging.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

class LoggingFormTest : public ::testing::Test {
protected:
    int startBlocks(const std::string& path) {
        const std::string& text = files.files[path];
        int count = 0;
        for (std::size_t at = text.find("START Logging"); at != std::string::npos;
             at = text.find("START Logging", at + 1))
            ++count;
        return count;
    }

    testing::MemoryFileSystem files;
    MemorySettingsStore settings;
    testing::FakePrompt prompt;
    testing::FakeClock clock;
    FixedTimeFormatter formatter;
    clsLogFile logFile{files, settings, prompt, clock, formatter};
    clsLogging logging{settings};
    LoggingForm form{logFile, logging, settings, prompt};
};

TEST_F(LoggingFormTest, FirstOpeningWithNothingStoredChangesNothing) {
    form.open();
    EXPECT_EQ(form.simpleName(), "");
    EXPECT_FALSE(form.simpleEnableChecked());
    EXPECT_TRUE(settings.writes().empty());
    EXPECT_TRUE(files.files.empty());
    EXPECT_FALSE(logging.IsInputSetForLogging(1));

    // A category box alone selects nothing until its text is edited or the window reopens.
    form.clickCategory(LoggingForm::Inputs, true);
    EXPECT_FALSE(logging.IsInputSetForLogging(1));
    EXPECT_EQ(settings.get("Parms", "LogInputs", "?"), "1");
    form.open();
    EXPECT_TRUE(form.categoryChecked(LoggingForm::Inputs));
    EXPECT_TRUE(logging.IsInputSetForLogging(1));
}

TEST_F(LoggingFormTest, OpeningRestoresNamesAndSelectionsFromTheStore) {
    settings.write("Parms", "SimpleLogFileName", "events.log");
    settings.write("Parms", "WhichOutputs", "3");
    settings.write("Parms", "LogMatrices", "1");
    settings.write("Parms", "WhichMatrices", "2-3");
    settings.write("Parms", "LogPower", "0");
    form.open();

    EXPECT_EQ(form.simpleName(), "events.log");
    EXPECT_EQ(logFile.simpleFilePath(), "/opt/tessivar/events.log");
    EXPECT_FALSE(form.categoryChecked(LoggingForm::Outputs));
    EXPECT_TRUE(logging.IsOutputSetForLogging(3)); // unchecked, yet its text applies
    EXPECT_FALSE(logging.IsOutputSetForLogging(2));
    EXPECT_TRUE(logging.IsMatrixSetForLogging(2));
    EXPECT_FALSE(logging.IsMatrixSetForLogging(4));
    EXPECT_FALSE(logging.IsPowerSetForLogging(1));
}

TEST_F(LoggingFormTest, CategoryIsCheckedWhenItsStoredNumberIsOne) {
    const std::pair<const char*, bool> cases[] = {{"1", true},  {" 1", true}, {"1.0", true},
                                                  {"0", false}, {"2", false}, {"yes", false}};
    for (const auto& [stored, checked] : cases) {
        MemorySettingsStore store;
        store.write("Parms", "LogInputs", stored);
        clsLogging selection{store};
        LoggingForm window{logFile, selection, store, prompt};
        window.open();
        EXPECT_EQ(window.categoryChecked(LoggingForm::Inputs), checked) << stored;
    }
}

TEST_F(LoggingFormTest, EnableNeedsAFileNameThenWritesHeaderAndFooter) {
    form.open();
    form.clickSimpleEnable(true);
    EXPECT_EQ(prompt.messages(), std::vector<std::string>{"Please Enter a valid log file name."});
    EXPECT_FALSE(logFile.SimpleLogEnable());
    EXPECT_FALSE(logging.simpleLog());
    EXPECT_TRUE(files.files.empty());

    form.editSimpleName("events.log");
    form.clickSimpleEnable(true);
    EXPECT_TRUE(logFile.SimpleLogEnable());
    EXPECT_TRUE(logging.simpleLog());
    form.clickSimpleEnable(false);
    EXPECT_FALSE(logFile.SimpleLogEnable());
    const std::string& text = files.files["/opt/tessivar/events.log"];
    EXPECT_LT(text.find("START Logging"), text.find("STOP Logging"));
    EXPECT_EQ(prompt.boxes.size(), 1U);
}

TEST_F(LoggingFormTest, ReopeningWhileLoggingIsOnWritesAnotherHeader) {
    form.open();
    form.editDetailName("status.log");
    form.clickDetailEnable(true);
    form.open();
    EXPECT_TRUE(form.detailEnableChecked());
    EXPECT_EQ(form.detailName(), "status.log");
    EXPECT_EQ(startBlocks("/opt/tessivar/status.log"), 2);
}

TEST_F(LoggingFormTest, EveryEditAppliesAndStoresTheSelection) {
    form.open();
    form.editSelection(LoggingForm::Power, "1");
    EXPECT_TRUE(logging.IsPowerSetForLogging(1));
    form.editSelection(LoggingForm::Power, "12");
    EXPECT_FALSE(logging.IsPowerSetForLogging(1));
    EXPECT_TRUE(logging.IsPowerSetForLogging(12));
    EXPECT_EQ(settings.get("Parms", "WhichPower", "?"), "12");

    form.clickCategory(LoggingForm::Power, false);
    EXPECT_EQ(settings.get("Parms", "LogPower", "?"), "0");
    EXPECT_TRUE(logging.IsPowerSetForLogging(12));
}

} // namespace
} // namespace tessivar
