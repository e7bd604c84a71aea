#include "export_table.h"

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace kit::testing {
namespace {

bool IsInstrumentation(const std::string& symbol)
{
    for (const char* prefix : {"__asan", "___asan", "__odr_asan", "__ubsan", "__sanitizer", "__sancov", "__lsan"}) {
        if (symbol.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

struct PipeCloser {
    void operator()(FILE* pipe) const { pclose(pipe); }
};

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};

}  // namespace

std::set<std::string> ReadSymbolList(const std::string& listFile)
{
    std::set<std::string> symbols;
    std::ifstream list(listFile);
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line[0] != '#') {
            symbols.insert(line);
        }
    }
    return symbols;
}

std::set<std::string> ExportedSymbols(const std::string& library)
{
    FILE* raw = popen(("nm -D --defined-only '" + library + "' 2>&1").c_str(), "r");
    if (raw == nullptr) {
        throw std::runtime_error("cannot run nm");
    }
    std::unique_ptr<FILE, PipeCloser> pipe(raw);
    std::set<std::string> exported;
    char type = 0;
    char name[1024];
    char line[1200];
    while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        if (std::sscanf(line, "%*s %c %1023s", &type, name) == 2 && !IsInstrumentation(name)) {
            exported.insert(name);
        }
    }
    if (pclose(pipe.release()) != 0) {
        throw std::runtime_error("nm cannot read " + library);
    }
    return exported;
}

std::set<std::string> UnresolvedSymbols(const std::string& library, const std::set<std::string>& names)
{
    std::unique_ptr<void, LibraryCloser> handle(dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (handle == nullptr) {
        return names;
    }
    std::set<std::string> unresolved;
    for (const std::string& name : names) {
        if (dlsym(handle.get(), name.c_str()) == nullptr) {
            unresolved.insert(name);
        }
    }
    return unresolved;
}

}  // namespace kit::testing
