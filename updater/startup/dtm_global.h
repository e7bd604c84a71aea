// TdtmGlobal: the start-up data module. Creating it runs the whole update
// (dtmGlobalCreate); destroying it frees what it owns (dtmGlobalDestroy).
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "startup/application_control.h"
#include "startup/command_line_reader.h"
#include "startup/global_state.h"
#include "startup/program_arguments.h"
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

    // Runs the sequence: steps 1 to 7, then each of laterSteps in order. An error after
    // step 7 goes to Trata_Excecao and creation completes; an error before it leaves
    // the constructor.
    TdtmGlobal(const StartupEnvironment& environment, std::vector<Step> laterSteps);
    ~TdtmGlobal();
    TdtmGlobal(const TdtmGlobal&) = delete;
    TdtmGlobal& operator=(const TdtmGlobal&) = delete;

    // The application-wide error handler: one critical-error box, then the splash
    // window closes, which ends the program.
    void Trata_Excecao(const std::exception& error);

    static const char* const kUsageText;
    static const char* const kCriticalErrorText;

    // Run-time fields, owned by the module.
    std::unique_ptr<IniFile> iniReader;  // the INI file at IniPath when it existed at start-up
    std::unique_ptr<TLeitor_Linha_Comando> commandLineReader;

private:
    void dtmGlobalCreate();
    void dtmGlobalDestroy();

    StartupEnvironment environment_;
    std::vector<Step> laterSteps_;
    bool errorHandlerInstalled_ = false;
};

}  // namespace torvik
