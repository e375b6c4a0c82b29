// Feeds arbitrary controller replies to every reply decoder of the command set and the card
// records, and arbitrary arguments to the rail labels and the frame map. The records live
// across operations of one input, so sequences of replies (totals, change detection,
// watchdog state) are explored too.

#include "commands/clsControllerCommands.h"
#include "model/CardDirectory.h"
#include "model/clsFrameMap.h"
#include "model/clsQuorvelBoard.h"
#include "model/clsVoltages.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tessivar;

class FuzzChannel : public ICommandChannel {
public:
    explicit FuzzChannel(FuzzedDataProvider& data) : data_(data) {}
    void turnOffVerbose() override {}
    void turnOnVerbose() override {}

protected:
    std::string sendCommand(const std::string&, float& timeout) override {
        timeout = 5.0F;
        return data_.ConsumeRandomLengthString(2048);
    }

private:
    FuzzedDataProvider& data_;
};

class Cards : public ICardDirectory {
public:
    const clsQuorvelBoard* outputCard(std::int16_t n) const override { return find(outputs, n); }
    const clsQuorvelBoard* matrixCard(std::int16_t n) const override { return find(matrices, n); }
    std::int16_t matrixCount() const override { return count; }

    std::vector<std::unique_ptr<clsQuorvelBoard>> outputs;
    std::vector<std::unique_ptr<clsQuorvelBoard>> matrices;
    std::int16_t count = 0;

private:
    static const clsQuorvelBoard* find(const std::vector<std::unique_ptr<clsQuorvelBoard>>& list,
                                       std::int16_t n) {
        return n >= 1 && static_cast<std::size_t>(n) <= list.size()
                   ? list[static_cast<std::size_t>(n - 1)].get()
                   : nullptr;
    }
};

