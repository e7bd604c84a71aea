#include "grammar/grammar_image.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>

#include "core/little_endian.h"
#include "grammar/byte_code_check.h"
#include "lxra101/file_helpers.h"
#include "platform/file_access.h"

namespace lxra {

constexpr long kErrorInvalidGrammar = 1105;
constexpr long kErrorMemory = 1250;

namespace {

// S(seed, bytes, base) = seed + sum of b[i] * (base + i), bytes taken as signed, in
// 32-bit arithmetic that wraps.
class Checksum {
public:
    void Add(std::string_view bytes, uint32_t base)
    {
        for (size_t i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(bytes[i])));
            sum_ += byte * (base + static_cast<uint32_t>(i));
        }
    }
    int32_t Value() const { return static_cast<int32_t>(sum_); }

private:
    uint32_t sum_ = 1;
};

// The parts of an image as they are written, whichever holder they come from.
struct ImageParts {
    const GrammarHeader& header;
    std::span<const ContextEntry> contexts;
    std::vector<std::string_view> names;
    std::span<const ParentRecord> records;
    std::string_view byteCode;
};

class ImageWriter {
public:
    void Word(int32_t value)
    {
        char bytes[4];
        WriteInt32LE(bytes, value);
        out_.insert(out_.end(), bytes, bytes + 4);
    }
    void Bytes(std::string_view bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    size_t Size() const { return out_.size(); }
    std::string_view Since(size_t start) const { return {out_.data() + start, out_.size() - start}; }
    std::vector<char>& Out() { return out_; }

private:
    std::vector<char> out_;
};

void WriteHeader(ImageWriter& w, const GrammarHeader& h)
{
    w.Word(h.version);
    w.Word(h.checksum);
    w.Word(h.word8);
    w.Word(h.word12);
    w.Word(h.created);
    w.Bytes({h.text.data(), h.text.size()});
    w.Word(h.startSymbol);
    w.Word(h.invalid);
    w.Word(h.word252);
}

void WriteContext(ImageWriter& w, const ContextEntry& e)
{
    for (int32_t field : {e.nameId, e.parent, e.kind, e.value, e.parentRecord}) {
        w.Word(field);
    }
}

void WriteRecord(ImageWriter& w, const ParentRecord& r)
{
    w.Word(r.pathCount);
    for (const ParentPath& path : r.paths) {
        w.Word(path.length);
        for (int32_t id : path.ids) {
            w.Word(id);
        }
    }
}

std::vector<char> Encode(const ImageParts& parts)
{
    const bool fixedNames = HasFixedNames(parts.header.version);
    Checksum checksum;
    ImageWriter w;
    WriteHeader(w, parts.header);

    w.Word(static_cast<int32_t>(parts.contexts.size()));
    size_t start = w.Size();
    for (const ContextEntry& entry : parts.contexts) {
        WriteContext(w, entry);
    }
    checksum.Add(w.Since(start), 0);

    w.Word(static_cast<int32_t>(parts.names.size()));
    for (size_t id = 0; id < parts.names.size(); ++id) {
        std::string_view name = parts.names[id];
        if (fixedNames) {
            name = name.substr(0, kMaxFixedName);
            w.Bytes(name);
            w.Bytes(std::string(static_cast<size_t>(kFixedNameField) - name.size(), '\0'));
        } else {
            w.Word(static_cast<int32_t>(name.size()));
            w.Bytes(name);
        }
        checksum.Add(name, static_cast<uint32_t>(kFixedNameField * id));
    }

    w.Word(static_cast<int32_t>(parts.records.size()));
    start = w.Size();
    for (const ParentRecord& record : parts.records) {
        WriteRecord(w, record);
    }
    checksum.Add(w.Since(start), 0);

    w.Word(static_cast<int32_t>(parts.byteCode.size()));
    w.Bytes(parts.byteCode);
    checksum.Add(parts.byteCode, 0);

    WriteInt32LE(w.Out().data() + 4, checksum.Value());
    return std::move(w.Out());
}

// Reads the image field by field. With a source that knows its size, every count is
// checked against the bytes left before anything is allocated for it.
class ImageReader {
public:
    explicit ImageReader(ImageSource& source) : source_(source) {}

