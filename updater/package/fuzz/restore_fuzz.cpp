// Restores arbitrary bytes as a package into a scratch folder, from a stream or from
// files split into two volumes, with every restore mode and with full paths on and off.
// Whatever the bytes, the restore must end, offer only paths inside the target folder,
// and leave nothing outside it nor a temporary file inside it.
//
// Input: one byte of flags, then the package. Flags: bit 0 full paths, bits 1-3 restore
// mode, bit 4 read from a stream, bit 5 split the bytes into p.pkg and p.002 at the
// offset held in the next two bytes.

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "common/updater_error.h"
#include "package/compactador.h"
#include "package/package_stream.h"

namespace {

namespace fs = std::filesystem;

void Check(bool ok, const char* what, const std::string& detail = {})
{
    if (!ok) {
        std::fprintf(stderr, "package restore broke a rule: %s %s\n", what, detail.c_str());
        std::abort();
    }
}

// The volume prompt's answers alternate, so both answers are exercised.
class AlternatingUser : public torvik::UserInteraction {
public:
    void ShowError(const std::string&) override {}
    void ShowInformation(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    bool AskOkCancel(const std::string&) override { return (++asked_ % 2) == 1; }

private:
    int asked_ = 0;
};

// A folder for one input, removed afterwards; on a memory file system when there is one,
// since every restored file is flushed to disk.
class Scratch {
public:
    Scratch()
    {
        const std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
        std::string pattern = base + "/torvik-package-fuzz-XXXXXX";
        Check(mkdtemp(pattern.data()) != nullptr, "cannot make the scratch folder");
        root_ = pattern;
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const fs::path& Root() const { return root_; }

private:
    fs::path root_;
};

void WriteFile(const fs::path& path, std::string_view bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "cannot write", path.string());
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

bool Inside(const fs::path& path, const fs::path& folder)
{
    const fs::path normal = path.lexically_normal();
    const fs::path relative = normal.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const uint8_t flags = data[0];
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool fullPaths = (flags & 1) != 0;
    const auto mode = static_cast<torvik::TRestoreMode>((flags >> 1 & 7) % 5);
    const bool fromStream = (flags & 0x10) != 0;

    const Scratch scratch;
    const fs::path& root = scratch.Root();
    const fs::path target = root / "app";
    fs::create_directories(target);
    const std::string targetFolder = target.string() + "/";

    AlternatingUser user;
    torvik::TCompactador packer(user);
    packer.SetRestoreMode(mode);
    int disks = 0;
    packer.OnNeedDisk = [&](torvik::TCompactador&, uint16_t disk, bool& continueWork) {
        Check(disk >= 1 && disk <= 999, "a disk number out of range");
        continueWork = ++disks <= 3;
    };
    packer.OnRestoreFile = [&](torvik::TCompactador&, std::string& name, int32_t, bool&) {
        Check(Inside(name, target), "a path outside the target was offered", name);
    };
    std::set<fs::path> completed;
    packer.OnFileRestored = [&](torvik::TCompactador&, std::string& name, torvik::package::OutputStream&) {
        completed.insert(fs::path(name).lexically_normal());
    };

    std::string package;
    torvik::package::MemoryStream stream(bytes);
    if (fromStream) {
        package = ":STREAM";
        packer.SetSourceStream(&stream);
    } else {
        size_t split = bytes.size();
        if ((flags & 0x20) != 0 && bytes.size() >= 2) {
            split = (static_cast<uint8_t>(bytes[0]) | static_cast<size_t>(static_cast<uint8_t>(bytes[1])) << 8) %
                    (bytes.size() - 1);
            bytes.remove_prefix(2);
        }
        package = (root / "p.pkg").string();
        WriteFile(package, bytes.substr(0, split));
        WriteFile(root / "p.002", bytes.substr(split));
    }

    try {
        const bool restored = packer.Restore(package, targetFolder, fullPaths);
        Check(!restored || packer.ErrorCode() == 0, "success reported with an error code");
    } catch (const torvik::UpdaterError&) {
        // header unreadable, or a skipped block without its tag
    }
    Check(!packer.Busy(), "still busy after the restore");

    for (const auto& entry : fs::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        Check(name == "app" || name == "p.pkg" || name == "p.002", "a file outside the target", name);
    }
    // Only files whose data was complete, never a temporary one.
    for (const auto& entry : fs::recursive_directory_iterator(target)) {
        Check(entry.is_directory() || completed.count(entry.path().lexically_normal()) != 0,
              "a file that was never completed", entry.path().string());
    }
    return 0;
}
