// Every message box and question of the updater goes through this interface: on screen
// (Qt), on the console (no display, or TORVIK_UI=console) or to a test double.
#pragma once

#include <string>

namespace torvik {

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // Modal boxes with an OK button. Texts may hold "\r\n" line breaks.
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
    // A confirmation with the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // A request with the buttons OK and Cancel; true for OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
};

}  // namespace torvik
