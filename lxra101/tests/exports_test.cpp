// The built libLxra101.so exports exactly the runtime's published interface: every
// listed symbol resolves for a program that loads it, and nothing else is visible.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <string>

namespace {

std::set<std::string> PublishedSymbols()
{
    std::set<std::string> symbols;
    std::ifstream list(LXRA101_EXPORT_LIST);
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line[0] != '#') {
            symbols.insert(line);
        }
    }
    return symbols;
}

// Symbols a sanitizer build adds for its own bookkeeping.
bool IsInstrumentation(const std::string& symbol)
{
    for (const char* prefix : {"__asan", "___asan", "__odr_asan", "__ubsan", "__sanitizer", "__sancov", "__lsan"}) {
        if (symbol.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};

TEST(Exports, EveryPublishedSymbolResolves)
{
    const std::set<std::string> published = PublishedSymbols();
    ASSERT_FALSE(published.empty());
    std::unique_ptr<void, LibraryCloser> library(dlopen(LXRA101_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL));
    ASSERT_NE(library, nullptr) << dlerror();
    for (const std::string& symbol : published) {
        EXPECT_NE(dlsym(library.get(), symbol.c_str()), nullptr) << symbol;
    }
    auto version = reinterpret_cast<long (*)()>(dlsym(library.get(), "_Z19__GetLxraLibVersionv"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 112402);
}

TEST(Exports, NothingElseIsExported)
{
    const std::string command = std::string("nm -D --defined-only ") + LXRA101_LIBRARY_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    const std::set<std::string> published = PublishedSymbols();
    std::set<std::string> exported;
    char type = 0;
    char name[1024];
    char line[1200];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        if (std::sscanf(line, "%*s %c %1023s", &type, name) == 2 && !IsInstrumentation(name)) {
            exported.insert(name);
        }
    }
    ASSERT_EQ(pclose(pipe), 0) << "nm failed";
    for (const std::string& symbol : exported) {
        EXPECT_TRUE(published.count(symbol)) << "exported but not published: " << symbol;
    }
    for (const std::string& symbol : published) {
        EXPECT_TRUE(exported.count(symbol)) << "published but not exported: " << symbol;
    }
}

}  // namespace
