#include <gtest/gtest.h>

#include <string>

#include "lxra101/lx_string.h"
#include "lxra101/ptr_array.h"

namespace {

const char* Text(const LXString& s)
{
    return static_cast<const char*>(s);
}

TEST(LXStringTest, CopiesShareTheTextUntilOneIsReassigned)
{
    LXString original("Grammar");
    LXString copy(original);
    LXString assigned;
    assigned = original;
    EXPECT_EQ(Text(copy), Text(original));
    EXPECT_EQ(Text(assigned), Text(original));

    copy = "Other";
    EXPECT_STREQ(Text(copy), "Other");
    EXPECT_STREQ(Text(original), "Grammar");
    EXPECT_EQ(Text(assigned), Text(original));
}

TEST(LXStringTest, ConstructionFromTextCopiesIt)
{
    std::string source(1000, 'x');
    LXString s(source.c_str());
    source[0] = 'y';
    EXPECT_EQ(std::string(Text(s)), std::string(1000, 'x'));
}

TEST(LXStringTest, StringsWithoutTextYieldNull)
{
    LXString empty;
    LXString fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(Text(empty), nullptr);
    EXPECT_EQ(Text(fromNull), nullptr);
    LXString copyOfEmpty(empty);
    EXPECT_EQ(Text(copyOfEmpty), nullptr);
}

TEST(LXStringTest, AssignmentsSurviveAliasing)
{
    LXString s("Start");
    s = s;
    EXPECT_STREQ(Text(s), "Start");
    s = Text(s) + 2;  // text inside the string's own block
    EXPECT_STREQ(Text(s), "art");
    LXString other(s);
    s = other;  // both already share the block
    EXPECT_STREQ(Text(s), "art");
}

TEST(LXStringTest, EqualityIgnoresCaseAndNeedsTextOnBothSides)
{
    struct Case {
        const char* left;
        const char* right;
        int equal;
    };
    const Case cases[] = {
        {"Symbol", "SYMBOL", 1}, {"Symbol", "symbol", 1}, {"Symbol", "Symbols", 0}, {"", "", 1},
        {"a", "b", 0},           {nullptr, "x", 0},       {"x", nullptr, 0},        {nullptr, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.left ? c.left : "(null)") + " vs " + (c.right ? c.right : "(null)"));
        const LXString left(c.left);
        EXPECT_EQ(left == c.right, c.equal);
        EXPECT_EQ(left == LXString(c.right), c.equal);
    }
}

void* Item(int i)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(0x1000 + i));
}

TEST(PtrArrayTest, AddKeepsEveryItemAcrossGrowth)
{
    PtrArray array;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(array.Add(Item(i)), i);
    }
    EXPECT_EQ(array.GetSize(), 100);
    EXPECT_EQ(array.GetUpperBound(), 99);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(array.GetAt(i), Item(i));
    }
}

TEST(PtrArrayTest, InsertAtPlacesItemsOrRefusesBadIndexes)
{
    struct Case {
        long index;
        long result;
        std::string order;  // items after the insertion, by letter
    };
    const Case cases[] = {
        {-1, 3, "abcX"}, {0, 3, "Xabc"}, {1, 3, "aXbc"}, {3, 3, "abcX"}, {4, -1, "abc"}, {-2, -1, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("index " + std::to_string(c.index));
        char letters[] = "abcX";
        PtrArray array;
        for (int i = 0; i < 3; ++i) {
            array.Add(&letters[i]);
        }
        EXPECT_EQ(array.InsertAt(c.index, &letters[3]), c.result);
        std::string order;
        for (long i = 0; i < array.GetSize(); ++i) {
            order += *static_cast<char*>(array.GetAt(i));
        }
        EXPECT_EQ(order, c.order);
    }
}

TEST(PtrArrayTest, InsertAtGrowsAFullArray)
{
    PtrArray array;
    for (int i = 0; i < 16; ++i) {
        array.Add(Item(i));
    }
    EXPECT_EQ(array.InsertAt(0, Item(99)), 16);
    EXPECT_EQ(array.GetAt(0), Item(99));
    EXPECT_EQ(array.GetAt(16), Item(15));
}

TEST(PtrArrayTest, AccessOutsideTheItemsIsHarmless)
{
    PtrArray array;
    EXPECT_EQ(array.GetAt(0), nullptr);
    EXPECT_EQ(array.GetUpperBound(), -1);
    array.Add(Item(0));
    array.Add(Item(1));
    EXPECT_EQ(array.GetAt(-1), nullptr);
    EXPECT_EQ(array.GetAt(2), nullptr);
    EXPECT_EQ(array.SetAt(2, Item(7)), 0);
    EXPECT_EQ(array.SetAt(-1, Item(7)), 0);
    EXPECT_EQ(array.GetAt(0), Item(0));
    EXPECT_EQ(array.SetAt(1, Item(7)), 1);
    EXPECT_EQ(array.GetAt(1), Item(7));
    array.RemoveAt(5);
    array.RemoveAt(-1);
    EXPECT_EQ(array.GetSize(), 2);
}

TEST(PtrArrayTest, RemoveAtClosesTheGapAndRemoveAllEmpties)
{
    PtrArray array;
    for (int i = 0; i < 5; ++i) {
        array.Add(Item(i));
    }
    array.RemoveAt(1);
    array.RemoveAt(3);  // the last one
    ASSERT_EQ(array.GetSize(), 3);
    EXPECT_EQ(array.GetAt(0), Item(0));
    EXPECT_EQ(array.GetAt(1), Item(2));
    EXPECT_EQ(array.GetAt(2), Item(3));

    array.RemoveAll();
    EXPECT_EQ(array.GetSize(), 0);
    EXPECT_EQ(array.GetAt(0), nullptr);
    EXPECT_EQ(array.Add(Item(9)), 0);
    EXPECT_EQ(array.GetAt(0), Item(9));
}

}  // namespace
