// TdtmGlobal: the start-up data module. Creating it runs the whole update
// (dtmGlobalCreate); destroying it frees what it owns (dtmGlobalDestroy).
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/database/database.h"
#include "settings/ini_file.h"
#include "settings/registry/registry.h"
#include "settings/system_parameters.h"
#include "startup/application_control.h"
#include "startup/command_line_reader.h"
#include "startup/global_state.h"
#include "startup/program_arguments.h"
#include "transfer/dtm_kbd_binarios.h"
#include "ui/user_interaction.h"

namespace torvik {

// What the sequence works with: the run's state and arguments, the user, the
// application object and the folder of the updater (with a trailing '/').
struct StartupEnvironment {
    GlobalState& state;
    const ProgramArguments& arguments;
    UserInteraction& user;
    ApplicationControl& application;
    std::string applicationFolder;
};

class TdtmGlobal {
public:
    // A step of the sequence after the error handler is installed.
    using Step = std::function<void(TdtmGlobal&)>;

    // Runs the sequence: the command line, the settings source, the error handler, the
    // connections and the system parameters they need, then each of laterSteps in order.
    // An error once the handler is installed goes to Trata_Excecao and creation
    // completes; an error before it leaves the constructor.
    TdtmGlobal(const StartupEnvironment& environment, std::vector<Step> laterSteps);
    ~TdtmGlobal();
    TdtmGlobal(const TdtmGlobal&) = delete;
    TdtmGlobal& operator=(const TdtmGlobal&) = delete;

    // The application-wide error handler: one critical-error box, then the splash
    // window closes, which ends the program.
    void Trata_Excecao(const std::exception& error);

    // The value of a system parameter, or a marker (system_parameters.h). The rows are
    // those of the first read in this run.
    std::string Retorna_Parametro(db::Connection& connection, const std::string& name);

    static const char* const kUsageText;
    static const char* const kCriticalErrorText;
    static const char* const kServerUnreachableText;
    static const char* const kBinariesUnreachableText;
    static const char* const kEndingText;

    // Components and run-time fields, owned by the module.
    db::Connection con;  // the main connection ("Default")
    std::unique_ptr<TRegistry> registry;
    std::unique_ptr<IniFile> iniReader;  // the INI file at IniPath when it existed at start-up
    db::Connection* binariesConnection = nullptr;  // the binaries module's connection
    std::unique_ptr<TdtmKBD_Binarios> binariesModule;
    bool UsarBinarios = false;  // SALVAR_VERSOES_BINARIOS is 1: files come from the binaries database
    std::unique_ptr<TLeitor_Linha_Comando> commandLineReader;

private:
    void dtmGlobalCreate();
    void dtmGlobalDestroy();
    // False when the run ended because the connection could not be opened.
    bool ConnectMain();
    bool ConnectBinaries();

    StartupEnvironment environment_;
    std::vector<Step> laterSteps_;
    bool errorHandlerInstalled_ = false;
    // Declared after the connections: its query goes before they do.
    ParameterReader parameterReader_;
};

}  // namespace torvik
