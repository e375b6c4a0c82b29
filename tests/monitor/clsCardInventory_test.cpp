#include "monitor/clsCardInventory.h"

#include "model/clsQuorvelBoard.h"
#include "monitor/MonitorRig.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessivar {
namespace {

using testing::MonitorRig;

TEST(CardInventory, TakesRollCallPollsEverySlotReadsFrameTypeThenStartsTimer) {
    MonitorRig rig;
    rig.scriptFrame({32, 32, 16, 19, 0});
    rig.inventory.pollInterval(200);
    std::vector<std::string> progress;
    rig.inventory.setProgress(
        [&](const std::string& category, std::int16_t card, std::int16_t count) {
            progress.push_back(category + " " + std::to_string(card) + "/" + std::to_string(count));
            // Each report comes before that card's status command.
            EXPECT_FALSE(rig.timer.active);
        });

    rig.inventory.InitCardArrays();

    std::vector<std::string> expected{"\x14"};
    const std::pair<const char*, int> categories[] = {
        {"INPUT", 32}, {"OUTPUT", 32}, {"MATRIX", 16}, {"POWER", 19}, {"OUTPUT_OPTION", 0}};
    const char* letters[] = {"I", "O", "M", "S", "OO"};
    int k = 0;
    for (const auto& [category, slots] : categories) {
        expected.push_back("RC " + std::string(letters[k]) + ",A");
        expected.push_back("RC " + std::string(letters[k]) + ",B");
        for (int slot = 1; slot <= slots; ++slot)
            expected.push_back(testing::statusCommand(category, slot));
        ++k;
    }
    expected.push_back("FT");
    EXPECT_EQ(rig.channel.commands, expected);
    EXPECT_EQ(rig.timer.calls, (std::vector<std::string>{"interval 200", "start 200"}));
    EXPECT_TRUE(rig.timer.active);

    EXPECT_EQ(rig.inventory.inputCount(), 32);
    EXPECT_EQ(rig.inventory.outputCount(), 32);
    EXPECT_EQ(rig.inventory.matrixCount(), 16);
    EXPECT_EQ(rig.inventory.powerCount(), 19);
    EXPECT_EQ(rig.inventory.outputOptionCount(), 0);
    EXPECT_EQ(rig.inventory.inputCards().size(), 33U);
    EXPECT_EQ(rig.inventory.outputOptionCards().size(), 1U);
    EXPECT_EQ(rig.inventory.outputOptionCard(1), nullptr);
    ASSERT_NE(rig.inventory.powerCard(19), nullptr);
    EXPECT_EQ(rig.inventory.powerCard(19)->boardIndex(), 19);
    EXPECT_EQ(rig.inventory.powerCard(19)->boardType(), "POWER");
    EXPECT_EQ(rig.inventory.powerCard(20), nullptr);
    EXPECT_EQ(rig.inventory.card("matrix", 16)->boardCommand(), "MB 16");
    EXPECT_EQ(rig.inventory.frameRecord()->getFrameType(), "5");

    ASSERT_EQ(progress.size(), 99U);
    EXPECT_EQ(progress.front(), "INPUT 1/32");
    EXPECT_EQ(progress.back(), "POWER 19/19");
}

TEST(CardInventory, SilentCategoriesAndAbsentCardsAreQuiet) {
    MonitorRig rig;
    rig.scriptFrame({2, 0, 0, 0, 0});
    rig.silence("INPUT", 2);
    rig.inventory.InitCardArrays();
    EXPECT_EQ(rig.inventory.outputCount(), 0);
    EXPECT_EQ(rig.inventory.outputCard(1), nullptr);
    EXPECT_TRUE(rig.inventory.inputCard(1)->isBoardValid());
    EXPECT_FALSE(rig.inventory.inputCard(2)->isBoardValid());
    EXPECT_TRUE(rig.prompt.boxes.empty());
}

TEST(CardInventory, OutputOptionRecordsReachTheirOutputCardThroughTheInventory) {
    MonitorRig rig;
    rig.scriptFrame({0, 2, 0, 0, 2});
    rig.answer("OUTPUT", 2, 0, 0x0004); // subtype ANALOGHI
    rig.inventory.InitCardArrays();
    EXPECT_EQ(rig.inventory.outputOptionCard(2)->boardSubType(), "ANALOGHI");
}

TEST(CardInventory, SecondInventoryReplacesEveryRecord) {
    MonitorRig rig;
    rig.scriptFrame({3, 2, 1, 0, 1});
    rig.inventory.InitCardArrays();
    std::shared_ptr<clsQuorvelBoard> held = rig.inventory.inputCards()[3];
    std::string heldReply = held->boardResponse();

    rig.scriptFrame({1, 2, 1, 0, 0});
    rig.answer("INPUT", 3, 9); // would change the held record if it were polled again
    rig.channel.commands.clear();
    rig.inventory.InitCardArrays();

    EXPECT_EQ(rig.inventory.inputCount(), 1);
    EXPECT_EQ(rig.inventory.inputCards().size(), 2U);
    EXPECT_EQ(rig.inventory.outputOptionCount(), 0);
    EXPECT_EQ(rig.inventory.outputOptionCard(1), nullptr);
    EXPECT_NE(rig.inventory.outputCard(1), nullptr);
    EXPECT_EQ(held->boardResponse(), heldReply);
    EXPECT_EQ(held->errorCount(), 0);
    EXPECT_EQ(std::count(rig.channel.commands.begin(), rig.channel.commands.end(), "IB 3"), 0);
    EXPECT_EQ(std::count(rig.channel.commands.begin(), rig.channel.commands.end(), "FT"), 1);
}

} // namespace
} // namespace tessivar
