// Restoring sound packages: the layout's cases, the events, progress and error reports.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/updater_error.h"
#include "package/package_stream.h"
#include "restore_fixture.h"

namespace torvik::package::testing {
namespace {

const int32_t kStoredDate = DosDate(2019, 7, 14, 10, 30, 46);

TEST(TCompactadorProperties, NewComponentHasFirstValuesAndVersionStays510)
{
    torvik::testing::RecordingInteraction user;
    TCompactador packer(user);
    EXPECT_EQ(packer.Version(), "5.10");
    packer.SetVersion("9.99");
    EXPECT_EQ(packer.Version(), "5.10");
    EXPECT_EQ(packer.BackupTitle(), "");
    EXPECT_EQ(packer.BackupMode(), bmAll);
    EXPECT_EQ(packer.CompressionLevel(), clFastest);
    EXPECT_EQ(packer.RestoreMode(), rmAll);
    EXPECT_EQ(packer.MaxSize(), 0);
    EXPECT_FALSE(packer.SetArchiveFlag());
    EXPECT_FALSE(packer.RestoreFullPath());
    EXPECT_FALSE(packer.SaveFileID());
    EXPECT_FALSE(packer.OnProgress || packer.OnNeedDisk || packer.OnRestoreFile || packer.OnFileRestored ||
                 packer.OnError);
    EXPECT_FALSE(packer.Busy());

    // The enumerations keep their published values.
    EXPECT_EQ(static_cast<int>(clMax), 3);
    EXPECT_EQ(static_cast<int>(clNone), 1);
    EXPECT_EQ(static_cast<int>(rmExistingNewer), 4);
    EXPECT_EQ(static_cast<int>(rmNewer), 2);

    packer.SetBackupMode(bmIncremental);
    EXPECT_TRUE(packer.SetArchiveFlag());
    packer.SetBackupMode(bmAll);
    EXPECT_TRUE(packer.SetArchiveFlag());  // only setting incremental touches the flag
}

TEST(TCompactadorProperties, ErrorCodesHaveTheirTexts)
{
    const std::vector<std::string> texts = {"Cannot read file",
                                            "Overwriting file failed",
                                            "Cannot read archive",
                                            "Cannot write to archive",
                                            "Invalid archive type",
                                            "Compression error",
                                            "Cannot create temporary file to save the file IDs"};
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(TCompactador::ErrorText(static_cast<int>(i) + 1), texts[i]);
    }
    EXPECT_EQ(TCompactador::ErrorText(0), "");
    EXPECT_EQ(TCompactador::ErrorText(8), "");
}

using Restore = RestoreTest;

TEST_F(Restore, OneStoredChunkRestoresTheBytesUnchanged)
{
    const std::string data("stored \0\xFF\x80 bytes\r\n", 19);
    const std::string package = WritePackage(
        PackageBuilder().Header(19).Entry("C:\\x.bin", kStoredDate).Tag().Stored(data).EndBlock().End().Bytes());
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(Read(InTarget("x.bin")), data);
    EXPECT_EQ(packer.FilesRestored(), 1);
    EXPECT_EQ(packer.BytesWritten(), 19);
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(Restore, FileOfExactly16384BytesInOneCompressedChunkRestoresWhole)
{
    const std::string data = SampleText(16384);
    const std::string package = WritePackage(
        PackageBuilder().Header(16384).Entry("C:\\x.txt", kStoredDate).Tag().Compressed(data).EndBlock().End().Bytes());
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(Read(InTarget("x.txt")), data);
}

TEST_F(Restore, FullPathsOffPutsTheFileNameInTheTargetOverwritingWithTheStoredDate)
{
    scratch.Write("app/x.dll", "old contents that are longer than the new ones");
    const std::string package =
        WritePackage(PackageBuilder().Header(3).File("C:\\Dados\\x.dll", kStoredDate, "new").End().Bytes());
    ASSERT_EQ(packer.RestoreMode(), rmAll);
    EXPECT_TRUE(packer.Restore(package, scratch.Path("app"), false));  // no trailing '/': one is added
    EXPECT_EQ(Read(InTarget("x.dll")), "new");
    EXPECT_EQ(ModificationTime(InTarget("x.dll")), LocalTime(2019, 7, 14, 10, 30, 46));
    EXPECT_FALSE(Exists(InTarget("Dados")));
    EXPECT_FALSE(packer.RestoreFullPath());
}

TEST_F(Restore, FullPathsOnRebuildsTheStoredFoldersUnderTheTarget)
{
    const std::string package =
        WritePackage(PackageBuilder().Header(3).File("C:\\Dados\\x.dll", kStoredDate, "new").End().Bytes());
    EXPECT_TRUE(packer.Restore(package, Target(), true));
    EXPECT_TRUE(packer.RestoreFullPath());
    EXPECT_TRUE(std::filesystem::is_directory(InTarget("Dados")));
    EXPECT_EQ(Read(InTarget("Dados/x.dll")), "new");
    EXPECT_EQ(ModificationTime(InTarget("Dados/x.dll")), LocalTime(2019, 7, 14, 10, 30, 46));
    EXPECT_FALSE(Exists(InTarget("x.dll")));
}

TEST_F(Restore, FileListEntryIsNeverWritten)
{
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(9)
                                                 .File("FILE:LIST", kStoredDate, "x.dll\r\n")
                                                 .File("C:\\x.dll", kStoredDate, "dll")
                                                 .End()
                                                 .Bytes());
    for (const bool fullPaths : {false, true}) {
        std::vector<std::string> offered;
        packer.OnRestoreFile = [&](TCompactador&, std::string& name, int32_t, bool&) { offered.push_back(name); };
        EXPECT_TRUE(packer.Restore(package, Target(), fullPaths));
        EXPECT_EQ(offered, std::vector<std::string>{InTarget("x.dll")});
        EXPECT_EQ(Tree(), (std::vector<std::string>{"app", "app/x.dll", "p.pkg"}));
    }
}

TEST_F(Restore, PackageEndingRightAfterTheHeaderRestoresNothingAndSucceeds)
{
    const std::string package = WritePackage(PackageBuilder().Header(0, 0).End().Bytes());
    std::vector<std::pair<std::string, int>> progress;
    packer.OnProgress = [&](TCompactador& sender, const std::string& name, TPercentage percent, bool&) {
        EXPECT_TRUE(sender.Busy());
        progress.emplace_back(name, percent);
    };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(progress, (std::vector<std::pair<std::string, int>>{{"", 100}}));
    EXPECT_EQ(packer.FilesRestored(), 0);
    EXPECT_EQ(packer.FileCount(), 0);
    EXPECT_FALSE(packer.Busy());
    EXPECT_FALSE(Exists(Target()));
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(Restore, MissingPackageReturnsFalseWithoutAnyMessage)
{
    bool progressed = false;
    packer.OnProgress = [&](TCompactador&, const std::string&, TPercentage, bool&) { progressed = true; };
    EXPECT_FALSE(packer.Restore(scratch.Path("absent.pkg"), Target(), false));
    EXPECT_FALSE(packer.Restore(":STREAM", Target(), false));  // no stream handed over
    EXPECT_FALSE(progressed);
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(Restore, UnreadableHeaderRaisesCannotReadArchive)
{
    const std::string whole = PackageBuilder().Header(0, 0, "title").End().Bytes();
    for (size_t size : {size_t{0}, size_t{3}, size_t{6}, size_t{12}, size_t{16}}) {
        SCOPED_TRACE(size);
        const std::string package = WritePackage(whole.substr(0, size));
        try {
            packer.Restore(package, Target(), false);
            ADD_FAILURE() << "no error raised";
        } catch (const UpdaterError& error) {
            EXPECT_STREQ(error.what(), "Cannot read archive");
        }
        EXPECT_FALSE(packer.Busy());
    }
    // A negative header length cannot be read either.
    const std::string negative = WritePackage(PackageBuilder().Int32(-1).Int32(0).Int32(0).End().Bytes());
    EXPECT_THROW(packer.Restore(negative, Target(), false), UpdaterError);
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(Restore, HeaderCountsAndTextAreKept)
{
    const std::string package =
        WritePackage(PackageBuilder().Header(3, 7, "Vendas 2.1").File("C:\\a", kStoredDate, "abc").End().Bytes());
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(packer.Total(), 3);
    EXPECT_EQ(packer.FileCount(), 7);
    EXPECT_EQ(packer.HeaderText(), "Vendas 2.1");
    EXPECT_EQ(packer.CurrentFile(), InTarget("a"));
}

TEST_F(Restore, StreamPackageIsReadFromTheStreamHandedOver)
{
    const std::string bytes =
        PackageBuilder().Header(6).File("C:\\Dados\\s.dll", kStoredDate, "stream").End().Bytes() + "trailing";
    MemoryStream stream(bytes);
    packer.SetSourceStream(&stream);
    EXPECT_EQ(packer.SourceStream(), &stream);
    EXPECT_TRUE(packer.Restore(":STREAM", Target(), true));
    EXPECT_EQ(Read(InTarget("Dados/s.dll")), "stream");
    EXPECT_EQ(stream.Position(), bytes.size() - 8);  // read to the package's end, not beyond
    EXPECT_FALSE(Exists(scratch.Path(":STREAM")));
}

TEST_F(Restore, ProgressReportsEachChunkRoundedHalfToEven)
{
    // Eight one-byte chunks of a total of 8 bytes: 12.5 % steps.
    PackageBuilder builder;
    builder.Header(8).Entry("C:\\x", kStoredDate).Tag();
    for (char c = 'a'; c < 'i'; ++c) {
        builder.Stored(std::string(1, c));
    }
    const std::string package = WritePackage(builder.EndBlock().End().Bytes());
    std::vector<int> percents;
    std::vector<std::string> names;
    packer.OnProgress = [&](TCompactador&, const std::string& name, TPercentage percent, bool&) {
        percents.push_back(percent);
        names.push_back(name);
    };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(percents, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100, 100, 100}));
    EXPECT_EQ(names.front(), InTarget("x"));
    EXPECT_EQ(names.back(), "");
    EXPECT_EQ(Read(InTarget("x")), "abcdefgh");
}

TEST_F(Restore, ProgressStaysWithinNoughtAndAHundredWhateverTheHeaderSays)
{
    struct Case {
        int32_t total;
        int first;  // percentage after the first chunk of 4 bytes (of 8)
    };
    for (const Case c : {Case{8, 50}, Case{2, 100}, Case{0, 0}, Case{-5, 0}}) {
        SCOPED_TRACE(c.total);
        const std::string package = WritePackage(PackageBuilder()
                                                     .Header(c.total)
                                                     .Entry("C:\\x", kStoredDate)
                                                     .Tag()
                                                     .Stored("abcd")
                                                     .Stored("efgh")
                                                     .EndBlock()
                                                     .End()
                                                     .Bytes());
        std::vector<int> percents;
        packer.OnProgress = [&](TCompactador&, const std::string&, TPercentage percent, bool&) {
            percents.push_back(percent);
        };
        EXPECT_TRUE(packer.Restore(package, Target(), false));
        ASSERT_FALSE(percents.empty());
        EXPECT_EQ(percents.front(), c.first);
        for (const int percent : percents) {
            EXPECT_LE(percent, 100);
        }
    }
}

TEST_F(Restore, ProgressHandlerStopsTheRestoreLeavingTheFileInProgressAsItWas)
{
    scratch.Write("app/first", "old first");
    const std::string data = SampleText(40000);
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(40003)
                                                 .File("C:\\first", kStoredDate, data)
                                                 .File("C:\\second", kStoredDate, "two")
                                                 .End()
                                                 .Bytes());
    int calls = 0;
    packer.OnProgress = [&](TCompactador&, const std::string& name, TPercentage, bool& continueWork) {
        ++calls;
        if (!name.empty()) {
            continueWork = false;
        }
    };
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_EQ(calls, 2);  // the first chunk, then the final report
    EXPECT_FALSE(packer.Continue());
    EXPECT_EQ(Read(InTarget("first")), "old first");
    EXPECT_FALSE(Exists(InTarget("second")));
    EXPECT_EQ(Tree(), (std::vector<std::string>{"app", "app/first", "p.pkg"}));  // no temporary file left
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(Restore, OnRestoreFileCanRenameOrLeaveOutAFile)
{
    const int32_t otherDate = DosDate(2001, 2, 3, 4, 5, 6);
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(6)
                                                 .File("C:\\keep.dll", kStoredDate, "kee")
                                                 .File("C:\\skip.dll", otherDate, "ski")
                                                 .File("C:\\last.dll", kStoredDate, "")
                                                 .End()
                                                 .Bytes());
    std::vector<int32_t> dates;
    packer.OnRestoreFile = [&](TCompactador&, std::string& name, int32_t fa, bool& restore) {
        dates.push_back(fa);
        EXPECT_TRUE(restore);
        if (name == InTarget("keep.dll")) {
            name = InTarget("sub/renamed.dll");
        } else if (name == InTarget("skip.dll")) {
            restore = false;
        }
    };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(dates, (std::vector<int32_t>{kStoredDate, otherDate, kStoredDate}));
    EXPECT_EQ(Read(InTarget("sub/renamed.dll")), "kee");
    EXPECT_FALSE(Exists(InTarget("keep.dll")));
    EXPECT_FALSE(Exists(InTarget("skip.dll")));
    EXPECT_TRUE(Exists(InTarget("last.dll")));
    EXPECT_EQ(Read(InTarget("last.dll")), "");
    EXPECT_EQ(packer.FilesRestored(), 2);
}

TEST_F(Restore, OnFileRestoredGetsTheOpenFileBeforeItTakesItsPlace)
{
    scratch.Write("app/x.dll", "old");
    const std::string package =
        WritePackage(PackageBuilder().Header(3).File("C:\\x.dll", kStoredDate, "new").End().Bytes());
    std::vector<std::string> names;
    packer.OnFileRestored = [&](TCompactador&, std::string& name, OutputStream& stream) {
        names.push_back(name);
        EXPECT_EQ(Read(InTarget("x.dll")), "old");  // not yet in place
        stream.Write("+", 1);
    };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(names, std::vector<std::string>{InTarget("x.dll")});
    EXPECT_EQ(Read(InTarget("x.dll")), "new+");
    EXPECT_EQ(ModificationTime(InTarget("x.dll")), LocalTime(2019, 7, 14, 10, 30, 46));  // set after the handler
}

TEST_F(Restore, ErrorsGoToOnErrorWhenAssignedAndToAnErrorBoxOtherwise)
{
    // A compressed chunk zlib refuses: error 6.
    std::string broken = Zlib("some data to compress");
    broken[broken.size() - 1] ^= 0x55;  // the check value
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(21)
                                                 .Entry("C:\\x.dll", kStoredDate)
                                                 .Tag()
                                                 .Chunk(static_cast<int32_t>(broken.size()), broken)
                                                 .EndBlock()
                                                 .End()
                                                 .Bytes());
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_EQ(packer.ErrorCode(), 6);
    EXPECT_EQ(user.boxes, (std::vector<torvik::testing::RecordingInteraction::Box>{{"error", "Compression error"}}));

