// Message boxes as lines on standard error, for runs without a display:
//   ERROR: <text>      INFO: <text>      CONFIRM: <text> -> yes|no|ok|cancel
// "\r\n" in a text is written as "\n". Questions take their answers, in order, from a
// comma-separated list (TORVIK_ANSWERS, e.g. "no,ok"); when the list is used up or an
// answer does not fit the question (yes/y/no/n, ok/cancel), the answer is no or cancel,
// so an unattended run never confirms anything by itself.
#pragma once

#include <cstdio>
#include <deque>
#include <string>

#include "ui/user_interaction.h"

namespace torvik {

class ConsoleInteraction : public UserInteraction {
public:
    ConsoleInteraction(const std::string& answers, FILE* output);

    void ShowError(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;

private:
    // The next listed answer, or "" when the list is used up.
    std::string NextAnswer();
    void Write(const char* kind, const std::string& text, const char* answer);

    std::deque<std::string> answers_;
    FILE* output_;
};

}  // namespace torvik
