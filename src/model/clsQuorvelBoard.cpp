#include "model/clsQuorvelBoard.h"

#include "commands/CardCategories.h"
#include "link/modUtilities.h"
#include "model/CardDirectory.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace tessivar {

namespace {

const std::string kEmpty;

// Hands a copy of one of the record's arrays to the caller, only when the record is of the
// category the array belongs to.
template <typename T, std::size_t N>
bool handOutIf(bool matches, const std::array<T, N>& source, std::vector<T>& out) {
    if (!matches)
        return false;
    out.assign(source.begin(), source.end());
    return true;
}

constexpr std::int32_t kExpectedInputWords = 5;
constexpr std::int32_t kExpectedOutputWords = 0xC;
constexpr std::int32_t kExpectedMatrixWords = 4;
constexpr std::int32_t kExpectedSupplyWords = 0xA;
constexpr std::int32_t kExpectedMonitorWords = 5;
constexpr std::int32_t kExpectedFanControllerWords = 6;
constexpr std::int32_t kExpectedOutputOptionWords = 4;

constexpr float kVoltageChangeThreshold = 2.0F;
constexpr float kCurrentChangeThreshold = 1.8F;

bool contains(const std::string& text, std::string_view what) {
    return text.find(what) != std::string::npos;
}

std::string from(const std::string& text, std::size_t index) {
    return index < text.size() ? text.substr(index) : std::string{};
}

std::string withoutLastCharacter(const std::string& text) {
    return text.empty() ? text : text.substr(0, text.size() - 1);
}

std::vector<std::string> splitAtSpaces(const std::string& text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (true) {
        std::size_t space = text.find(' ', start);
        if (space == std::string::npos) {
            words.push_back(text.substr(start));
            return words;
        }
        words.push_back(text.substr(start, space - start));
        start = space + 1;
    }
}

// A plain decimal number of a watchdog list; anything else is not one.
std::optional<int> listNumber(const std::string& text) {
    std::string digits = trimSpaces(trimNonPrintable(text));
    if (!isAllDigits(digits) || digits.size() > 6)
        return std::nullopt;
    return std::atoi(digits.c_str());
}

bool isRangeStart(int n) {
    return n == 1 || n == 129 || n == 257 || n == 385;
}

// Block of a pair of 128-wide range starts, 1..16.
int watchdogBlock(int firstInput, int firstOutput) {
    return ((firstInput - 1) / 128) * 4 + (firstOutput - 1) / 128 + 1;
}
int blockFirstInput(int block) {
    return 128 * ((block - 1) / 4) + 1;
}
int blockFirstOutput(int block) {
    return 128 * ((block - 1) % 4) + 1;
}

bool bit(std::int32_t word, int n) {
    return (word >> n & 1) != 0;
}

} // namespace

// --- Pure decoding rules ---

std::int16_t clsQuorvelBoard::decodeSignalByte(std::int32_t byte) {
    if (byte & 0x20)
        return 8;
    if (byte & 0x10)
        return 7;
    if (byte & 0x08) {
        static constexpr std::int16_t kLocked[8] = {1, 2, 3, 4, 5, 6, 6, 6};
        return kLocked[byte & 7];
    }
    return 0;
}

float clsQuorvelBoard::supplyCurrentFromRaw(std::int32_t raw) {
    const double x = raw & 0x3FF;
    const double amps = 0.0001 * x * x + (0.06954 * x - 0.16834);
    return amps < 0 ? 0.0F : static_cast<float>(amps);
}

float clsQuorvelBoard::fanCurrentFromRaw(std::int32_t word) {
    return static_cast<float>((word & 0x3FF) / 1082.0);
}

float clsQuorvelBoard::voltageFromRaw(std::int32_t word) {
    return static_cast<float>((word & 0x3FF) / 34.5561);
}

