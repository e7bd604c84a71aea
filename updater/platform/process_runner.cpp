#include "platform/process_runner.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/text.h"

extern char** environ;

namespace torvik {
namespace {

bool HasBatchExtension(const std::string& program)
{
    for (const char* extension : {".bat", ".cmd"}) {
        const size_t length = std::strlen(extension);
        if (program.size() > length && SameText(program.substr(program.size() - length), extension)) {
            return true;
        }
    }
    return false;
}

// -1 when the program could not be started.
pid_t Spawn(const std::vector<std::string>& arguments, bool searchPath)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = -1;
    const int error = searchPath ? posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ)
                                 : posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error == ENOEXEC) {
        return -2;  // a script without an interpreter line
    }
    return error == 0 ? child : -1;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == '\\') {
            size_t backslashes = 0;
            while (i < commandLine.size() && commandLine[i] == '\\') {
                ++backslashes;
                ++i;
            }
            inArgument = true;
            if (i < commandLine.size() && commandLine[i] == '"') {
                current.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    current += '"';
                    continue;
                }
                --i;  // the quote itself is handled by the next round
            } else {
                current.append(backslashes, '\\');
                --i;
            }
            continue;
        }
        if (c == '"') {
            inArgument = true;
            quoted = !quoted;
            continue;
        }
        if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument) {
                arguments.push_back(current);
                current.clear();
                inArgument = false;
            }
            continue;
        }
        inArgument = true;
        current += c;
    }
    if (inArgument) {
        arguments.push_back(current);
    }
    return arguments;
}

int Executa_E_Aguarda(const std::string& commandLine, int /*showMode*/)
{
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty()) {
        return -1;
    }
    const bool searchPath = arguments[0].find('/') == std::string::npos;
    pid_t child = -1;
    if (!HasBatchExtension(arguments[0])) {
        child = Spawn(arguments, searchPath);
    }
    if (child == -2 || (child == -1 && HasBatchExtension(arguments[0]))) {
        arguments.insert(arguments.begin(), "/bin/sh");
        child = Spawn(arguments, false);
    }
    if (child < 0) {
        return -1;
    }
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace torvik
