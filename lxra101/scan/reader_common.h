// What the two input readers share: literal and string-list matching, searching and
// comparing, written over one primitive (contiguous bytes at a position) so that the
// two readers cannot answer differently.
#pragma once

#include "scan/input_reader.h"

namespace lxra {

class ReaderCommon : public InputReader {
public:
    ReaderCommon(LXInputStream* stream, long length) : stream_(stream), length_(length) {}

    LXInputStream* GetStream() override { return stream_; }
    long GetLength() override { return length_; }
    long MatchLiteral(const char* chars, long len, long pos, int matchCase, int delimiterCheck, int* refused) override;
    long MatchStringList(std::string_view list, long pos, long maxLen, long required, int matchCase, int delimiterCheck,
                         int* refused) override;
    long FindLiteral(const char* chars, long len, long pos, long maxLen, int matchCase, int delimiterCheck,
                     int* refused) override;
    int CompareRanges(long pos1, long pos2, long n, int matchCase) override;
    int CompareText(const char* chars, long pos, long n, int matchCase) override;

protected:
    // Pointer to the n input bytes at pos, or null when they are not all inside the
    // input. Valid until the reader reads again.
    virtual const char* BytesAt(long pos, long n) = 0;
    bool Inside(long pos, long n) const { return pos >= 0 && n >= 0 && pos <= length_ && n <= length_ - pos; }
    // The number of bytes a scan from pos may look at, within maxLen.
    long ScanLimit(long pos, long maxLen) const;

    LXInputStream* stream_;
    long length_;

private:
    long Match(const char* chars, long len, long pos, bool matchCase, bool delimiterCheck, bool& refused);
};

// Equal bytes, letters compared without case unless matchCase.
bool SameBytes(const char* a, const char* b, long n, bool matchCase);

}  // namespace lxra