    user.boxes.clear();
    std::vector<std::pair<int, std::string>> reported;
    packer.OnError = [&](TCompactador& sender, int code, const std::string& text) {
        EXPECT_FALSE(sender.Busy());
        reported.emplace_back(code, text);
    };
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_EQ(reported, (std::vector<std::pair<int, std::string>>{{6, "Compression error"}}));
    EXPECT_TRUE(user.boxes.empty());

    packer.ReportError(4);
    EXPECT_EQ(reported.back(), (std::pair<int, std::string>{4, "Cannot write to archive"}));
}

TEST_F(Restore, FileThatCannotBeCreatedStopsTheRestoreWithCannotReadFile)
{
    // "Dados" is a file, so the folder for the first entry cannot be made.
    scratch.Write("app/Dados", "a file in the way");
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(6)
                                                 .File("C:\\Dados\\x.dll", kStoredDate, "abc")
                                                 .File("C:\\y.dll", kStoredDate, "def")
                                                 .End()
                                                 .Bytes());
    EXPECT_FALSE(packer.Restore(package, Target(), true));
    EXPECT_EQ(packer.ErrorCode(), 1);
    EXPECT_EQ(Errors(), (std::vector<torvik::testing::RecordingInteraction::Box>{{"error", "Cannot read file"}}));
    EXPECT_FALSE(Exists(InTarget("y.dll")));  // the restore stopped there

    // An output path that is a folder cannot take a file either.
    user.boxes.clear();
    std::filesystem::create_directories(InTarget("y.dll"));
    const std::string second =
        WritePackage(PackageBuilder().Header(3).File("C:\\y.dll", kStoredDate, "def").End().Bytes(), "q.pkg");
    EXPECT_FALSE(packer.Restore(second, Target(), false));
    EXPECT_EQ(packer.ErrorCode(), 1);
    EXPECT_TRUE(std::filesystem::is_directory(InTarget("y.dll")));
}

