// The built libLxra101.so exports exactly the runtime's published interface: every
// listed symbol resolves for a program that loads it, and nothing else is visible.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "export_table.h"

namespace {

TEST(Exports, EveryPublishedSymbolResolves)
{
    const std::set<std::string> published = kit::testing::ReadSymbolList(LXRA101_EXPORT_LIST);
    ASSERT_FALSE(published.empty());
    EXPECT_EQ(kit::testing::UnresolvedSymbols(LXRA101_LIBRARY_PATH, published), std::set<std::string>{});
    std::unique_ptr<void, int (*)(void*)> library(dlopen(LXRA101_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL), dlclose);
    ASSERT_NE(library, nullptr) << dlerror();
    auto version = reinterpret_cast<long (*)()>(dlsym(library.get(), "_Z19__GetLxraLibVersionv"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 112402);
}

TEST(Exports, NothingElseIsExported)
{
    const std::set<std::string> published = kit::testing::ReadSymbolList(LXRA101_EXPORT_LIST);
    const std::set<std::string> exported = kit::testing::ExportedSymbols(LXRA101_LIBRARY_PATH);
    for (const std::string& symbol : exported) {
        EXPECT_TRUE(published.count(symbol)) << "exported but not published: " << symbol;
    }
    for (const std::string& symbol : published) {
        EXPECT_TRUE(exported.count(symbol)) << "published but not exported: " << symbol;
    }
}

}  // namespace
