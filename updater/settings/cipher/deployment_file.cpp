#include "settings/cipher/deployment_file.h"

#include <filesystem>
#include <fstream>
#include <set>

#include "common/text.h"

namespace torvik {
namespace {

constexpr size_t kPassPhraseSize = 16;
// Anything longer is not a deployment file.
constexpr size_t kMaximumFileSize = 64 * 1024;

// The blanks CMake's string(STRIP) removes, so both readers see the same values.
bool IsBase64Letter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// 16 bytes in Base64: 21 letters, a 22nd that carries no bits beyond the 16th byte, "==".
bool IsEnciphered16Bytes(std::string_view value)
{
    if (value.size() != 24 || value.substr(22) != "==") {
        return false;
    }
    for (size_t i = 0; i < 21; ++i) {
        if (!IsBase64Letter(value[i])) {
            return false;
        }
    }
    return value[21] == 'A' || value[21] == 'Q' || value[21] == 'g' || value[21] == 'w';
}

class Parser {
public:
    DeploymentFile Parse(std::string_view text)
    {
        if (text.find('\0') != std::string_view::npos) {
            throw DeploymentFileError("the file holds a NUL byte");
        }
        while (!text.empty()) {
            const size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
            ++lineNumber_;
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            line = Trim(line);
            if (!line.empty() && line.front() != '#') {
                ParseSetting(line);
            }
        }
        return Finish();
    }

private:
    void ParseSetting(std::string_view line)
    {
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            Fail("expected key = value");
        }
        const std::string key(Trim(line.substr(0, equals)));
        const std::string_view value = Trim(line.substr(equals + 1));
        static const std::set<std::string> kKeys = {"cipher", "pass_phrase", "pass_phrase_hex", "user_id", "password"};
        if (kKeys.count(key) == 0) {
            Fail("unknown key \"" + key + "\"");
        }
        if (!seen_.insert(key).second) {
            Fail("\"" + key + "\" is given twice");
        }
        if (key == "cipher") {
            if (!ParseCipherKind(value, file_.cipher)) {
                Fail("unknown cipher \"" + std::string(value) + "\" (lockbox or blowfish)");
            }
        } else if (key == "pass_phrase" || key == "pass_phrase_hex") {
            if (passPhraseGiven_) {
                Fail("give either pass_phrase or pass_phrase_hex, not both");
            }
            passPhraseGiven_ = true;
            file_.passPhrase = key == "pass_phrase" ? PassPhrase(value) : HexPassPhrase(value);
        } else {
            if (!IsEnciphered16Bytes(value)) {
                Fail(key + " must be 24 Base64 characters (16 enciphered bytes)");
            }
            (key == "user_id" ? file_.encipheredUserId : file_.encipheredPassword) = value;
        }
    }

    std::string PassPhrase(std::string_view value)
    {
        bool printable = value.size() == kPassPhraseSize;
        for (const char c : value) {
            printable = printable && c >= ' ' && c <= '~';
        }
        if (!printable) {
            Fail("pass_phrase must be 16 printable ASCII characters (use pass_phrase_hex for other bytes)");
        }
        return std::string(value);
    }

    std::string HexPassPhrase(std::string_view value)
    {
        std::string bytes;
        for (size_t i = 0; value.size() == 2 * kPassPhraseSize && i < value.size(); i += 2) {
            const int high = HexDigit(value[i]);
            const int low = HexDigit(value[i + 1]);
            if (high < 0 || low < 0) {
                break;
            }
            bytes.push_back(static_cast<char>(high * 16 + low));
        }
        if (bytes.size() != kPassPhraseSize) {
            Fail("pass_phrase_hex must be 32 hexadecimal digits (16 bytes)");
        }
        return bytes;
    }

    DeploymentFile Finish()
    {
        lineNumber_ = 0;
        if (!passPhraseGiven_) {
            Fail("pass_phrase (or pass_phrase_hex) is missing");
        }
        for (const char* key : {"user_id", "password"}) {
            if (seen_.count(key) == 0) {
                Fail(std::string(key) + " is missing");
            }
        }
        return file_;
    }

    [[noreturn]] void Fail(const std::string& what) const
    {
        throw DeploymentFileError(lineNumber_ > 0 ? "line " + std::to_string(lineNumber_) + ": " + what : what);
    }

    DeploymentFile file_;
    std::set<std::string> seen_;
    bool passPhraseGiven_ = false;
    size_t lineNumber_ = 0;
};

}  // namespace

DeploymentFile ParseDeploymentFile(std::string_view text)
{
    return Parser().Parse(text);
}

DeploymentFile ReadDeploymentFile(const std::string& path)
{
    const std::string name = "Deployment file " + path;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw DeploymentFileError(name + ": not found");
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(kMaximumFileSize + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad() || (!in && !in.eof())) {
        throw DeploymentFileError(name + ": cannot be read");
    }
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaximumFileSize) {
        throw DeploymentFileError(name + ": too large for a deployment file");
    }
    try {
        return ParseDeploymentFile(text);
    } catch (const DeploymentFileError& parseError) {
        throw DeploymentFileError(name + ": " + parseError.what());
    }
}

}  // namespace torvik
