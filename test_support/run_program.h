// Runs a program to its end with a chosen environment and collects what it printed.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kit::testing {

struct ProgramRun {
    int exitCode = -1;   // -1 when it did not exit normally
    std::string output;  // standard output
    std::string errors;  // standard error
};

// The environment is the given variables, plus the sanitizer options of the test run
// (ASAN_OPTIONS, UBSAN_OPTIONS, LSAN_OPTIONS) when set; the run is stopped after
// timeoutSeconds.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment, int timeoutSeconds = 60);

}  // namespace kit::testing
