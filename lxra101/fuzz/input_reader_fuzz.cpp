// Runs random reader operations over random input through the buffer reader and the
// stream reader (a file stream with a small window) and requires the same answers.
// The buffer holds exactly the input's bytes, so a read past its end is caught. The
// literal-text helpers run over the same bytes.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "lxra101/lexora_api.h"
#include "lxra101/literal_text.h"
#include "lxra101/scanners.h"
#include "scan/input_reader.h"

namespace {

using lxra::fuzzing::Check;
using lxra::fuzzing::ScratchFile;

struct Closer {
    void operator()(LXInputStream* s) const { delete s; }
};

void CheckTextHelpers(const std::string& text, long size)
{
    std::vector<char> dst(static_cast<size_t>(size) + 8, '\x7f');
    const long length = TranslateLiteralExp(text.c_str(), dst.data(), size);
    Check(length >= 0 && (size <= 0 || length <= std::max(size - 2, 0L)), "translated length fits");
    for (size_t i = static_cast<size_t>(std::max(size, 0L)); i < dst.size(); ++i) {
        Check(dst[i] == '\x7f', "TranslateLiteralExp wrote past its buffer");
    }
    std::vector<char> printable(static_cast<size_t>(size) + 8, '\x7f');
    MakePrintableString(text.data(), static_cast<unsigned>(text.size()), printable.data(),
                        static_cast<unsigned>(std::max(size, 0L)));
    for (size_t i = static_cast<size_t>(std::max(size, 0L)); i < printable.size(); ++i) {
        Check(printable[i] == '\x7f', "MakePrintableString wrote past its buffer");
    }
    long code = 0;
    const long quoted = ScanQuotedString(text.c_str(), 0, code);
    Check(quoted == 0 || (quoted >= 2 && static_cast<size_t>(quoted) <= std::strlen(text.c_str())), "quoted length");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const long window = input.ConsumeIntegralInRange<long>(1, 24);
    const std::string content = input.ConsumeRandomLengthString(2048);
    const std::vector<std::string> literals = {input.ConsumeRandomLengthString(8), input.ConsumeRandomLengthString(8)};
    CheckTextHelpers(content, input.ConsumeIntegralInRange<long>(0, 40));
    {
        FILE* file = std::fopen(ScratchFile().c_str(), "wb");
        Check(file != nullptr, "scratch file");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    const long length = static_cast<long>(content.size());
    std::unique_ptr<char[]> exact(new char[content.size() + 1]);
    std::memcpy(exact.get(), content.data(), content.size());
    exact[content.size()] = '\0';  // only an empty input is measured

    LexoraAPI api;
    std::unique_ptr<LXInputStream, Closer> buffer(api.OpenBufferStream(exact.get(), length));
    std::unique_ptr<LXInputStream, Closer> file(api.OpenFileStream(ScratchFile().c_str(), window));
    Check(buffer != nullptr && file != nullptr, "streams open");
    const auto inPlace = lxra::CreateInputReader(buffer.get());
    const auto throughStream = lxra::CreateInputReader(file.get());
    Check(inPlace->GetLength() == length && throughStream->GetLength() == length, "GetLength");

    // A string list of the two literals and the input's start, as the byte code holds one.
    std::string list(8, '\0');
    list[0] = 14;
    list[4] = 3;
    for (const std::string& entry : {literals[0], literals[1], content.substr(0, 5)}) {
        const auto n = static_cast<uint32_t>(entry.size());
        list += std::string{static_cast<char>(n), static_cast<char>(n >> 8), 0, 0} + entry;
    }
    const std::string_view listView =
        input.ConsumeBool() ? std::string_view(list) : std::string_view(list).substr(0, list.size() / 2);

    while (input.remaining_bytes() > 0) {
        const long a = input.ConsumeIntegralInRange<long>(-2, length + 2);
        const long b = input.ConsumeIntegralInRange<long>(-2, length + 40);
        const int matchCase = input.ConsumeBool() ? 1 : 0;
        const int check = input.ConsumeBool() ? 1 : 0;
        const std::string& literal = literals[input.ConsumeBool() ? 1 : 0];
        const auto len = static_cast<long>(literal.size());
        long r1 = 0, r2 = 0;
        int f1 = -1, f2 = -1;
        long c1 = 0, c2 = 0;
        switch (input.ConsumeIntegralInRange(0, 8)) {
            case 0:
                r1 = inPlace->CharAt(a);
                r2 = throughStream->CharAt(a);
                break;
            case 1: {
                char d1[64], d2[64];
                r1 = inPlace->ReadAt(d1, a, b % 64);
                r2 = throughStream->ReadAt(d2, a, b % 64);
                Check(r1 != r2 || std::memcmp(d1, d2, static_cast<size_t>(std::max(r1, 0L))) == 0, "ReadAt bytes");
                break;
            }
            case 2:
                r1 = inPlace->Span(literal.c_str(), a);
                r2 = throughStream->Span(literal.c_str(), a);
                break;
            case 3:
                r1 = inPlace->MatchLiteral(literal.data(), len, a, matchCase, check, &f1);
                r2 = throughStream->MatchLiteral(literal.data(), len, a, matchCase, check, &f2);
                break;
            case 4:
                r1 = inPlace->ScanPredefined(b % 11, a, b, &c1);
                r2 = throughStream->ScanPredefined(b % 11, a, b, &c2);
                Check(r1 <= std::max(length - a, 0L), "scans stay inside the input");
                break;
            case 5:
                r1 = inPlace->MatchStringList(listView, a, b, b % 3, matchCase, check, &f1);
                r2 = throughStream->MatchStringList(listView, a, b, b % 3, matchCase, check, &f2);
                break;
            case 6:
                r1 = inPlace->FindLiteral(literal.data(), len, a, b, matchCase, check, &f1);
                r2 = throughStream->FindLiteral(literal.data(), len, a, b, matchCase, check, &f2);
                break;
            case 7:
                r1 = inPlace->CompareRanges(a, b, b % 16, matchCase);
                r2 = throughStream->CompareRanges(a, b, b % 16, matchCase);
                break;
            case 8:
                r1 = inPlace->CompareText(literal.data(), a, len, matchCase);
                r2 = throughStream->CompareText(literal.data(), a, len, matchCase);
                break;
        }
        Check(r1 == r2, "result");
        Check(f1 == f2, "refused");
        Check(c1 == c2, "code");
    }
    return 0;
}
