#pragma once
// What the "File Logging" window does, without widgets: the window mirrors this state and
// forwards the operator's edits and clicks. Filling a box or setting a check box from the
// program runs the same reaction as the operator's edit or click, but only when the
// content or state actually changes.

#include <array>
#include <string>

namespace tessivar {

class IOperatorPrompt;
class ISettingsStore;
class clsLogFile;
class clsLogging;

class LoggingForm {
public:
    enum Category { Inputs = 0, Outputs = 1, Matrices = 2, Power = 3 };

    LoggingForm(clsLogFile& logFile, clsLogging& logging, ISettingsStore& settings,
                IOperatorPrompt& prompt);

    // The window opens: every box empty and unchecked, then filled from the store and the
    // log file writer.
    void open();

    // Operator actions; the program's own fills go through the same reactions.
    void editSimpleName(const std::string& text);
    void editDetailName(const std::string& text);
    void clickSimpleEnable(bool checked);
    void clickDetailEnable(bool checked);
    void clickCategory(Category category, bool checked);
    void editSelection(Category category, const std::string& text);

    const std::string& simpleName() const { return simpleName_; }
    const std::string& detailName() const { return detailName_; }
    bool simpleEnableChecked() const { return simpleEnable_; }
    bool detailEnableChecked() const { return detailEnable_; }
    bool categoryChecked(Category category) const { return categoryChecked_[category]; }
    const std::string& selection(Category category) const { return selection_[category]; }

private:
    void fillSimpleName(const std::string& text);
    void fillDetailName(const std::string& text);
    void fillCategory(Category category, bool checked);
    void fillSelection(Category category, const std::string& text);
    void applySelection(Category category, const std::string& text);

    clsLogFile& logFile_;
    clsLogging& logging_;
    ISettingsStore& settings_;
    IOperatorPrompt& prompt_;

    std::string simpleName_;
    std::string detailName_;
    bool simpleEnable_ = false;
    bool detailEnable_ = false;
    std::array<bool, 4> categoryChecked_{};
    std::array<std::string, 4> selection_{};
};

} // namespace tessivar
