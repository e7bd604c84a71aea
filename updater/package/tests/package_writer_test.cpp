// Writing packages: what the writer produces reads back byte for byte, in the layout
// the restore expects, at every level and size, in one volume or several.

#include "package/package_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/package_errors.h"
#include "package/package_listing.h"
#include "package/package_reader.h"
#include "restore_fixture.h"

namespace torvik::package::testing {
namespace {

using Box = torvik::testing::RecordingInteraction::Box;

// Walks a single-volume package and returns its chunk headers, entry by entry.
std::vector<std::vector<int32_t>> ChunkHeaders(const std::string& bytes)
{
    MemoryStream stream(bytes);
    ReadPackageHeader(stream);
    BlockReader blocks;
    std::vector<std::vector<int32_t>> entries;
    for (EntryStart entry = ReadEntryStart(stream); entry.kind == EntryStart::Kind::File;
         entry = ReadEntryStart(stream)) {
        EXPECT_TRUE(blocks.ReadTag(stream));
        entries.emplace_back();
        while (const int32_t header = blocks.ReadChunkHeader(stream)) {
            entries.back().push_back(header);
            const auto data = blocks.ReadChunk(stream, header);
            EXPECT_TRUE(data);
            EXPECT_LE(data->size(), kChunkLimit);
        }
    }
    EXPECT_EQ(stream.Position(), bytes.size());
    return entries;
}

using PackageWriting = RestoreTest;

TEST_F(PackageWriting, RoundTripsEverySizeAtEveryLevel)
{
    const size_t sizes[] = {0, 1, 16383, 16384, 16385, 3 * 1024 * 1024 + 5};
    const TCompressionLevel levels[] = {clFastest, clNone, clDefault, clMax};
    for (const TCompressionLevel level : levels) {
        for (const size_t size : sizes) {
            for (const bool random : {false, true}) {
                if (size > 100000 && level == clMax && random) {
                    continue;  // nothing the other cases do not cover, at some cost
                }
                SCOPED_TRACE("level " + std::to_string(level) + ", " + std::to_string(size) +
                             (random ? " random bytes" : " text"));
                const std::string data = random ? RandomBytes(size, 3) : SampleText(size, 4);
                const std::string source = scratch.Write("in/data.bin", data);
                SetModificationTime(source, LocalTime(2015, 5, 5, 5, 5, 6));
                packer.SetCompressionLevel(level);
                ASSERT_TRUE(packer.Backup(scratch.Path("out.pkg"), {{source, "C:\\Dados\\data.bin"}}));

                const std::string package = Read(scratch.Path("out.pkg"));
                const auto headers = ChunkHeaders(package);
                ASSERT_EQ(headers.size(), 1u);
                EXPECT_EQ(headers[0].size(), (size + kChunkLimit - 1) / kChunkLimit);
                size_t compressed = 0;
                for (const int32_t header : headers[0]) {
                    compressed += header > 0 ? 1 : 0;
                }
                if (level == clNone || random) {
                    EXPECT_EQ(compressed, 0u);  // stored: nothing to gain, or not asked to
                } else {
                    // Text shrinks, except a tail of a few bytes, which zlib's own framing outweighs.
                    size_t worthIt = 0;
                    for (size_t at = 0; at < size; at += kChunkLimit) {
                        worthIt += std::min(kChunkLimit, size - at) > 16 ? 1 : 0;
                    }
                    EXPECT_EQ(compressed, worthIt);
                }

                std::filesystem::remove_all(Target());
                EXPECT_TRUE(packer.Restore(scratch.Path("out.pkg"), Target(), false));
                EXPECT_TRUE(Read(InTarget("data.bin")) == data);
                EXPECT_EQ(ModificationTime(InTarget("data.bin")), LocalTime(2015, 5, 5, 5, 5, 6));
            }
        }
    }
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(PackageWriting, HeaderRecordsTitleTotalAndFileCount)
{
    scratch.Write("a.txt", SampleText(50000));
    scratch.Write("b.bin", RandomBytes(7000));
    scratch.Write("empty", "");
    packer.SetBackupTitle("Vendas 3.2 \xC3\xA9");
    ASSERT_TRUE(packer.Backup(scratch.Path("out.pkg"), {{scratch.Path("a.txt"), "C:\\a.txt"},
                                                        {scratch.Path("b.bin"), "C:\\Pre\xC3\xA7os\\b.bin"},
                                                        {scratch.Path("empty"), "C:\\empty"}}));
    const PackageListing listing = ListPackage(scratch.Path("out.pkg"));
    EXPECT_EQ(listing.header.text, "Vendas 3.2 \xE9");  // stored in Windows-1252
    EXPECT_EQ(listing.header.total, 57000);
    EXPECT_EQ(listing.header.fileCount, 3);
    ASSERT_EQ(listing.entries.size(), 3u);
    EXPECT_EQ(listing.entries[0].name, "C:\\a.txt");
    EXPECT_EQ(listing.entries[0].size, 50000u);
    EXPECT_LT(listing.entries[0].packedSize, 25000u);
    EXPECT_EQ(listing.entries[1].name, "C:\\Pre\xC3\xA7os\\b.bin");
    EXPECT_EQ(listing.entries[1].packedSize, 7000u);
    EXPECT_EQ(listing.entries[2].size, 0u);
    EXPECT_EQ(listing.volumes, std::vector<std::string>{scratch.Path("out.pkg")});
}

TEST_F(PackageWriting, ProgressCountsEveryByteAndCanStopLeavingNoPackage)
{
    scratch.Write("a.txt", SampleText(40000));
    scratch.Write("b.txt", SampleText(10000));
    const std::vector<BackupFile> files = {{scratch.Path("a.txt"), "C:\\a.txt"}, {scratch.Path("b.txt"), "C:\\b.txt"}};
    std::vector<std::pair<std::string, int>> progress;
    packer.OnProgress = [&](TCompactador&, const std::string& name, TPercentage percent, bool&) {
        progress.emplace_back(name, percent);
    };
    ASSERT_TRUE(packer.Backup(scratch.Path("out.pkg"), files));
    EXPECT_EQ(progress, (std::vector<std::pair<std::string, int>>{{scratch.Path("a.txt"), 33},
                                                                  {scratch.Path("a.txt"), 66},
                                                                  {scratch.Path("a.txt"), 80},
                                                                  {scratch.Path("b.txt"), 100},
                                                                  {"", 100}}));

    std::filesystem::remove(scratch.Path("out.pkg"));
    packer.OnProgress = [](TCompactador&, const std::string&, TPercentage percent, bool& continueWork) {
        continueWork = percent < 50;
    };
    EXPECT_FALSE(packer.Backup(scratch.Path("out.pkg"), files));
    EXPECT_EQ(Tree(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(PackageWriting, UnreadableFileIsCannotReadFileAndLeavesNoPackage)
{
    scratch.Write("a.txt", "abc");
    EXPECT_FALSE(packer.Backup(scratch.Path("out.pkg"),
                               {{scratch.Path("a.txt"), "C:\\a.txt"}, {scratch.Path("missing"), "C:\\missing"}}));
    EXPECT_EQ(packer.ErrorCode(), 1);
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", "Cannot read file"}}));
    EXPECT_NE(packer.ErrorDetail().find("missing"), std::string::npos);
    EXPECT_EQ(Tree(), std::vector<std::string>{"a.txt"});

    // A folder is no file to pack either.
    std::filesystem::create_directories(scratch.Path("folder"));
    EXPECT_FALSE(packer.Backup(scratch.Path("out.pkg"), {{scratch.Path("folder"), "C:\\folder"}}));
    EXPECT_EQ(packer.ErrorCode(), 1);
}

TEST_F(PackageWriting, PackageThatCannotBeWrittenIsCannotWriteToArchive)
{
    scratch.Write("a.txt", "abc");
    const std::vector<BackupFile> files = {{scratch.Path("a.txt"), "C:\\a.txt"}};
    EXPECT_FALSE(packer.Backup(scratch.Path("no/such/folder/out.pkg"), files));
    EXPECT_EQ(packer.ErrorCode(), 4);
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", "Cannot write to archive"}}));

    packer.SetMaxSize(65535);  // volumes too small to hold every chunk
    EXPECT_FALSE(packer.Backup(scratch.Path("out.pkg"), files));
    EXPECT_EQ(packer.ErrorCode(), 4);

    packer.SetMaxSize(0);
    for (const std::string& name : std::vector<std::string>{"", "FILE:LIST", "NEXT:DISK002", std::string("a\0b", 3)}) {
        EXPECT_FALSE(packer.Backup(scratch.Path("out.pkg"), {{scratch.Path("a.txt"), name}}));
        EXPECT_EQ(packer.ErrorCode(), 4);
    }
    EXPECT_EQ(Tree(), std::vector<std::string>{"a.txt"});
}

TEST_F(PackageWriting, VolumesStayWithinMaxSizeAndChangeBetweenFilesToo)
{
    // Many small files: volume changes fall between entries as well as inside blocks.
    std::vector<BackupFile> files;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "f" + std::to_string(i);
        scratch.Write("in/" + name, RandomBytes(static_cast<size_t>(3000 + i * 997), static_cast<uint32_t>(i)));
        files.push_back({scratch.Path("in/" + name), "C:\\in\\" + name});
    }
    packer.SetMaxSize(70000);
    ASSERT_TRUE(packer.Backup(scratch.Path("v.pkg"), files));
    const PackageListing listing = ListPackage(scratch.Path("v.pkg"));
    EXPECT_GE(listing.volumes.size(), 6u);
    for (const std::string& volume : listing.volumes) {
        EXPECT_LE(std::filesystem::file_size(volume), 70000u) << volume;
    }
    ASSERT_EQ(listing.entries.size(), files.size());

    packer.OnNeedDisk = [](TCompactador&, uint16_t, bool&) {};
    ASSERT_TRUE(packer.Restore(scratch.Path("v.pkg"), Target(), true));
    for (int i = 0; i < 40; ++i) {
        const std::string name = "in/f" + std::to_string(i);
        EXPECT_EQ(Read(InTarget(name)), Read(scratch.Path(name))) << name;
    }
}

TEST_F(PackageWriting, WriterAddsEntriesFromAnyStream)
{
    {
        PackageWriter writer(scratch.Path("s.pkg"), {6, 0, "t"});
        MemoryStream data("streamed data");
        EXPECT_TRUE(writer.Add("C:\\s.txt", DosDate(2010, 10, 10, 10, 10, 10), data));
        writer.Finish();
        EXPECT_EQ(writer.VolumeFiles(), std::vector<std::string>{scratch.Path("s.pkg")});
    }
    EXPECT_TRUE(packer.Restore(scratch.Path("s.pkg"), Target(), false));
    EXPECT_EQ(Read(InTarget("s.txt")), "streamed data");
    {
        PackageWriter abandoned(scratch.Path("abandoned.pkg"), {});
        MemoryStream data("x");
        abandoned.Add("C:\\x", 0, data);
    }
    EXPECT_FALSE(Exists(scratch.Path("abandoned.pkg")));
}

}  // namespace
}  // namespace torvik::package::testing
