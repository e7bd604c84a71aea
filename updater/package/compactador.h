// TCompactador, the package component (unit KoCompactacao): restores the files of a
// package into a folder, and writes packages for the tools that build them.
//
// Whatever a package holds, a restore never writes outside its target folder: entry
// names that lead out of it are refused. Every file is written beside its place under a
// temporary name and takes the place of the old one only once it is complete, so a
// damaged package or a cancelled restore leaves the files it did not finish as they were.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "package/package_stream.h"
#include "ui/user_interaction.h"

namespace torvik {

namespace package {
class BlockReader;
class OutputFile;
}  // namespace package

enum TBackupMode { bmAll, bmIncremental };
enum TCompressionLevel { clFastest, clNone, clDefault, clMax };
enum TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };
using TPercentage = uint8_t;  // 0 to 100

class TCompactador;

// Continue (or DoRestore) arrives true; a handler that sets it to false stops the work
// (or leaves the file out).
using TProgressEvent =
    std::function<void(TCompactador& sender, const std::string& fileName, TPercentage percent, bool& continueWork)>;
using TNeedDiskEvent = std::function<void(TCompactador& sender, uint16_t diskId, bool& continueWork)>;
using TRestoreFileEvent = std::function<void(TCompactador& sender, std::string& fileName, int32_t fa, bool& doRestore)>;
using TFileRestoredEvent =
    std::function<void(TCompactador& sender, std::string& fileName, package::OutputStream& stream)>;
using TBackupErrorEvent = std::function<void(TCompactador& sender, int error, const std::string& errString)>;

// A file to pack and the name it is stored under (UTF-8, for example "C:\Dados\x.dll").
struct BackupFile {
    std::string source;
    std::string name;
};

class TCompactador {
public:
    // Errors and volume prompts go to the user when no handler takes them.
    explicit TCompactador(UserInteraction& user);
    ~TCompactador();
    TCompactador(const TCompactador&) = delete;
    TCompactador& operator=(const TCompactador&) = delete;

    // Published properties, in their published order.
    std::string Version() const { return "5.10"; }
    void SetVersion(const std::string&) {}  // assignments are ignored
    const std::string& BackupTitle() const { return backupTitle_; }
    void SetBackupTitle(std::string title) { backupTitle_ = std::move(title); }
    TBackupMode BackupMode() const { return backupMode_; }
    void SetBackupMode(TBackupMode mode);
    TCompressionLevel CompressionLevel() const { return compressionLevel_; }
    void SetCompressionLevel(TCompressionLevel level) { compressionLevel_ = level; }
    TRestoreMode RestoreMode() const { return restoreMode_; }
    void SetRestoreMode(TRestoreMode mode) { restoreMode_ = mode; }
    int32_t MaxSize() const { return maxSize_; }
    void SetMaxSize(int32_t size) { maxSize_ = size; }
    bool SetArchiveFlag() const { return setArchiveFlag_; }
    void SetSetArchiveFlag(bool value) { setArchiveFlag_ = value; }
    TProgressEvent OnProgress;
    TNeedDiskEvent OnNeedDisk;
    TRestoreFileEvent OnRestoreFile;
    TFileRestoredEvent OnFileRestored;
    TBackupErrorEvent OnError;
    bool RestoreFullPath() const { return restoreFullPath_; }
    void SetRestoreFullPath(bool value) { restoreFullPath_ = value; }
    bool SaveFileID() const { return saveFileId_; }
    void SetSaveFileID(bool value) { saveFileId_ = value; }

    // Restores the package into the target folder, with the stored paths under it when
    // fullPaths is set, the file names only otherwise. The package file ":STREAM" reads
    // the stream handed over with SetSourceStream. True when every chosen file was
    // restored and nobody asked to stop; false without a message when the package file
    // does not exist (or no stream was handed over). Throws UpdaterError when the package
    // file cannot be opened, "Cannot read archive" when the header cannot be read, and
    // "Invalid archive type" when a block that is being skipped has no tag. Returns false
    // at once when a restore is already running.
    bool Restore(const std::string& packageFile, const std::string& targetFolder, bool fullPaths);

