#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup/command_line_reader.h"
#include "support/startup_sandbox.h"

namespace torvik {
namespace {

ProgramArguments Arguments(const std::vector<std::string>& afterProgram)
{
    std::vector<std::string> all{"/opt/app/ExecTorvik"};
    all.insert(all.end(), afterProgram.begin(), afterProgram.end());
    return ProgramArguments(all);
}

struct CommandLineCase {
    std::vector<std::string> arguments;
    std::string appName;
    std::string initParam;
    bool passiveFtp;
    bool multiUser;
};

using CommandLineRuns = testing::StartupSandbox;

TEST_F(CommandLineRuns, ArgumentsAndSwitchesSetTheRunsState)
{
    UsualDatabase();
    const CommandLineCase cases[] = {
        {{"Vendas", "123", "P"}, "Vendas", "123", true, false},
        {{"Vendas", "123", "P", "-p", "MULT"}, "Vendas", "123", true, true},
        {{"Vendas", "123", "-p", "MULT"}, "Vendas", "123", false, true},  // argument 3 is "-p"
        {{"Vendas"}, "Vendas", "", false, false},
        {{"Vendas", "1", "p"}, "Vendas", "1", false, false},               // passive needs "P" exactly
        {{"Vendas", "1", "P", "-P", "MULT"}, "Vendas", "1", true, true},   // names ignore case
        {{"Vendas", "1", "P", "-p", "mult"}, "Vendas", "1", true, false},  // values do not
        {{"Vendas", "1", "-p"}, "Vendas", "1", false, false},              // the last argument is no switch
        {{"Vendas", "", "P"}, "Vendas", "", true, false},
        {{"Vendas", "1", "", "-p", "MULT"}, "Vendas", "1", false, true},  // an empty argument is no switch
        {{"Vendas", "1", "P", "", "MULT"}, "Vendas", "1", true, false},
        {{"Vendas", "-p", "MULT"}, "Vendas", "-p", false, true},                     // a switch among the first three
        {{"Vendas", "1", "P", "-x", "-p", "MULT"}, "Vendas", "1", true, false},      // "-p" is -x's value
        {{"Vendas", "1", "P", "-p", "MULT", "-p", "X"}, "Vendas", "1", true, true},  // the first switch wins
    };
    for (const CommandLineCase& c : cases) {
        std::string shown;
        for (const std::string& a : c.arguments) {
            shown += "[" + a + "]";
        }
        SCOPED_TRACE(shown);
        state = {};
        const auto module = Run(c.arguments);
        EXPECT_EQ(state.AppName, c.appName);
        EXPECT_EQ(state.InitParam, c.initParam);
        EXPECT_EQ(state.PassiveFtp, c.passiveFtp);
        EXPECT_EQ(state.MultiUser, c.multiUser);
        EXPECT_TRUE(user.boxes.empty());
    }
}

TEST(CommandLine, ReaderKeepsNamesAndValuesInOrder)
{
    const ProgramArguments arguments = Arguments({"Vendas", "1", "-Tema", "Azul", "-", "x", "-p", "MULT", "-last"});
    TLeitor_Linha_Comando reader(arguments);
    reader.Ler_Parametros();
    EXPECT_EQ(reader.Nomes, (std::vector<std::string>{"Tema", "", "p"}));
    EXPECT_EQ(reader.Valores, (std::vector<std::string>{"Azul", "x", "MULT"}));
    EXPECT_EQ(reader.Valor_Parametro("TEMA"), "Azul");
    EXPECT_EQ(reader.Valor_Parametro("P"), "MULT");
    EXPECT_EQ(reader.Valor_Parametro("last"), "");
    EXPECT_EQ(reader.Valor_Parametro("absent"), "");

    reader.Ler_Parametros();  // collects anew rather than adding
    EXPECT_EQ(reader.Nomes.size(), 3u);
}

TEST(CommandLine, SwitchNamesMatchAccentedLettersWithoutCase)
{
    const ProgramArguments arguments = Arguments({"Vendas", "1", "-Conexão", "Matriz", "x"});
    TLeitor_Linha_Comando reader(arguments);
    reader.Ler_Parametros();
    EXPECT_EQ(reader.Valor_Parametro("CONEXÃO"), "Matriz");
}

}  // namespace
}  // namespace torvik
