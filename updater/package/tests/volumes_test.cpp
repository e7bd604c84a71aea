// Packages in several volumes: the volume change, the handler or the prompt, cancelling.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "restore_fixture.h"

namespace torvik::package::testing {
namespace {

using Box = torvik::testing::RecordingInteraction::Box;

const int32_t kDate = DosDate(2018, 3, 9, 8, 7, 6);

class Volumes : public RestoreTest {
protected:
    // "one" is split across p.pkg and p.002; "two" follows in p.002.
    void SetUp() override
    {
        firstHalf = SampleText(20000, 1);
        secondHalf = RandomBytes(3000, 2);
        package = WritePackage(PackageBuilder()
                                   .Header(23003, 2)
                                   .Entry("C:\\Dados\\one.dll", kDate)
                                   .Tag()
                                   .Compressed(firstHalf.substr(0, 16384))
                                   .Compressed(firstHalf.substr(16384))
                                   .EndBlock()
                                   .VolumeChange("002")
                                   .Bytes());
        secondVolume =
            PackageBuilder().Tag().Stored(secondHalf).EndBlock().File("C:\\two.dll", kDate, "two").End().Bytes();
    }
    void WriteSecondVolume() { scratch.Write("p.002", secondVolume); }
    void ExpectRestoredWhole()
    {
        EXPECT_EQ(Read(InTarget("one.dll")), firstHalf + secondHalf);
        EXPECT_EQ(ModificationTime(InTarget("one.dll")), LocalTime(2018, 3, 9, 8, 7, 6));
        EXPECT_EQ(Read(InTarget("two.dll")), "two");
        EXPECT_EQ(packer.FilesRestored(), 2);
    }

    std::string firstHalf;
    std::string secondHalf;
    std::string package;
    std::string secondVolume;
};

TEST_F(Volumes, NeedDiskHandlerIsAskedAndTheFileContinuesInTheNextVolume)
{
    WriteSecondVolume();
    std::vector<uint16_t> disks;
    packer.OnNeedDisk = [&](TCompactador&, uint16_t disk, bool&) { disks.push_back(disk); };
    std::vector<std::string> restored;
    packer.OnFileRestored = [&](TCompactador&, std::string& name, OutputStream&) { restored.push_back(name); };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(disks, std::vector<uint16_t>{2});
    ExpectRestoredWhole();
    EXPECT_EQ(restored, (std::vector<std::string>{InTarget("one.dll"), InTarget("two.dll")}));
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(Volumes, WithoutHandlerTheUserIsPromptedAndOkGoesOn)
{
    WriteSecondVolume();
    user.answers = {true};
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"request", "Please insert disk 2 and click OK to continue."}}));
    ExpectRestoredWhole();
}

TEST_F(Volumes, PromptIsRepeatedUntilTheVolumeIsThere)
{
    int asked = 0;
    packer.OnNeedDisk = [&](TCompactador&, uint16_t, bool&) {
        if (++asked == 3) {
            WriteSecondVolume();
        }
    };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(asked, 3);
    ExpectRestoredWhole();
}

TEST_F(Volumes, CancelledPromptStopsWithoutErrorAndKeepsTheOldFile)
{
    WriteSecondVolume();
    scratch.Write("app/one.dll", "old one");
    user.answers = {false};
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"request", "Please insert disk 2 and click OK to continue."}}));
    EXPECT_EQ(packer.ErrorCode(), 0);
    EXPECT_EQ(Read(InTarget("one.dll")), "old one");  // its second half never came
    EXPECT_FALSE(Exists(InTarget("two.dll")));
    EXPECT_EQ(Tree(), (std::vector<std::string>{"app", "app/one.dll", "p.002", "p.pkg"}));
}

TEST_F(Volumes, HandlerStoppingWhileTheVolumeIsMissingEndsTheRestore)
{
    packer.OnNeedDisk = [&](TCompactador&, uint16_t, bool& continueWork) { continueWork = false; };
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_FALSE(Exists(InTarget("one.dll")));
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(Volumes, SkippedFileIsSkippedInTheNextVolumeToo)
{
    WriteSecondVolume();
    packer.OnNeedDisk = [](TCompactador&, uint16_t, bool&) {};
    packer.OnRestoreFile = [](TCompactador&, std::string& name, int32_t, bool& restore) {
        restore = name.ends_with("two.dll");
    };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_FALSE(Exists(InTarget("one.dll")));
    EXPECT_EQ(Read(InTarget("two.dll")), "two");
}

TEST_F(Volumes, DamagedContinuationKeepsTheOldFile)
{
    std::string damaged = secondVolume;
    damaged.resize(100);  // the stored chunk is cut short
    scratch.Write("p.002", damaged);
    scratch.Write("app/one.dll", "old one");
    packer.OnNeedDisk = [](TCompactador&, uint16_t, bool&) {};
    EXPECT_FALSE(packer.Restore(package, Target(), false));
    EXPECT_EQ(packer.ErrorCode(), 3);
    EXPECT_EQ(Read(InTarget("one.dll")), "old one");
    EXPECT_EQ(Errors(), (std::vector<Box>{{"error", "Cannot read archive"}}));
}

TEST_F(Volumes, WrittenPackageSplitByMaxSizeRestoresThroughEveryVolume)
{
    const std::string random = RandomBytes(200000, 5);
    const std::string text = SampleText(150000, 6);
    scratch.Write("in/random.bin", random);
    scratch.Write("in/text.txt", text);
    packer.SetMaxSize(65536);
    ASSERT_TRUE(packer.Backup(scratch.Path("split.pkg"), {{scratch.Path("in/random.bin"), "C:\\in\\random.bin"},
                                                          {scratch.Path("in/text.txt"), "C:\\in\\text.txt"}}));
    int volumes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.Folder())) {
        if (entry.path().stem() == "split") {
            ++volumes;
            EXPECT_LE(entry.file_size(), 65536u) << entry.path();
        }
    }
    EXPECT_GE(volumes, 4);

    std::vector<uint16_t> disks;
    packer.OnNeedDisk = [&](TCompactador&, uint16_t disk, bool&) { disks.push_back(disk); };
    EXPECT_TRUE(packer.Restore(scratch.Path("split.pkg"), Target(), true));
    EXPECT_EQ(Read(InTarget("in/random.bin")), random);
    EXPECT_EQ(Read(InTarget("in/text.txt")), text);
    ASSERT_EQ(disks.size(), static_cast<size_t>(volumes - 1));
    for (size_t i = 0; i < disks.size(); ++i) {
        EXPECT_EQ(disks[i], i + 2);
    }
}

}  // namespace
}  // namespace torvik::package::testing
