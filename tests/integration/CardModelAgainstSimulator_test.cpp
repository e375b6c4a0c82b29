// The command set and the card records against the frame simulator over the real Telnet
// link: every card of each frame file is polled as the inventory polls it, and every decoded
// field is compared with what the frame file describes.

// The simulator's frame model before any Qt header: it has a member named like a Qt keyword.
#include "sim/FrameModel.h"
#include "sim/FrameSimulator.h"

#include "commands/CardCategories.h"
#include "commands/clsControllerCommands.h"
#include "link/clsConnectionData.h"
#include "link/frmDebug.h"
#include "link/modUtilities.h"
#include "model/CardDirectory.h"
#include "model/clsQuorvelBoard.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTelnetClient.h"
#include "platform/QtTestApp.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#undef signals // nothing below uses Qt's keywords

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <unistd.h>

namespace tessivar {
namespace {

using sim::Category;

std::string frameFile(const std::string& name) {
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "sim" /
            "frames" / name)
        .string();
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Inventory : ICardDirectory {
    const clsQuorvelBoard* outputCard(std::int16_t n) const override { return at(outputs, n); }
    const clsQuorvelBoard* matrixCard(std::int16_t n) const override { return at(matrices, n); }
    std::int16_t matrixCount() const override { return static_cast<std::int16_t>(matrices.size()); }
    static const clsQuorvelBoard* at(const std::vector<std::unique_ptr<clsQuorvelBoard>>& list,
                                     std::int16_t n) {
        return n >= 1 && static_cast<std::size_t>(n) <= list.size()
                   ? list[static_cast<std::size_t>(n - 1)].get()
                   : nullptr;
    }
    std::vector<std::unique_ptr<clsQuorvelBoard>>& list(Category c) {
        switch (c) {
        case Category::Input:
            return inputs;
        case Category::Output:
            return outputs;
        case Category::Matrix:
            return matrices;
        case Category::Power:
            return power;
        default:
            return options;
        }
    }

    std::vector<std::unique_ptr<clsQuorvelBoard>> inputs, outputs, matrices, power, options;
};

constexpr std::pair<Category, std::string_view> kCategories[] = {
    {Category::Input, kCategoryInput},
    {Category::Output, kCategoryOutput},
    {Category::Matrix, kCategoryMatrix},
    {Category::Power, kCategoryPower},
    {Category::OutputOption, kCategoryOutputOption},
};

class CardModelAgainstSimulator : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        testing::ensureQtApplication();
        const std::string json = readAll(frameFile(GetParam()));
        truth = sim::parseFrame(json);
        // The connection settings hold a 16-bit signed port, so the simulator listens below
        // 32768, out of the kernel's ephemeral range.
        sim::SimulatorEndpoints endpoints;
        const int base = 20000 + (::getpid() * 53) % 10000;
        for (int i = 0; i < 500 && endpoints.telnetPort == 0; ++i) {
            simulator = std::make_unique<sim::FrameSimulator>(sim::FrameSimulator::fromJson(json));
            sim::SimulatorOptions options;
            options.telnetPort = static_cast<std::uint16_t>(20000 + (base + i * 11) % 12000);
            options.accessCode = "2718";
            try {
                endpoints = simulator->start(options);
            } catch (const std::runtime_error&) {
                continue;
            }
        }
        ASSERT_NE(endpoints.telnetPort, 0);

        store.write("Parms", "ConnectType", "Telnet");
        store.write("Parms", "TelnetAddress", "127.0.0.1");
        store.write("Parms", "TelnetPort", std::to_string(endpoints.telnetPort));
        store.write("Parms", "TelnetPass", "2718");
        channel =
            std::make_unique<frmDebug>(std::make_unique<QtSerialPort>(store),
                                       std::make_unique<QtTelnetClient>(), prompt, clock, files);
        ASSERT_TRUE(channel->openConnection(std::make_shared<clsConnectionData>(store)))
            << (prompt.boxes.empty() ? std::string{} : prompt.boxes.front().message);
        channel->turnOffVerbose();
    }

    // What the inventory does: a roll call per category, one record per slot, one poll each.
    void takeInventory() {
        clsControllerCommands commands(*channel);
        for (const auto& [category, word] : kCategories) {
            const std::int16_t count = commands.getRollCall(std::string(word));
            ASSERT_EQ(count, truth.slotCount(category)) << word;
            for (std::int16_t slot = 1; slot <= count; ++slot) {
                auto record = std::make_unique<clsQuorvelBoard>(*channel, &cards);
                record->boardType(std::string(word));
                record->boardIndex(slot);
                record->updateStatus();
                cards.list(category).push_back(std::move(record));
            }
        }
    }

