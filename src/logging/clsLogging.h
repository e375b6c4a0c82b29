#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessivar {

class ISettingsStore;

// Which cards the poll cycle logs, per category, and the two logging switches.
class clsLogging {
public:
    explicit clsLogging(ISettingsStore& settings);

    bool simpleLog() const { return simpleLog_; }
    void simpleLog(bool on) { simpleLog_ = on; }
    bool detailLog() const { return detailLog_; }
    void detailLog(bool on) { detailLog_ = on; }

    // The category check boxes: stored as "1"/"0"; nothing else consults them.
    bool logInputs() const { return inputs_.flag; }
    void logInputs(bool on);
    bool logOutputs() const { return outputs_.flag; }
    void logOutputs(bool on);
    bool logMatrices() const { return matrices_.flag; }
    void logMatrices(bool on);
    bool logPower() const { return power_.flag; }
    void logPower(bool on);

    // Store the text unchanged and apply it at once.
    void setInputsToLog(const std::string& text);
    void setOutputsToLog(const std::string& text);
    void setMatricesToLog(const std::string& text);
    void setPowerToLog(const std::string& text);

    bool IsInputSetForLogging(std::int16_t card) const { return inputs_.isSet(card); }
    bool IsOutputSetForLogging(std::int16_t card) const { return outputs_.isSet(card); }
    bool IsMatrixSetForLogging(std::int16_t card) const { return matrices_.isSet(card); }
    bool IsPowerSetForLogging(std::int16_t card) const { return power_.isSet(card); }

    // The texts last given to the set operations.
    const std::string& inputsText() const { return inputs_.text; }
    const std::string& outputsText() const { return outputs_.text; }
    const std::string& matricesText() const { return matrices_.text; }
    const std::string& powerText() const { return power_.text; }

private:
    struct Category {
        Category(const char* flagKeyName, const char* textKeyName)
            : flagKey(flagKeyName), textKey(textKeyName) {}
        const char* flagKey;
        const char* textKey;
        bool flag = false;
        std::string text;
        std::vector<bool> selected;
        std::int16_t highest = 0;
        bool all = false;

        bool isSet(std::int16_t card) const;
    };

    void setFlag(Category& category, bool on);
    void setText(Category& category, const std::string& text);

    ISettingsStore& settings_;
    bool simpleLog_ = false;
    bool detailLog_ = false;
    Category inputs_{"LogInputs", "WhichInputs"};
    Category outputs_{"LogOutputs", "WhichOutputs"};
    Category matrices_{"LogMatrices", "WhichMatrices"};
    Category power_{"LogPower", "WhichPower"};
};

} // namespace tessivar
