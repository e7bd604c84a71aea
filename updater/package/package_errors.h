// The package component's error codes and their texts, and the error that carries one.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "common/updater_error.h"

namespace torvik::package {

enum ErrorCode {
    kCannotReadFile = 1,
    kOverwritingFailed = 2,
    kCannotReadArchive = 3,
    kCannotWriteArchive = 4,
    kInvalidArchiveType = 5,
    kCompressionError = 6,
    kCannotSaveFileIds = 7,
};

// The text of a code, or "" for a code that has none.
std::string_view ErrorText(int code);

// A failure of a package operation with its code; the message is the code's text, and
// the detail, when there is one, says what lies underneath (for tools and logs).
class PackageError : public UpdaterError {
public:
    explicit PackageError(int code, std::string detail = {})
        : UpdaterError(std::string(ErrorText(code))), code_(code), detail_(std::move(detail))
    {
    }
    int Code() const { return code_; }
    const std::string& Detail() const { return detail_; }

private:
    int code_;
    std::string detail_;
};

}  // namespace torvik::package
