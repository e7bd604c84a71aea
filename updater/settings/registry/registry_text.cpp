#include "settings/registry/registry_text.h"

#include <QString>
#include <cstdint>

#include "common/text.h"

namespace torvik {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kLineBreak = "\r\n";

bool HasUnfitCharacter(std::string_view text)
{
    return text.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && detail::AsciiLower(text.substr(0, prefix.size())) == prefix;
}

// 1 to maxDigits hex digits, nothing else.
bool ParseHex(std::string_view digits, size_t maxDigits, uint32_t& number)
{
    if (digits.empty() || digits.size() > maxDigits) {
        return false;
    }
    number = 0;
    for (char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        number = number << 4 | static_cast<uint32_t>(digit);
    }
    return true;
}

std::string HexText(uint32_t number, size_t width)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[number & 0xF]);
        number >>= 4;
    } while (number != 0);
    while (text.size() < width) {
        text.insert(text.begin(), '0');
    }
    return text;
}

// At most a few dozen characters of text from the file, for a message.
std::string Shortened(std::string_view text)
{
    constexpr size_t kShown = 40;
    if (text.size() <= kShown) {
        return std::string(text);
    }
    size_t cut = kShown;
    while (cut > 0 && (static_cast<uint8_t>(text[cut]) & 0xC0) == 0x80) {
        --cut;  // not inside a character
    }
    return std::string(text.substr(0, cut)) + "…";
}

// The file's text as UTF-8.
std::string DecodeFile(std::string_view bytes)
{
    if (bytes.substr(0, kUtf16Mark.size()) == kUtf16Mark) {
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (size_t i = kUtf16Mark.size(); i + 1 < bytes.size(); i += 2) {
            units += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
        }
        if (bytes.size() % 2 != 0) {
            units += u'\uFFFD';  // half a character at the end
        }
        const QByteArray utf8 = QString::fromStdU16String(units).toUtf8();
        std::string text(utf8.constData(), static_cast<size_t>(utf8.size()));
        // Unpaired surrogates do not survive as UTF-8; what Qt made of them is checked.
        return IsValidUtf8(text) ? text : Utf8FromWindows1252(text);
    }
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark && IsValidUtf8(bytes)) {
        return std::string(bytes.substr(kUtf8Mark.size()));
    }
    return DecodeWindowsText(bytes);
}

// Physical lines of the text, without their line breaks (LF or CR LF).
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line)
    {
        if (pos_ >= text_.size()) {
            return false;
        }
        const size_t lineFeed = text_.find('\n', pos_);
        const size_t end = lineFeed == std::string_view::npos ? text_.size() : lineFeed;
        line = text_.substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        pos_ = lineFeed == std::string_view::npos ? text_.size() : lineFeed + 1;
        ++number_;
        return true;
    }

    size_t Number() const { return number_; }

private:
    std::string_view text_;
    size_t pos_ = 0;
    size_t number_ = 0;
};

// Reads "…" at the start of text with its \\ and \" escapes; returns the length taken,
// or 0 with the reason set.
size_t ParseQuoted(std::string_view text, std::string& out, std::string& reason)
{
    out.clear();
    for (size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            return i + 1;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                reason = "unknown escape in quoted text (only \\\\ and \\\" are allowed)";
                return 0;
            }
            c = text[++i];
        } else if (c == '\0' || c == '\r') {
            reason = "a name or value holds a carriage return or NUL character";
            return 0;
        }
        out += c;
    }
    reason = "quoted text without its closing quotation mark";
    return 0;
}

class Reader {
public:
    explicit Reader(std::string_view text) : lines_(text) {}

    RegistryText Read()
    {
        std::string_view line;
        while (!result_.recognised && lines_.Next(line)) {
            const std::string_view content = TrimBlanks(line);
            if (content.empty()) {
                continue;
            }
            if (content != kHeader && content != kOldHeader) {
                Refuse(
                    "not a registry file: the first line must be \"Windows Registry Editor Version 5.00\" "
                    "or \"REGEDIT4\"");
                return std::move(result_);
            }
            result_.recognised = true;
        }
        if (!result_.recognised) {
            result_.problems.push_back({1, "not a registry file: it is empty"});
            return std::move(result_);
        }
        while (lines_.Next(line)) {
            const std::string_view content = TrimBlanks(line);
            if (content.empty() || content.front() == ';') {
                continue;
            }
            if (content.front() == '[') {
                KeyLine(content);
            } else if (content.front() == '"' || content.front() == '@') {
                ValueLine(content);
            } else {
                Refuse("not a key line, a value line or a comment");
            }
        }
        return std::move(result_);
    }

private:
    void Refuse(std::string reason, size_t line = 0)
    {
        result_.problems.push_back({line != 0 ? line : lines_.Number(), std::move(reason)});
    }

