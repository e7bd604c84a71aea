// Which files each restore mode writes, against missing, older, equally old and newer
// files in the target folder.

#include <gtest/gtest.h>

#include <string>

#include "restore_fixture.h"

namespace torvik::package::testing {
namespace {

enum class Existing { Missing, Older, Same, Newer };

struct ModeCase {
    TRestoreMode mode;
    Existing existing;
    bool written;
};

std::string Describe(const ModeCase& c)
{
    static const char* const kModes[] = {"rmAll", "rmNoOverwrite", "rmNewer", "rmExisting", "rmExistingNewer"};
    static const char* const kExisting[] = {"missing", "older", "same date", "newer"};
    return std::string(kModes[c.mode]) + " with the file " + kExisting[static_cast<int>(c.existing)];
}

using RestoreModes = RestoreTest;

TEST_F(RestoreModes, EachModeWritesExactlyTheFilesItChooses)
{
    const ModeCase cases[] = {
        {rmAll, Existing::Missing, true},
        {rmAll, Existing::Older, true},
        {rmAll, Existing::Same, true},
        {rmAll, Existing::Newer, true},
        {rmNoOverwrite, Existing::Missing, true},
        {rmNoOverwrite, Existing::Older, false},
        {rmNoOverwrite, Existing::Newer, false},
        {rmNewer, Existing::Missing, true},
        {rmNewer, Existing::Older, true},
        {rmNewer, Existing::Same, false},
        {rmNewer, Existing::Newer, false},
        {rmExisting, Existing::Missing, false},
        {rmExisting, Existing::Older, true},
        {rmExisting, Existing::Newer, true},
        {rmExistingNewer, Existing::Missing, false},
        {rmExistingNewer, Existing::Older, true},
        {rmExistingNewer, Existing::Same, false},
        {rmExistingNewer, Existing::Newer, false},
    };
    const int32_t stored = DosDate(2020, 6, 15, 12, 0, 0);
    const time_t storedTime = LocalTime(2020, 6, 15, 12, 0, 0);
    // The second entry follows the one decided on, so a skipped block must be passed
    // over exactly.
    const std::string package = WritePackage(PackageBuilder()
                                                 .Header(SampleText(30000).size() + 5)
                                                 .File("C:\\Dados\\x.dll", stored, SampleText(30000))
                                                 .File("C:\\marker", stored, "after")
                                                 .End()
                                                 .Bytes());
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(Describe(c));
        std::filesystem::remove_all(Target());
        if (c.existing != Existing::Missing) {
            scratch.Write("app/x.dll", "existing");
            const time_t existingTime = c.existing == Existing::Older  ? storedTime - 86400
                                        : c.existing == Existing::Same ? storedTime + 1  // same two-second step
                                                                       : storedTime + 86400;
            SetModificationTime(InTarget("x.dll"), existingTime);
        }
        packer.SetRestoreMode(c.mode);
        EXPECT_TRUE(packer.Restore(package, Target(), false));
        if (c.written) {
            EXPECT_EQ(Read(InTarget("x.dll")), SampleText(30000));
            EXPECT_EQ(ModificationTime(InTarget("x.dll")), storedTime);
        } else if (c.existing == Existing::Missing) {
            EXPECT_FALSE(Exists(InTarget("x.dll")));
        } else {
            EXPECT_EQ(Read(InTarget("x.dll")), "existing");
        }
        // The marker is missing before every run: the modes for missing files write it.
        const bool markerWritten = c.mode == rmAll || c.mode == rmNoOverwrite || c.mode == rmNewer;
        EXPECT_EQ(Exists(InTarget("marker")), markerWritten);
        EXPECT_TRUE(user.boxes.empty());
    }
}

TEST_F(RestoreModes, RestoringTheSamePackageAgainWithNewerWritesNothing)
{
    const std::string package =
        WritePackage(PackageBuilder().Header(3).File("C:\\x.dll", DosDate(2021, 1, 2, 3, 4, 5), "abc").End().Bytes());
    ASSERT_TRUE(packer.Restore(package, Target(), false));
    packer.SetRestoreMode(rmNewer);
    int chosen = 0;
    packer.OnRestoreFile = [&](TCompactador&, std::string&, int32_t, bool& restore) { chosen += restore ? 1 : 0; };
    EXPECT_TRUE(packer.Restore(package, Target(), false));
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(packer.FilesRestored(), 0);
}

}  // namespace
}  // namespace torvik::package::testing
