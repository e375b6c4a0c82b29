#pragma once
// One card slot of the frame: its status command, the last reply and the fields decoded
// from it, plus what the poll cycle needs to raise alerts (validity and its change, new
// errors, a sticky "status changed" flag). A record without a category is the frame
// record, which carries the frame-wide queries (frame type, fan controllers, watchdog).
//
// Status replies are untrusted text: every field keeps a defined value whatever arrives.

#include "link/CommandChannel.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessivar {

class ICardDirectory;

class clsQuorvelBoard {
public:
    static constexpr std::int16_t kPerCard = 16; // inputs or outputs per card slot
    static constexpr std::int16_t kFansPerController = 8;
    static constexpr std::int16_t kWatchdogBlocks = 16;
    static constexpr std::int16_t kAllWatchdogBlocks = 4095;
    static constexpr std::int16_t kFrameOutputs = 512;

    // directory may be null: an output option record then has no output card to copy its
    // subtype from, and the watchdog "all"/"none" answers touch no matrix card.
    explicit clsQuorvelBoard(ICommandChannel& channel, const ICardDirectory* directory = nullptr)
        : channel_(&channel), directory_(directory) {}

    void setCardDirectory(const ICardDirectory* directory) { directory_ = directory; }

    // --- Frame type and watchdog (used on the frame record) ---
    const std::string& getFrameType() const { return frameType_; }
    const std::string& getFrameInfo() const { return frameInfo_; }
    bool getRedundantOutput(std::int16_t output) const;
    void setRedundantOutput(std::int16_t output, std::int16_t input, std::int16_t matrix);
    bool getRedundantCard(std::int16_t card) const;
    // card 4095 moves every watchdog-capable block.
    void setRedundantCard(std::int16_t card, std::int16_t output, std::int16_t input,
                          std::int16_t matrix);
    bool getRedundantCapableCard(std::int16_t card) const;
    bool getRedundantAutoSwitch() const { return redundantAutoSwitch_; }
    void setRedundantAutoSwitch(std::int16_t value);

    // --- Status fields ---
    std::int32_t errorCount() const { return errorCount_; }
    // New errors since the previous total, saturated to the 16-bit range.
    std::int16_t deltaErrorCount() const;
    bool Volt28OK() const { return volt28OK_; }
    bool Volt3_3OK() const { return volt3_3OK_; }
    bool Volt4_5OK() const { return volt4_5OK_; }
    bool Volt5OK() const { return volt5OK_; }
    bool Volt4_8OK() const { return volt4_8OK_; }
    const std::string& PortListen() const { return portListen_; }
    const std::string& OptionBoardType() const { return optionBoardType_; }
    const std::string& boardType() const { return boardType_; }
    const std::string& boardSubType() const { return boardSubType_; }
    bool boardStatChange() const { return boardStatChange_; }
    const std::string& boardCommand() const { return boardCommand_; }
    const std::string& boardResponse() const { return boardResponse_; }
    void boardStatChange(bool state) { boardStatChange_ = state; }
    // Stored in upper case when it names a category, otherwise the empty text.
    void boardType(const std::string& name);
    // Stored when 1..limit of the category (64, or 19 for "POWER"), otherwise 0.
    void boardIndex(std::int16_t index);
    std::int16_t boardIndex() const { return boardIndex_; }
    std::int16_t temperature() const { return temperature_; }
    std::int16_t SWrevision() const { return swRevision_; }
    std::int16_t InputsPerBoard() const;
    std::int16_t OutputsPerBoard() const;
    float fanVoltage(std::int16_t fan) const;
    float fanCurrent(std::int16_t fan) const;
    float outputPowerVoltage() const;
    float outputPowerCurrent() const;
    bool fanControllerActive() const { return fanControllerActive_; }
    bool fanControllerError() const { return fanControllerError_; }
    bool isBoardValid() const { return !boardInvalid_; }
    bool hasBoardChangedState() const { return boardInvalid_ != prevBoardInvalid_; }

    // --- Arrays handed out (entry 0 unused); false and the array untouched when the
    // record is not of the category the array belongs to ---
    bool getFanStatus(std::vector<bool>& status) const;
    bool getInputPresence(std::vector<bool>& presence) const;
    bool getOutputSigtype(std::vector<std::int16_t>& sigtype) const;
    std::string getOutputSigDesc(std::int16_t output) const;
    std::string getMonitorOutputSigDesc(std::int16_t output) const;
    bool getReclockMode(std::vector<std::int16_t>& reclock) const;
    bool getReclockStatus(std::vector<std::int16_t>& reclock) const;

