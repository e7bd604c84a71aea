// In-process stand-ins for the user and the application object: they record every box
// and request, and answer questions from a list.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "startup/application_control.h"
#include "ui/user_interaction.h"

namespace torvik::testing {

class RecordingInteraction : public UserInteraction {
public:
    struct Box {
        std::string kind;  // "error", "information", "question" (Yes/No) or "request" (OK/Cancel)
        std::string text;
        bool operator==(const Box&) const = default;
    };

    void ShowError(const std::string& text) override { boxes.push_back({"error", text}); }
    void ShowInformation(const std::string& text) override { boxes.push_back({"information", text}); }
    bool AskYesNo(const std::string& text) override
    {
        boxes.push_back({"question", text});
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return yes;
    }

    bool AskOkCancel(const std::string& text) override
    {
        boxes.push_back({"request", text});
        const bool ok = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return ok;
    }

    std::vector<Box> boxes;
    std::deque<bool> answers;  // true for Yes or OK; No or Cancel when the list is empty
};

class RecordingApplication : public ApplicationControl {
public:
    void Terminate() override { ++terminations; }
    void CloseMainWindow() override { ++mainWindowCloses; }
    void HideMainWindow() override { ++mainWindowHides; }
    void SetErrorHandler(ErrorHandler handler) override { errorHandler = std::move(handler); }

    int terminations = 0;
    int mainWindowCloses = 0;
    int mainWindowHides = 0;
    ErrorHandler errorHandler;
};

}  // namespace torvik::testing
