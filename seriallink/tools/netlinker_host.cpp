// netlinker-host: a small host program of libnetlinker.so. It opens the port with the
// terminals' addresses, prints every message a terminal sends, and answers each with
// command 3 (which also ends an exchange) and the text "ok " followed by the message's
// data. It ends after --messages N messages (1 unless given), or with status 1 when
// none has come for --wait SECONDS (30 unless given).

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "seriallink/netlinker.h"
#include "tools/text_escapes.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: netlinker-host PORT ADDR... [--messages N] [--wait SECONDS]\n");
    return 2;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        return Usage();
    }
    const char* port = argv[1];
    std::vector<uint16_t> addresses;
    unsigned messages = 1;
    unsigned waitSeconds = 30;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        uint16_t address = 0;
        if (argument == "--messages" && i + 1 < argc && ParseNumber(std::string_view(argv[i + 1]), messages)) {
            ++i;
        } else if (argument == "--wait" && i + 1 < argc && ParseNumber(std::string_view(argv[i + 1]), waitSeconds)) {
            ++i;
        } else if (ParseNumber(argument, address)) {
            addresses.push_back(address);
        } else {
            return Usage();
        }
    }

    const int32_t opened = _AbrePorta(port, static_cast<uint16_t>(addresses.size()), addresses.data());
    if (opened != 0) {
        std::fprintf(stderr, "netlinker-host: cannot open %s: %s\n", port, std::strerror(opened));
        return 1;
    }
    std::printf("polling %zu terminals on %s\n", addresses.size(), port);
    std::fflush(stdout);

    std::vector<uint8_t> data(4096);
    for (unsigned received = 0; received < messages; ++received) {
        uint16_t from = 0;
        uint8_t command = 0;
        int16_t length = 0;
        if (_LePorta(&from, data.data(), &command, &length, waitSeconds * 1000u) != 0) {
            std::fprintf(stderr, "netlinker-host: no message within %u seconds\n", waitSeconds);
            return 1;
        }
        const auto count = static_cast<size_t>(length);
        std::printf("message from %u command %u: %s\n", from, command,
                    seriallink::tools::Escape(data.data(), count).c_str());
        std::fflush(stdout);
        std::vector<uint8_t> answer{'o', 'k', ' '};
        answer.insert(answer.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(count));
        answer.resize(std::min<size_t>(answer.size(), 2041));
        if (_EscrevePorta(from, answer.data(), 3, static_cast<int16_t>(answer.size())) != 0) {
            std::fprintf(stderr, "netlinker-host: the answer to %u was not queued\n", from);
            return 1;
        }
    }
    return 0;
}