    // --- Commands ---
    // Polls the card once; the outcome is read through the properties above.
    void updateStatus();
    // "RD", "GR" and "AT": which blocks have a watchdog card, which are switched to it and
    // whether the frame switches over by itself.
    void getRedundantOutputs();
    void getFanControllerInfo(std::int16_t card);
    // "FT": stores getFrameInfo and getFrameType; its own result is always empty.
    std::string getFrameTypeInfo();

    // --- Raw status words, for the detail log and diagnostics ---
    // slot 1..5; the empty text for any other slot.
    const std::string& rawWord(int slot) const;
    const std::string& lastRawWord(int slot) const;
    // OD2..OD9 of an output card as index 0..7; the empty text outside.
    const std::string& rawOutputWord(int index) const;

    // Pure decoding rules, shared with the windows and tests.
    static std::int16_t decodeSignalByte(std::int32_t byte);
    static float supplyCurrentFromRaw(std::int32_t raw);
    static float fanCurrentFromRaw(std::int32_t word);
    static float voltageFromRaw(std::int32_t word);
    static const char* inputSubtype(std::int32_t od1);
    static const char* outputSubtype(std::int32_t od1);
    static const char* matrixSubtype(std::int32_t od1);
    static const char* optionBoardType(const std::string& subtype, std::int32_t od1);
    static const char* outputSigDescText(std::int16_t code);
    static const char* monitorSigDescText(std::int16_t code);

private:
    enum class PowerKind { Supply, OutputMonitor, FanController };

    std::string sendStatusCommand(const std::string& command);
    void updateInputStatus();
    void updateOutputStatus();
    void updateMatrixStatus();
    void updatePowerStatus();
    void updateOutputOptionStatus();
    void parseCommonStatus(const std::string& reply);
    void clearPollValues();
    void applyTemperatureWord(std::int32_t word);
    void applyPortWord(std::int32_t word);
    void detectStatusChange();
    static void compareSlot(const std::string& now, std::string& last, bool& changed);

    ICommandChannel* channel_;
    const ICardDirectory* directory_;

    std::string boardType_;
    std::string boardSubType_;
    std::int16_t boardIndex_ = 0;
    std::string optionBoardType_;
    bool boardInvalid_ = false;
    bool prevBoardInvalid_ = false;
    std::int32_t errorCount_ = 0;
    std::int32_t errorDelta_ = 0;
    std::string portListen_;
    bool volt28OK_ = false;
    bool volt5OK_ = false;
    bool volt4_8OK_ = false;
    bool volt3_3OK_ = false;
    bool volt4_5OK_ = false;
    std::int16_t swRevision_ = 0;
    std::int16_t temperature_ = 0;
    std::array<bool, kPerCard + 1> inputPresence_{};
    std::array<std::int16_t, kPerCard + 1> outputSigtype_{};
    std::array<std::int16_t, kPerCard + 1> reclockMode_{};
    std::array<std::int16_t, kPerCard + 1> reclockStatus_{};
    std::array<float, 3> fanVoltages_{};
    std::array<float, 3> fanCurrents_{};
    float outputPowerVoltage_ = 0;
    float outputPowerCurrent_ = 0;
    std::array<bool, kFansPerController + 1> fanStatus_{};
    bool fanControllerActive_ = false;
    bool fanControllerError_ = false;
    std::array<std::string, 6> rawWords_{};     // slots 1..5
    std::array<std::string, 6> lastRawWords_{}; // slots 1..5
    std::array<std::string, 8> rawOutputWords_{};
    std::array<std::string, 8> lastRawOutputWords_{};
    bool boardStatChange_ = false;
    std::string boardCommand_;
    std::string boardResponse_;
    float lastOutputPowerVoltage_ = 0;
    float lastOutputPowerCurrent_ = 0;

    std::array<bool, kFrameOutputs + 1> redundantOutput_{};
    std::array<bool, kWatchdogBlocks + 1> redundantCard_{};
    std::array<bool, kWatchdogBlocks + 1> redundantCapableCard_{};
    bool redundantAutoSwitch_ = false;
    std::string frameType_;
    std::string frameInfo_;
};

} // namespace tessivar
