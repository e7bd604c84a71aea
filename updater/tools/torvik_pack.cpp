// torvik-pack: builds, lists and restores the compressed packages that deployments store
// in the binaries database.
//
//   torvik-pack create [--level fastest|none|default|max] [--max-size BYTES] [--title TEXT]
//                      PACKAGE FILE|FOLDER...
//   torvik-pack list PACKAGE
//   torvik-pack restore [--full-paths] [--mode all|no-overwrite|newer|existing|existing-newer]
//                       PACKAGE FOLDER
//
// A file is stored as "C:\<name>", a folder's files as "C:\<folder>\<path>\<name>", so
// that a restore with full paths rebuilds the folder and one without puts every file in
// the target folder. Progress goes to standard error as a line that updates.
//
// Exit codes: 0 done; 1 the work failed (the reason is on standard error); 2 wrong
// command line.

#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/updater_error.h"
#include "package/compactador.h"
#include "package/dos_date.h"
#include "package/entry_paths.h"
#include "package/package_errors.h"
#include "package/package_listing.h"
#include "package/package_reader.h"
#include "package/package_writer.h"
#include "package/platform/package_files.h"

namespace {

namespace fs = std::filesystem;
using torvik::TCompactador;

enum ExitCode { kDone = 0, kFailed = 1, kUsage = 2 };

constexpr const char* kUsageText =
    "usage: torvik-pack create [--level fastest|none|default|max] [--max-size BYTES] [--title TEXT]\n"
    "                          PACKAGE FILE|FOLDER...\n"
    "       torvik-pack list PACKAGE\n"
    "       torvik-pack restore [--full-paths] [--mode all|no-overwrite|newer|existing|existing-newer]\n"
    "                           PACKAGE FOLDER\n";

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "torvik-pack: %s\n%s", problem.c_str(), kUsageText);
    return kUsage;
}

int Failure(const std::string& message)
{
    std::fprintf(stderr, "torvik-pack: %s\n", message.c_str());
    return kFailed;
}

// Nothing reaches the user through boxes: the tool sets a handler for every event.
class ConsoleUser : public torvik::UserInteraction {
public:
    void ShowError(const std::string& text) override { std::fprintf(stderr, "torvik-pack: %s\n", text.c_str()); }
    void ShowInformation(const std::string& text) override { std::fprintf(stderr, "torvik-pack: %s\n", text.c_str()); }
    bool AskYesNo(const std::string&) override { return false; }
    bool AskOkCancel(const std::string&) override { return false; }
};

// One line on standard error, rewritten as the percentage or the file changes.
class ProgressLine {
public:
    void Show(const std::string& file, int percent)
    {
        if (percent == percent_ && (file.empty() || file == file_)) {
            return;
        }
        percent_ = percent;
        if (!file.empty()) {
            file_ = file;
        }
        std::string shown = file_;
        if (shown.size() > 60) {
            shown = "..." + shown.substr(shown.size() - 57);
        }
        std::fprintf(stderr, "\r%3d%% %-60s", percent, shown.c_str());
        std::fflush(stderr);
        shown_ = true;
    }
    void End()
    {
        if (shown_) {
            std::fputc('\n', stderr);
            shown_ = false;
        }
    }

private:
    int percent_ = -1;
    std::string file_;
    bool shown_ = false;
};

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // name without "--" -> value ("" for flags)
};

// Options may come anywhere; "--name=value" or "--name value"; "--" ends them.
std::optional<Arguments> Parse(int argc, char** argv, const std::set<std::string>& withValue,
                               const std::set<std::string>& flags, std::string& problem)
{
    Arguments arguments;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || !argument.starts_with("--")) {
            arguments.positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (flags.count(name) != 0 && equals == std::string::npos) {
            arguments.options[name] = "";
        } else if (withValue.count(name) != 0) {
            if (equals != std::string::npos) {
                arguments.options[name] = argument.substr(equals + 1);
            } else if (i + 1 < argc) {
                arguments.options[name] = argv[++i];
            } else {
                problem = "--" + name + " needs a value";
                return std::nullopt;
            }
        } else {
            problem = "unknown option " + argument;
            return std::nullopt;
        }
    }
    return arguments;
}

std::optional<int64_t> ParseSize(const std::string& text)
{
    if (text.empty()) {
        return std::nullopt;
    }
    int64_t factor = 1;
    std::string digits = text;
    switch (digits.back()) {
        case 'k':
        case 'K':
            factor = 1024;
            digits.pop_back();
            break;
        case 'm':
        case 'M':
            factor = 1024 * 1024;
            digits.pop_back();
            break;
        default:
            break;
    }
    if (digits.empty() || digits.size() > 10 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) {
        return std::nullopt;
    }
    return std::stoll(digits) * factor;
}

