// Message boxes on screen.
#pragma once

#include "ui/user_interaction.h"

namespace torvik {

class QtInteraction : public UserInteraction {
public:
    static constexpr const char* kBoxTitle = "ExecTorvik";

    void ShowError(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;
};

}  // namespace torvik
