#include "logging/clsLogging.h"

#include "common/SettingsStore.h"
#include "logging/modSelection.h"

namespace tessivar {

namespace {
constexpr const char* kSection = "Parms";
}

clsLogging::clsLogging(ISettingsStore& settings) : settings_(settings) {}

bool clsLogging::Category::isSet(std::int16_t card) const {
    if (all)
        return true;
    // A negative number is no card; nothing beyond the highest marked number is looked up.
    if (card < 0 || card > highest)
        return false;
    auto at = static_cast<std::size_t>(card);
    return at < selected.size() && selected[at];
}

void clsLogging::setFlag(Category& category, bool on) {
    category.flag = on;
    settings_.write(kSection, category.flagKey, on ? "1" : "0");
}

void clsLogging::setText(Category& category, const std::string& text) {
    category.text = text;
    settings_.write(kSection, category.textKey, text);
    category.highest = parseCardSelection(text, category.selected, category.all);
}

void clsLogging::logInputs(bool on) {
    setFlag(inputs_, on);
}
void clsLogging::logOutputs(bool on) {
    setFlag(outputs_, on);
}
void clsLogging::logMatrices(bool on) {
    setFlag(matrices_, on);
}
void clsLogging::logPower(bool on) {
    setFlag(power_, on);
}

void clsLogging::setInputsToLog(const std::string& text) {
    setText(inputs_, text);
}
void clsLogging::setOutputsToLog(const std::string& text) {
    setText(outputs_, text);
}
void clsLogging::setMatricesToLog(const std::string& text) {
    setText(matrices_, text);
}
void clsLogging::setPowerToLog(const std::string& text) {
    setText(power_, text);
}

} // namespace tessivar
