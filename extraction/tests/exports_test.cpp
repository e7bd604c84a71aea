// The built libFenrax.so exports exactly its five functions, under their undecorated names.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "export_table.h"

namespace {

TEST(Exports, EveryPublishedFunctionResolves)
{
    const std::set<std::string> published = kit::testing::ReadSymbolList(FENRAX_EXPORT_LIST);
    ASSERT_EQ(published.size(), 5u);
    EXPECT_EQ(kit::testing::UnresolvedSymbols(FENRAX_LIBRARY_PATH, published), std::set<std::string>{});
}

TEST(Exports, NothingElseIsExported)
{
    const std::set<std::string> published = kit::testing::ReadSymbolList(FENRAX_EXPORT_LIST);
    EXPECT_EQ(kit::testing::ExportedSymbols(FENRAX_LIBRARY_PATH), published);
}

}  // namespace
