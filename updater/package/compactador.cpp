#include "package/compactador.h"

#include <filesystem>
#include <limits>
#include <optional>

#include "common/text.h"
#include "package/dos_date.h"
#include "package/entry_paths.h"
#include "package/package_errors.h"
#include "package/package_format.h"
#include "package/package_reader.h"
#include "package/package_writer.h"
#include "package/platform/package_files.h"
#include "package/platform/pending_messages.h"

namespace torvik {

using namespace package;

namespace {

constexpr const char* kVolumePrompt = "Please insert disk %s and click OK to continue.";

std::string VolumePrompt(const std::string& disk)
{
    std::string text = kVolumePrompt;
    text.replace(text.find("%s"), 2, disk);
    return text;
}

int ZlibLevel(TCompressionLevel level)
{
    switch (level) {
        case clNone:
            return 0;
        case clDefault:
            return 6;
        case clMax:
            return 9;
        case clFastest:
            break;
    }
    return 1;
}

// Busy from the header's read to the end of the work, whichever way the work ends.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
};

}  // namespace

// A restored file whose data is complete so far. It takes its place when the next entry
// shows that no continuation follows in another volume.
struct TCompactador::PendingFile {
    std::unique_ptr<OutputFile> file;
    std::string path;
    int32_t date = 0;
};

struct TCompactador::Run {
    std::string packageFile;
    std::string target;  // "" or ending with '/'
    bool fromStream = false;
    PackageStream* source = nullptr;
    std::unique_ptr<InputFile> volume;
    int disk = 0;  // number of the volume being read; the package file counts as 0
    std::optional<PendingFile> pending;
};

TCompactador::TCompactador(UserInteraction& user) : user_(user), pump_(ProcessPendingMessages) {}

TCompactador::~TCompactador() = default;

void TCompactador::SetBackupMode(TBackupMode mode)
{
    backupMode_ = mode;
    if (mode == bmIncremental) {
        setArchiveFlag_ = true;
    }
}

std::string TCompactador::ErrorText(int code)
{
    return std::string(package::ErrorText(code));
}

void TCompactador::ReportError(int code)
{
    const std::string text = ErrorText(code);
    if (OnError) {
        OnError(*this, code, text);
    } else {
        user_.ShowError(text);
    }
}

TPercentage TCompactador::Percentage() const
{
    // A header without a total gives no measure of progress until the end.
    if (total_ <= 0 || bytesWritten_ <= 0) {
        return 0;
    }
    const auto total = static_cast<uint64_t>(total_);
    const auto done = static_cast<uint64_t>(bytesWritten_);
    if (done >= total) {
        return 100;
    }
    // Rounded to the nearest integer, a half to the even neighbour.
    uint64_t percent = done * 100 / total;
    const uint64_t twiceRest = done * 100 % total * 2;
    if (twiceRest > total || (twiceRest == total && percent % 2 == 1)) {
        ++percent;
    }
    return static_cast<TPercentage>(percent);
}

// The end of a restore or backup: the final progress event, the object free again, then
// the error, if any, reported; true when the run succeeded and was not cancelled.
bool TCompactador::EndRun()
{
    const bool result = errorCode_ == 0 && continue_;
    if (OnProgress) {
        OnProgress(*this, std::string(), 100, continue_);
    }
    busy_ = false;
    if (errorCode_ != 0) {
        ReportError(errorCode_);
    }
    return result;
}

bool TCompactador::Restore(const std::string& packageFile, const std::string& targetFolder, bool fullPaths)
{
    if (busy_) {
        return false;
    }
    restoreFullPath_ = fullPaths;
    Run run;
    run.packageFile = packageFile;
    run.target = targetFolder;
    if (!run.target.empty() && run.target.back() != '/') {
        run.target += '/';
    }
    errorCode_ = 0;
    filesRestored_ = 0;
    continue_ = true;
    errorDetail_.clear();

    if (packageFile == kStreamPackageName) {
        if (sourceStream_ == nullptr) {
            return false;
        }
        run.fromStream = true;
        run.source = sourceStream_;
    } else {
        if (!FileExists(packageFile)) {
            return false;
        }
        run.volume = std::make_unique<InputFile>(packageFile);
        run.source = run.volume.get();
    }

    const BusyScope busy(busy_);
    const PackageHeader header = ReadPackageHeader(*run.source);
    headerText_ = header.text;
    total_ = header.total;
    fileCount_ = header.fileCount;
    bytesWritten_ = 0;
    currentFile_.clear();

    RestoreEntries(run);
    run.volume.reset();

    return EndRun();
}

