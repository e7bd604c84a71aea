// The built libraries export exactly their published names: libDactisJava.so the JNI
// name of every native method of com.zembra.dactis.DactisNative, libdactis.so the SDK's
// functions, the bitmap API and the test controls.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "export_table.h"

namespace {

struct Library {
    const char* path;
    const char* list;
};

void ExpectExactly(const Library& library)
{
    const std::set<std::string> published = kit::testing::ReadSymbolList(library.list);
    ASSERT_FALSE(published.empty());
    EXPECT_EQ(kit::testing::UnresolvedSymbols(library.path, published), std::set<std::string>{});
    const std::set<std::string> exported = kit::testing::ExportedSymbols(library.path);
    for (const std::string& symbol : exported) {
        EXPECT_TRUE(published.count(symbol)) << library.path << " exports an unpublished " << symbol;
    }
    for (const std::string& symbol : published) {
        EXPECT_TRUE(exported.count(symbol)) << library.path << " does not export " << symbol;
    }
}

TEST(JavaBridgeExports, BridgeExportsTheJniNameOfEveryNativeMethodAndNothingElse)
{
    ExpectExactly({DACTISJAVA_LIBRARY_PATH, DACTISJAVA_EXPORT_LIST});
    // 22 _native methods and getCallBacks.
    EXPECT_EQ(kit::testing::ReadSymbolList(DACTISJAVA_EXPORT_LIST).size(), 23u);
}

TEST(JavaBridgeExports, SdkExportsItsFunctionsBitmapApiAndTestControls)
{
    ExpectExactly({DACTIS_LIBRARY_PATH, DACTIS_EXPORT_LIST});
}

}  // namespace
