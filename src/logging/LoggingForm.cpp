#include "logging/LoggingForm.h"

#include "common/OperatorPrompt.h"
#include "common/SettingsStore.h"
#include "link/modUtilities.h"
#include "logging/clsLogFile.h"
#include "logging/clsLogging.h"

namespace tessivar {

namespace {
constexpr const char* kSection = "Parms";
constexpr const char* kFlagKeys[] = {"LogInputs", "LogOutputs", "LogMatrices", "LogPower"};
constexpr const char* kSelectionKeys[] = {"WhichInputs", "WhichOutputs", "WhichMatrices",
                                          "WhichPower"};
constexpr const char* kNoNameMessage = "Please Enter a valid log file name.";

// A category is checked when its stored number is 1 (also written as " 1" or "1.0").
bool storedFlag(const std::string& stored) {
    const auto number = leadingNumber(stored);
    return number && *number == 1.0;
}
} // namespace

LoggingForm::LoggingForm(clsLogFile& logFile, clsLogging& logging, ISettingsStore& settings,
                         IOperatorPrompt& prompt)
    : logFile_(logFile), logging_(logging), settings_(settings), prompt_(prompt) {}

void LoggingForm::open() {
    simpleName_.clear();
    detailName_.clear();
    simpleEnable_ = detailEnable_ = false;
    categoryChecked_.fill(false);
    for (auto& text : selection_)
        text.clear();

    fillSimpleName(logFile_.SimpleLogFileName());
    fillDetailName(logFile_.DetailLogFileName());
    for (int c = Inputs; c <= Power; ++c)
        fillCategory(static_cast<Category>(c),
                     storedFlag(settings_.get(kSection, kFlagKeys[c], "0")));
    for (int c = Inputs; c <= Power; ++c)
        fillSelection(static_cast<Category>(c), settings_.get(kSection, kSelectionKeys[c], ""));
    // A checked category applies its text once more, so an empty text selects every card.
    for (int c = Inputs; c <= Power; ++c)
        if (categoryChecked_[static_cast<std::size_t>(c)])
            applySelection(static_cast<Category>(c), selection_[static_cast<std::size_t>(c)]);
    if (logFile_.SimpleLogEnable() != simpleEnable_)
        clickSimpleEnable(logFile_.SimpleLogEnable());
    if (logFile_.DetailLogEnable() != detailEnable_)
        clickDetailEnable(logFile_.DetailLogEnable());
}

void LoggingForm::editSimpleName(const std::string& text) {
    simpleName_ = text;
    logFile_.setSimpleFileName(text);
}

void LoggingForm::editDetailName(const std::string& text) {
    detailName_ = text;
    logFile_.setDetailFileName(text);
}

void LoggingForm::clickSimpleEnable(bool checked) {
    simpleEnable_ = checked;
    if (simpleName_.empty()) {
        prompt_.tell(kNoNameMessage);
        return;
    }
    logging_.simpleLog(checked);
    logFile_.SimpleLogEnable(checked);
    logFile_.setSimpleFileName(simpleName_);
    if (checked)
        logFile_.addSimpleHeader();
    else
        logFile_.addSimpleFooter();
}

void LoggingForm::clickDetailEnable(bool checked) {
    detailEnable_ = checked;
    if (detailName_.empty()) {
        prompt_.tell(kNoNameMessage);
        return;
    }
    logging_.detailLog(checked);
    logFile_.DetailLogEnable(checked);
    logFile_.setDetailFileName(detailName_);
    if (checked)
        logFile_.addDetailHeader();
    else
        logFile_.addDetailFooter();
}

void LoggingForm::clickCategory(Category category, bool checked) {
    categoryChecked_[category] = checked;
    switch (category) {
    case Inputs:
        logging_.logInputs(checked);
        break;
    case Outputs:
        logging_.logOutputs(checked);
        break;
    case Matrices:
        logging_.logMatrices(checked);
        break;
    case Power:
        logging_.logPower(checked);
        break;
    }
}

void LoggingForm::editSelection(Category category, const std::string& text) {
    selection_[category] = text;
    applySelection(category, text);
}

void LoggingForm::applySelection(Category category, const std::string& text) {
    switch (category) {
    case Inputs:
        logging_.setInputsToLog(text);
        break;
    case Outputs:
        logging_.setOutputsToLog(text);
        break;
    case Matrices:
        logging_.setMatricesToLog(text);
        break;
    case Power:
        logging_.setPowerToLog(text);
        break;
    }
}

void LoggingForm::fillSimpleName(const std::string& text) {
    if (text != simpleName_)
        editSimpleName(text);
}

void LoggingForm::fillDetailName(const std::string& text) {
    if (text != detailName_)
        editDetailName(text);
}

void LoggingForm::fillCategory(Category category, bool checked) {
    if (checked != categoryChecked_[category])
        clickCategory(category, checked);
}

void LoggingForm::fillSelection(Category category, const std::string& text) {
    if (text != selection_[category])
        editSelection(category, text);
}

} // namespace tessivar
