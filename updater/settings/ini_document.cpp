#include "settings/ini_document.h"

#include "common/text.h"

namespace torvik {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t npos = std::string::npos;

bool HasAny(std::string_view text, std::string_view characters)
{
    return text.find_first_of(characters) != std::string_view::npos;
}

}  // namespace

IniDocument::IniDocument(std::string_view bytes)
{
    windows1252_ = !IsValidUtf8(bytes);
    text_ = windows1252_ ? Utf8FromWindows1252(bytes) : std::string(bytes);
    Parse();
}

void IniDocument::Parse()
{
    lines_.clear();
    size_t pos = text_.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ? kByteOrderMark.size() : 0;
    while (pos < text_.size()) {
        const size_t lineFeed = text_.find('\n', pos);
        const size_t next = lineFeed == npos ? text_.size() : lineFeed + 1;
        size_t end = lineFeed == npos ? text_.size() : lineFeed;
        if (end > pos && text_[end - 1] == '\r') {
            --end;
        }
        Line line{Line::Kind::Blank, pos, end, next, {}};
        const std::string_view content = TrimBlanks(std::string_view(text_).substr(pos, end - pos));
        if (content.empty()) {
            line.kind = Line::Kind::Blank;
        } else if (content.front() == '[' && content.find(']') != std::string_view::npos) {
            line.kind = Line::Kind::Section;
            line.name = TrimBlanks(content.substr(1, content.rfind(']') - 1));
        } else if (content.front() == ';' || content.front() == '[') {
            line.kind = Line::Kind::Other;  // a comment, or an unclosed section name
        } else {
            line.kind = Line::Kind::Key;
            const size_t equals = content.find('=');
            line.name = TrimBlanks(content.substr(0, equals));
            if (equals != std::string_view::npos) {
                line.hasValue = true;
                line.valueBegin = static_cast<size_t>(content.data() - text_.data()) + equals + 1;
            }
        }
        lines_.push_back(std::move(line));
        pos = next;
    }
}

size_t IniDocument::FindSection(std::string_view section) const
{
    const std::string_view wanted = TrimBlanks(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::Kind::Section && SameText(lines_[i].name, wanted)) {
            return i;
        }
    }
    return npos;
}

size_t IniDocument::FindKey(size_t sectionLine, std::string_view key) const
{
    const std::string_view wanted = TrimBlanks(key);
    for (size_t i = sectionLine + 1; i < lines_.size() && lines_[i].kind != Line::Kind::Section; ++i) {
        if (lines_[i].kind == Line::Kind::Key && SameText(lines_[i].name, wanted)) {
            return i;
        }
    }
    return npos;
}

std::string IniDocument::ValueOf(const Line& line) const
{
    if (!line.hasValue) {
        return "";
    }
    std::string_view value = TrimBlanks(std::string_view(text_).substr(line.valueBegin, line.end - line.valueBegin));
    // A value enclosed in a pair of quotes reads without them.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const size_t sectionLine = FindSection(section);
    const size_t keyLine = sectionLine == npos ? npos : FindKey(sectionLine, key);
    return keyLine == npos ? std::string(defaultValue) : ValueOf(lines_[keyLine]);
}

bool IniDocument::SectionExists(std::string_view section) const
{
    return FindSection(section) != npos;
}

bool IniDocument::ValueExists(std::string_view section, std::string_view key) const
{
    const size_t sectionLine = FindSection(section);
    return sectionLine != npos && FindKey(sectionLine, key) != npos;
}

std::string IniDocument::LineBreak() const
{
    const size_t lineFeed = text_.find('\n');
    return lineFeed != npos && lineFeed > 0 && text_[lineFeed - 1] != '\r' ? "\n" : "\r\n";
}

void IniDocument::TerminateLastLine()
{
    // A final carriage return only lacks its line feed to end the line.
    if (!text_.empty() && text_.back() != '\n') {
        text_ += text_.back() == '\r' ? "\n" : LineBreak();
    }
}

bool IniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view sectionName = TrimBlanks(section);
    const std::string_view keyName = TrimBlanks(key);
    if (sectionName.empty() || keyName.empty() || HasAny(sectionName, "\r\n]") || HasAny(keyName, "\r\n=") ||
        keyName.front() == '[' || keyName.front() == ';' || HasAny(value, "\r\n") || !IsValidUtf8(section) ||
        !IsValidUtf8(key) || !IsValidUtf8(value)) {
        return false;
    }
    // A Windows-1252 file that cannot hold the new text becomes a UTF-8 file: its other
    // settings keep their text, and nothing written turns into question marks.
    if (windows1252_) {
        for (std::string_view text : {sectionName, keyName, value}) {
            if (Utf8FromWindows1252(Windows1252FromUtf8(text)) != text) {
                windows1252_ = false;
            }
        }
    }
    const std::string entry = std::string(keyName) + "=" + std::string(value);
    const size_t sectionLine = FindSection(sectionName);
    if (sectionLine == npos) {
        TerminateLastLine();
        text_ += "[" + std::string(sectionName) + "]" + LineBreak() + entry + LineBreak();
    } else if (const size_t keyLine = FindKey(sectionLine, keyName); keyLine != npos) {
        // Only the value changes; the key keeps its spelling and spacing.
        const Line& line = lines_[keyLine];
        if (line.hasValue) {
            text_.replace(line.valueBegin, line.end - line.valueBegin, value);
        } else {
            text_.insert(line.end, "=" + std::string(value));
        }
    } else {
        // After the section's last non-blank line, so blank lines before the next
        // section stay where they are.
        size_t last = sectionLine;
        for (size_t i = sectionLine + 1; i < lines_.size() && lines_[i].kind != Line::Kind::Section; ++i) {
            if (lines_[i].kind != Line::Kind::Blank) {
                last = i;
            }
        }
        const size_t insertAt = lines_[last].next;
        if (insertAt == text_.size()) {
            TerminateLastLine();
            text_ += entry + LineBreak();
        } else {
            text_.insert(insertAt, entry + LineBreak());
        }
    }
    Parse();
    return true;
}

std::string IniDocument::Bytes() const
{
    if (!windows1252_) {
        return text_;
    }
    // Windows-1252 bytes that happen to form valid UTF-8 (once an edit removed the bytes
    // that did not) would be read back as UTF-8, with other characters: such a file is
    // saved as UTF-8 instead, which reads back with the same text.
    std::string encoded = Windows1252FromUtf8(text_);
    const bool readsAsUtf8 = IsValidUtf8(encoded) && encoded != text_;
    return readsAsUtf8 ? text_ : encoded;
}

std::vector<IniDocument::Entry> IniDocument::Entries() const
{
    std::vector<Entry> entries;
    const std::string* section = nullptr;
    for (const Line& line : lines_) {
        if (line.kind == Line::Kind::Section) {
            section = &line.name;
        } else if (line.kind == Line::Kind::Key && section != nullptr) {
            entries.push_back({*section, line.name, ValueOf(line)});
        }
    }
    return entries;
}

}  // namespace torvik