    // Reads one data block from its tag to its end: decoded into output when write is set
    // (output may be none: the data is checked and dropped), passed over otherwise.
    // Throws UpdaterError "Invalid archive type" for a block without its tag and
    // package::PackageError "Cannot read archive" when the block is cut short or damaged;
    // a chunk zlib cannot inflate sets error 6 and stops.
    void ExtractFileData(package::PackageStream& source, package::OutputStream* output, bool write);

    // Calls OnError with the code and its text, or shows the text in an error box.
    void ReportError(int code);

    // Writes the files into a package with BackupTitle as its header text, at
    // CompressionLevel, in volumes of at most MaxSize bytes when MaxSize is positive
    // (at least 65536). OnProgress gets each file with the percentage of all bytes
    // packed. True when every file was packed and nobody asked to stop; otherwise the
    // error is reported (1 a file cannot be read, 4 the package cannot be written or a
    // name cannot be stored) and no package file is left behind.
    bool Backup(const std::string& packageFile, const std::vector<BackupFile>& files);

    // The stream a ":STREAM" restore reads, from its position; it must outlive the
    // restore. Such a package cannot change volumes.
    void SetSourceStream(package::PackageStream* stream) { sourceStream_ = stream; }
    // What lets the program's window messages through during long work (by default the
    // application's event loop, when there is one).
    void SetMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }

    // Run-time state of the last or current restore.
    int32_t FileCount() const { return fileCount_; }
    int FilesRestored() const { return filesRestored_; }
    int32_t Total() const { return total_; }
    int64_t BytesWritten() const { return bytesWritten_; }
    const std::string& CurrentFile() const { return currentFile_; }
    bool Busy() const { return busy_; }
    bool Continue() const { return continue_; }
    int ErrorCode() const { return errorCode_; }
    package::PackageStream* SourceStream() const { return sourceStream_; }
    // The header text of the last package read (not interpreted).
    const std::string& HeaderText() const { return headerText_; }
    // What lay under the last error (a file and the system's reason, a refused name),
    // for tools; the error's own text stays the one ReportError gives.
    const std::string& ErrorDetail() const { return errorDetail_; }

    static std::string ErrorText(int code);

private:
    struct Run;
    struct PendingFile;

    void RestoreEntries(Run& run);
    void RestoreEntry(Run& run, const std::string& name, int32_t date);
    void ChangeVolume(Run& run, int disk);
    // Writes a block into the pending file; the file is dropped when that fails.
    void ExtractIntoPending(Run& run);
    // ExtractFileData; true when the block was read to its end.
    bool ExtractBlock(package::PackageStream& source, package::OutputStream* output, bool write);
    void FinishPending(Run& run);
    bool ChooseToRestore(const std::string& path, int32_t date) const;
    TPercentage Percentage() const;
    bool EndRun();

    UserInteraction& user_;

    std::string backupTitle_;
    TBackupMode backupMode_ = bmAll;
    TCompressionLevel compressionLevel_ = clFastest;
    TRestoreMode restoreMode_ = rmAll;
    int32_t maxSize_ = 0;
    bool setArchiveFlag_ = false;
    bool restoreFullPath_ = false;
    bool saveFileId_ = false;

    int32_t fileCount_ = 0;
    int filesRestored_ = 0;
    int32_t total_ = 0;
    int64_t bytesWritten_ = 0;
    std::string currentFile_;
    bool busy_ = false;
    bool continue_ = true;
    int errorCode_ = 0;
    package::PackageStream* sourceStream_ = nullptr;
    std::string headerText_;
    std::string errorDetail_;

    std::function<void()> pump_;
    std::unique_ptr<package::BlockReader> blocks_;  // the two chunk buffers, made on first use
};

}  // namespace torvik
