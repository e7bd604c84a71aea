// LXInputStream: the input a parse reads, as bytes with positions and lines.
// Host programs may implement it themselves; the runtime provides a buffer stream and
// a file stream (LexoraAPI::OpenBufferStream / OpenFileStream).
#pragma once

#include "lxra101/lxra101_export.h"

class LXRA101_API LXInputStream {
public:
    // Virtual operations in their published slot order (0 .. 13).
    virtual ~LXInputStream();
    virtual long GetLength() = 0;
    // The byte at the current position, then one step on; 0 without moving at the end.
    virtual char GetChar() = 0;
    // Copies up to n bytes from the current position and moves past them.
    virtual long Read(char* buf, long n) = 0;
    // Returns the current position after the move.
    virtual long Seek(long pos) = 0;
    virtual long GetPos() = 0;
    // Bytes starting at pos; valid for n bytes or up to the end of the input,
    // whichever comes first. Null when pos is outside the input.
    virtual const char* GetPointer(long pos, long n) = 0;
    // The whole input as one block, or null when the stream has none.
    virtual const char* GetBuffer() = 0;
    virtual void SetUserData(long value) = 0;
    virtual long GetUserData() = 0;
    // Line operations leave the current position where it was.
    // 1 + line feeds in bytes 0 .. pos; pos -1 is the current position; 0 outside.
    virtual long GetLineNumber(long pos) = 0;
    virtual long GetNumLines() = 0;
    // Offset of the first byte of a 1-based line; -1 below line 1; the length past
    // the last line.
    virtual long GetLinePos(long line) = 0;
    // The line without its line feed and carriage returns, at most size - 1 bytes,
    // NUL-terminated; returns buf ("" when there is no room even for the terminator).
    virtual const char* GetLine(long line, char* buf, long size) = 0;
};