void TCompactador::RestoreEntries(Run& run)
{
    try {
        while (continue_) {
            EntryStart entry;
            try {
                entry = ReadEntryStart(*run.source);
            } catch (const PackageError&) {
                // The file before was complete; only what follows it is lost.
                FinishPending(run);
                throw;
            }
            if (entry.kind == EntryStart::Kind::VolumeChange) {
                ChangeVolume(run, entry.disk);
                continue;
            }
            FinishPending(run);
            if (entry.kind == EntryStart::Kind::End || !continue_) {
                break;
            }
            RestoreEntry(run, entry.name, entry.date);
        }
    } catch (const PackageError& error) {
        errorCode_ = error.Code();
        errorDetail_ = error.Detail();
        continue_ = false;
    }
    // A file still pending here was cut off by a stop: it keeps its old contents.
    run.pending.reset();
}

bool TCompactador::ChooseToRestore(const std::string& path, int32_t date) const
{
    const std::optional<time_t> modified = FileModificationTime(path);
    const bool exists = modified.has_value();
    const int32_t age = exists ? DosDateTimeFromTime(*modified) : -1;
    switch (restoreMode_) {
        case rmAll:
            return true;
        case rmNoOverwrite:
            return !exists;
        case rmNewer:
            return !exists || date > age;
        case rmExisting:
            return exists;
        case rmExistingNewer:
            return exists && date > age;
    }
    return false;
}

void TCompactador::RestoreEntry(Run& run, const std::string& name, int32_t date)
{
    if (name == kFileListName) {
        ExtractBlock(*run.source, nullptr, false);
        return;
    }
    const std::optional<std::string> path = RestorePath(name, run.target, restoreFullPath_);
    if (!path) {
        // A name that leads out of the target folder is never written; the other
        // files are still restored, and the restore fails.
        errorCode_ = kCannotReadFile;
        errorDetail_ = "Entry name refused: " + DecodeWindowsText(name);
        ExtractBlock(*run.source, nullptr, false);
        return;
    }
    std::string output = *path;
    currentFile_ = output;
    bool restore = ChooseToRestore(output, date);
    if (OnRestoreFile) {
        OnRestoreFile(*this, output, date, restore);
    }
    if (!restore) {
        ExtractBlock(*run.source, nullptr, false);
        return;
    }
    currentFile_ = output;
    try {
        if (!CreateFolders(FolderOf(output))) {
            throw UpdaterError("Cannot create folder \"" + FolderOf(output) + "\".");
        }
        run.pending = PendingFile{std::make_unique<OutputFile>(output), output, date};
    } catch (const std::exception& error) {
        errorCode_ = kCannotReadFile;
        errorDetail_ = error.what();
        continue_ = false;
        return;
    }
    ExtractIntoPending(run);
}

void TCompactador::ExtractIntoPending(Run& run)
{
    currentFile_ = run.pending->path;
    bool complete = false;
    try {
        complete = ExtractBlock(*run.source, run.pending->file.get(), true);
    } catch (const PackageError& error) {
        errorCode_ = error.Code();
        errorDetail_ = error.Detail();
        continue_ = false;
    } catch (const std::exception& error) {
        errorCode_ = kCannotReadFile;
        errorDetail_ = error.what();
        continue_ = false;
    }
    if (!complete || !continue_) {
        run.pending.reset();  // the file keeps what it held
    }
}

void TCompactador::FinishPending(Run& run)
{
    if (!run.pending) {
        return;
    }
    PendingFile done = std::move(*run.pending);
    run.pending.reset();
    try {
        if (OnFileRestored) {
            OnFileRestored(*this, done.path, *done.file);
        }
        if (const auto time = TimeFromDosDateTime(done.date)) {
            done.file->SetModificationTime(*time);
        }
        done.file->Commit();
        ++filesRestored_;
    } catch (const std::exception& error) {
        errorCode_ = kCannotReadFile;
        errorDetail_ = error.what();
        continue_ = false;
    }
}

