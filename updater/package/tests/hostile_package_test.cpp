// Damaged and hostile packages: whatever the bytes, the restore ends with an error,
// writes nothing outside the target folder and leaves the files it did not finish alone.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "common/updater_error.h"
#include "package/package_stream.h"
#include "restore_fixture.h"

namespace torvik::package::testing {
namespace {

using Box = torvik::testing::RecordingInteraction::Box;

const int32_t kDate = DosDate(2022, 2, 22, 22, 22, 22);

using HostilePackage = RestoreTest;

TEST_F(HostilePackage, NamesLeadingOutOfTheTargetAreRefusedAndTheOthersRestored)
{
    struct Case {
        std::string name;
        bool refusedWithFullPaths;
        bool refusedWithoutFullPaths;
    };
    const Case cases[] = {
        {"C:\\..\\evil.dll", true, false},  // without full paths only "evil.dll" is used
        {"C:\\\\evil.dll", true, false},    // absolute once the drive is dropped
        {"C:\\/tmp/evil.dll", true, false},
        {"\\evil.dll", true, false},
        {"/tmp/evil.dll", true, false},
        {"..\\evil.dll", true, false},
        {"C:\\Dados\\..\\..\\evil.dll", true, false},
        {"C:/Dados/../../evil.dll", true, false},
        {"C:\\Dados\\..", true, true},
        {"..", true, true},
        {"C:\\Dados\\", true, true},
        {"C:\\Dados\\.", true, true},
        {"C:", true, true},
        {std::string("C:\\evil\0.dll", 11), true, true},
    };
    for (const bool fullPaths : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name + (fullPaths ? " with full paths" : " without full paths"));
            std::filesystem::remove_all(Target());
            std::filesystem::create_directories(InTarget("Dados"));
            user.boxes.clear();
            const std::string package = WritePackage(PackageBuilder()
                                                         .Header(9)
                                                         .File(c.name, kDate, "evil")
                                                         .File("C:\\good.dll", kDate, "good")
                                                         .End()
                                                         .Bytes());
            const bool refused = fullPaths ? c.refusedWithFullPaths : c.refusedWithoutFullPaths;
            EXPECT_EQ(packer.Restore(package, Target(), fullPaths), !refused);
            EXPECT_EQ(Read(InTarget("good.dll")), "good");
            if (refused) {
                EXPECT_EQ(packer.ErrorCode(), 1);
                EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", "Cannot read file"}}));
                EXPECT_EQ(Tree(), (std::vector<std::string>{"app", "app/Dados", "app/good.dll", "p.pkg"}));
            } else {
                EXPECT_EQ(Read(InTarget("evil.dll")), "evil");
            }
            EXPECT_FALSE(Exists(scratch.Path("evil.dll")));
            EXPECT_FALSE(Exists("/tmp/evil.dll"));
        }
    }
}

TEST_F(HostilePackage, OversizedChunkHeaderIsADamagedPackageWhetherWrittenOrSkipped)
{
    for (const int32_t header : {16385, -16385, INT_MAX, INT_MIN, -INT_MAX}) {
        for (const TRestoreMode mode : {rmAll, rmExisting}) {  // rmExisting skips the missing file
            SCOPED_TRACE(std::to_string(header) + (mode == rmAll ? " written" : " skipped"));
            user.boxes.clear();
            const std::string package = WritePackage(PackageBuilder()
                                                         .Header(20000)
                                                         .Entry("C:\\x.dll", kDate)
                                                         .Tag()
                                                         .Chunk(header, RandomBytes(20000))
                                                         .EndBlock()
                                                         .End()
                                                         .Bytes());
            packer.SetRestoreMode(mode);
            EXPECT_FALSE(packer.Restore(package, Target(), false));
            EXPECT_EQ(packer.ErrorCode(), 3);
            EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", "Cannot read archive"}}));
            EXPECT_FALSE(Exists(InTarget("x.dll")));
        }
    }
}

