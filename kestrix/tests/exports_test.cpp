// The built libKestrixDLL.so exports exactly the library's published entry points: each
// listed name resolves for a program that loads it, and nothing else is visible.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "export_table.h"

namespace {

using Library = std::unique_ptr<void, int (*)(void*)>;

Library Load()
{
    return Library(dlopen(KESTRIX_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL), dlclose);
}

template <typename Function>
Function* Resolve(const Library& library, const char* name)
{
    return reinterpret_cast<Function*>(dlsym(library.get(), name));
}

TEST(Exports, EveryPublishedNameResolves)
{
    const std::set<std::string> published = kit::testing::ReadSymbolList(KESTRIX_EXPORT_LIST);
    ASSERT_FALSE(published.empty());
    EXPECT_EQ(kit::testing::UnresolvedSymbols(KESTRIX_LIBRARY_PATH, published), std::set<std::string>{});
}

TEST(Exports, NothingElseIsExported)
{
    const std::set<std::string> published = kit::testing::ReadSymbolList(KESTRIX_EXPORT_LIST);
    const std::set<std::string> exported = kit::testing::ExportedSymbols(KESTRIX_LIBRARY_PATH);
    for (const std::string& symbol : exported) {
        EXPECT_TRUE(published.count(symbol)) << "exported but not published: " << symbol;
    }
    for (const std::string& symbol : published) {
        EXPECT_TRUE(exported.count(symbol)) << "published but not exported: " << symbol;
    }
}

TEST(Exports, GeometryAndVersionAnswerThroughTheLoadedLibrary)
{
    const Library library = Load();
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_EQ(Resolve<short()>(library, "GetImgWidth")(), 352);
    EXPECT_EQ(Resolve<short()>(library, "GetImgHeight")(), 288);
    EXPECT_EQ(Resolve<int()>(library, "GetImgSize")(), 101376);
    EXPECT_EQ(Resolve<short()>(library, "GetFeatSize")(), 9456);
    EXPECT_STREQ(Resolve<const char*()>(library, "GetSDKVersion")(),
                 "DLL ver:040903\nCap ver:040903\nAlgo ver:Algorithm SDK 3.0, Date : 040903");
    EXPECT_EQ(Resolve<short()>(library, "AlgoInit")(), 1);
}

}  // namespace
