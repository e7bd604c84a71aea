#include "ui/console_interaction.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace torvik {
namespace {

// Runs what a test does with a console interaction and returns what it printed.
template <typename Body>
std::string Printed(const std::string& answers, Body body)
{
    FILE* file = std::tmpfile();
    {
        ConsoleInteraction console(answers, file);
        body(console);
    }
    std::rewind(file);
    std::string text;
    char chunk[256];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        text.append(chunk, n);
    }
    std::fclose(file);
    return text;
}

TEST(ConsoleInteraction, BoxesAreLinesWithTheirKind)
{
    EXPECT_EQ(Printed("",
                      [](UserInteraction& ui) {
                          ui.ShowError("Falha\r\n\r\nsem conexão");
                          ui.ShowInformation("Linha 1\r\nLinha 2\r\n");
                      }),
              "ERROR: Falha\n\nsem conexão\nINFO: Linha 1\nLinha 2\n");
}

TEST(ConsoleInteraction, QuestionsTakeTheListedAnswersThenNo)
{
    std::vector<bool> answers;
    const std::string printed = Printed("no, YES,y,maybe", [&](UserInteraction& ui) {
        for (int i = 0; i < 5; ++i) {
            answers.push_back(ui.AskYesNo("Continuar?"));
        }
    });
    EXPECT_EQ(answers, (std::vector<bool>{false, true, true, false, false}));
    EXPECT_EQ(printed,
              "CONFIRM: Continuar? -> no\nCONFIRM: Continuar? -> yes\nCONFIRM: Continuar? -> yes\n"
              "CONFIRM: Continuar? -> no\nCONFIRM: Continuar? -> no\n");
}

TEST(ConsoleInteraction, RequestsTakeOkOrCancel)
{
    std::vector<bool> answers;
    const std::string printed = Printed("OK,yes", [&](UserInteraction& ui) {
        for (int i = 0; i < 3; ++i) {
            answers.push_back(ui.AskOkCancel("Please insert disk 2 and click OK to continue."));
        }
    });
    EXPECT_EQ(answers, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(printed,
              "CONFIRM: Please insert disk 2 and click OK to continue. -> ok\n"
              "CONFIRM: Please insert disk 2 and click OK to continue. -> cancel\n"
              "CONFIRM: Please insert disk 2 and click OK to continue. -> cancel\n");
}

}  // namespace
}  // namespace torvik
