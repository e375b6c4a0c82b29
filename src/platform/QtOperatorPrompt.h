#pragma once

#include "common/OperatorPrompt.h"

class QWidget;

namespace tessivar {

// Message boxes on QMessageBox, modal over the active window.
class QtOperatorPrompt : public IOperatorPrompt {
public:
    PromptAnswer ask(const std::string& message, PromptButtons buttons, PromptIcon icon,
                     const std::string& title) override;
    int choose(const std::string& title, const std::string& message, const std::string& first,
               const std::string& second) override;
};

} // namespace tessivar