    void expectCommonWords(const clsQuorvelBoard& r, const sim::Card& c) {
        EXPECT_EQ(r.PortListen(), truth.portB ? "B" : "A");
        EXPECT_EQ(r.temperature(), c.temperature);
        EXPECT_EQ(r.SWrevision(), c.firmware);
    }
    void expectRails(const clsQuorvelBoard& r, const sim::Card& c) {
        EXPECT_EQ(r.Volt3_3OK(), c.rails[0]);
        EXPECT_EQ(r.Volt5OK(), c.rails[1]);
        EXPECT_EQ(r.Volt4_8OK(), c.rails[1]);
        EXPECT_EQ(r.Volt28OK(), c.rails[2]);
        EXPECT_EQ(r.Volt4_5OK(), c.rails[3]);
        EXPECT_EQ(r.errorCount(), static_cast<std::int32_t>(c.totalErrors()));
    }

    MemorySettingsStore store;
    testing::FakePrompt prompt;
    SystemClock clock;
    testing::MemoryFileSystem files;
    sim::Frame truth;
    std::unique_ptr<sim::FrameSimulator> simulator;
    std::unique_ptr<frmDebug> channel;
    Inventory cards;
};

TEST_P(CardModelAgainstSimulator, EveryCardDecodesAsTheFrameFileDescribesIt) {
    ASSERT_NO_FATAL_FAILURE(takeInventory());

    for (const auto& [category, word] : kCategories) {
        const auto& list = cards.list(category);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const clsQuorvelBoard& r = *list[i];
            const int slot = static_cast<int>(i) + 1;
            const sim::Card& c = *truth.card(category, slot);
            SCOPED_TRACE(std::string(word) + " " + std::to_string(slot) + ": " + r.boardResponse());
            ASSERT_EQ(r.isBoardValid(), c.answers() && !c.commError);
            if (!c.answers())
                continue;
            switch (sim::cardKind(category, slot)) {
            case sim::CardKind::Input: {
                expectCommonWords(r, c);
                expectRails(r, c);
                EXPECT_EQ(r.boardSubType(), clsQuorvelBoard::inputSubtype(c.subtype));
                std::vector<bool> present;
                ASSERT_TRUE(r.getInputPresence(present));
                for (int n = 1; n <= 16; ++n)
                    EXPECT_EQ(present[static_cast<std::size_t>(n)],
                              (c.presence >> (n - 1) & 1) != 0)
                        << "input " << n;
                break;
            }
            case sim::CardKind::Output: {
                expectCommonWords(r, c);
                expectRails(r, c);
                EXPECT_EQ(r.boardSubType(), clsQuorvelBoard::outputSubtype(c.subtype));
                EXPECT_EQ(r.OptionBoardType(),
                          clsQuorvelBoard::optionBoardType(r.boardSubType(), c.option << 12));
                std::vector<std::int16_t> codes;
                ASSERT_TRUE(r.getOutputSigtype(codes));
                for (int n = 1; n <= 16; ++n)
                    EXPECT_EQ(codes[static_cast<std::size_t>(n)],
                              c.signals[static_cast<std::size_t>(n - 1)])
                        << "output " << n;
                break;
            }
            case sim::CardKind::Matrix:
                expectCommonWords(r, c);
                expectRails(r, c);
                EXPECT_EQ(r.boardSubType(), clsQuorvelBoard::matrixSubtype(c.subtype));
                break;
            case sim::CardKind::Supply:
                expectCommonWords(r, c);
                // One raw step is 1/34.56 V, 1/1082 A for a fan and up to 0.17 A at full load.
                EXPECT_NEAR(r.outputPowerVoltage(), c.volts, 0.03);
                EXPECT_NEAR(r.outputPowerCurrent(), c.amps, 0.2);
                for (std::int16_t fan = 1; fan <= 2; ++fan) {
                    EXPECT_NEAR(r.fanVoltage(fan), c.fanVolts[static_cast<std::size_t>(fan - 1)],
                                0.03)
                        << "fan " << fan;
                    EXPECT_NEAR(r.fanCurrent(fan), c.fanAmps[static_cast<std::size_t>(fan - 1)],
                                0.001)
                        << "fan " << fan;
                }
                break;
            case sim::CardKind::Monitor:
                expectCommonWords(r, c);
                expectRails(r, c);
                // The monitor card reports the signal of the frame output each monitor watches.
                for (std::int16_t n = 1; n <= 2; ++n) {
                    const int watched = truth.monitorRoutes[static_cast<std::size_t>(n - 1)];
                    const sim::Card* output =
                        truth.card(Category::Output, (watched - 1) / sim::kPerCard + 1);
                    const int code =
                        output && output->answers()
                            ? output
                                  ->signals[static_cast<std::size_t>((watched - 1) % sim::kPerCard)]
                            : 0;
                    EXPECT_EQ(r.getMonitorOutputSigDesc(n),
                              clsQuorvelBoard::monitorSigDescText(static_cast<std::int16_t>(code)))
                        << "monitor " << n << " on output " << watched;
                }
                break;
            case sim::CardKind::FanController: {
                expectCommonWords(r, c);
                expectRails(r, c);
                std::vector<bool> fans;
                ASSERT_TRUE(r.getFanStatus(fans));
                for (int n = 1; n <= 8; ++n)
                    EXPECT_EQ(fans[static_cast<std::size_t>(n)],
                              c.fans[static_cast<std::size_t>(n - 1)])
                        << "fan " << n;
                clsQuorvelBoard& mutableRecord = *cards.list(category)[i];
                mutableRecord.getFanControllerInfo(static_cast<std::int16_t>(slot));
                EXPECT_EQ(r.fanControllerActive(), c.fanActive);
                EXPECT_EQ(r.fanControllerError(), c.fanError);
                break;
            }
            case sim::CardKind::OutputOption: {
                expectCommonWords(r, c);
                expectRails(r, c);
                const clsQuorvelBoard* output = cards.outputCard(static_cast<std::int16_t>(slot));
                EXPECT_EQ(r.boardSubType(), output ? output->boardSubType() : std::string{});
                break;
            }
            }
        }
    }
}