    bool Word(int32_t& value)
    {
        char bytes[4];
        if (!source_.Read(bytes, 4)) {
            return false;
        }
        value = ReadInt32LE(bytes);
        return true;
    }
    bool Bytes(char* dst, size_t n) { return source_.Read(dst, n); }
    // Whether count items of at least itemSize bytes each can still be there.
    bool CanHold(int64_t count, size_t itemSize) const
    {
        const size_t remaining = source_.Remaining();
        return count >= 0 && (remaining == ImageSource::kUnknownSize ||
                              static_cast<uint64_t>(count) <= remaining / std::max<size_t>(itemSize, 1));
    }

private:
    ImageSource& source_;
};

GrammarHeader ParseHeader(const char* b)
{
    GrammarHeader h;
    h.version = ReadInt32LE(b + 0);
    h.checksum = ReadInt32LE(b + 4);
    h.word8 = ReadInt32LE(b + 8);
    h.word12 = ReadInt32LE(b + 12);
    h.created = ReadInt32LE(b + 16);
    std::memcpy(h.text.data(), b + kHeaderTextOffset, h.text.size());
    h.startSymbol = ReadInt32LE(b + 244);
    h.invalid = ReadInt32LE(b + 248);
    h.word252 = ReadInt32LE(b + 252);
    return h;
}

ContextEntry ParseContext(const char* b)
{
    return ContextEntry{ReadInt32LE(b), ReadInt32LE(b + 4), ReadInt32LE(b + 8), ReadInt32LE(b + 12),
                        ReadInt32LE(b + 16)};
}

ParentRecord ParseRecord(const char* b)
{
    ParentRecord r;
    r.pathCount = ReadInt32LE(b);
    for (size_t p = 0; p < r.paths.size(); ++p) {
        const char* path = b + 4 + p * kParentPathSize;
        r.paths[p].length = ReadInt32LE(path);
        for (size_t i = 0; i < r.paths[p].ids.size(); ++i) {
            r.paths[p].ids[i] = ReadInt32LE(path + 4 + 4 * i);
        }
    }
    return r;
}

bool ReadName(ImageReader& in, bool fixedNames, std::string& name)
{
    if (fixedNames) {
        char field[kFixedNameField];
        if (!in.Bytes(field, sizeof field)) {
            return false;
        }
        // The field holds at most 31 characters and their terminator.
        const auto* end = static_cast<const char*>(std::memchr(field, '\0', sizeof field));
        if (end == nullptr) {
            return false;
        }
        name.assign(field, static_cast<size_t>(end - field));
        return true;
    }
    int32_t length = 0;
    if (!in.Word(length) || !in.CanHold(length, 1)) {
        return false;
    }
    name.resize(static_cast<size_t>(length));
    // Names are texts: a NUL inside one would hide the rest of it.
    return in.Bytes(name.data(), name.size()) && name.find('\0') == std::string::npos;
}

bool ValidRecord(const ParentRecord& r, size_t nameCount)
{
    if (r.pathCount < 0 || r.pathCount > kMaxParentPaths) {
        return false;
    }
    for (int32_t p = 0; p < r.pathCount; ++p) {
        const ParentPath& path = r.paths[static_cast<size_t>(p)];
        if (path.length < 0 || path.length > kMaxPathLength) {
            return false;
        }
        for (int32_t i = 0; i < path.length; ++i) {
            const int32_t id = path.ids[static_cast<size_t>(i)];
            if (id < 0 || static_cast<size_t>(id) >= nameCount) {
                return false;
            }
        }
    }
    return true;
}

// Every context's parent is an earlier context (context 0 is its own), so parent
// chains end; names, kinds and parent records are ones the image holds.
bool ValidContexts(const Context::State& s, long recordCount)
{
    const auto nameCount = static_cast<int64_t>(s.names.size());
    for (long i = 0; i < s.contextCount; ++i) {
        const ContextEntry& e = s.contexts[static_cast<size_t>(i)];
        const bool parentOk = i == 0 ? e.parent == 0 : (e.parent >= 0 && e.parent < i);
        if (!parentOk || e.nameId < 0 || e.nameId >= nameCount || e.kind < 0 || e.kind >= nameCount ||
            e.parentRecord < 0 || e.parentRecord > recordCount || e.value < 0) {
            return false;
        }
    }
    return s.header.startSymbol >= 0 && s.header.startSymbol < s.contextCount;
}

ImageStatus Decode(ImageSource& source, Context::State& s)
{
    ImageReader in(source);
    Checksum checksum;

    char header[kHeaderSize];
    if (!in.Bytes(header, sizeof header)) {
        return ImageStatus::kInvalid;
    }
    s.header = ParseHeader(header);
    const bool fixedNames = HasFixedNames(s.header.version);

    int32_t count = 0;
    if (!in.Word(count) || count < 1 || count > kMaxContexts) {
        return ImageStatus::kInvalid;
    }
    char contextBytes[kMaxContexts * kContextEntrySize];
    const size_t contextSize = static_cast<size_t>(count) * kContextEntrySize;
    if (!in.Bytes(contextBytes, contextSize)) {
        return ImageStatus::kInvalid;
    }
    checksum.Add({contextBytes, contextSize}, 0);
    s.contextCount = count;
    for (int32_t i = 0; i < count; ++i) {
        s.contexts[static_cast<size_t>(i)] = ParseContext(contextBytes + i * kContextEntrySize);
    }

    int32_t nameCount = 0;
    if (!in.Word(nameCount) || nameCount < 1 || !in.CanHold(nameCount, fixedNames ? kFixedNameField : 4)) {
        return ImageStatus::kInvalid;
    }
    std::string name;
    for (int32_t id = 0; id < nameCount; ++id) {
        if (!ReadName(in, fixedNames, name)) {
            return ImageStatus::kInvalid;
        }
        checksum.Add(name, static_cast<uint32_t>(kFixedNameField) * static_cast<uint32_t>(id));
        s.names.push_back(name);
    }

    int32_t recordCount = 0;
    if (!in.Word(recordCount) || recordCount < 0 || recordCount > kMaxParentRecords) {
        return ImageStatus::kInvalid;
    }
    for (int32_t r = 1; r <= recordCount; ++r) {
        char record[kParentRecordSize];
        if (!in.Bytes(record, sizeof record)) {
            return ImageStatus::kInvalid;
        }
        checksum.Add({record, sizeof record}, static_cast<uint32_t>((r - 1) * kParentRecordSize));
        s.records[static_cast<size_t>(r)] = ParseRecord(record);
        if (!ValidRecord(s.records[static_cast<size_t>(r)], s.names.size())) {
            return ImageStatus::kInvalid;
        }
    }
    s.nextRecord = recordCount + 1;
    if (!ValidContexts(s, recordCount)) {
        return ImageStatus::kInvalid;
    }

    int32_t length = 0;
    if (!in.Word(length) || !in.CanHold(length, 1)) {
        return ImageStatus::kInvalid;
    }
    const long storage = GrownByteCodeStorage(kInitialByteCodeStorage, length);
    if (storage == 0) {
        return ImageStatus::kNoMemory;
    }
    s.code.resize(static_cast<size_t>(storage));
    if (!in.Bytes(s.code.data(), static_cast<size_t>(length))) {
        return ImageStatus::kInvalid;
    }
    s.codeLength = length;
    checksum.Add({s.code.data(), static_cast<size_t>(length)}, 0);

    if (checksum.Value() != s.header.checksum) {
        return ImageStatus::kInvalid;
    }
    return CheckByteCode(s) ? ImageStatus::kLoaded : ImageStatus::kInvalid;
}

std::vector<std::string_view> NameViews(const auto& names)
{
    std::vector<std::string_view> views;
    views.reserve(names.size());
    for (const std::string& name : names) {
        views.emplace_back(name);
    }
    return views;
}

}  // namespace