TEST_F(HostilePackage, ChunkInflatingBeyond16384BytesIsACompressionError)
{
    scratch.Write("app/x.dll", "old");
    const std::string bomb = Zlib(std::string(16385, 'a'));
    ASSERT_LE(bomb.size(), 16384u);
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(16385)
                                                 .Entry("C:\\x.dll", kDate)
                                                 .Tag()
                                                 .Chunk(static_cast<int32_t>(bomb.size()), bomb)
                                                 .EndBlock()
                                                 .End()
                                                 .Bytes());
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_EQ(packer.ErrorCode(), 6);
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", "Compression error"}}));
    EXPECT_EQ(Read(InTarget("x.dll")), "old");
    EXPECT_EQ(Tree(), (std::vector<std::string>{"app", "app/x.dll", "p.pkg"}));
}

TEST_F(HostilePackage, ChunkThatIsNotOneWholeZlibStreamIsACompressionError)
{
    const std::string stream = Zlib(SampleText(5000));
    const std::vector<std::string> chunks = {
        stream.substr(0, stream.size() / 2),  // stream cut short inside the chunk
        "not zlib at all",
        std::string(1, '\x78'),
    };
    for (const std::string& chunk : chunks) {
        user.boxes.clear();
        const std::string package = WritePackage(PackageBuilder()
                                                     .Header(5000)
                                                     .Entry("C:\\x.dll", kDate)
                                                     .Tag()
                                                     .Chunk(static_cast<int32_t>(chunk.size()), chunk)
                                                     .EndBlock()
                                                     .End()
                                                     .Bytes());
        EXPECT_FALSE(packer.Restore(package, Target(), false));
        EXPECT_EQ(packer.ErrorCode(), 6);
        EXPECT_FALSE(Exists(InTarget("x.dll")));
    }
}

TEST_F(HostilePackage, EveryTruncationEndsTheRestoreWithAnErrorAndNoHalfFile)
{
    const std::string whole = PackageBuilder()
                                  .Header(30005, 2, "title")
                                  .File("C:\\Dados\\a.dll", kDate, SampleText(20000))
                                  .Entry("C:\\b.dll", kDate)
                                  .Tag()
                                  .Stored(RandomBytes(10000))
                                  .Compressed("bcdef")
                                  .EndBlock()
                                  .End()
                                  .Bytes();
    const size_t headerSize = 4 + 5 + 8;
    // Every cut near the start, where the structure is dense, then every 97th.
    std::vector<size_t> sizes;
    for (size_t size = 0; size < whole.size(); size += size < 200 ? 1 : 97) {
        sizes.push_back(size);
    }
    for (size_t size = whole.size() - 12; size < whole.size(); ++size) {
        sizes.push_back(size);
    }
    for (const size_t size : sizes) {
        SCOPED_TRACE(size);
        std::filesystem::remove_all(Target());
        user.boxes.clear();
        const std::string package = WritePackage(whole.substr(0, size));
        if (size < headerSize) {
            EXPECT_THROW(packer.Restore(package, Target(), true), UpdaterError);
            continue;
        }
        EXPECT_FALSE(packer.Restore(package, Target(), true));
        EXPECT_EQ(packer.ErrorCode(), 3);
        EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", "Cannot read archive"}}));
        // Only whole files, never a temporary one.
        for (const std::string& name : Tree()) {
            EXPECT_TRUE(name == "app" || name == "app/Dados" || name == "app/Dados/a.dll" || name == "app/b.dll" ||
                        name == "p.pkg")
                << name;
        }
        if (Exists(InTarget("Dados/a.dll"))) {
            EXPECT_EQ(Read(InTarget("Dados/a.dll")), SampleText(20000));
        }
        if (Exists(InTarget("b.dll"))) {
            EXPECT_EQ(Read(InTarget("b.dll")), RandomBytes(10000) + "bcdef");
        }
    }
}

TEST_F(HostilePackage, NegativeEntryLengthsArePassedOver)
{
    const std::string package = WritePackage(
        PackageBuilder().Header(3).Int32(-1).Int32(INT_MIN).File("C:\\x.dll", kDate, "abc").Int32(-7).End().Bytes());
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(Read(InTarget("x.dll")), "abc");
}

