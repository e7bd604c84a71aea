#include "lxra101/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lxra101/lexora_api.h"
#include "lxra101/parser_interface.h"
#include "scratch_folder.h"

namespace {

using kit::testing::ScratchFolder;

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class FileHelpers : public ::testing::Test {
protected:
    ScratchFolder dir_;
};

TEST_F(FileHelpers, CheckFileExistsOnlyForReadableFiles)
{
    EXPECT_EQ(CheckFileExists(dir_.Write("present", "x").c_str()), 1);
    EXPECT_EQ(CheckFileExists(dir_.Write("empty", "").c_str()), 1);
    EXPECT_EQ(CheckFileExists(dir_.Path("missing").c_str()), 0);
    EXPECT_EQ(CheckFileExists(dir_.Path("").c_str()), 0);
    EXPECT_EQ(CheckFileExists(""), 0);
    EXPECT_EQ(CheckFileExists(nullptr), 0);
}

TEST_F(FileHelpers, FileSizeByPathOrOpenFile)
{
    const std::string path = dir_.Write("sized", std::string(1234, 'z'));
    EXPECT_EQ(GetFileSize(path.c_str()), 1234);
    EXPECT_EQ(LexoraAPI::GetFileSize(path.c_str()), 1234);
    EXPECT_EQ(ParserInterface::GetFileSize(path.c_str()), 1234);
    for (const char* bad : {"", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(GetFileSize(bad), 0);
    }
    EXPECT_EQ(GetFileSize(dir_.Path("missing").c_str()), 0);

    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 100, SEEK_SET);
    EXPECT_EQ(GetFileSize(file), 1234);
    EXPECT_EQ(std::ftell(file), 100);
    std::fclose(file);
    EXPECT_EQ(GetFileSize(static_cast<FILE*>(nullptr)), 0);
}

TEST_F(FileHelpers, FileNumLinesCountsLikeAFileStream)
{
    EXPECT_EQ(GetFileNumLines(dir_.Write("three", "a\nb\n").c_str()), 3);
    EXPECT_EQ(GetFileNumLines(dir_.Write("one", "no line feed").c_str()), 1);
    EXPECT_EQ(GetFileNumLines(dir_.Path("missing").c_str()), 0);
    EXPECT_EQ(GetFileNumLines(nullptr), 0);
}

TEST_F(FileHelpers, LoadBufferFromFileFillsAtMostSizeMinusOne)
{
    const std::string path = dir_.Write("hello", "hello");
    struct Case {
        long size;
        long read;
        const char* text;
    };
    for (const Case c : {Case{1, 0, ""}, Case{4, 3, "hel"}, Case{6, 5, "hello"}, Case{100, 5, "hello"}}) {
        SCOPED_TRACE("size " + std::to_string(c.size));
        std::vector<char> buf(static_cast<size_t>(c.size) + 4, '#');
        EXPECT_EQ(LoadBufferFromFile(path.c_str(), buf.data(), c.size), c.read);
        EXPECT_STREQ(buf.data(), c.text);
        EXPECT_EQ(std::string(buf.end() - 4, buf.end()), "####");
    }
    char buf[8] = "#######";
    EXPECT_EQ(LexoraAPI::LoadFile(path.c_str(), buf, 3), 2);
    EXPECT_EQ(ParserInterface::LoadFile(path.c_str(), buf, 4), 3);
    EXPECT_STREQ(buf, "hel");

    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(LoadBufferFromFile(path.c_str(), buf, 0), 0);
    EXPECT_EQ(LoadBufferFromFile(path.c_str(), buf, -1), 0);
    EXPECT_EQ(buf[0], '#');
    EXPECT_EQ(LoadBufferFromFile(path.c_str(), nullptr, 10), 0);
    EXPECT_EQ(LoadBufferFromFile("", buf, 8), 0);
    EXPECT_EQ(LoadBufferFromFile(nullptr, buf, 8), 0);
    EXPECT_EQ(LoadBufferFromFile(dir_.Path("missing").c_str(), buf, 8), 0);
}

TEST_F(FileHelpers, WriteBufferToFileCreatesOrTruncates)
{
    const std::string path = dir_.Write("target", "a much longer previous content");
    EXPECT_EQ(WriteBufferToFile(path.c_str(), "new\0data", 8), 8);
    EXPECT_EQ(Contents(path), std::string("new\0data", 8));
    EXPECT_EQ(WriteBufferToFile(path.c_str(), "x", 0), 0);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(Contents(path), "");

    const std::string untouched = dir_.Path("never");
    EXPECT_EQ(WriteBufferToFile(untouched.c_str(), nullptr, 4), 0);
    EXPECT_EQ(WriteBufferToFile(untouched.c_str(), "abc", -1), 0);
    EXPECT_FALSE(std::filesystem::exists(untouched));
    EXPECT_EQ(WriteBufferToFile("", "abc", 3), 0);
    EXPECT_EQ(WriteBufferToFile(nullptr, "abc", 3), 0);
    EXPECT_EQ(WriteBufferToFile(dir_.Path("no/such/folder").c_str(), "abc", 3), 0);
}

TEST_F(FileHelpers, LoadFileReturnsTheWholeFileTerminated)
{
    const std::string content = std::string(10000, 'q') + "end";
    char* text = LoadFile(dir_.Write("whole", content).c_str());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), content);
    ::operator delete(text);

    EXPECT_EQ(LoadFile(dir_.Write("empty", "").c_str()), nullptr);
    EXPECT_EQ(LoadFile(dir_.Path("missing").c_str()), nullptr);
    EXPECT_EQ(LoadFile(nullptr), nullptr);
}

TEST_F(FileHelpers, LastModTimeIsTheFilesOwn)
{
    const std::string path = dir_.Write("dated", "x");
    const utimbuf times{1'000'000'000, 1'234'567'890};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
    EXPECT_EQ(GetLastModTime(path.c_str()), 1'234'567'890UL);
    EXPECT_EQ(GetLastModTime(dir_.Path("missing").c_str()), 0UL);
    EXPECT_EQ(GetLastModTime(""), 0UL);
}

TEST_F(FileHelpers, ReadOnlyMeansCannotBeWritten)
{
    EXPECT_EQ(IsReadOnlyFile(dir_.Write("writable", "x").c_str()), 0);
    EXPECT_EQ(IsReadOnlyFile(dir_.Path("missing").c_str()), 1);
    EXPECT_EQ(IsReadOnlyFile(""), 0);
    EXPECT_EQ(IsReadOnlyFile(nullptr), 0);
}

TEST_F(FileHelpers, ReadOnlyFollowsThePermissions)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser may write to any file";
    }
    const std::string path = dir_.Write("locked", "x");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(IsReadOnlyFile(path.c_str()), 1);
}

}  // namespace
