// Grammar images: written by the builder, loaded from files and from memory, and
// refused with the documented errors when they are damaged.

#include "grammar/grammar_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/little_endian.h"
#include "lxra101/grammar_imp.h"
#include "lxra101/lexora_api.h"
#include "scratch_folder.h"
#include "support/posted_errors.h"
#include "support/sample_grammar.h"

namespace {

using lxra::GrammarBuilder;
using lxra::GrammarImage;
using lxra::testing::ErrorCodes;
using lxra::testing::SampleGrammar;
using lxra::testing::StrDetail;

const std::vector<long> kInvalid = {1105, 1103};

GrammarContext& ContextOf(LXGrammar* grammar)
{
    return *static_cast<GrammarImp*>(grammar)->GetContext();
}

class GrammarLoading : public ::testing::Test {
protected:
    std::unique_ptr<LXGrammar> FromFile(const std::vector<char>& image, const std::string& name = "grammar.gmr")
    {
        path_ = dir_.Write(name, std::string_view(image.data(), image.size()));
        return std::unique_ptr<LXGrammar>(api_.LoadGrammar(path_.c_str()));
    }
    // The image must hold every byte its counts say.
    std::unique_ptr<LXGrammar> FromBuffer(const std::vector<char>& image)
    {
        return std::unique_ptr<LXGrammar>(api_.LoadGrammarFromBuffer(image.data()));
    }
    std::unique_ptr<LXGrammar> FromSizedImage(const std::vector<char>& image)
    {
        api_.ClearErrors();
        return std::unique_ptr<LXGrammar>(GrammarImp::LoadGrammarFromImage(image.data(), image.size(), &api_));
    }
    std::vector<long> Errors() const { return ErrorCodes(api_); }