bool HasGrammarMarker(const char* data, size_t size)
{
    const size_t end = kHeaderTextOffset + kGrammarMarker.size();
    return data != nullptr && (size == ImageSource::kUnknownSize || size >= end) &&
           std::memcmp(data + kHeaderTextOffset, kGrammarMarker.data(), kGrammarMarker.size()) == 0;
}

bool MemoryImageSource::Read(char* dst, size_t n)
{
    if (size_ != kUnknownSize && n > size_ - pos_) {
        return false;
    }
    std::memcpy(dst, data_ + pos_, n);
    pos_ += n;
    return true;
}

bool FileImageSource::Read(char* dst, size_t n)
{
    if (n > remaining_ || std::fread(dst, 1, n, file_) != n) {
        return false;
    }
    remaining_ -= n;
    return true;
}

ImageStatus DecodeImage(ImageSource& source, Context::State& state)
{
    try {
        return Decode(source, state);
    } catch (const std::bad_alloc&) {
        return ImageStatus::kNoMemory;
    } catch (const std::length_error&) {
        return ImageStatus::kNoMemory;
    }
}

GrammarImage ImageOf(const Context& context)
{
    const Context::State& s = context.GetState();
    GrammarImage image;
    image.header = s.header;
    image.contexts.assign(s.contexts.begin(), s.contexts.begin() + s.contextCount);
    image.names.assign(s.names.begin(), s.names.end());
    image.records.assign(s.records.begin() + 1, s.records.begin() + s.nextRecord);
    image.byteCode.assign(s.code.begin(), s.code.begin() + s.codeLength);
    return image;
}

