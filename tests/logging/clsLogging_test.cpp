#include "logging/clsLogging.h"

#include "common/SettingsStore.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

TEST(Logging, NothingIsSelectedBeforeAnySelectionIsApplied) {
    MemorySettingsStore settings;
    clsLogging logging(settings);
    for (std::int16_t card : {0, 1, 16, 250}) {
        EXPECT_FALSE(logging.IsInputSetForLogging(card));
        EXPECT_FALSE(logging.IsOutputSetForLogging(card));
        EXPECT_FALSE(logging.IsMatrixSetForLogging(card));
        EXPECT_FALSE(logging.IsPowerSetForLogging(card));
    }
    EXPECT_FALSE(logging.simpleLog());
    EXPECT_FALSE(logging.detailLog());
}

// Each category keeps its own selection and answers by the same rule.
TEST(Logging, CategoriesAnswerFromTheirOwnSelection) {
    MemorySettingsStore settings;
    clsLogging logging(settings);
    logging.setInputsToLog("1-5,13-16");
    logging.setOutputsToLog("all");
    logging.setMatricesToLog("2-3");
    logging.setPowerToLog("");

    EXPECT_TRUE(logging.IsInputSetForLogging(5));
    EXPECT_TRUE(logging.IsInputSetForLogging(13));
    EXPECT_FALSE(logging.IsInputSetForLogging(6));
    EXPECT_FALSE(logging.IsInputSetForLogging(17));
    EXPECT_FALSE(logging.IsInputSetForLogging(-1));
    EXPECT_TRUE(logging.IsOutputSetForLogging(250));
    EXPECT_FALSE(logging.IsMatrixSetForLogging(1));
    EXPECT_TRUE(logging.IsMatrixSetForLogging(2));
    EXPECT_TRUE(logging.IsMatrixSetForLogging(3));
    EXPECT_FALSE(logging.IsMatrixSetForLogging(4));
    EXPECT_TRUE(logging.IsPowerSetForLogging(0));

    logging.setOutputsToLog("0");
    EXPECT_FALSE(logging.IsOutputSetForLogging(1));
}

TEST(Logging, SelectionsAndFlagsAreStoredUnderTheirKeys) {
    MemorySettingsStore settings;
    clsLogging logging(settings);
    logging.setInputsToLog(" 1 , 3");
    logging.setOutputsToLog("1");
    logging.setOutputsToLog("12");
    logging.setMatricesToLog("x");
    logging.setPowerToLog("ALL");
    logging.logInputs(true);
    logging.logOutputs(false);
    logging.logMatrices(true);
    logging.logPower(true);
    logging.logPower(false);

    EXPECT_EQ(settings.get("Parms", "WhichInputs", "?"), " 1 , 3");
    EXPECT_EQ(settings.get("Parms", "WhichOutputs", "?"), "12");
    EXPECT_EQ(settings.get("Parms", "WhichMatrices", "?"), "x");
    EXPECT_EQ(settings.get("Parms", "WhichPower", "?"), "ALL");
    EXPECT_EQ(settings.get("Parms", "LogInputs", "?"), "1");
    EXPECT_EQ(settings.get("Parms", "LogOutputs", "?"), "0");
    EXPECT_EQ(settings.get("Parms", "LogMatrices", "?"), "1");
    EXPECT_EQ(settings.get("Parms", "LogPower", "?"), "0");
    EXPECT_TRUE(logging.IsOutputSetForLogging(12));
    EXPECT_FALSE(logging.IsOutputSetForLogging(1));
    // A category flag is only remembered; the selection stays in force.
    EXPECT_TRUE(logging.IsPowerSetForLogging(3));
    EXPECT_EQ(logging.outputsText(), "12");
}

} // namespace
} // namespace tessivar