TEST_P(CardModelAgainstSimulator, FrameWideQueriesMatchTheFrameFile) {
    ASSERT_NO_FATAL_FAILURE(takeInventory());
    clsQuorvelBoard frame(*channel, &cards);
    frame.getFrameTypeInfo();
    EXPECT_EQ(frame.getFrameType(), truth.frameTypeCode);
    EXPECT_NE(frame.getFrameInfo().find(truth.frameTypeText), std::string::npos)
        << frame.getFrameInfo();

    clsControllerCommands commands(*channel);
    EXPECT_EQ(commands.hasFanControllers(), truth.fanControllerCount());
    const char* redundancy[] = {"YES", "NO", "CAPABLE"};
    EXPECT_EQ(commands.isRedundantFrame(), redundancy[static_cast<int>(truth.watchdog)]);

    frame.getRedundantOutputs();
    for (std::int16_t block = 1; block <= 16; ++block) {
        SCOPED_TRACE("block " + std::to_string(block));
        EXPECT_EQ(frame.getRedundantCapableCard(block),
                  truth.watchdogCapable[static_cast<std::size_t>(block)]);
        EXPECT_EQ(frame.getRedundantCard(block),
                  truth.watchdogSwitched[static_cast<std::size_t>(block)]);
    }
    EXPECT_EQ(frame.getRedundantAutoSwitch(), truth.autoSwitch);

    // A block moved to the watchdog card reads back switched. Once every capable block is
    // moved the controller answers "4095", which stands for every valid matrix card.
    for (std::int16_t block = 1; block <= 16; ++block) {
        if (!truth.watchdogCapable[static_cast<std::size_t>(block)])
            continue;
        const auto firstOut = static_cast<std::int16_t>(128 * ((block - 1) % 4) + 1);
        const auto firstIn = static_cast<std::int16_t>(128 * ((block - 1) / 4) + 1);
        frame.setRedundantCard(block, firstOut, firstIn, 2);
        clsQuorvelBoard fresh(*channel, &cards);
        fresh.getRedundantOutputs();
        const std::string answer = channel->SendDEBUGCmd("GR");
        const bool all = answer.find("4095") != std::string::npos;
        const clsQuorvelBoard* matrix = cards.matrixCard(block);
        const bool expected = !all || (matrix != nullptr && matrix->isBoardValid());
        EXPECT_EQ(fresh.getRedundantCard(block), expected) << "block " << block << ": " << answer;
    }
    frame.setRedundantAutoSwitch(1);
    clsQuorvelBoard fresh(*channel, &cards);
    fresh.getRedundantOutputs();
    EXPECT_TRUE(fresh.getRedundantAutoSwitch());
}

TEST_P(CardModelAgainstSimulator, ControllerQueriesMatchTheFrameFile) {
    clsControllerCommands commands(*channel);
    EXPECT_NE(commands.getActiveStatus().find(truth.state), std::string::npos);
    EXPECT_EQ(commands.getFCTemp(), truth.controllerTemp);
    EXPECT_EQ(trimSpaces(commands.getEthernetConfig("IPAddress")), truth.ip);
    EXPECT_EQ(trimSpaces(commands.getEthernetConfig("SubnetMask")), truth.mask);
    EXPECT_EQ(commands.getEthernetConfig("MACAddress"), truth.mac);
    EXPECT_EQ(commands.getEthernetConfig("DHCP").substr(0, 2), truth.dhcp ? "ON" : "OF");
    EXPECT_NE(commands.getFCVersion().find(truth.fpga), std::string::npos)
        << commands.getFCVersion();
    for (std::int16_t sync = 1; sync <= 2; ++sync)
        EXPECT_NE(commands.getSyncStatus(sync).find(truth.sync[static_cast<std::size_t>(sync - 1)]),
                  std::string::npos)
            << "sync " << sync << ": " << commands.getSyncStatus(sync);
    for (std::size_t output = 1; output <= truth.routes.size() && output <= 128; output += 9)
        EXPECT_EQ(commands.getStatus(static_cast<std::int16_t>(output), false),
                  truth.routes[output - 1])
            << "output " << output;
    commands.doSwitch(2, 7, false, 0);
    EXPECT_EQ(commands.getStatus(2, false), 7);
}

INSTANTIATE_TEST_SUITE_P(Frames, CardModelAgainstSimulator,
                         ::testing::Values("demo.json", "small.json", "full.json"),
                         [](const ::testing::TestParamInfo<const char*>& frame) {
                             std::string name = frame.param;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
} // namespace tessivar
