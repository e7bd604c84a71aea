// Drives a file stream over random file contents with random Seek, Read, GetChar,
// GetPointer and line requests, and checks every answer against a plain model of the
// bytes. The buffer stream over the same bytes is held to the same answers wherever
// the two streams are meant to agree.

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
#include "tests/support/text_lines.h"

namespace {

using lxra::fuzzing::Check;
using lxra::fuzzing::ScratchFile;

struct Closer {
    void operator()(LXInputStream* s) const { delete s; }
};

// The position either stream should hold after a move, and what reading there yields.
struct Model {
    std::string_view text;
    long pos = 0;
    long length() const { return static_cast<long>(text.size()); }
    bool inside() const { return pos >= 0 && pos < length(); }
};

void CheckLine(LXInputStream& stream, std::string_view text, long line, long size)
{
    std::vector<char> buf(static_cast<size_t>(size) + 8, '\x7f');
    const char* result = stream.GetLine(line, buf.data(), size);
    for (size_t i = static_cast<size_t>(size); i < buf.size(); ++i) {
        Check(buf[i] == '\x7f', "GetLine wrote past its buffer");
    }
    if (size <= 0) {
        Check(result != nullptr && result[0] == '\0', "GetLine without room");
        return;
    }
    const std::string expected = lxra::testing::LineText(text, line, static_cast<size_t>(size - 1));
    Check(result == buf.data(), "GetLine returns the buffer");
    Check(std::memcmp(buf.data(), expected.data(), expected.size()) == 0 && buf[expected.size()] == '\0',
          "GetLine text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const long window = input.ConsumeIntegralInRange<long>(0, 40);
    const std::string content = input.ConsumeRandomLengthString(4096);
    {
        FILE* file = std::fopen(ScratchFile().c_str(), "wb");
        if (file == nullptr) {
            std::abort();
        }
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    LexoraAPI api;
    std::unique_ptr<LXInputStream, Closer> fileStream(api.OpenFileStream(ScratchFile().c_str(), window));
    Check(fileStream != nullptr, "file stream opens");
    std::unique_ptr<LXInputStream, Closer> bufferStream;
    if (!content.empty()) {
        bufferStream.reset(api.OpenBufferStream(content.data(), static_cast<long>(content.size())));
    }

    Model fileModel{content};
    Model bufferModel{content};
    const long length = fileModel.length();
    Check(fileStream->GetLength() == length, "GetLength");
    Check(fileStream->GetNumLines() == lxra::testing::LineCount(content), "GetNumLines");

    // The buffer stream is absent for an empty content: it would read the same nothing.
    const std::pair<LXInputStream*, Model*> streams[] = {{fileStream.get(), &fileModel},
                                                         {bufferStream.get(), &bufferModel}};
    while (input.remaining_bytes() > 0) {
        const long a = input.ConsumeIntegralInRange<long>(-3, length + 3);
        const long b = input.ConsumeIntegralInRange<long>(-2, 48);
        switch (input.ConsumeIntegralInRange(0, 6)) {
            case 0:  // Seek: the file stream stores anything, the buffer stream stays inside
                fileModel.pos = a;
                Check(fileStream->Seek(a) == a, "file Seek");
                if (bufferStream) {
                    if (a >= 0 && a < length) {
                        bufferModel.pos = a;
                    }
                    Check(bufferStream->Seek(a) == bufferModel.pos, "buffer Seek");
                }
                break;
            case 1:  // GetChar
                for (auto [stream, model] : streams) {
                    if (stream == nullptr) {
                        continue;
                    }
                    const char expected = model->inside() ? content[static_cast<size_t>(model->pos)] : 0;
                    Check(stream->GetChar() == expected, "GetChar");
                    model->pos += model->inside() ? 1 : 0;
                }
                break;
            case 2:  // Read
                for (auto [stream, model] : streams) {
                    if (stream == nullptr) {
                        continue;
                    }
                    std::vector<char> buf(static_cast<size_t>(std::max(b, 0L)) + 8, '\x7f');
                    const long expected = model->inside() && b > 0 ? std::min(b, length - model->pos) : 0;
                    Check(stream->Read(buf.data(), b) == expected, "Read count");
                    Check(std::memcmp(buf.data(), content.data() + (expected ? model->pos : 0),
                                      static_cast<size_t>(expected)) == 0,
                          "Read bytes");
                    Check(buf[static_cast<size_t>(expected)] == '\x7f', "Read wrote past the count");
                    model->pos += expected;
                }
                break;
            case 3: {  // GetPointer
                const char* p = fileStream->GetPointer(a, b);
                Check((p != nullptr) == (a >= 0 && a < length), "file GetPointer presence");
                if (p != nullptr) {
                    const size_t available = static_cast<size_t>(std::min(std::max(b, 1L), length - a));
                    Check(std::memcmp(p, content.data() + a, available) == 0, "file GetPointer bytes");
                }
                if (bufferStream) {
                    const char* q = bufferStream->GetPointer(a, b);
                    Check(q == (a >= 0 && a <= length ? content.data() + a : nullptr), "buffer GetPointer");
                }
                break;
            }
            case 4:  // GetLine, with buffers from none to roomy
                for (auto [stream, model] : streams) {
                    if (stream != nullptr) {
                        CheckLine(*stream, content, a - 1, b);
                    }
                }
                break;
            case 5:  // GetLineNumber, -1 being the current position
                for (auto [stream, model] : streams) {
                    if (stream != nullptr) {
                        const long pos = a == -1 ? model->pos : a;
                        Check(stream->GetLineNumber(a) == lxra::testing::LineNumberAt(content, pos), "GetLineNumber");
                    }
                }
                break;
            case 6:  // GetLinePos
                for (auto [stream, model] : streams) {
                    if (stream != nullptr) {
                        Check(stream->GetLinePos(a) == lxra::testing::LineStart(content, a), "GetLinePos");
                    }
                }
                break;
        }
        Check(fileStream->GetPos() == fileModel.pos, "file position");
        Check(!bufferStream || bufferStream->GetPos() == bufferModel.pos, "buffer position");
    }
    return 0;
}
