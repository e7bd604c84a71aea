// The byte-code instruction set of compiled grammars and bounded access to it. An
// instruction is known by its byte offset; offset 0 is never an instruction and means
// "none" in every operand. Each instruction starts with a 32-bit opcode, followed by
// its operands (32-bit words unless stated).
#pragma once

#include <cstdint>
#include <string_view>

#include "core/little_endian.h"

namespace lxra {

enum class Op : int32_t {
    SymbolRef = 0,    // 4: n; 8: n name ids of a qualified name
    Conjunction = 1,  // 4: n; 8: n items; version 7: then a synchronisation table (0 none)
    Disjunction = 2,  // 4: n; 8: n alternatives
    Repeat = 3,       // 4: minimum; 8: maximum (0 no limit); 12: item; 16: separator
    SkipTo = 4,       // 4: target (0 skip everything allowed)
    Literal = 5,      // 4: length; 8: characters
    Null = 7,
    CharRange = 8,         // 4: low byte; 5: high byte
    LengthConstraint = 9,  // 4: minimum; 8: maximum (-1 none); 12: body
    SymbolAttrs = 10,      // 4: attribute flags; 8: body
    SetSpaces = 11,        // 4: body; 8: count or -1; 12: characters, or the space symbol
    NotChar = 12,          // 4: body
    ParseRoot = 13,        // 4, 8, 12: zero
    StringList = 14,       // 4: count; 8: entries, each a length and its characters
    Constraint = 15,       // 4: body
    Compare = 16,          // 4: length 1; 8: length 2; 12: comparison; 16: text 1, text 2
    ProductionCheck = 17,  // 4: path length; 8: body; 12: mode; 16: path
    SymbolFunction = 18,   // 4: name expression
    NotTerm = 19,          // 4: body
    IsSymbol = 20,         // 4: name expression
    SetToken = 21,         // 4: body; 8: token symbol, or kNoTokenSymbol
    TermList = 23,
    Variable = 24,        // 4: variable number
    ErrorMark = 25,       // 4: body; 8: Literal with the description (0 none)
    Resynchronize = 32,   // 4, 8, 12: zero
    ComputedLength = 33,  // 4: Literal giving the minimum; 8: the maximum; 12: body
};

// SetToken's operand for "no token symbol".
constexpr int32_t kNoTokenSymbol = 65535;
// SetSpaces' count when the operand at 12 is a space symbol instead of characters.
constexpr int32_t kSpaceSymbolCount = -1;

// Variable numbers.
constexpr int32_t kVariableRecoveryMark = 16;
constexpr int32_t kVariableStartOfLine = 32;
constexpr int32_t kVariableEndOfLine = 33;
constexpr int32_t kVariableEndOfInput = 34;

// Compare's comparison word.
constexpr int32_t kCompareEqual = 1;
constexpr int32_t kCompareNotEqual = 2;

// ProductionCheck's mode word.
constexpr int32_t kMustConsumeAll = 1;
constexpr int32_t kMustNotConsumeAll = 2;

// The byte code as bytes of a known length; every read is checked against it.
class ByteCodeView {
public:
    ByteCodeView(const char* data, long length) : data_(data), length_(length) {}

    long Length() const { return length_; }
    const char* Data() const { return data_; }
    // Whether [offset, offset + n) lies inside.
    bool Holds(long offset, long n) const
    {
        return offset >= 0 && n >= 0 && offset <= length_ && n <= length_ - offset;
    }
    // The word at offset, 0 when it does not lie inside.
    int32_t Word(long offset) const { return Holds(offset, 4) ? ReadInt32LE(data_ + offset) : 0; }
    // Whether an instruction can start at offset: not 0, and its opcode word inside.
    bool IsInstruction(long offset) const { return offset > 0 && Holds(offset, 4); }
    // The opcode at offset; -1 when no instruction can start there.
    long OpCodeAt(long offset) const { return IsInstruction(offset) ? Word(offset) : -1; }
    std::string_view Bytes(long offset, long n) const
    {
        return Holds(offset, n) ? std::string_view(data_ + offset, static_cast<size_t>(n)) : std::string_view();
    }

private:
    const char* data_;
    long length_;
};

// Walks texts stored as a 32-bit length followed by the characters, one after another
// (StringList entries, name-expression parts). Stops, with Failed() set, at a negative
// length or a text that runs past the end of the bytes.
class LengthPrefixedTexts {
public:
    LengthPrefixedTexts(std::string_view bytes, long count) : bytes_(bytes), remaining_(count) { failed_ = count < 0; }

    bool Next(std::string_view& text)
    {
        if (failed_ || remaining_ <= 0) {
            return false;
        }
        int32_t length = 0;
        if (!ReadInt32At(bytes_.data(), bytes_.size(), pos_, length) || length < 0 ||
            static_cast<size_t>(length) > bytes_.size() - pos_ - 4) {
            failed_ = true;
            return false;
        }
        text = bytes_.substr(pos_ + 4, static_cast<size_t>(length));
        pos_ += 4 + static_cast<size_t>(length);
        --remaining_;
        return true;
    }
    bool Failed() const { return failed_; }
    // Bytes taken by the texts walked so far.
    size_t Consumed() const { return pos_; }

private:
    std::string_view bytes_;
    long remaining_;
    size_t pos_ = 0;
    bool failed_ = false;
};

}  // namespace lxra