TEST_F(Restore, ReplacedFileKeepsItsPermissionsAndNewFilesGetOrdinaryOnes)
{
    scratch.Write("app/run.sh", "old");
    std::filesystem::permissions(InTarget("run.sh"), std::filesystem::perms(0750));
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(6)
                                                 .File("C:\\run.sh", kStoredDate, "new")
                                                 .File("C:\\new.txt", kStoredDate, "txt")
                                                 .End()
                                                 .Bytes());
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(std::filesystem::status(InTarget("run.sh")).permissions(), std::filesystem::perms(0750));
    const auto created = std::filesystem::status(InTarget("new.txt")).permissions();
    EXPECT_NE(created & std::filesystem::perms::owner_write, std::filesystem::perms::none);
    EXPECT_EQ(created & std::filesystem::perms::others_write, std::filesystem::perms::none);
}

TEST_F(Restore, ImpossibleStoredDateLeavesTheTimeOfWriting)
{
    const int32_t month13 = DosDate(2020, 13, 1, 0, 0, 0);
    const std::string package = WritePackage(PackageBuilder().Header(1).File("C:\\x", month13, "x").End().Bytes());
    const time_t before = time(nullptr);
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_GE(ModificationTime(InTarget("x")), before - 1);
}

TEST_F(Restore, SecondRestoreWhileBusyIsRefused)
{
    const std::string package = WritePackage(PackageBuilder().Header(1).File("C:\\x", kStoredDate, "x").End().Bytes());
    bool nested = true;
    packer.OnRestoreFile = [&](TCompactador& sender, std::string&, int32_t, bool&) {
        nested = sender.Restore(package, Target(), false);
    };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_FALSE(nested);
}

TEST_F(Restore, ExtractFileDataSkipsOrWritesOneBlock)
{
    const std::string block = PackageBuilder().Tag().Stored("abc").Compressed("def").EndBlock().Bytes() + "next";
    struct Sink : OutputStream {
        void Write(const void* bytes, size_t count) override { data.append(static_cast<const char*>(bytes), count); }
        std::string data;
    } sink;
    MemoryStream written(block);
    packer.ExtractFileData(written, &sink, true);
    EXPECT_EQ(sink.data, "abcdef");
    EXPECT_EQ(written.Position(), block.size() - 4);

    MemoryStream skipped(block);
    packer.ExtractFileData(skipped, nullptr, false);
    EXPECT_EQ(skipped.Position(), block.size() - 4);

    MemoryStream untagged(std::string_view("EC3\0", 4));
    EXPECT_THROW(packer.ExtractFileData(untagged, nullptr, false), UpdaterError);
}

}  // namespace
}  // namespace torvik::package::testing
