#include "lxra101/lx_string.h"

#include <strings.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

struct LXString::TextBlock {
    char* chars;
    int32_t length;
    int32_t capacity;
    int32_t references;
};

namespace {

constexpr int32_t kInitialCapacity = 32;

// A new block holding a copy of text with one reference: capacity 32, doubled until
// the text and its terminator fit. Null when text is null or memory is short.
LXString::TextBlock* NewBlock(const char* text)
{
    if (text == nullptr) {
        return nullptr;
    }
    const size_t length = std::strlen(text);
    int64_t capacity = kInitialCapacity;
    while (capacity < static_cast<int64_t>(length) + 1) {
        capacity *= 2;
    }
    if (capacity > std::numeric_limits<int32_t>::max()) {
        return nullptr;
    }
    auto* block = new (std::nothrow) LXString::TextBlock;
    if (block == nullptr) {
        return nullptr;
    }
    block->chars = new (std::nothrow) char[capacity];
    if (block->chars == nullptr) {
        delete block;
        return nullptr;
    }
    std::memcpy(block->chars, text, length + 1);
    block->length = static_cast<int32_t>(length);
    block->capacity = static_cast<int32_t>(capacity);
    block->references = 1;
    return block;
}

void Release(LXString::TextBlock* block)
{
    if (block != nullptr && --block->references == 0) {
        delete[] block->chars;
        delete block;
    }
}

const char* TextOf(const LXString::TextBlock* block)
{
    return block != nullptr ? block->chars : nullptr;
}

}  // namespace

LXString::LXString() : block_(nullptr), text_(nullptr) {}

LXString::LXString(const LXString& other, int /*unused*/) : block_(other.block_), text_(other.text_)
{
    if (block_ != nullptr) {
        ++block_->references;
    }
}

LXString::LXString(const char* text) : block_(NewBlock(text)), text_(TextOf(block_)) {}

LXString::~LXString()
{
    Release(block_);
}

LXString& LXString::operator=(const LXString& other)
{
    // Take the new reference before dropping the old one: other may share our block.
    if (other.block_ != nullptr) {
        ++other.block_->references;
    }
    Release(block_);
    block_ = other.block_;
    text_ = other.text_;
    return *this;
}

LXString& LXString::operator=(const char* text)
{
    // Copy first: text may point into the block being released.
    TextBlock* fresh = NewBlock(text);
    Release(block_);
    block_ = fresh;
    text_ = TextOf(block_);
    return *this;
}

int LXString::operator==(const char* text) const
{
    if (text_ == nullptr || text == nullptr) {
        return 0;
    }
    return strcasecmp(text_, text) == 0 ? 1 : 0;
}

int LXString::operator==(const LXString& other) const
{
    return *this == other.text_;
}

LXString::operator const char*() const
{
    return text_;
}
