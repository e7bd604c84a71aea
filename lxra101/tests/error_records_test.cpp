#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "lxra101/file_helpers.h"
#include "lxra101/lexora_api.h"

namespace {

// A text buffer with guard bytes after the part the callee may use.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t size) : size_(size), bytes_(size + kGuard, kFill) {}
    char* data() { return bytes_.data(); }
    bool GuardIntact() const
    {
        for (size_t i = size_; i < bytes_.size(); ++i) {
            if (bytes_[i] != kFill) {
                return false;
            }
        }
        return true;
    }
    bool Untouched() const { return bytes_[0] == kFill && GuardIntact(); }

private:
    static constexpr size_t kGuard = 16;
    static constexpr char kFill = 0x5A;
    size_t size_;
    std::vector<char> bytes_;
};

std::string Details(LXError* error, unsigned size = 256)
{
    GuardedBuffer buf(size);
    std::string text = error->GetDetails(buf.data(), size);
    EXPECT_TRUE(buf.GuardIntact());
    return text;
}

TEST(LXErrorTest, DetailsKeepInsertionOrderAndFormatValues)
{
    LexoraAPI api;
    LXError* error = api.ThrowError(1702);
    error->SetIntDetail("Severity", 0);
    error->SetIntDetail("StartPos", 17);
    EXPECT_EQ(Details(error), "Severity=0, StartPos=17");
    error->SetStrDetail("Symbol", "expr");
    error->SetIntDetail("Offset", -5);
    EXPECT_EQ(Details(error), "Severity=0, StartPos=17, Symbol=expr, Offset=-5");
}

TEST(LXErrorTest, ReadingAMissingDetailAddsIt)
{
    LexoraAPI api;
    LXError* error = api.ThrowError(1005);
    EXPECT_EQ(Details(error), "");
    EXPECT_EQ(error->GetIntDetail("LineNumber"), 0);
    EXPECT_EQ(error->GetStrDetail("Text"), nullptr);
    EXPECT_EQ(Details(error), "LineNumber=0, Text=0");
}

TEST(LXErrorTest, DetailNamesIgnoreCaseAndKeep31Characters)
{
    LexoraAPI api;
    LXError* error = api.ThrowError(1005);
    error->SetIntDetail("StartPos", 3);
    EXPECT_EQ(error->GetIntDetail("STARTPOS"), 3);
    error->SetIntDetail("startpos", 4);
    EXPECT_EQ(Details(error), "StartPos=4");

    const std::string longName(40, 'n');
    error->SetIntDetail(longName.c_str(), 9);
    EXPECT_EQ(error->GetIntDetail(longName.substr(0, 31).c_str()), 9);
    EXPECT_EQ(error->GetIntDetail((longName + "other").c_str()), 9);
    EXPECT_EQ(Details(error), "StartPos=4, " + longName.substr(0, 31) + "=9");
}

TEST(LXErrorTest, StringValuesAreCopiedAndReplaceTheInteger)
{
    LexoraAPI api;
    LXError* error = api.ThrowError(1005);
    char value[] = "first";
    error->SetIntDetail("Name", 12);
    error->SetStrDetail("Name", value);
    std::strcpy(value, "xxxxx");
    EXPECT_STREQ(error->GetStrDetail("Name"), "first");
    EXPECT_EQ(error->GetIntDetail("Name"), 12);
    EXPECT_EQ(Details(error), "Name=first");
    error->SetStrDetail("Name", nullptr);
    EXPECT_EQ(error->GetStrDetail("Name"), nullptr);
    EXPECT_EQ(Details(error), "Name=12");
}

TEST(LXErrorTest, NullDetailNamesAreIgnored)
{
    LexoraAPI api;
    LXError* error = api.ThrowError(1005);
    error->SetIntDetail(nullptr, 1);
    error->SetStrDetail(nullptr, "x");
    EXPECT_EQ(error->GetIntDetail(nullptr), 0);
    EXPECT_EQ(error->GetStrDetail(nullptr), nullptr);
    EXPECT_EQ(Details(error), "");
}

TEST(LXErrorTest, GetDetailsStopsAtTheFirstDetailThatDoesNotFit)
{
    LexoraAPI api;
    LXError* error = api.ThrowError(1702);
    error->SetIntDetail("Severity", 0);
    error->SetIntDetail("StartPos", 17);
    struct Case {
        unsigned size;
        const char* text;
    };
    const Case cases[] = {
        {1, ""}, {12, ""}, {13, "Severity=0"}, {23, "Severity=0"}, {24, "Severity=0, StartPos=17"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size));
        EXPECT_EQ(Details(error, c.size), c.text);
    }
    GuardedBuffer none(0);
    EXPECT_STREQ(error->GetDetails(none.data(), 0), "");
    EXPECT_TRUE(none.Untouched());
    EXPECT_STREQ(error->GetDetails(nullptr, 10), "");
}

