#pragma once

#include <string>

namespace tessivar {

// The program's title: the caption of every message box that names no other.
inline constexpr const char* kProgramTitle = "Tessivar";

enum class PromptButtons { Ok, YesNo, OkCancel };
enum class PromptIcon { None, Information, Exclamation, Critical, Question };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Every message box and question goes through here, so core logic can be exercised and
// answered by tests without a display.
class IOperatorPrompt {
public:
    virtual ~IOperatorPrompt() = default;

    // A modal box; returns the button the operator pressed (Cancel/No when the box is
    // closed another way).
    virtual PromptAnswer ask(const std::string& message, PromptButtons buttons, PromptIcon icon,
                             const std::string& title) = 0;

    // A modal box whose two buttons carry the given captions. Returns 0 for the first, 1 for
    // the second, and -1 when the box is left any other way.
    virtual int choose(const std::string& title, const std::string& message,
                       const std::string& first, const std::string& second) = 0;

    // Plain box with an OK button.
    void tell(const std::string& message, PromptIcon icon = PromptIcon::None,
              const std::string& title = kProgramTitle) {
        ask(message, PromptButtons::Ok, icon, title);
    }
    bool askYesNo(const std::string& message, const std::string& title = kProgramTitle) {
        return ask(message, PromptButtons::YesNo, PromptIcon::Question, title) == PromptAnswer::Yes;
    }
};

} // namespace tessivar