TEST_F(HostilePackage, EndlessNegativeLengthsEndWithTheStream)
{
    PackageBuilder builder;
    builder.Header(0);
    for (int i = 0; i < 1000; ++i) {
        builder.Int32(-1);
    }
    EXPECT_FALSE(packer.Restore(WritePackage(builder.Bytes()), Target(), false));
    EXPECT_EQ(packer.ErrorCode(), 3);
}

TEST_F(HostilePackage, HugeNameLengthIsRefusedWithoutReadingIt)
{
    const std::string package = WritePackage(PackageBuilder().Header(0).Int32(INT_MAX).Raw("C:\\x.dll").End().Bytes());
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_EQ(packer.ErrorCode(), 3);
}

TEST_F(HostilePackage, HugeHeaderTextBeyondTheFileCannotBeRead)
{
    const std::string package = WritePackage(PackageBuilder().Int32(INT_MAX).Raw("short").Bytes());
    EXPECT_THROW(packer.Restore(package, Target(), false), UpdaterError);
}

TEST_F(HostilePackage, BlockWithoutTagIsCannotReadFileWhenWrittenAndRaisedWhenSkipped)
{
    scratch.Write("app/x.dll", "old");
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(3)
                                                 .Entry("C:\\x.dll", kDate)
                                                 .Raw(std::string("EC3\0", 4))
                                                 .Stored("abc")
                                                 .EndBlock()
                                                 .End()
                                                 .Bytes());
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_EQ(packer.ErrorCode(), 1);
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", "Cannot read file"}}));
    EXPECT_EQ(Read(InTarget("x.dll")), "old");

    packer.SetRestoreMode(rmNoOverwrite);  // x.dll exists: its block is skipped
    try {
        packer.Restore(package, Target(), false);
        ADD_FAILURE() << "no error raised";
    } catch (const UpdaterError& error) {
        EXPECT_STREQ(error.what(), "Invalid archive type");
    }
    EXPECT_FALSE(packer.Busy());
}

TEST_F(HostilePackage, VolumesThatLeadBackOrAreMalformedAreADamagedPackage)
{
    packer.OnNeedDisk = [](TCompactador&, uint16_t, bool&) {};  // always goes on
    struct Case {
        const char* what;
        std::string first;
        std::string second;  // p.002
    };
    const Case cases[] = {
        {"second volume leads to itself",
         PackageBuilder().Header(1).File("C:\\x", kDate, "x").VolumeChange("002").Bytes(),
         PackageBuilder().Tag().EndBlock().VolumeChange("002").Bytes()},
        {"volume leads to an earlier one",
         PackageBuilder().Header(1).File("C:\\x", kDate, "x").VolumeChange("002").Bytes(),
         PackageBuilder().Tag().EndBlock().VolumeChange("001").Bytes()},
        {"disk number that is not three digits", PackageBuilder().Header(1).VolumeChange("0x2").Bytes(), ""},
        {"disk number too long", PackageBuilder().Header(1).VolumeChange("0002").Bytes(), ""},
        {"disk zero", PackageBuilder().Header(1).VolumeChange("000").Bytes(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        user.boxes.clear();
        const std::string package = WritePackage(c.first);
        scratch.Write("p.002", c.second);
        EXPECT_FALSE(packer.Restore(package, Target(), false));
        EXPECT_EQ(packer.ErrorCode(), 3);
        EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", "Cannot read archive"}}));
    }
}

TEST_F(HostilePackage, StreamPackageCannotChangeVolumes)
{
    const std::string bytes = PackageBuilder().Header(1).File("C:\\x", kDate, "x").VolumeChange("002").Bytes();
    scratch.Write(":STREAM.002", PackageBuilder().Tag().EndBlock().End().Bytes());
    MemoryStream stream(bytes);
    packer.SetSourceStream(&stream);
    int asked = 0;
    packer.OnNeedDisk = [&](TCompactador&, uint16_t, bool&) { ++asked; };
    EXPECT_FALSE(packer.Restore(":STREAM", Target(), false));
    EXPECT_EQ(packer.ErrorCode(), 3);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(Exists(InTarget("x")));  // it was to continue in the next volume
}

}  // namespace
}  // namespace torvik::package::testing
