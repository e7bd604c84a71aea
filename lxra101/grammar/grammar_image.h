// The grammar image: a Context written as bytes (the ".GMR" / ".GOB" file, or the same
// bytes in memory), and read back with every count and reference checked.
//
//   header (256) | N | N context entries (20 each) | M | M names | K | K parent records
//   (292 each) | L | L bytes of byte code
//
// Names are 32-byte NUL-padded fields before version 6, a length and the characters
// from version 6 on. A checksum over the contexts, names, records and byte code guards
// against accidents; the checks below guard against everything else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "grammar/context_state.h"
#include "grammar/grammar_layout.h"

namespace lxra {

// An image as plain values: what a Context holds, free to be changed (tests build
// damaged images from it, tools inspect it).
struct GrammarImage {
    GrammarHeader header;
    std::vector<ContextEntry> contexts;
    std::vector<std::string> names;
    std::vector<ParentRecord> records;  // records 1 to K
    std::vector<char> byteCode;
};

// A copy of what a context would write.
GrammarImage ImageOf(const Context& context);

// The bytes of an image with its checksum computed; throws std::bad_alloc. Names are
// cut to 31 characters in the versions that store them in fixed fields.
std::vector<char> EncodeImage(const GrammarImage& image);
std::vector<char> EncodeImage(const Context::State& state);

// Where an image is read from. A source may not know its size (an image in memory
// given without one), in which case every count it holds is believed.
class ImageSource {
public:
    static constexpr size_t kUnknownSize = static_cast<size_t>(-1);

    virtual ~ImageSource() = default;
    // Copies n bytes and moves past them; false when they are not there.
    virtual bool Read(char* dst, size_t n) = 0;
    // Bytes left, or kUnknownSize.
    virtual size_t Remaining() const = 0;
};

class MemoryImageSource final : public ImageSource {
public:
    MemoryImageSource(const char* data, size_t size) : data_(data), size_(size) {}
    bool Read(char* dst, size_t n) override;
    size_t Remaining() const override { return size_ == kUnknownSize ? kUnknownSize : size_ - pos_; }

private:
    const char* data_;
    size_t size_;
    size_t pos_ = 0;
};

class FileImageSource final : public ImageSource {
public:
    FileImageSource(FILE* file, size_t size) : file_(file), remaining_(size) {}
    bool Read(char* dst, size_t n) override;
    size_t Remaining() const override { return remaining_; }

private:
    FILE* file_;
    size_t remaining_;
};

enum class ImageStatus {
    kLoaded,
    kInvalid,   // malformed, out-of-range counts or references, or a checksum mismatch
    kNoMemory,  // the byte code or names could not be stored
};

// Whether the header text starts with the marker that images in memory must carry;
// size may be ImageSource::kUnknownSize.
bool HasGrammarMarker(const char* data, size_t size);

// Reads an image into a fresh state: structure, references and checksum are checked
// (the byte code with CheckByteCode). The state is only meaningful when kLoaded.
ImageStatus DecodeImage(ImageSource& source, Context::State& state);

}  // namespace lxra