    void KeyLine(std::string_view content)
    {
        haveKey_ = false;
        if (content.size() < 2 || content.back() != ']') {
            Refuse("a key line must end with \"]\"");
            return;
        }
        std::string_view inside = content.substr(1, content.size() - 2);
        const bool deletion = !inside.empty() && inside.front() == '-';
        if (deletion) {
            inside.remove_prefix(1);
        }
        const size_t rootEnd = inside.find('\\');
        const std::string_view rootName = inside.substr(0, rootEnd);
        RegistryRoot root;
        if (SameText(rootName, "HKEY_CURRENT_USER") || SameText(rootName, "HKCU")) {
            root = RegistryRoot::CurrentUser;
        } else if (SameText(rootName, "HKEY_LOCAL_MACHINE") || SameText(rootName, "HKLM")) {
            root = RegistryRoot::LocalMachine;
        } else {
            Refuse("unknown root key \"" + Shortened(rootName) +
                   "\" (HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE are kept)");
            return;
        }
        std::vector<std::string> path;
        if (rootEnd != std::string_view::npos) {
            std::string_view names = inside.substr(rootEnd + 1);
            while (true) {
                const size_t end = names.find('\\');
                const std::string_view name = names.substr(0, end);
                if (name.empty()) {
                    Refuse("a key path holds an empty key name");
                    return;
                }
                if (HasUnfitCharacter(name)) {
                    Refuse("a key name holds a carriage return or NUL character");
                    return;
                }
                if (path.size() == kMaxKeyDepth) {
                    Refuse("a key path deeper than " + std::to_string(kMaxKeyDepth) + " keys");
                    return;
                }
                path.emplace_back(name);
                if (end == std::string_view::npos) {
                    break;
                }
                names.remove_prefix(end + 1);
            }
        }
        if (deletion && path.empty()) {
            Refuse("a root key cannot be deleted");
            return;
        }
        RegistryChange change;
        change.kind = deletion ? RegistryChange::Kind::DeleteKey : RegistryChange::Kind::CreateKey;
        change.root = root;
        change.path = std::move(path);
        change.line = lines_.Number();
        if (!deletion) {
            haveKey_ = true;
            keyRoot_ = change.root;
        }
        result_.changes.push_back(std::move(change));
    }

    void ValueLine(std::string_view content)
    {
        const size_t line = lines_.Number();
        RegistryChange change;
        change.kind = RegistryChange::Kind::SetValue;
        change.line = line;
        std::string reason;
        size_t taken = 1;  // "@"
        if (content.front() == '"') {
            taken = ParseQuoted(content, change.value.name, reason);
            if (taken == 0) {
                Refuse(std::move(reason));
                return;
            }
        }
        std::string_view rest = TrimBlanks(content.substr(taken));
        if (rest.empty() || rest.front() != '=') {
            Refuse("a value name must be followed by \"=\"");
            return;
        }
        rest = TrimBlanks(rest.substr(1));
        if (rest.empty()) {
            Refuse("a value line without data after \"=\"");
            return;
        }
        if (rest.front() == '"') {
            const size_t length = ParseQuoted(rest, change.value.data, reason);
            if (length == 0) {
                Refuse(std::move(reason));
                return;
            }
            if (!TrimBlanks(rest.substr(length)).empty()) {
                Refuse("text after the value's closing quotation mark");
                return;
            }
        } else if (rest == "-") {
            change.kind = RegistryChange::Kind::DeleteValue;
        } else if (!TypedData(rest, change.value, reason)) {
            Refuse(std::move(reason), line);
            return;
        }
        if (!haveKey_) {
            Refuse("a value line without a key line before it (or after a refused key or a key deletion)", line);
            return;
        }
        change.root = keyRoot_;
        result_.changes.push_back(std::move(change));
    }