std::string WindowsPath(const fs::path& relative)
{
    std::string name;
    for (const auto& part : relative) {
        if (!name.empty()) {
            name += '\\';
        }
        name += part.string();
    }
    return name;
}

// The files of the arguments with the names they are stored under, folders walked in
// name order.
bool CollectFiles(const std::vector<std::string>& arguments, std::vector<torvik::BackupFile>& files)
{
    std::set<std::string> names;
    const auto add = [&](const fs::path& source, const std::string& name) {
        const std::string stored = "C:\\" + name;
        if (!names.insert(stored).second) {
            std::fprintf(stderr, "torvik-pack: two files would be stored as %s\n", stored.c_str());
            return false;
        }
        files.push_back({source.string(), stored});
        return true;
    };
    for (const std::string& argument : arguments) {
        std::error_code error;
        const fs::file_status status = fs::status(argument, error);
        if (error || !fs::exists(status)) {
            std::fprintf(stderr, "torvik-pack: %s: no such file or folder\n", argument.c_str());
            return false;
        }
        const fs::path base = fs::weakly_canonical(argument, error).filename();
        if (fs::is_regular_file(status)) {
            if (!add(argument, base.string())) {
                return false;
            }
            continue;
        }
        if (!fs::is_directory(status)) {
            std::fprintf(stderr, "torvik-pack: %s: not a file or folder\n", argument.c_str());
            return false;
        }
        std::vector<fs::path> found;
        for (fs::recursive_directory_iterator it(argument, error), end; !error && it != end; it.increment(error)) {
            if (it->is_regular_file(error)) {
                found.push_back(it->path());
            } else if (!it->is_directory(error)) {
                std::fprintf(stderr, "torvik-pack: %s: skipped, not a regular file\n", it->path().c_str());
            }
        }
        if (error) {
            std::fprintf(stderr, "torvik-pack: %s: %s\n", argument.c_str(), error.message().c_str());
            return false;
        }
        std::sort(found.begin(), found.end());
        for (const fs::path& file : found) {
            const fs::path inside = fs::relative(file, argument, error);
            if (!add(file, WindowsPath(base.empty() ? inside : base / inside))) {
                return false;
            }
        }
    }
    return true;
}

