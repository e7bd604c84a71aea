#include "ui/console_interaction.h"

#include "common/text.h"

namespace torvik {

ConsoleInteraction::ConsoleInteraction(const std::string& answers, FILE* output) : output_(output)
{
    size_t start = 0;
    while (start <= answers.size() && !answers.empty()) {
        const size_t comma = answers.find(',', start);
        const size_t end = comma == std::string::npos ? answers.size() : comma;
        std::string answer = answers.substr(start, end - start);
        while (!answer.empty() && answer.front() == ' ') {
            answer.erase(0, 1);
        }
        while (!answer.empty() && answer.back() == ' ') {
            answer.pop_back();
        }
        answers_.push_back(answer);
        start = end + 1;
    }
}

void ConsoleInteraction::Write(const char* kind, const std::string& text, const char* answer)
{
    std::string line = std::string(kind) + ": ";
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        line += text[i];
    }
    if (answer != nullptr) {
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        line += std::string(" -> ") + answer;
    }
    if (line.back() != '\n') {
        line += '\n';
    }
    std::fputs(line.c_str(), output_);
    std::fflush(output_);
}

void ConsoleInteraction::ShowError(const std::string& text)
{
    Write("ERROR", text, nullptr);
}

void ConsoleInteraction::ShowInformation(const std::string& text)
{
    Write("INFO", text, nullptr);
}

std::string ConsoleInteraction::NextAnswer()
{
    if (answers_.empty()) {
        return "";
    }
    std::string answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool ConsoleInteraction::AskYesNo(const std::string& text)
{
    const std::string answer = NextAnswer();
    const bool yes = SameText(answer, "yes") || SameText(answer, "y");
    Write("CONFIRM", text, yes ? "yes" : "no");
    return yes;
}

bool ConsoleInteraction::AskOkCancel(const std::string& text)
{
    const bool ok = SameText(NextAnswer(), "ok");
    Write("CONFIRM", text, ok ? "ok" : "cancel");
    return ok;
}

}  // namespace torvik
