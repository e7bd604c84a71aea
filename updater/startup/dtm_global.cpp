#include "startup/dtm_global.h"

#include "common/text.h"
#include "platform/process.h"
#include "settings/cipher/deployment.h"
#include "settings/connection_settings.h"

namespace torvik {

const char* const TdtmGlobal::kUsageText =
    "Não foi passado nenhum Parâmetro.\r\n"
    "1º -> Nome da Aplicacao no RegEdit (é o mesmo do .exe) (Obrigatório)\r\n"
    "2º -> Parâmetro de Inicializacao do Sistema Chamado (Obrigatório)\r\n"
    "3º -> O valor \"P\" Indica se usará FTP Passive(Opcional)\r\n"
    "-p -> O valor \"MULT\" indica que serão multiplos usuários (um .exe por usuário) (Opcional)\r\n";

const char* const TdtmGlobal::kCriticalErrorText =
    "Ocorreu um erro crítico e o sistema não poderá ser executado. Favor Contactar o Suporte Técnico.\r\n\r\n";

const char* const TdtmGlobal::kServerUnreachableText =
    "Não foi possível conectar-se ao servidor \"%1\". Verifique suas configurações de rede. Se sua máquina estiver "
    "corretamente configurada é provável que o servidor tenha sido desligado para algum tipo de manutenção. Neste "
    "caso, tente novamente mais tarde.\r\nMensagem de erro:";

const char* const TdtmGlobal::kBinariesUnreachableText = "Não foi possível conectar-se ao banco de dados Binários.\r\n";

const char* const TdtmGlobal::kEndingText = "A aplicação será finalizada.";

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
    registry = std::make_unique<TRegistry>();
    state.IniPath = environment_.applicationFolder + state.AppName + ".ini";
    if (platform::FileExists(state.IniPath)) {
        iniReader = std::make_unique<IniFile>(state.IniPath);
    }

    // 7. From here on every error that no step catches ends the run with one box.
    environment_.application.SetErrorHandler([this](const std::exception& error) { Trata_Excecao(error); });
    errorHandlerInstalled_ = true;

    // 8. The binaries module exists from here on, connected or not.
    binariesModule = std::make_unique<TdtmKBD_Binarios>();
    binariesConnection = &binariesModule->conBinarios;

    // 9 to 11. The main connection.
    if (!ConnectMain()) {
        return;
    }

    // 12 and 13. The binaries database, when it is the source of the files. A value that
    // is not an integer (a missing parameter among them) is an error of the run.
    UsarBinarios = StrToInt(Retorna_Parametro(con, "SALVAR_VERSOES_BINARIOS")) == 1;
    if (UsarBinarios && !ConnectBinaries()) {
        return;
    }

    for (const Step& step : laterSteps_) {
        step(*this);
    }
    // The last step of a complete run closes the splash window; when the run gets here
    // without one, it ends the same way.
    environment_.application.CloseMainWindow();
}

bool TdtmGlobal::ConnectMain()
{
    const GlobalState& state = environment_.state;
    const Deployment& deployment = BuiltInDeployment();
    std::string server;
    std::string database;
    // Settings found nowhere are not yet an error: the deployment's registry file may
    // bring them; only the second try's errors end the run.
    try {
        Atualizar_Parametros_Registro(con, "Default", server, database, state.AppName, deployment.encipheredUserId,
                                      deployment.encipheredPassword, state.IniPath);
    } catch (const std::exception& error) {
        if (std::string(error.what()).find(kSettingsNotFoundMarker) == std::string::npos) {
            throw;
        }
    }
    if (server.empty() || database.empty()) {
        Registra_Aplicacao(platform::WindowsFolder());
        Atualizar_Parametros_Registro(con, "Default", server, database, state.AppName, deployment.encipheredUserId,
                                      deployment.encipheredPassword, state.IniPath);
    }

    try {
        con.Open();
    } catch (const std::exception& error) {
        environment_.application.HideMainWindow();
        std::string text = kServerUnreachableText;
        text.replace(text.find("%1"), 2, server);
        environment_.user.ShowError(text + error.what());
        environment_.user.ShowInformation(kEndingText);
        environment_.application.Terminate();
        return false;
    }
    return true;
}

bool TdtmGlobal::ConnectBinaries()
{
    const GlobalState& state = environment_.state;
    const Deployment& deployment = BuiltInDeployment();
    std::string server;
    std::string database;
    Atualizar_Parametros_Registro(*binariesConnection, "Binarios", server, database, state.AppName,
                                  deployment.encipheredUserId, deployment.encipheredPassword, state.IniPath);
    try {
        binariesConnection->Open();
    } catch (const std::exception& error) {
        // The splash window stays up until the process ends.
        environment_.user.ShowError(std::string(kBinariesUnreachableText) + error.what());
        environment_.user.ShowInformation(kEndingText);
        environment_.application.Terminate();
        return false;
    }
    return true;
}

std::string TdtmGlobal::Retorna_Parametro(db::Connection& connection, const std::string& name)
{
    return parameterReader_.Read(connection, name);
}

void TdtmGlobal::dtmGlobalDestroy()
{
    // The handler reports through this module; it must not outlive it.
    if (errorHandlerInstalled_) {
        environment_.application.SetErrorHandler(nullptr);
    }
    iniReader.reset();
    registry.reset();
    commandLineReader.reset();
}

void TdtmGlobal::Trata_Excecao(const std::exception& error)
{
    environment_.user.ShowError(std::string(kCriticalErrorText) + error.what());
    environment_.application.CloseMainWindow();
}

}  // namespace torvik
