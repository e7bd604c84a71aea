#include <gtest/gtest.h>

#include "core/error_messages.h"

namespace {

// Descriptions are found by the first row with a code; the table keeps one row per
// code, in ascending order, and leaves out the codes posted without a message.
TEST(ErrorMessageTable, HoldsOneRowPerCodeInAscendingOrder)
{
    const auto table = lxra::ErrorMessageTable();
    EXPECT_EQ(table.size(), 70u);
    for (size_t i = 1; i < table.size(); ++i) {
        EXPECT_LT(table[i - 1].code, table[i].code) << "row " << i;
    }
    for (long code = 1253; code <= 1256; ++code) {
        EXPECT_EQ(lxra::FindErrorMessage(code), nullptr) << code;
    }
}

}  // namespace
