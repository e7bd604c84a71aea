// lxra: shows how the runtime sees a text as an input stream: its version, the number of
// lines and every line with its number.
//
//   lxra [--window BYTES] FILE     read FILE through a file stream
//   lxra --text TEXT               read TEXT through a buffer stream

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lxra101.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: lxra [--window BYTES] FILE\n"
                 "       lxra --text TEXT\n");
    return 2;
}

struct StreamCloser {
    LexoraAPI* api;
    void operator()(LXInputStream* stream) const { api->CloseStream(stream); }
};

void PrintLines(LXInputStream& stream)
{
    const long lines = stream.GetNumLines();
    std::printf("%ld line%s\n", lines, lines == 1 ? "" : "s");
    std::vector<char> text;
    for (long line = 1; line <= lines; ++line) {
        // Room for the whole line, so long lines are shown in full.
        const long span = stream.GetLinePos(line + 1) - stream.GetLinePos(line);
        text.resize(static_cast<size_t>(span) + 1);
        std::printf("%6ld  %s\n", line, stream.GetLine(line, text.data(), static_cast<long>(text.size())));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const char* file = nullptr;
    const char* text = nullptr;
    long window = 0;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--text") == 0 && hasValue) {
            text = argv[++i];
        } else if (std::strcmp(argv[i], "--window") == 0 && hasValue) {
            char* end = nullptr;
            window = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || window <= 0) {
                return Usage();
            }
        } else if (argv[i][0] != '-' && file == nullptr) {
            file = argv[i];
        } else {
            return Usage();
        }
    }
    if ((file == nullptr) == (text == nullptr)) {
        return Usage();
    }

    LexoraAPI api;
    std::unique_ptr<LXInputStream, StreamCloser> stream(
        file != nullptr ? api.OpenFileStream(file, window) : api.OpenBufferStream(text, 0), StreamCloser{&api});
    std::printf("Lxra101 runtime %ld\n", __GetLxraLibVersion());
    if (stream == nullptr) {
        std::fprintf(stderr, "lxra: cannot open '%s'\n", file != nullptr ? file : "(text)");
        return 1;
    }
    std::printf("%s: ", file != nullptr ? file : "text");
    PrintLines(*stream);
    return 0;
}