void ReportTo(TCompactador& packer, ProgressLine& progress)
{
    packer.OnProgress = [&progress](TCompactador&, const std::string& file, torvik::TPercentage percent, bool&) {
        progress.Show(file, percent);
    };
    packer.OnError = [&progress](TCompactador& sender, int, const std::string& text) {
        progress.End();
        const std::string& detail = sender.ErrorDetail();
        std::fprintf(stderr, "torvik-pack: %s%s%s\n", text.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    };
}

int Create(int argc, char** argv)
{
    std::string problem;
    const auto arguments = Parse(argc, argv, {"level", "max-size", "title"}, {}, problem);
    if (!arguments) {
        return Usage(problem);
    }
    if (arguments->positional.size() < 2) {
        return Usage("create needs a package and at least one file or folder");
    }
    ConsoleUser user;
    TCompactador packer(user);
    if (const auto level = arguments->options.find("level"); level != arguments->options.end()) {
        static const std::map<std::string, torvik::TCompressionLevel> kLevels = {{"fastest", torvik::clFastest},
                                                                                 {"none", torvik::clNone},
                                                                                 {"default", torvik::clDefault},
                                                                                 {"max", torvik::clMax}};
        const auto found = kLevels.find(level->second);
        if (found == kLevels.end()) {
            return Usage("--level is fastest, none, default or max");
        }
        packer.SetCompressionLevel(found->second);
    }
    if (const auto size = arguments->options.find("max-size"); size != arguments->options.end()) {
        const auto bytes = ParseSize(size->second);
        if (!bytes || *bytes < torvik::package::kMinVolumeSize || *bytes > INT32_MAX) {
            return Usage("--max-size is a number of bytes (K and M suffixes allowed) from 64K to 2147483647");
        }
        packer.SetMaxSize(static_cast<int32_t>(*bytes));
    }
    if (const auto title = arguments->options.find("title"); title != arguments->options.end()) {
        packer.SetBackupTitle(title->second);
    }
    const std::string package = arguments->positional.front();
    std::vector<torvik::BackupFile> files;
    if (!CollectFiles({arguments->positional.begin() + 1, arguments->positional.end()}, files)) {
        return kFailed;
    }
    ProgressLine progress;
    ReportTo(packer, progress);
    const bool packed = packer.Backup(package, files);
    progress.End();
    if (!packed) {
        return kFailed;
    }
    std::fprintf(stderr, "torvik-pack: %zu files packed into %s\n", files.size(), package.c_str());
    return kDone;
}

int List(int argc, char** argv)
{
    std::string problem;
    const auto arguments = Parse(argc, argv, {}, {}, problem);
    if (!arguments) {
        return Usage(problem);
    }
    if (arguments->positional.size() != 1) {
        return Usage("list needs one package");
    }
    try {
        const auto listing = torvik::package::ListPackage(arguments->positional.front());
        uint64_t size = 0;
        uint64_t packed = 0;
        for (const auto& entry : listing.entries) {
            std::printf("%s %12" PRIu64 "  %s\n", torvik::package::FormatDosDateTime(entry.date).c_str(), entry.size,
                        entry.name.c_str());
            size += entry.size;
            packed += entry.packedSize;
        }
        std::printf("%zu files, %" PRIu64 " bytes, %" PRIu64 " packed, %zu volume%s\n", listing.entries.size(), size,
                    packed, listing.volumes.size(), listing.volumes.size() == 1 ? "" : "s");
    } catch (const torvik::package::PackageError& error) {
        return Failure(std::string(error.what()) + (error.Detail().empty() ? "" : ": " + error.Detail()));
    } catch (const torvik::UpdaterError& error) {
        return Failure(error.what());
    }
    return kDone;
}

int Restore(int argc, char** argv)
{
    std::string problem;
    const auto arguments = Parse(argc, argv, {"mode"}, {"full-paths"}, problem);
    if (!arguments) {
        return Usage(problem);
    }
    if (arguments->positional.size() != 2) {
        return Usage("restore needs a package and a folder");
    }
    ConsoleUser user;
    TCompactador packer(user);
    if (const auto mode = arguments->options.find("mode"); mode != arguments->options.end()) {
        static const std::map<std::string, torvik::TRestoreMode> kModes = {{"all", torvik::rmAll},
                                                                           {"no-overwrite", torvik::rmNoOverwrite},
                                                                           {"newer", torvik::rmNewer},
                                                                           {"existing", torvik::rmExisting},
                                                                           {"existing-newer", torvik::rmExistingNewer}};
        const auto found = kModes.find(mode->second);
        if (found == kModes.end()) {
            return Usage("--mode is all, no-overwrite, newer, existing or existing-newer");
        }
        packer.SetRestoreMode(found->second);
    }
    const std::string package = arguments->positional[0];
    if (!torvik::package::FileExists(package)) {
        return Failure(package + ": no such file");
    }
    ProgressLine progress;
    ReportTo(packer, progress);
    bool volumeMissing = false;
    packer.OnNeedDisk = [&](TCompactador&, uint16_t disk, bool& continueWork) {
        // The volumes lie beside the package; there is nobody to insert a disk.
        const std::string volume = torvik::package::VolumeFileName(package, torvik::package::VolumeDigits(disk));
        if (!torvik::package::FileExists(volume)) {
            progress.End();
            std::fprintf(stderr, "torvik-pack: volume %s is missing\n", volume.c_str());
            volumeMissing = true;
            continueWork = false;
        }
    };
    bool restored = false;
    try {
        restored = packer.Restore(package, arguments->positional[1], arguments->options.count("full-paths") != 0);
    } catch (const torvik::UpdaterError& error) {
        progress.End();
        return Failure(error.what());
    }
    progress.End();
    if (!restored) {
        if (!volumeMissing && packer.ErrorCode() == 0) {
            std::fprintf(stderr, "torvik-pack: restore stopped\n");
        }
        return kFailed;
    }
    std::fprintf(stderr, "torvik-pack: %d files restored into %s\n", packer.FilesRestored(),
                 arguments->positional[1].c_str());
    return kDone;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return Usage("no command");
    }
    const std::string_view command = argv[1];
    if (command == "create") {
        return Create(argc, argv);
    }
    if (command == "list") {
        return List(argc, argv);
    }
    if (command == "restore") {
        return Restore(argc, argv);
    }
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsageText, stdout);
        return kDone;
    }
    return Usage("unknown command " + std::string(command));
}