const char* clsQuorvelBoard::inputSubtype(std::int32_t od1) {
    static constexpr const char* kTable[16] = {
        "HD",      "SD",      "FIBER",   "unknown", "ANALOGHI", "ANALOG",  "MULTIRATE", "FIBER/EXP",
        "unknown", "unknown", "unknown", "unknown", "unknown",  "unknown", "unknown",   "unknown"};
    return kTable[od1 & 15];
}

const char* clsQuorvelBoard::outputSubtype(std::int32_t od1) {
    static constexpr const char* kTable[16] = {
        "HD",     "SD",       "unknown", "unknown",  "ANALOGHI", "ANALOG",  "MR/RECLK", "MR/NOCLK",
        "MR/BNC", "MR/FIBER", "SD/BNC",  "HD/FIBER", "unknown",  "unknown", "unknown",  "unknown"};
    return kTable[od1 & 15];
}

const char* clsQuorvelBoard::matrixSubtype(std::int32_t od1) {
    static constexpr const char* kTable[16] = {
        "HD64x64", "ANALOG",  "HD128x128", "HD144x144", "HD72x72", "unknown", "unknown", "unknown",
        "unknown", "unknown", "unknown",   "unknown",   "unknown", "unknown", "unknown", "unknown"};
    return kTable[od1 & 15];
}

const char* clsQuorvelBoard::optionBoardType(const std::string& subtype, std::int32_t od1) {
    static constexpr const char* kAnalog[8] = {
        "Dual BNC High Level", "Dual BNC", "None", "None", "None", "None", "None", "None"};
    static constexpr const char* kOther[8] = {
        "Dual BNC",    "Dual Fiber",   "DAC Output", "HD to SD Converter",
        "Fiber 8 Mux", "Fiber 16 Mux", "None",       "None"};
    const int code = (od1 & 0x7000) / 4096;
    const bool analog = subtype == "ANALOG" || subtype == "ANALOGHI";
    return analog ? kAnalog[code] : kOther[code];
}

const char* clsQuorvelBoard::outputSigDescText(std::int16_t code) {
    static constexpr const char* kTexts[9] = {"NA",  "143", "177", "270", "360",
                                              "540", "SD?", "HD",  "BYP"};
    return code >= 0 && code <= 8 ? kTexts[code] : "";
}

const char* clsQuorvelBoard::monitorSigDescText(std::int16_t code) {
    return code == 0 ? "UNDEF" : outputSigDescText(code);
}

// --- Category and slot ---

void clsQuorvelBoard::boardType(const std::string& name) {
    const CardCategoryInfo* info = findCardCategory(name);
    boardType_ = info ? std::string(info->word) : std::string{};
}

void clsQuorvelBoard::boardIndex(std::int16_t index) {
    const CardCategoryInfo* info = boardType_.empty() ? nullptr : findCardCategory(boardType_);
    boardIndex_ =
        info != nullptr && index >= 1 && index <= info->highestSlot ? index : std::int16_t{0};
}

std::int16_t clsQuorvelBoard::deltaErrorCount() const {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(errorDelta_, -32768, 32767));
}

// --- Read side ---

std::int16_t clsQuorvelBoard::InputsPerBoard() const {
    if (boardType_ == kCategoryInput)
        return kPerCard;
    if (boardType_ == kCategoryMatrix)
        return 64;
    return 0;
}

