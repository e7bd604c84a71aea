// The input reader: the character-level operations the parser matches input with.
// One reader works on the stream's buffer when it has one, the other goes through the
// stream (Seek, GetChar, GetPointer); both give the same answers. Positions are byte
// offsets; nothing is ever read outside 0 .. GetLength().
#pragma once

#include <memory>
#include <string_view>

#include "lxra101/lx_input_stream.h"

namespace lxra {

class InputReader {
public:
    // Operations in the reader's slot order (0 .. 12).
    virtual LXInputStream* GetStream() = 0;
    virtual long GetLength() = 0;
    // The byte at pos; 0 outside the input.
    virtual char CharAt(long pos) = 0;
    // Copies up to n bytes at pos into dst; returns how many.
    virtual long ReadAt(char* dst, long pos, long n) = 0;
    // How many bytes from pos on are in set (a NUL byte never is); the end stops it.
    virtual long Span(const char* set, long pos) = 0;
    // len when the input at pos equals the len characters (without case unless
    // matchCase) and, with delimiterCheck, the implicit-delimiter rule lets the match
    // end there; else 0. refused (may be null) is 1 exactly when only the rule failed.
    virtual long MatchLiteral(const char* chars, long len, long pos, int matchCase, int delimiterCheck,
                              int* refused) = 0;
    // The predefined scanner of that type at pos, over at most maxLen bytes (and never
    // past the input); the quoted-string scanner may set code to 1011.
    virtual long ScanPredefined(long type, long pos, long maxLen, long* code) = 0;
    // list: a StringList instruction's bytes, from its opcode on. The length of the first
    // entry that matches like MatchLiteral, trying only entries of length required
    // (when not 0) and at most maxLen; 0 when none. refused is set when the rule
    // refused one.
    virtual long MatchStringList(std::string_view list, long pos, long maxLen, long required, int matchCase,
                                 int delimiterCheck, int* refused) = 0;
    // The smallest p from pos to pos + maxLen - len where MatchLiteral succeeds; -1
    // when none (refused then tells whether the rule refused a candidate).
    virtual long FindLiteral(const char* chars, long len, long pos, long maxLen, int matchCase, int delimiterCheck,
                             int* refused) = 0;
    // 0 when the n bytes at pos1 and pos2 are equal, else 1 (also when a range leaves
    // the input).
    virtual int CompareRanges(long pos1, long pos2, long n, int matchCase) = 0;
    // 0 when the n bytes at pos equal chars, else 1.
    virtual int CompareText(const char* chars, long pos, long n, int matchCase) = 0;
    // Pointer to the input at pos, valid for n bytes or up to the end of the input;
    // null unless 0 <= pos < length.
    virtual const char* GetPointer(long pos, long n) = 0;
    virtual ~InputReader();
};

// The reader for a stream: over its buffer when GetBuffer gives one, else through the
// stream. Null for a null stream or when memory runs out. The stream must outlive it.
std::unique_ptr<InputReader> CreateInputReader(LXInputStream* stream);

}  // namespace lxra