    LexoraAPI api_;
    kit::testing::ScratchFolder dir_;
    std::string path_;
};

// Loading and writing again gives the same bytes: nothing is lost on the way.
TEST_F(GrammarLoading, EveryVersionRoundTripsThroughFileAndMemory)
{
    for (long version : {4L, 5L, 6L, 7L}) {
        SCOPED_TRACE(version);
        SampleGrammar sample(version);
        ASSERT_TRUE(sample.b.Ok());
        const std::vector<char> image = sample.b.Image();
        std::unique_ptr<LXGrammar> fromFile = FromFile(image);
        ASSERT_NE(fromFile, nullptr) << ::testing::PrintToString(Errors());
        EXPECT_EQ(lxra::EncodeImage(ContextOf(fromFile.get()).GetState()), image);
        std::unique_ptr<LXGrammar> fromMemory = FromBuffer(image);
        ASSERT_NE(fromMemory, nullptr) << ::testing::PrintToString(Errors());
        EXPECT_EQ(lxra::EncodeImage(ContextOf(fromMemory.get()).GetState()), image);
        EXPECT_TRUE(Errors().empty());

        GrammarContext& loaded = ContextOf(fromFile.get());
        const lxra::GrammarHeader& header = loaded.GetState().header;
        EXPECT_EQ(header.version, version);
        EXPECT_EQ(header.created, 1234567);
        EXPECT_EQ(header.word8, 8);
        EXPECT_EQ(header.word12, 12);
        EXPECT_EQ(header.word252, 252);
        EXPECT_EQ(header.startSymbol, sample.expr);
        EXPECT_EQ(loaded.Resolve(1, "calc.expr"), sample.expr);
        EXPECT_EQ(loaded.Resolve(sample.rule, "base"), sample.base) << "parent path kept";
        EXPECT_EQ(loaded.GetValue(sample.expr), sample.conjunction);
        EXPECT_EQ(loaded.GetFlags(), version == 7 ? GrammarContext::kSequencesHaveSyncTables : 0UL);
        EXPECT_EQ(loaded.GetErrorManager(), api_.GetErrorManager());
    }
}

TEST_F(GrammarLoading, FixedNameVersionsKeep31Characters)
{
    const std::string name31(31, 'n');
    const std::string name40 = std::string(31, 'm') + "123456789";
    for (long version : {4L, 5L, 6L, 7L}) {
        SCOPED_TRACE(version);
        GrammarBuilder b(version);
        const long g = b.AddGrammar(0, "g");
        const long s31 = b.AddSymbol(g, name31);
        const long s40 = b.AddSymbol(g, name40);
        std::unique_ptr<LXGrammar> grammar = FromFile(b.Image());
        ASSERT_NE(grammar, nullptr);
        GrammarContext& loaded = ContextOf(grammar.get());
        EXPECT_EQ(loaded.GetContextName(s31), name31);
        EXPECT_EQ(loaded.GetContextName(s40), version < 6 ? name40.substr(0, 31) : name40);
    }
}

// S(seed, bytes, base) = seed + sum of signed bytes times (base + i), over the context
// table, each name (base 32 x id), the records and the byte code.
TEST_F(GrammarLoading, ChecksumFollowsThePublishedFormula)
{
    GrammarBuilder b;
    const auto checksum = [&] { return lxra::ReadInt32LE(b.Image().data() + 4); };
    // "<NULL>": 78*1 + 85*2 + 76*3 + 76*4 + 62*5; the rest is zeros.
    EXPECT_EQ(checksum(), 1 + 1090);
    b.Name("ab");  // id 1: 97*32 + 98*33
    EXPECT_EQ(checksum(), 1 + 1090 + 6338);
    b.Bytes("\xff");  // offset 1, signed: -1 * 1
    EXPECT_EQ(checksum(), 1 + 1090 + 6338 - 1);
    b.AddContext(0, "ab", "");  // entry 1 at byte 20: name id 1 -> 1 * 20
    EXPECT_EQ(checksum(), 1 + 1090 + 6338 - 1 + 20);
}

TEST_F(GrammarLoading, LoadedGrammarsCarryTheInvalidFlag)
{
    SampleGrammar sample(6);
    sample.b.SetCompiledWithErrors(true);
    std::unique_ptr<LXGrammar> grammar = FromFile(sample.b.Image());
    ASSERT_NE(grammar, nullptr);
    EXPECT_EQ(ContextOf(grammar.get()).GetFlags(), GrammarContext::kCompiledWithErrors);
}

TEST_F(GrammarLoading, OnlyGrammarExtensionsAreOpened)
{
    const std::vector<char> image = SampleGrammar(7).b.Image();
    for (const char* name : {"g.gmr", "g.GMR", "g.GOB", "g.gob", "g.GmR"}) {
        EXPECT_NE(FromFile(image, name), nullptr) << name;
    }
    // A valid image under another name is never read: only 1102 is posted.
    for (const char* name : {"g.txt", "g.gmrx", "gmr", "dir.gmr/g"}) {
        EXPECT_EQ(FromFile(image, name), nullptr) << name;
        ASSERT_EQ(Errors(), std::vector<long>{1102}) << name;
        EXPECT_EQ(StrDetail(api_.GetLastError(), "PathName"), path_);
        EXPECT_EQ(StrDetail(api_.GetLastError(), "ExtensionExpected"), ".GMR");
    }
    EXPECT_EQ(api_.LoadGrammar(nullptr), nullptr);
    EXPECT_EQ(Errors(), std::vector<long>{1102});
}

TEST_F(GrammarLoading, MissingFilesGiveOnlyTheOpeningError)
{
    const std::string path = dir_.Path("missing.gmr");
    EXPECT_EQ(api_.LoadGrammar(path.c_str()), nullptr);
    EXPECT_EQ(Errors(), std::vector<long>{1103});
    EXPECT_EQ(StrDetail(api_.GetLastError(), "PathName"), path);
    std::filesystem::create_directory(dir_.Path("folder.gmr"));
    EXPECT_EQ(api_.LoadGrammar(dir_.Path("folder.gmr").c_str()), nullptr);
    EXPECT_EQ(Errors(), std::vector<long>{1103});
}

TEST_F(GrammarLoading, LoadsClearBothListsFirst)
{
    const std::vector<char> image = SampleGrammar(7).b.Image();
    api_.ThrowError(1001);
    api_.PostWarning(1700);
    EXPECT_NE(FromFile(image), nullptr);
    EXPECT_EQ(api_.GetNumErrors(), 0);
    EXPECT_EQ(api_.GetNumWarnings(), 0);
    api_.PostWarning(1700);
    EXPECT_NE(FromBuffer(image), nullptr);
    EXPECT_EQ(api_.GetNumWarnings(), 0);
}

TEST_F(GrammarLoading, VersionsOutside4To7AreRefusedAfterTheChecksum)
{
    for (long version : {3L, 8L, 0L, -7L}) {
        GrammarBuilder b(version);
        b.AddSymbol(b.AddGrammar(0, "g"), "s", b.Conjunction({b.Literal("x")}));
        EXPECT_EQ(FromFile(b.Image()), nullptr) << version;
        EXPECT_EQ(Errors(), std::vector<long>{1104}) << version;
        EXPECT_EQ(FromBuffer(b.Image()), nullptr) << version;
        EXPECT_EQ(Errors(), std::vector<long>{1104}) << version;
    }
}

TEST_F(GrammarLoading, ImagesInMemoryMustCarryTheMarker)
{
    SampleGrammar sample(7);
    sample.b.SetHeaderText("This grammar was generated by someone");
    const std::vector<char> image = sample.b.Image();
    EXPECT_EQ(FromBuffer(image), nullptr);
    EXPECT_EQ(Errors(), kInvalid);
    EXPECT_EQ(FromSizedImage(image), nullptr);
    EXPECT_EQ(Errors(), kInvalid);
    EXPECT_NE(FromFile(image), nullptr) << "files need no marker";
    EXPECT_EQ(api_.LoadGrammarFromBuffer(nullptr), nullptr);
    EXPECT_EQ(Errors(), std::vector<long>{1103});
}

TEST_F(GrammarLoading, AChangedByteFailsTheChecksum)
{
    const std::vector<char> image = SampleGrammar(7).b.Image();
    const size_t contexts = 260;
    const size_t firstName = contexts + 20 * static_cast<size_t>(lxra::ReadInt32LE(image.data() + 256)) + 4 + 4;
    for (size_t at : {contexts + 1, firstName + 1, image.size() - 2}) {
        std::vector<char> changed = image;
        changed[at] = static_cast<char>(changed[at] ^ 0x40);
        EXPECT_EQ(FromFile(changed), nullptr) << at;
        EXPECT_EQ(Errors(), kInvalid) << at;
        EXPECT_EQ(StrDetail(api_.GetLastError(), "PathName"), path_);
        EXPECT_EQ(FromBuffer(changed), nullptr) << at;
        EXPECT_EQ(Errors(), kInvalid) << at;
    }
}

TEST_F(GrammarLoading, TruncatedImagesAreRefused)
{
    const std::vector<char> image = SampleGrammar(7).b.Image();
    for (size_t size = 0; size < image.size(); size += 1 + image.size() / 97) {
        const std::vector<char> cut(image.begin(), image.begin() + static_cast<long>(size));
        EXPECT_EQ(FromFile(cut), nullptr) << size;
        EXPECT_EQ(Errors(), kInvalid) << size;
        EXPECT_EQ(FromSizedImage(cut), nullptr) << size;
        EXPECT_EQ(Errors(), kInvalid) << size;
    }
    std::vector<char> longer = image;
    longer.resize(image.size() + 10, 'x');
    EXPECT_NE(FromFile(longer), nullptr) << "bytes after the byte code are not read";
}

void PatchWord(std::vector<char>& code, long offset, int32_t value)
{
    ASSERT_LE(static_cast<size_t>(offset) + 4, code.size());
    lxra::WriteInt32LE(code.data() + offset, value);
}

// Images whose checksum is right but whose counts or references are not.
TEST_F(GrammarLoading, OutOfRangeCountsAndReferencesAreRefused)
{
    SampleGrammar s(7);
    const GrammarImage model = s.b.Model();
    const auto names = static_cast<int32_t>(model.names.size());
    const auto codeLength = static_cast<int32_t>(model.byteCode.size());
    const int32_t past = codeLength + 4;
    using Damage = std::function<void(GrammarImage&)>;
    const std::vector<std::pair<const char*, Damage>> cases = {
        {"1025 contexts", [](GrammarImage& m) { m.contexts.resize(1025); }},
        {"no contexts", [](GrammarImage& m) { m.contexts.clear(); }},
        {"parent outside the table", [&](GrammarImage& m) { m.contexts[s.expr].parent = 5000; }},
        {"negative parent", [&](GrammarImage& m) { m.contexts[s.expr].parent = -1; }},
        {"parent created later", [&](GrammarImage& m) { m.contexts[s.calc].parent = s.expr; }},
        {"context 0 with a parent", [](GrammarImage& m) { m.contexts[0].parent = 1; }},
        {"name id outside the names", [&](GrammarImage& m) { m.contexts[s.expr].nameId = names; }},
        {"negative name id", [&](GrammarImage& m) { m.contexts[s.expr].nameId = -2; }},
        {"kind outside the names", [&](GrammarImage& m) { m.contexts[s.expr].kind = names + 3; }},
        {"record above the stored count",
         [&](GrammarImage& m) { m.contexts[s.expr].parentRecord = static_cast<int32_t>(m.records.size()) + 1; }},
        {"negative record", [&](GrammarImage& m) { m.contexts[s.expr].parentRecord = -1; }},
        {"64 records", [](GrammarImage& m) { m.records.resize(64); }},
        {"9 paths", [](GrammarImage& m) { m.records[0].pathCount = 9; }},
        {"negative path count", [](GrammarImage& m) { m.records[0].pathCount = -1; }},
        {"path of 9 names", [](GrammarImage& m) { m.records[0].paths[0].length = 9; }},
        {"negative path length", [](GrammarImage& m) { m.records[0].paths[0].length = -1; }},
        {"path name outside the names", [&](GrammarImage& m) { m.records[0].paths[0].ids[0] = names; }},
        {"value outside the byte code", [&](GrammarImage& m) { m.contexts[s.expr].value = codeLength; }},
        {"value with no room for an opcode", [&](GrammarImage& m) { m.contexts[s.expr].value = codeLength - 3; }},
        {"negative value", [&](GrammarImage& m) { m.contexts[s.expr].value = -4; }},
        {"start symbol outside the table",
         [](GrammarImage& m) { m.header.startSymbol = static_cast<int32_t>(m.contexts.size()); }},
        {"no names", [](GrammarImage& m) { m.names.clear(); }},
        {"name holding a NUL", [](GrammarImage& m) { m.names.push_back(std::string("a\0b", 3)); }},
        {"negative literal length", [&](GrammarImage& m) { PatchWord(m.byteCode, s.literal + 4, -1); }},
        {"literal past the end", [&](GrammarImage& m) { PatchWord(m.byteCode, s.literal + 4, codeLength); }},
        {"sequence item outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.conjunction + 8, past); }},
        {"sequence count past the end", [&](GrammarImage& m) { PatchWord(m.byteCode, s.conjunction + 4, 1 << 20); }},
        {"negative sequence count", [&](GrammarImage& m) { PatchWord(m.byteCode, s.conjunction + 4, -1); }},
        {"negative alternative", [&](GrammarImage& m) { PatchWord(m.byteCode, s.disjunction + 8, -8); }},
        {"repeat item outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.repeat + 12, past); }},
        {"repeat separator outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.repeat + 16, -1); }},
        {"symbol name id outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.symbolRef + 8, names); }},
        {"negative symbol name count", [&](GrammarImage& m) { PatchWord(m.byteCode, s.symbolRef + 4, -1); }},
        {"skip target outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.skipTo + 4, past); }},
        {"body outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.lengthConstraint + 12, past); }},
        {"space count below -1", [&](GrammarImage& m) { PatchWord(m.byteCode, s.setSpaces + 8, -2); }},
        {"space characters past the end", [&](GrammarImage& m) { PatchWord(m.byteCode, s.setSpaces + 8, codeLength); }},
        {"space symbol outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.setSpaceSymbol + 12, past); }},
        {"string list entry past the end",
         [&](GrammarImage& m) { PatchWord(m.byteCode, s.stringList + 8, codeLength); }},
        {"negative string list entry", [&](GrammarImage& m) { PatchWord(m.byteCode, s.stringList + 8, -1); }},
        {"string list count past the end", [&](GrammarImage& m) { PatchWord(m.byteCode, s.stringList + 4, 1 << 20); }},
        {"compare text past the end", [&](GrammarImage& m) { PatchWord(m.byteCode, s.compare + 4, codeLength); }},
        {"negative compare text", [&](GrammarImage& m) { PatchWord(m.byteCode, s.compare + 4, -1); }},
        {"production path past the end",
         [&](GrammarImage& m) { PatchWord(m.byteCode, s.productionCheck + 4, codeLength); }},
        {"name expression outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.symbolFunction + 4, past); }},
        {"name expression part past the end",
         [&](GrammarImage& m) { PatchWord(m.byteCode, s.nameExpression + 8, codeLength); }},
        {"token symbol outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.setToken + 8, past); }},
        {"error description not a literal", [&](GrammarImage& m) { PatchWord(m.byteCode, s.errorMark + 8, s.repeat); }},
        {"computed length bound not a literal",
         [&](GrammarImage& m) { PatchWord(m.byteCode, s.computedLength + 8, s.charRange); }},
        {"synchronisation table outside",
         [&](GrammarImage& m) { PatchWord(m.byteCode, s.conjunction + 8 + 4 * 20, past); }},
        {"synchronisation table past the end",
         [&](GrammarImage& m) { PatchWord(m.byteCode, s.syncTable + 4, 1 << 20); }},
        {"synchronisation term outside", [&](GrammarImage& m) { PatchWord(m.byteCode, s.syncTable + 8, past); }},
        {"last instruction cut by the end", [](GrammarImage& m) { m.byteCode.pop_back(); }},
    };
    ASSERT_NE(FromBuffer(lxra::EncodeImage(model)), nullptr) << "the undamaged image loads";
    for (const auto& [what, damage] : cases) {
        SCOPED_TRACE(what);
        GrammarImage damaged = model;
        damage(damaged);
        const std::vector<char> image = lxra::EncodeImage(damaged);
        EXPECT_EQ(FromFile(image), nullptr);
        EXPECT_EQ(Errors(), kInvalid);
        EXPECT_EQ(FromSizedImage(image), nullptr);
        EXPECT_EQ(Errors(), kInvalid);
        EXPECT_EQ(FromBuffer(image), nullptr);
        EXPECT_EQ(Errors(), kInvalid);
    }
}

TEST_F(GrammarLoading, FixedNameFieldsNeedTheirTerminator)
{
    SampleGrammar sample(5);
    std::vector<char> image = sample.b.Image();
    const size_t contexts = static_cast<size_t>(lxra::ReadInt32LE(image.data() + 256));
    const size_t secondName = 256 + 4 + 20 * contexts + 4 + 32;
    for (size_t i = 0; i < 32; ++i) {
        image[secondName + i] = 'z';
    }
    EXPECT_EQ(FromFile(image), nullptr);
    EXPECT_EQ(Errors(), kInvalid);
}

// Instructions outside the set are the parser's concern; a grammar holding them loads.
TEST_F(GrammarLoading, UndefinedOpcodesLoad)
{
    GrammarBuilder b;
    b.AddSymbol(b.AddGrammar(0, "g"), "s", b.Conjunction({b.Words({6}), b.Words({22}), b.Words({31, 7, 7})}));
    EXPECT_NE(FromFile(b.Image()), nullptr);
}

TEST(ContextSerialize, AFailedReadLeavesTheContextAsItWas)
{
    kit::testing::ScratchFolder dir;
    GrammarBuilder b;
    b.AddSymbol(b.AddGrammar(0, "g"), "s");
    LXErrorManager errors;
    b.GetContext().SetErrorManager(&errors);
    std::vector<char> image = SampleGrammar(7).b.Image();
    image[image.size() - 1] ^= 1;
    const std::string path = dir.Write("bad.gmr", std::string_view(image.data(), image.size()));
    EXPECT_EQ(b.GetContext().Serialize(path.c_str(), 0), 0);
    EXPECT_EQ(ErrorCodes(errors), std::vector<long>{1105});
    EXPECT_EQ(b.GetContext().GetNumContexts(), 3);
    EXPECT_EQ(b.GetContext().Resolve(1, "s"), 2);
    EXPECT_EQ(b.GetContext().Serialize("", 0), 0);
    EXPECT_EQ(b.GetContext().Serialize(dir.Path("none/x.gmr").c_str(), 1), 0);
}

}  // namespace