std::vector<char> EncodeImage(const GrammarImage& image)
{
    return Encode(ImageParts{image.header, image.contexts, NameViews(image.names), image.records,
                             std::string_view(image.byteCode.data(), image.byteCode.size())});
}

std::vector<char> EncodeImage(const Context::State& s)
{
    return Encode(ImageParts{s.header,
                             {s.contexts.data(), static_cast<size_t>(s.contextCount)},
                             NameViews(s.names),
                             {s.records.data() + 1, static_cast<size_t>(s.nextRecord - 1)},
                             std::string_view(s.code.data(), static_cast<size_t>(s.codeLength))});
}

}  // namespace lxra

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// A failed read leaves the context as it was: the image is read into a fresh state that
// replaces the old one only once every check has passed.
int ReadInto(Context& context, lxra::ImageSource& source)
{
    lxra::ImageStatus status = lxra::ImageStatus::kNoMemory;
    std::unique_ptr<Context::State> fresh(new (std::nothrow) Context::State);
    if (fresh != nullptr) {
        status = lxra::DecodeImage(source, *fresh);
    }
    switch (status) {
        case lxra::ImageStatus::kLoaded:
            context.GetState() = std::move(*fresh);
            return 1;
        case lxra::ImageStatus::kInvalid:
            context.Post(lxra::kErrorInvalidGrammar);
            return 0;
        case lxra::ImageStatus::kNoMemory:
            context.Post(lxra::kErrorMemory);
            return 0;
    }
    return 0;
}

}  // namespace

int Context::Serialize(const char* path, int write)
{
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    if (write != 0) {
        try {
            const std::vector<char> image = lxra::EncodeImage(*state_);
            const long size = static_cast<long>(image.size());
            return WriteBufferToFile(path, image.data(), size) == size ? 1 : 0;
        } catch (const std::bad_alloc&) {
            Post(lxra::kErrorMemory);
            return 0;
        }
    }
    std::unique_ptr<FILE, FileCloser> file(lxra::platform::OpenForReading(path));
    if (file == nullptr) {
        return 0;
    }
    lxra::FileImageSource source(file.get(), static_cast<size_t>(::GetFileSize(file.get())));
    return ReadInto(*this, source);
}

int Context::SerializeFromBuffer(const char* data)
{
    if (data == nullptr) {
        return 0;
    }
    // Only images in memory must carry the marker; it is all that tells them from
    // other bytes before their counts are believed.
    if (!lxra::HasGrammarMarker(data, lxra::ImageSource::kUnknownSize)) {
        Post(lxra::kErrorInvalidGrammar);
        return 0;
    }
    lxra::MemoryImageSource source(data, lxra::ImageSource::kUnknownSize);
    return ReadInto(*this, source);
}

int Context::ReadImage(const char* data, long size)
{
    if (data == nullptr || size < 0) {
        Post(lxra::kErrorInvalidGrammar);
        return 0;
    }
    lxra::MemoryImageSource source(data, static_cast<size_t>(size));
    return ReadInto(*this, source);
}
