// Where entries land, and the names of further volumes.

#include "package/entry_paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace torvik::package {
namespace {

TEST(RestorePath, MapsStoredNamesUnderTheTarget)
{
    struct Case {
        std::string name;
        bool fullPaths;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {"C:\\Dados\\x.dll", false, "T/x.dll"},
        {"C:\\Dados\\x.dll", true, "T/Dados/x.dll"},
        {"d:\\a\\b\\c.txt", true, "T/a/b/c.txt"},
        {"C:Dados\\x.dll", true, "T/Dados/x.dll"},  // drive-relative
        {"x.dll", true, "T/x.dll"},                 // no drive: nothing is dropped
        {"Dados\\x.dll", true, "T/Dados/x.dll"},
        {"Dados/x.dll", false, "T/x.dll"},
        {"C:\\Dados\\.\\x.dll", true, "T/Dados/./x.dll"},
        {"C:\\Dados\\..\\x.dll", true, std::nullopt},
        {"C:\\Dados\\..\\x.dll", false, "T/x.dll"},
        {"C:\\\\x.dll", true, std::nullopt},
        {"C:\\a:b", false, "T/b"},
        {"C:\\Pre\xE7os.txt", false, "T/Pre\xC3\xA7os.txt"},      // Windows-1252 bytes
        {"C:\\Pre\xC3\xA7os.txt", false, "T/Pre\xC3\xA7os.txt"},  // UTF-8 bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + (c.fullPaths ? " (full paths)" : ""));
        EXPECT_EQ(RestorePath(c.name, "T/", c.fullPaths), c.path);
    }
    EXPECT_EQ(RestorePath("C:\\Dados\\x.dll", "", true), "Dados/x.dll");  // the current folder
}

TEST(VolumeFileName, ReplacesTheExtensionOfThePackageName)
{
    EXPECT_EQ(VolumeFileName("/tmp/p.pkg", "002"), "/tmp/p.002");
    EXPECT_EQ(VolumeFileName("/tmp/p", "002"), "/tmp/p.002");
    EXPECT_EQ(VolumeFileName("/tmp/a.b/p", "010"), "/tmp/a.b/p.010");
    EXPECT_EQ(VolumeFileName("x.tar.pkg", "999"), "x.tar.999");
}

TEST(StoredName, UsesWindows1252WhenItHoldsTheText)
{
    EXPECT_EQ(StoredName("C:\\Pre\xC3\xA7os.txt"), "C:\\Pre\xE7os.txt");
    EXPECT_EQ(StoredName("C:\\plain.txt"), "C:\\plain.txt");
    EXPECT_EQ(StoredName("C:\\\xE6\x97\xA5.txt"), "C:\\\xE6\x97\xA5.txt");  // not in the code page: UTF-8
}

}  // namespace
}  // namespace torvik::package
