// The text of an INI file read and edited with the rules of Windows profile files:
// sections and keys compare without letter case, the first section and the first key of
// a name win, an absent key reads as the default, and an edit changes only the line it
// concerns (or adds lines) while every other byte stays as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvik {

class IniDocument {
public:
    // Any bytes are accepted: UTF-8 when valid, otherwise Windows-1252. A UTF-8 byte
    // order mark at the start is kept and skipped.
    explicit IniDocument(std::string_view bytes);

    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue = {}) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    // Sets key = value in section, adding the key or the section when missing. False,
    // with nothing changed, when a name is empty, a name or the value is not UTF-8 text,
    // or would break the file's lines (line breaks, "]" in a section, "=" in a key, a
    // key read as a section or a comment). A Windows-1252 file is kept in that encoding
    // unless the new text has characters it lacks; then the file is saved as UTF-8.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes, in the encoding they came in, unless Windows-1252 bytes would
    // read back as UTF-8 with a different text; then UTF-8.
    std::string Bytes() const;

    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };
    // Every key line in file order, with its section (for checks and tools).
    std::vector<Entry> Entries() const;

private:
    struct Line {
        enum class Kind { Blank, Section, Key, Other } kind;
        size_t begin;           // first byte of the line in text_
        size_t end;             // end of its content, before the line break
        size_t next;            // first byte of the following line
        std::string name;       // section name, or key
        size_t valueBegin = 0;  // value bytes of a key line (after "=")
        bool hasValue = false;
    };

    void Parse();
    // Index of the first line of the first section of this name, or npos.
    size_t FindSection(std::string_view section) const;
    // Index of the first key line of this name in the section starting at sectionLine.
    size_t FindKey(size_t sectionLine, std::string_view key) const;
    std::string ValueOf(const Line& line) const;
    std::string LineBreak() const;
    // Ends the file's last line with a line break when it has none.
    void TerminateLastLine();

    std::string text_;  // UTF-8
    bool windows1252_ = false;
    std::vector<Line> lines_;
};

}  // namespace torvik
