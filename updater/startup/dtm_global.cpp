#include "startup/dtm_global.h"

#include "platform/process.h"

namespace torvik {

const char* const TdtmGlobal::kUsageText =
    "Não foi passado nenhum Parâmetro.\r\n"
    "1º -> Nome da Aplicacao no RegEdit (é o mesmo do .exe) (Obrigatório)\r\n"
    "2º -> Parâmetro de Inicializacao do Sistema Chamado (Obrigatório)\r\n"
    "3º -> O valor \"P\" Indica se usará FTP Passive(Opcional)\r\n"
    "-p -> O valor \"MULT\" indica que serão multiplos usuários (um .exe por usuário) (Opcional)\r\n";

const char* const TdtmGlobal::kCriticalErrorText =
    "Ocorreu um erro crítico e o sistema não poderá ser executado. Favor Contactar o Suporte Técnico.\r\n\r\n";

TdtmGlobal::TdtmGlobal(const StartupEnvironment& environment, std::vector<Step> laterSteps)
    : environment_(environment), laterSteps_(std::move(laterSteps))
{
    try {
        dtmGlobalCreate();
    } catch (const std::exception& error) {
        if (!errorHandlerInstalled_) {
            throw;
        }
        Trata_Excecao(error);
    }
}

TdtmGlobal::~TdtmGlobal()
{
    dtmGlobalDestroy();
}

void TdtmGlobal::dtmGlobalCreate()
{
    GlobalState& state = environment_.state;
    const ProgramArguments& arguments = environment_.arguments;

    // 1. Without an application name there is nothing to update: show how to call.
    if (arguments.ParamStr(1).empty()) {
        environment_.user.ShowInformation(kUsageText);
        environment_.application.Terminate();
        return;
    }

    // 2 to 4. The switches, the positional arguments and the per-user switch. Argument 3
    // is read as it stands, so "-p" there is argument 3 and not passive mode.
    commandLineReader = std::make_unique<TLeitor_Linha_Comando>(arguments);
    commandLineReader->Ler_Parametros();
    state.AppName = arguments.ParamStr(1);
    state.InitParam = arguments.ParamStr(2);
    state.PassiveFtp = arguments.ParamStr(3) == "P";
    state.MultiUser = commandLineReader->Valor_Parametro("p") == "MULT";

    // 5. Per-user mode runs nothing else of this sequence. Starting the user's own copy
    // belongs to the launch of applications, which this program does not yet include;
    // the run ends the way per-user mode ends.
    if (state.MultiUser) {
        environment_.application.CloseMainWindow();
        environment_.application.Terminate();
        return;
    }

    // 6. The INI file beside the updater, when there is one, is the settings source.
    state.IniPath = environment_.applicationFolder + state.AppName + ".ini";
    if (platform::FileExists(state.IniPath)) {
        iniReader = std::make_unique<IniFile>(state.IniPath);
    }

    // 7. From here on every error that no step catches ends the run with one box.
    environment_.application.SetErrorHandler([this](const std::exception& error) { Trata_Excecao(error); });
    errorHandlerInstalled_ = true;

    for (const Step& step : laterSteps_) {
        step(*this);
    }
    // The last step of a complete run closes the splash window; when the run gets here
    // without one, it ends the same way.
    environment_.application.CloseMainWindow();
}

void TdtmGlobal::dtmGlobalDestroy()
{
    // The handler reports through this module; it must not outlive it.
    if (errorHandlerInstalled_) {
        environment_.application.SetErrorHandler(nullptr);
    }
    iniReader.reset();
    commandLineReader.reset();
}

void TdtmGlobal::Trata_Excecao(const std::exception& error)
{
    environment_.user.ShowError(std::string(kCriticalErrorText) + error.what());
    environment_.application.CloseMainWindow();
}

}  // namespace torvik
