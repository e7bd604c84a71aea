// A package component with a recording user, a scratch folder with the target folder
// "app/" in it, and the file helpers the restore tests share.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "package/compactador.h"
#include "package_builder.h"
#include "scratch_folder.h"
#include "support/recording_interaction.h"

namespace torvik::package::testing {

class RestoreTest : public ::testing::Test {
protected:
    // Writes the package file (or a further volume) into the scratch folder.
    std::string WritePackage(const std::string& bytes, const std::string& name = "p.pkg")
    {
        return scratch.Write(name, bytes);
    }
    std::string Target() const { return scratch.Path("app") + "/"; }
    std::string InTarget(const std::string& name) const { return Target() + name; }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    static time_t ModificationTime(const std::string& path)
    {
        struct stat status {};
        EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
        return status.st_mtim.tv_sec;
    }
    static void SetModificationTime(const std::string& path, time_t time)
    {
        const struct timespec times[2] = {{time, 0}, {time, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    }
    // The local time of a DOS date, as the restore sets it.
    static time_t LocalTime(int year, int month, int day, int hour, int minute, int second)
    {
        struct tm local {};
        local.tm_year = year - 1900;
        local.tm_mon = month - 1;
        local.tm_mday = day;
        local.tm_hour = hour;
        local.tm_min = minute;
        local.tm_sec = second;
        local.tm_isdst = -1;
        return mktime(&local);
    }

    // Every file and folder under the scratch folder, relative to it, sorted.
    std::vector<std::string> Tree() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch.Folder())) {
            names.push_back(std::filesystem::relative(entry.path(), scratch.Folder()).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<torvik::testing::RecordingInteraction::Box> Errors() const
    {
        std::vector<torvik::testing::RecordingInteraction::Box> errors;
        for (const auto& box : user.boxes) {
            if (box.kind == "error") {
                errors.push_back(box);
            }
        }
        return errors;
    }

    kit::testing::ScratchFolder scratch;
    torvik::testing::RecordingInteraction user;
    TCompactador packer{user};
};

}  // namespace torvik::package::testing