void TCompactador::ChangeVolume(Run& run, int disk)
{
    // A stream has no further volumes, and volumes only go forward: a package cannot
    // send the restore round in circles.
    if (run.fromStream || disk <= run.disk) {
        throw PackageError(kCannotReadArchive, "Volume change to disk " + std::to_string(disk) + " out of order");
    }
    run.volume.reset();
    run.source = nullptr;
    const std::string volumeFile = VolumeFileName(run.packageFile, VolumeDigits(disk));
    do {
        if (OnNeedDisk) {
            OnNeedDisk(*this, static_cast<uint16_t>(disk), continue_);
        } else {
            continue_ = user_.AskOkCancel(VolumePrompt(std::to_string(disk)));
        }
    } while (!FileExists(volumeFile) && continue_);
    if (!continue_) {
        return;
    }
    try {
        run.volume = std::make_unique<InputFile>(volumeFile);
    } catch (const UpdaterError& error) {
        throw PackageError(kCannotReadArchive, error.what());
    }
    run.source = run.volume.get();
    run.disk = disk;
    // The volume begins with the rest of the file before the change.
    if (run.pending) {
        ExtractIntoPending(run);
    } else {
        ExtractBlock(*run.source, nullptr, false);
    }
}

void TCompactador::ExtractFileData(PackageStream& source, OutputStream* output, bool write)
{
    (void)ExtractBlock(source, output, write);
}

bool TCompactador::ExtractBlock(PackageStream& source, OutputStream* output, bool write)
{
    if (!blocks_) {
        blocks_ = std::make_unique<BlockReader>();
    }
    if (!blocks_->ReadTag(source)) {
        throw UpdaterError(ErrorText(kInvalidArchiveType));
    }
    while (true) {
        const int32_t header = blocks_->ReadChunkHeader(source);
        size_t produced = 0;
        if (header != 0) {
            if (write) {
                const auto data = blocks_->ReadChunk(source, header);
                if (data) {
                    if (output != nullptr) {
                        output->Write(data->data(), data->size());
                    }
                    produced = data->size();
                } else {
                    errorCode_ = kCompressionError;
                    continue_ = false;
                }
            } else {
                blocks_->SkipChunk(source, header);
            }
        }
        if (pump_) {
            pump_();
        }
        if (output != nullptr) {
            bytesWritten_ += static_cast<int64_t>(produced);
            if (OnProgress) {
                OnProgress(*this, currentFile_, Percentage(), continue_);
            }
        }
        if (header == 0) {
            return true;
        }
        if (!continue_) {
            return false;
        }
    }
}

bool TCompactador::Backup(const std::string& packageFile, const std::vector<BackupFile>& files)
{
    if (busy_) {
        return false;
    }
    errorCode_ = 0;
    errorDetail_.clear();
    continue_ = true;
    filesRestored_ = 0;
    bytesWritten_ = 0;
    currentFile_.clear();
    const BusyScope busy(busy_);

    uint64_t total = 0;
    for (const BackupFile& file : files) {
        std::error_code ignored;
        const auto size = std::filesystem::file_size(file.source, ignored);
        total += ignored ? 0 : size;
    }
    total_ = static_cast<int32_t>(std::min<uint64_t>(total, std::numeric_limits<int32_t>::max()));
    fileCount_ = static_cast<int32_t>(std::min<size_t>(files.size(), std::numeric_limits<int32_t>::max()));

    try {
        PackageWriter writer(packageFile, {ZlibLevel(compressionLevel_), maxSize_, StoredName(backupTitle_)});
        const auto chunkRead = [&](size_t read) {
            bytesWritten_ += static_cast<int64_t>(read);
            if (pump_) {
                pump_();
            }
            if (OnProgress) {
                OnProgress(*this, currentFile_, Percentage(), continue_);
            }
            return continue_;
        };
        for (const BackupFile& file : files) {
            currentFile_ = file.source;
            std::unique_ptr<InputFile> input;
            try {
                input = std::make_unique<InputFile>(file.source);
            } catch (const UpdaterError& error) {
                throw PackageError(kCannotReadFile, error.what());
            }
            const int32_t date = DosDateTimeFromTime(input->ModificationTime());
            if (!writer.Add(StoredName(file.name), date, *input, chunkRead)) {
                break;
            }
            ++filesRestored_;
        }
        if (continue_) {
            writer.Finish();
        }
    } catch (const PackageError& error) {
        errorCode_ = error.Code();
        errorDetail_ = error.Detail();
        if (errorDetail_.empty() && error.Code() == kCannotReadFile) {
            errorDetail_ = "Cannot read file \"" + currentFile_ + "\".";
        }
    }

    return EndRun();
}

}  // namespace torvik
