// Starting other programs from a Windows-style command line and waiting for them.
#pragma once

#include <string>
#include <vector>

namespace torvik {

// Splits a command line the way Windows programs read theirs: blanks separate
// arguments, double quotes group them, a backslash escapes a quote (2n backslashes
// before a quote give n and the quote groups; 2n + 1 give n and a literal quote).
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// Starts the program the command line names (searched on PATH when it has no "/"),
// with the updater's environment and working directory, and waits for it without a
// time limit. A ".bat" or ".cmd" file, or a script the system cannot execute by
// itself, is run by /bin/sh. showMode is the start-up window state asked for (0 =
// hidden); programs here open no window unless they choose to, so it changes nothing.
// Returns the exit code, or -1 when the program cannot be started or did not end
// normally (killed by a signal).
int Executa_E_Aguarda(const std::string& commandLine, int showMode);

}  // namespace torvik