TEST(LXErrorTest, DescriptionsComeFromTheMessageTable)
{
    struct Case {
        long code;
        const char* message;
    };
    const Case cases[] = {
        {1001, "Internal error"},
        {1002, "Unresolved symbol"},
        {1506, "Unresolved symbol"},
        {1009, "#SYMBOL function failed - could not resolve symbol name"},
        {1011, "No ending quote found for 'quotedstring'"},
        {1099, "Parse Aborted"},
        {1251, "Maximum number of symbol names exceeded"},
        {1504, "Max number of symbol names exceeded"},
        {1511, "Generated a unique name for project grammar to avoid name conflict"},
        {1611, "Invalid cache - Wrong cache version"},
        {1703, "Expected term not found"},
        {1253, ""},
        {1254, ""},
        {1255, ""},
        {1256, ""},
        {0, ""},
        {-1, ""},
        {9999, ""},
    };
    LexoraAPI api;
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        LXError* error = api.ThrowError(c.code);
        EXPECT_EQ(error->GetCode(), c.code);
        GuardedBuffer buf(128);
        EXPECT_STREQ(error->GetDescription(buf.data(), 128), c.message);
        EXPECT_TRUE(buf.GuardIntact());
    }
}

TEST(LXErrorTest, DescriptionsAreCutToTheBuffer)
{
    LexoraAPI api;
    LXError* error = api.ThrowError(1005);  // "Parse failed"
    struct Case {
        int size;
        const char* text;
    };
    const Case cases[] = {{1, ""}, {6, "Parse"}, {12, "Parse faile"}, {13, "Parse failed"}};
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size));
        GuardedBuffer buf(static_cast<size_t>(c.size));
        EXPECT_STREQ(error->GetDescription(buf.data(), c.size), c.text);
        EXPECT_TRUE(buf.GuardIntact());
    }
    for (int size : {0, -3}) {
        GuardedBuffer buf(0);
        EXPECT_STREQ(error->GetDescription(buf.data(), size), "");
        EXPECT_TRUE(buf.Untouched());
    }
    EXPECT_STREQ(error->GetDescription(nullptr, 10), "");
}

std::vector<long> ErrorsNewestFirst(const LexoraAPI& api)
{
    std::vector<long> codes;
    for (LXError* e = api.GetLastError(); e != nullptr; e = api.GetPrevError(e)) {
        codes.push_back(e->GetCode());
    }
    return codes;
}

std::vector<long> WarningsOldestFirst(const LexoraAPI& api)
{
    std::vector<long> codes;
    for (LXError* w = api.GetFirstWarning(); w != nullptr; w = api.GetNextWarning(w)) {
        codes.push_back(w->GetCode());
    }
    return codes;
}

TEST(LexoraAPITest, ErrorsAreWalkedNewestFirstAndWarningsOldestFirst)
{
    LexoraAPI api;
    EXPECT_EQ(api.Init(), 1);
    EXPECT_EQ(api.GetLastError(), nullptr);
    EXPECT_EQ(api.GetFirstWarning(), nullptr);

    LXError* first = api.ThrowError(1001);
    api.ThrowError(1002);
    api.ThrowError(1003);
    api.PostWarning(1551);
    api.PostWarning(1552);
    LXError* newestWarning = api.PostWarning(1553);

    EXPECT_EQ(ErrorsNewestFirst(api), (std::vector<long>{1003, 1002, 1001}));
    EXPECT_EQ(WarningsOldestFirst(api), (std::vector<long>{1551, 1552, 1553}));
    EXPECT_EQ(api.GetNumErrors(), 3);
    EXPECT_EQ(api.GetNumWarnings(), 3);

    EXPECT_EQ(api.GetPrevError(first), nullptr);
    EXPECT_EQ(api.GetNextWarning(newestWarning), nullptr);
    // A record of the other list, or none at all, is not in the list walked.
    EXPECT_EQ(api.GetPrevError(newestWarning), nullptr);
    EXPECT_EQ(api.GetNextWarning(first), nullptr);
    EXPECT_EQ(api.GetPrevError(nullptr), nullptr);
    EXPECT_EQ(api.GetNextWarning(nullptr), nullptr);
}

TEST(LexoraAPITest, ClearingOneListLeavesTheOther)
{
    LexoraAPI api;
    api.ThrowError(1005)->SetStrDetail("Text", "abc");
    api.PostWarning(1703);

    api.ClearErrors();
    EXPECT_EQ(api.GetNumErrors(), 0);
    EXPECT_EQ(api.GetLastError(), nullptr);
    EXPECT_EQ(WarningsOldestFirst(api), (std::vector<long>{1703}));

    api.ThrowError(1006);
    api.ClearWarnings();
    EXPECT_EQ(api.GetNumWarnings(), 0);
    EXPECT_EQ(ErrorsNewestFirst(api), (std::vector<long>{1006}));
}

TEST(LexoraAPITest, ManyRecordsOutliveGrowthOfTheLists)
{
    LexoraAPI api;
    std::vector<LXError*> handed;
    for (long code = 0; code < 300; ++code) {
        handed.push_back(api.ThrowError(code));
        handed.back()->SetIntDetail("N", code);
    }
    long expected = 299;
    for (LXError* e = api.GetLastError(); e != nullptr; e = api.GetPrevError(e), --expected) {
        ASSERT_EQ(e, handed[static_cast<size_t>(expected)]);
        ASSERT_EQ(e->GetIntDetail("n"), expected);
    }
    EXPECT_EQ(expected, -1);
}

TEST(LexoraAPITest, ReportsTheRuntimeVersion)
{
    EXPECT_EQ(__GetLxraLibVersion(), 112402);
}

}  // namespace
