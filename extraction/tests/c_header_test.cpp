// The public header serves C hosts: a C source includes it and calls an export.

#include <gtest/gtest.h>

extern "C" int FenraxVersionCalledFromC(void);

namespace {

TEST(PublicHeader, CompilesAndLinksAsC)
{
    EXPECT_EQ(FenraxVersionCalledFromC(), 1160);
}

}  // namespace