std::int16_t anyShort(FuzzedDataProvider& data) {
    return data.ConsumeIntegral<std::int16_t>();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    FuzzChannel channel(data);
    clsControllerCommands commands(channel);
    Cards cards;

    static constexpr const char* kTypes[] = {"INPUT", "OUTPUT",        "MATRIX",
                                             "POWER", "OUTPUT_OPTION", ""};
    std::vector<std::unique_ptr<clsQuorvelBoard>> records;
    for (const char* type : kTypes) {
        for (std::int16_t index : {1, 2, 17, 18, 19}) {
            auto record = std::make_unique<clsQuorvelBoard>(channel, &cards);
            record->boardType(type);
            record->boardIndex(index);
            records.push_back(std::move(record));
        }
    }
    for (std::int16_t i = 1; i <= 3; ++i) {
        cards.outputs.push_back(std::make_unique<clsQuorvelBoard>(channel, &cards));
        cards.outputs.back()->boardType("OUTPUT");
        cards.outputs.back()->boardIndex(i);
        cards.matrices.push_back(std::make_unique<clsQuorvelBoard>(channel, &cards));
        cards.matrices.back()->boardType("MATRIX");
        cards.matrices.back()->boardIndex(i);
    }
    cards.count = data.ConsumeIntegralInRange<std::int16_t>(-2, 40);
    clsQuorvelBoard frame(channel, &cards);
    clsVoltages voltages;
    clsFrameMap map;

    std::vector<bool> flags;
    std::vector<std::int16_t> codes;
    std::string sink;
    while (data.remaining_bytes() > 0) {
        clsQuorvelBoard& record =
            *records[data.ConsumeIntegralInRange<std::size_t>(0, records.size() - 1)];
        switch (data.ConsumeIntegralInRange(0, 40)) {
        case 0:
            commands.getRollCall(data.PickValueInArray(kTypes));
            break;
        case 1:
            sink = commands.getActiveStatus();
            break;
        case 2:
            sink = commands.getSyncStatus(anyShort(data));
            break;
        case 3:
            sink = commands.getAlarm();
            break;
        case 4:
            commands.getStatus(anyShort(data), data.ConsumeBool());
            break;
        case 5:
            commands.getFCTemp();
            break;
        case 6:
            commands.getMonitorTemp();
            break;
        case 7:
            sink = commands.getFCVersion();
            break;
        case 8:
            sink = commands.getEthernetConfig(
                data.PickValueInArray({"MACAddress", "IPAddress", "SubnetMask", "DHCP", "x"}));
            break;
        case 9:
            sink = commands.isRedundantFrame();
            break;
        case 10:
            commands.hasFanControllers();
            break;
        case 11:
            sink = commands.getConverterCardOptions(anyShort(data));
            break;
        case 12:
            sink = commands.getPowerManagement("OO", anyShort(data));
            break;
        case 13:
            commands.doSwitch(anyShort(data), anyShort(data), data.ConsumeBool(), anyShort(data));
            break;
        case 14:
            commands.doClearErrors(data.ConsumeRandomLengthString(16), anyShort(data));
            break;
        case 15:
            commands.doSetPort(data.ConsumeRandomLengthString(2));
            break;
        case 16:
        case 17:
        case 18:
        case 19:
            record.updateStatus();
            break;
        case 20:
            cards.outputs[data.ConsumeIntegralInRange<std::size_t>(0, 2)]->updateStatus();
            break;
        case 21:
            cards.matrices[data.ConsumeIntegralInRange<std::size_t>(0, 2)]->updateStatus();
            break;
        case 22:
            frame.getFrameTypeInfo();
            break;
        case 23:
            record.getFrameTypeInfo();
            break;
        case 24:
            record.getFanControllerInfo(anyShort(data));
            break;
        case 25:
            frame.getRedundantOutputs();
            break;
        case 26:
            frame.setRedundantCard(data.ConsumeBool() ? clsQuorvelBoard::kAllWatchdogBlocks
                                                      : anyShort(data),
                                   anyShort(data), anyShort(data), anyShort(data));
            break;
        case 27:
            frame.setRedundantOutput(anyShort(data), anyShort(data), anyShort(data));
            break;
        case 28:
            frame.setRedundantAutoSwitch(anyShort(data));
            break;
        case 29: {
            // Every read of the record must be defined whatever it decoded.
            const std::int16_t n = anyShort(data);
            sink = record.getOutputSigDesc(n) + record.getMonitorOutputSigDesc(n);
            (void)record.fanVoltage(n);
            (void)record.fanCurrent(n);
            (void)record.getRedundantCard(n);
            (void)record.getRedundantCapableCard(n);
            (void)record.getRedundantOutput(n);
            (void)record.deltaErrorCount();
            (void)record.OutputsPerBoard();
            (void)record.InputsPerBoard();
            record.getInputPresence(flags);
            record.getFanStatus(flags);
            record.getOutputSigtype(codes);
            record.getReclockMode(codes);
            record.getReclockStatus(codes);
            sink = record.rawWord(n) + record.lastRawWord(n) + record.rawOutputWord(n);
            break;
        }
        case 30:
            record.boardType(data.ConsumeRandomLengthString(16));
            break;
        case 31:
            record.boardIndex(anyShort(data));
            break;
        case 32:
            sink = voltages.getV1(anyShort(data));
            break;
        case 33:
            sink = voltages.getV2(data.ConsumeRandomLengthString(24));
            break;
        case 34:
            sink = voltages.getV3(data.ConsumeRandomLengthString(24));
            break;
        case 35:
            sink = voltages.getV4(data.ConsumeRandomLengthString(24));
            break;
        case 36:
            sink = voltages.getVoltageLabel(data.ConsumeRandomLengthString(16),
                                            data.ConsumeRandomLengthString(16), anyShort(data));
            break;
        case 37:
            map.setFrameSize(anyShort(data), anyShort(data));
            break;
        case 38: {
            std::array<std::int16_t, 4> r{};
            map.getMatrixCardIORange(anyShort(data), r[0], r[1], r[2], r[3]);
            break;
        }
        case 39:
            map.getMatrixCardSlot(anyShort(data), anyShort(data));
            break;
        default:
            commands.doReset();
            break;
        }
    }
    return 0;
}
