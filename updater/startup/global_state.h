// The state that the start-up sequence sets and the later work of the run reads.
#pragma once

#include <string>

namespace torvik {

struct GlobalState {
    std::string AppName;           // argument 1: names the INI file, the registry key and the program to launch
    std::string InitParam;         // argument 2: handed unchanged to the launched application
    bool PassiveFtp = false;       // argument 3 is exactly "P"
    bool MultiUser = false;        // the switch -p has exactly the value "MULT"
    std::string IniPath;           // application folder + AppName + ".ini"
    bool CancelRequested = false;  // the user confirmed cancelling the transfer
};

}  // namespace torvik