    // Data of another type than string, in the form this reader writes it back.
    bool TypedData(std::string_view data, RegistryValue& value, std::string& reason)
    {
        value.isString = false;
        if (StartsWithNoCase(data, "dword:")) {
            uint32_t number = 0;
            if (!ParseHex(data.substr(6), 8, number)) {
                reason = "a dword value needs 1 to 8 hex digits";
                return false;
            }
            value.data = "dword:" + HexText(number, 8);
            return true;
        }
        std::string type;
        if (StartsWithNoCase(data, "hex:")) {
            type = "hex";
            data.remove_prefix(4);
        } else if (StartsWithNoCase(data, "hex(")) {
            const size_t close = data.find("):");
            uint32_t kind = 0;
            if (close == std::string_view::npos || !ParseHex(data.substr(4, close - 4), 8, kind)) {
                reason = "a hex value type must read hex(N): with N of 1 to 8 hex digits";
                return false;
            }
            type = "hex(" + HexText(kind, 1) + ")";
            data.remove_prefix(close + 2);
        } else {
            reason = "unknown value data (expected \"text\", -, dword: or hex:)";
            return false;
        }
        // A long list goes on over the following lines, each but the last ending with "\".
        std::string list(TrimBlanks(data));
        while (!list.empty() && list.back() == '\\') {
            list.pop_back();
            std::string_view next;
            if (!lines_.Next(next)) {
                reason = "a hex value continued past the end of the file";
                return false;
            }
            list += TrimBlanks(next);
        }
        value.data = type + ":";
        std::string_view bytes = list;
        while (!bytes.empty()) {
            const size_t comma = bytes.find(',');
            uint32_t byte = 0;
            if (!ParseHex(TrimBlanks(bytes.substr(0, comma)), 2, byte)) {
                reason = "hex data must be bytes of 1 or 2 hex digits separated by commas";
                return false;
            }
            value.data += HexText(byte, 2);
            if (comma == std::string_view::npos) {
                break;
            }
            bytes.remove_prefix(comma + 1);
            if (bytes.empty()) {
                reason = "hex data must be bytes of 1 or 2 hex digits separated by commas";
                return false;
            }
            value.data += ',';
        }
        return true;
    }

    LineReader lines_;
    RegistryText result_;
    bool haveKey_ = false;
    RegistryRoot keyRoot_ = RegistryRoot::CurrentUser;
};

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

void WriteKey(std::string& out, const std::string& path, const RegistryKey& key, bool root)
{
    if (!root || !key.Values().empty()) {
        out += kLineBreak;
        out += "[" + path + "]";
        out += kLineBreak;
        for (const RegistryValue& value : key.Values()) {
            out += value.name.empty() ? std::string("@") : Quoted(value.name);
            out += '=';
            out += value.isString ? Quoted(value.data) : value.data;
            out += kLineBreak;
        }
    }
    for (const auto& subkey : key.Subkeys()) {
        WriteKey(out, path + "\\" + subkey->Name(), *subkey, false);
    }
}

}  // namespace

RegistryText ReadRegistryText(std::string_view bytes)
{
    const std::string text = DecodeFile(bytes);
    return Reader(text).Read();
}

void ApplyRegistryChanges(const std::vector<RegistryChange>& changes, RegistryRoot root, RegistryKey& keys)
{
    RegistryKey* current = nullptr;
    for (const RegistryChange& change : changes) {
        if (change.root != root) {
            current = nullptr;
            continue;
        }
        switch (change.kind) {
            case RegistryChange::Kind::CreateKey:
                current = &keys;
                for (const std::string& name : change.path) {
                    current = &current->AddSubkey(name);
                }
                break;
            case RegistryChange::Kind::DeleteKey:
                if (!change.path.empty()) {
                    const std::vector<std::string> parentPath(change.path.begin(), change.path.end() - 1);
                    if (RegistryKey* parent = keys.Find(parentPath)) {
                        parent->DeleteSubkey(change.path.back());
                    }
                }
                current = nullptr;
                break;
            case RegistryChange::Kind::SetValue:
                if (current != nullptr) {
                    current->SetValue(change.value.name, change.value.data, change.value.isString);
                }
                break;
            case RegistryChange::Kind::DeleteValue:
                if (current != nullptr) {
                    current->DeleteValue(change.value.name);
                }
                break;
        }
    }
}

std::string WriteRegistryText(RegistryRoot root, const RegistryKey& keys)
{
    std::string out(kHeader);
    out += kLineBreak;
    WriteKey(out, std::string(RootName(root)), keys, true);
    return out;
}

bool FitsRegistryText(std::string_view text)
{
    return IsValidUtf8(text) && !HasUnfitCharacter(text);
}

bool IsValidKeyName(std::string_view name)
{
    return !name.empty() && name.find('\\') == std::string_view::npos && FitsRegistryText(name);
}

std::string_view RootName(RegistryRoot root)
{
    return root == RegistryRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

}  // namespace torvik