std::int16_t clsQuorvelBoard::OutputsPerBoard() const {
    if (boardType_ == kCategoryOutput)
        return kPerCard;
    if (boardType_ != kCategoryMatrix)
        return 0;
    static constexpr std::string_view k64[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    static constexpr std::string_view k128[] = {"10", "11", "12", "A", "B", "C", "D", "E", "F"};
    if (std::find(std::begin(k64), std::end(k64), frameType_) != std::end(k64))
        return 64;
    if (std::find(std::begin(k128), std::end(k128), frameType_) != std::end(k128))
        return 128;
    return 0;
}

float clsQuorvelBoard::fanVoltage(std::int16_t fan) const {
    return boardType_ == kCategoryPower && fan >= 1 && fan <= 2 ? fanVoltages_[fan] : 0.0F;
}

float clsQuorvelBoard::fanCurrent(std::int16_t fan) const {
    return boardType_ == kCategoryPower && fan >= 1 && fan <= 2 ? fanCurrents_[fan] : 0.0F;
}

float clsQuorvelBoard::outputPowerVoltage() const {
    return boardType_ == kCategoryPower ? outputPowerVoltage_ : 0.0F;
}

float clsQuorvelBoard::outputPowerCurrent() const {
    return boardType_ == kCategoryPower ? outputPowerCurrent_ : 0.0F;
}

bool clsQuorvelBoard::getFanStatus(std::vector<bool>& status) const {
    return handOutIf(boardType_ == kCategoryPower, fanStatus_, status);
}

bool clsQuorvelBoard::getInputPresence(std::vector<bool>& presence) const {
    return handOutIf(boardType_ == kCategoryInput, inputPresence_, presence);
}

bool clsQuorvelBoard::getOutputSigtype(std::vector<std::int16_t>& sigtype) const {
    return handOutIf(boardType_ == kCategoryOutput, outputSigtype_, sigtype);
}

bool clsQuorvelBoard::getReclockMode(std::vector<std::int16_t>& reclock) const {
    return handOutIf(boardType_ == kCategoryOutput, reclockMode_, reclock);
}

bool clsQuorvelBoard::getReclockStatus(std::vector<std::int16_t>& reclock) const {
    return handOutIf(boardType_ == kCategoryOutput, reclockStatus_, reclock);
}

std::string clsQuorvelBoard::getOutputSigDesc(std::int16_t output) const {
    if (boardType_ != kCategoryOutput || output < 1 || output > kPerCard)
        return {};
    return outputSigDescText(outputSigtype_[output]);
}

std::string clsQuorvelBoard::getMonitorOutputSigDesc(std::int16_t output) const {
    if (boardType_ != kCategoryPower || output < 1 || output > kPerCard)
        return {};
    return monitorSigDescText(outputSigtype_[output]);
}

const std::string& clsQuorvelBoard::rawWord(int slot) const {
    return slot >= 1 && slot <= 5 ? rawWords_[slot] : kEmpty;
}

const std::string& clsQuorvelBoard::lastRawWord(int slot) const {
    return slot >= 1 && slot <= 5 ? lastRawWords_[slot] : kEmpty;
}

const std::string& clsQuorvelBoard::rawOutputWord(int index) const {
    return index >= 0 && index < 8 ? rawOutputWords_[index] : kEmpty;
}

// --- Polling ---

std::string clsQuorvelBoard::sendStatusCommand(const std::string& command) {
    float timeout = 0;
    boardCommand_ = command;
    boardResponse_ = channel_->SendDEBUGCmd(command, timeout);
    return boardResponse_;
}

void clsQuorvelBoard::updateStatus() {
    prevBoardInvalid_ = boardInvalid_;
    if (boardType_ == kCategoryOutput)
        updateOutputStatus();
    else if (boardType_ == kCategoryInput)
        updateInputStatus();
    else if (boardType_ == kCategoryMatrix)
        updateMatrixStatus();
    else if (boardType_ == kCategoryPower)
        updatePowerStatus();
    else if (boardType_ == kCategoryOutputOption)
        updateOutputOptionStatus();
}

void clsQuorvelBoard::clearPollValues() {
    errorDelta_ = 0;
    portListen_.clear();
    volt28OK_ = volt5OK_ = volt4_8OK_ = volt3_3OK_ = volt4_5OK_ = false;
    swRevision_ = 0;
    temperature_ = 0;
}

void clsQuorvelBoard::applyTemperatureWord(std::int32_t word) {
    temperature_ = static_cast<std::int16_t>(word & 0xFF);
    // Status words are 16-bit; a wider value from a garbled reply saturates.
    swRevision_ = static_cast<std::int16_t>(std::min<std::int32_t>(word >> 8, 32767));
}

void clsQuorvelBoard::applyPortWord(std::int32_t word) {
    portListen_ = word > 32767 ? "B" : "A";
}

void clsQuorvelBoard::parseCommonStatus(const std::string& reply) {
    const std::string total = findKeyValue("Total Errors", reply);
    if (!total.empty()) {
        const std::int32_t t = parseHexValue(total);
        // Both totals are 0..7FFFFFFF, so the difference cannot overflow.
        errorDelta_ = t - errorCount_;
        errorCount_ = t;
    }
    rawWords_[1] = findKeyValue("OD1", reply);
    if (!rawWords_[1].empty()) {
        const std::int32_t w = parseHexValue(rawWords_[1]);
        applyPortWord(w);
        volt28OK_ = bit(w, 6);
        volt3_3OK_ = bit(w, 4);
        volt4_5OK_ = bit(w, 7);
        volt5OK_ = volt4_8OK_ = bit(w, 5);
    }
    if (contains(reply, "comm error"))
        boardInvalid_ = true;
}

void clsQuorvelBoard::updateInputStatus() {
    const std::string reply = sendStatusCommand("IB " + std::to_string(boardIndex_));
    if (parseHexValue(findKeyValue("WC", reply)) != kExpectedInputWords) {
        boardInvalid_ = true;
    } else {
        clearPollValues();
        boardInvalid_ = false;
        parseCommonStatus(reply);
        rawWords_[1] = findKeyValue("OD1", reply);
        if (!rawWords_[1].empty()) {
            // An input card's OD1 carries live bits; only its disappearance is a change.
            lastRawWords_[1] = rawWords_[1];
            boardSubType_ = inputSubtype(parseHexValue(rawWords_[1]));
        }
        rawWords_[3] = findKeyValue("OD3", reply);
        if (!rawWords_[3].empty())
            applyTemperatureWord(parseHexValue(rawWords_[3]));
        rawWords_[2] = findKeyValue("OD2", reply);
        if (!rawWords_[2].empty()) {
            const std::int32_t w = parseHexValue(rawWords_[2]);
            for (int i = 1; i <= kPerCard; ++i)
                inputPresence_[i] = bit(w, i - 1);
        }
    }
    detectStatusChange();
}

void clsQuorvelBoard::updateOutputStatus() {
    const std::string reply = sendStatusCommand("OB " + std::to_string(boardIndex_));
    if (parseHexValue(findKeyValue("WC", reply)) != kExpectedOutputWords) {
        boardInvalid_ = true;
        detectStatusChange();
        return;
    }
    clearPollValues();
    boardInvalid_ = false;
    parseCommonStatus(reply);

    // Reclock values come from bits 7 and 6 of the word read last before each OD2..OD9.
    std::optional<std::int32_t> lastWord;
    rawWords_[1] = findKeyValue("OD1", reply);
    if (!rawWords_[1].empty()) {
        const std::int32_t w = parseHexValue(rawWords_[1]);
        lastWord = w;
        boardSubType_ = outputSubtype(w);
        optionBoardType_ = "None";
        optionBoardType_ = optionBoardType(boardSubType_, w);
    }
    rawWords_[5] = findKeyValue("OD10", reply);
    if (!rawWords_[5].empty()) {
        const std::int32_t w = parseHexValue(rawWords_[5]);
        lastWord = w;
        applyTemperatureWord(w);
    }
    for (int k = 2; k <= 9; ++k) {
        reclockMode_[k - 2] = static_cast<std::int16_t>(lastWord ? (*lastWord & 0x80) : 0);
        reclockStatus_[k - 2] = static_cast<std::int16_t>(lastWord ? (*lastWord & 0x40) : 0);
        std::string& text = rawOutputWords_[k - 2];
        text = findKeyValue("OD" + std::to_string(k), reply);
        if (text.empty())
            continue;
        const std::int32_t w = parseHexValue(text);
        lastWord = w;
        outputSigtype_[2 * k - 3] = decodeSignalByte(w & 0xFF);
        outputSigtype_[2 * k - 2] = decodeSignalByte((w >> 8) & 0xFF);
    }
    detectStatusChange();
}

void clsQuorvelBoard::updateMatrixStatus() {
    const std::string reply = sendStatusCommand("MB " + std::to_string(boardIndex_));
    if (parseHexValue(findKeyValue("WC", reply)) != kExpectedMatrixWords) {
        boardInvalid_ = true;
    } else {
        clearPollValues();
        boardInvalid_ = false;
        parseCommonStatus(reply);
        rawWords_[1] = findKeyValue("OD1", reply);
        if (!rawWords_[1].empty())
            boardSubType_ = matrixSubtype(parseHexValue(rawWords_[1]));
        rawWords_[2] = findKeyValue("OD2", reply);
        if (!rawWords_[2].empty())
            applyTemperatureWord(parseHexValue(rawWords_[2]));
    }
    detectStatusChange();
}

void clsQuorvelBoard::updatePowerStatus() {
    const std::string reply = sendStatusCommand("SB " + std::to_string(boardIndex_));
    const std::int32_t wc = parseHexValue(findKeyValue("WC", reply));
    const bool commError = contains(reply, "comm error");
    auto word = [&reply](const char* key, std::string& text) {
        text = findKeyValue(key, reply);
        return text.empty() ? std::optional<std::int32_t>{} : parseHexValue(text);
    };
    std::string scratch;

    if (wc == kExpectedSupplyWords) {
        if (commError) {
            // A supply that answered with a link error keeps everything it showed before.
            boardInvalid_ = true;
        } else {
            clearPollValues();
            boardInvalid_ = false;
            if (auto w = word("OD1", rawWords_[1]))
                applyPortWord(*w);
            if (auto w = word("OD8", rawWords_[4]))
                applyTemperatureWord(*w);
            if (auto w = word("OD2", scratch))
                fanCurrents_[1] = fanCurrentFromRaw(*w);
            if (auto w = word("OD3", scratch))
                fanVoltages_[1] = voltageFromRaw(*w);
            if (auto w = word("OD4", scratch))
                fanCurrents_[2] = fanCurrentFromRaw(*w);
            if (auto w = word("OD5", scratch))
                fanVoltages_[2] = voltageFromRaw(*w);
            if (auto w = word("OD6", scratch))
                outputPowerVoltage_ = voltageFromRaw(*w);
            if (auto w = word("OD7", scratch))
                outputPowerCurrent_ = supplyCurrentFromRaw(*w & 0x3FF);
        }
    } else if ((wc == kExpectedMonitorWords && boardIndex_ == kOutputMonitorSlot) ||
               (wc == kExpectedFanControllerWords && (boardIndex_ == kFirstFanControllerSlot ||
                                                      boardIndex_ == kLastFanControllerSlot))) {
        // The output monitor and the fan controllers share the port and temperature words.
        clearPollValues();
        parseCommonStatus(reply);
        boardInvalid_ = commError;
        if (!commError) {
            if (auto w = word("OD1", rawWords_[1]))
                applyPortWord(*w);
            if (auto w = word("OD3", rawWords_[3]))
                applyTemperatureWord(*w);
            if (boardIndex_ == kOutputMonitorSlot) {
                if (auto w = word("OD2", rawWords_[2])) {
                    outputSigtype_[1] = decodeSignalByte(*w & 0xFF);
                    outputSigtype_[2] = decodeSignalByte((*w >> 8) & 0xFF);
                }
            } else if (auto w = word("OD4", scratch)) {
                for (int i = 1; i <= kFansPerController; ++i)
                    fanStatus_[i] = !bit(*w, i - 1); // a set bit reports a failed fan
            }
        }
    } else {
        boardInvalid_ = true;
    }
    detectStatusChange();
}

void clsQuorvelBoard::updateOutputOptionStatus() {
    const std::string reply = sendStatusCommand("OOB " + std::to_string(boardIndex_));
    if (parseHexValue(findKeyValue("WC", reply)) != kExpectedOutputOptionWords) {
        boardInvalid_ = true;
    } else {
        boardInvalid_ = false;
        parseCommonStatus(reply);
        rawWords_[3] = findKeyValue("OD2", reply);
        if (!rawWords_[3].empty())
            applyTemperatureWord(parseHexValue(rawWords_[3]));
        // The option card is the same kind as the output card it sits behind; without
        // that output card there is no kind to report.
        const clsQuorvelBoard* output =
            directory_ != nullptr ? directory_->outputCard(boardIndex_) : nullptr;
        boardSubType_ = output != nullptr ? output->boardSubType() : std::string{};
    }
    detectStatusChange();
}

void clsQuorvelBoard::compareSlot(const std::string& now, std::string& last, bool& changed) {
    if (now != last) {
        changed = true;
        last = now;
    }
}

void clsQuorvelBoard::detectStatusChange() {
    for (int slot = 1; slot <= 3; ++slot)
        compareSlot(rawWords_[slot], lastRawWords_[slot], boardStatChange_);
    if (boardType_ == kCategoryOutput && rawOutputWords_ != lastRawOutputWords_) {
        boardStatChange_ = true;
        lastRawOutputWords_ = rawOutputWords_;
    }
    if (boardType_ == kCategoryPower) {
        compareSlot(rawWords_[4], lastRawWords_[4], boardStatChange_);
        if (std::fabs(outputPowerVoltage_ - lastOutputPowerVoltage_) > kVoltageChangeThreshold) {
            boardStatChange_ = true;
            lastOutputPowerVoltage_ = outputPowerVoltage_;
        }
        if (std::fabs(outputPowerCurrent_ - lastOutputPowerCurrent_) > kCurrentChangeThreshold) {
            boardStatChange_ = true;
            lastOutputPowerCurrent_ = outputPowerCurrent_;
        }
    }
    compareSlot(rawWords_[5], lastRawWords_[5], boardStatChange_);
}

// --- Frame type, fan controllers and watchdog ---

std::string clsQuorvelBoard::getFrameTypeInfo() {
    float timeout = 0;
    const std::string reply = channel_->SendDEBUGCmd("FT", timeout);
    frameInfo_ = reply.size() > 5 ? reply.substr(0, reply.size() - 5) : std::string{};
    if (std::size_t colon = reply.find(':'); colon != std::string::npos) {
        const std::string tail = from(reply, colon + 2);
        if (std::size_t space = tail.find(' '); space != std::string::npos)
            frameType_ = tail.substr(0, space);
    }
    return {};
}

void clsQuorvelBoard::getFanControllerInfo(std::int16_t card) {
    float timeout = 0;
    const std::string reply = channel_->SendDEBUGCmd("FC " + std::to_string(card), timeout);
    auto saysYes = [](const std::string& text) { return contains(text.substr(0, 3), "YES"); };
    std::size_t colon = reply.find(':');
    if (colon == std::string::npos)
        return;
    const std::string first = from(reply, colon + 2);
    fanControllerActive_ = saysYes(first);
    colon = first.find(':');
    if (colon == std::string::npos)
        return;
    fanControllerError_ = saysYes(from(first, colon + 2));
}

void clsQuorvelBoard::getRedundantOutputs() {
    float timeout = 0;
    std::fill(redundantCapableCard_.begin() + 1, redundantCapableCard_.end(), false);

    // "RD": words after the first read first-input "-" last-input "," first-output "-" ...
    const std::vector<std::string> capable = splitAtSpaces(
        trimNonPrintable(withoutLastCharacter(channel_->SendDEBUGCmd("RD", timeout))));
    for (std::size_t i = 1; i < capable.size(); ++i) {
        const std::string& word = capable[i];
        if (word.empty() || word[0] < '0' || word[0] > '9')
            continue;
        const std::size_t dash = word.find('-');
        const std::size_t comma = word.find(',');
        if (dash == std::string::npos || comma == std::string::npos)
            continue;
        const std::size_t dash2 = word.find('-', comma + 1);
        if (dash2 == std::string::npos)
            continue;
        const auto in = listNumber(word.substr(0, dash));
        const auto out = listNumber(word.substr(comma + 1, dash2 - comma - 1));
        if (in && out && isRangeStart(*in) && isRangeStart(*out))
            redundantCapableCard_[watchdogBlock(*in, *out)] = true;
    }

    // "GR": "4095" for all blocks, "0" for none, else first-input "," first-output pairs.
    const std::string switched =
        trimNonPrintable(withoutLastCharacter(channel_->SendDEBUGCmd("GR", timeout)));
    if (contains(switched, "4095") || contains(switched, "0")) {
        const bool all = contains(switched, "4095");
        const std::int16_t count = directory_ != nullptr
                                       ? std::min(directory_->matrixCount(), kWatchdogBlocks)
                                       : std::int16_t{0};
        for (std::int16_t i = 1; i <= count; ++i) {
            const clsQuorvelBoard* matrix = directory_->matrixCard(i);
            if (matrix != nullptr && matrix->isBoardValid())
                redundantCard_[i] = all;
        }
    } else {
        for (const std::string& word : splitAtSpaces(switched)) {
            const std::size_t comma = word.find(',');
            if (comma == std::string::npos)
                continue;
            const auto in = listNumber(word.substr(0, comma));
            const auto out = listNumber(word.substr(comma + 1));
            if (in && out && isRangeStart(*in) && isRangeStart(*out))
                redundantCard_[watchdogBlock(*in, *out)] = true;
        }
    }

    const std::string automatic = channel_->SendDEBUGCmd("AT", timeout);
    redundantAutoSwitch_ = !(contains(automatic, "Disabled") || contains(automatic, "Error"));
}

bool clsQuorvelBoard::getRedundantCapableCard(std::int16_t card) const {
    return card >= 0 && card <= kWatchdogBlocks && redundantCapableCard_[card];
}

bool clsQuorvelBoard::getRedundantCard(std::int16_t card) const {
    return card >= 0 && card <= kWatchdogBlocks && redundantCard_[card];
}

bool clsQuorvelBoard::getRedundantOutput(std::int16_t output) const {
    return output >= 0 && output <= kFrameOutputs && redundantOutput_[output];
}

void clsQuorvelBoard::setRedundantCard(std::int16_t card, std::int16_t output, std::int16_t input,
                                       std::int16_t matrix) {
    float timeout = 0;
    const std::string tail = "," + std::to_string(matrix);
    if (card != kAllWatchdogBlocks) {
        channel_->SendDEBUGCmd("SR " + std::to_string(output) + "," + std::to_string(input) + tail,
                               timeout);
        if (card >= 0 && card <= kWatchdogBlocks)
            redundantCard_[card] = matrix == 2;
        return;
    }
    // All blocks: the frame is asked block by block; the flags are read back later.
    for (int block = 1; block <= kWatchdogBlocks; ++block) {
        if (!redundantCapableCard_[block])
            continue;
        channel_->SendDEBUGCmd("SR " + std::to_string(blockFirstOutput(block)) + "," +
                                   std::to_string(blockFirstInput(block)) + tail,
                               timeout);
    }
}

void clsQuorvelBoard::setRedundantAutoSwitch(std::int16_t value) {
    float timeout = 0;
    channel_->SendDEBUGCmd("AT " + std::to_string(value), timeout);
    redundantAutoSwitch_ = value == 1;
}

void clsQuorvelBoard::setRedundantOutput(std::int16_t output, std::int16_t input,
                                         std::int16_t matrix) {
    float timeout = 0;
    channel_->SendDEBUGCmd("SM " + std::to_string(output) + "," + std::to_string(input) + "," +
                               std::to_string(matrix),
                           timeout);
    if (output >= 0 && output <= kFrameOutputs)
        redundantOutput_[output] = matrix == 2;
}

} // namespace tessivar
