#include "lxra101/scanners.h"

#include "core/ascii_case.h"
#include "scan/token_scan.h"

namespace {

constexpr const char* kPredefinedSymbols[lxra::kNumScanTypes] = {
    "alpha",    "alpha_",       "numeric",    "alphanumeric", "whitespace",
    "freetext", "quotedstring", "identifier", "alnumblank",   "EOL",
};

long Scan(lxra::ScanType type, const char* s, long n)
{
    if (s == nullptr) {
        return 0;
    }
    lxra::PointerCursor cursor(s, nullptr);
    return lxra::ScanTypeWith(cursor, static_cast<long>(type), n, nullptr);
}

}  // namespace

long ScanAlpha_(const char* s, long n)
{
    return Scan(lxra::ScanType::kAlphaUnderscore, s, n);
}

long ScanAlpha(const char* s, long n)
{
    return Scan(lxra::ScanType::kAlpha, s, n);
}

long ScanNumeric(const char* s, long n)
{
    return Scan(lxra::ScanType::kNumeric, s, n);
}

long ScanAlphaNumeric(const char* s, long n)
{
    return Scan(lxra::ScanType::kAlphaNumeric, s, n);
}

long ScanWhitespace(const char* s, long n)
{
    return Scan(lxra::ScanType::kWhitespace, s, n);
}

long ScanFreetext(const char* s, long n)
{
    return n > 0 && s != nullptr ? n : 0;
}

long ScanIdentifier(const char* s, long n)
{
    return Scan(lxra::ScanType::kIdentifier, s, n);
}

long ScanAlNumBlank(const char* s, long n)
{
    return Scan(lxra::ScanType::kAlNumBlank, s, n);
}

long ScanEOL(const char* s, long n)
{
    return Scan(lxra::ScanType::kEOL, s, n);
}

long ScanQuotedString(const char* s, long /*n*/, long& code)
{
    if (s == nullptr) {
        return 0;
    }
    lxra::PointerCursor cursor(s, nullptr);
    return lxra::ScanQuotedStringWith(cursor, &code);
}

long LXGetNumPredefinedSymbols()
{
    return lxra::kNumScanTypes;
}

const char* LXGetPredefinedSymbolName(long index)
{
    return index >= 0 && index < lxra::kNumScanTypes ? kPredefinedSymbols[index] : nullptr;
}

long LXLookupPredefinedSymbol(const char* name)
{
    if (name == nullptr) {
        return -1;
    }
    for (long i = 0; i < lxra::kNumScanTypes; ++i) {
        if (lxra::EqualIgnoringCase(kPredefinedSymbols[i], name)) {
            return i;
        }
    }
    return -1;
}
