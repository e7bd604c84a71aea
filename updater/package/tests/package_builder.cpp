#include "package_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace torvik::package::testing {

PackageBuilder& PackageBuilder::Header(int32_t total, int32_t fileCount, std::string_view text)
{
    Int32(static_cast<int32_t>(text.size()));
    Raw(text);
    Int32(total);
    return Int32(fileCount);
}

PackageBuilder& PackageBuilder::Int32(int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes_ += static_cast<char>(bits >> (8 * i) & 0xFF);
    }
    return *this;
}

PackageBuilder& PackageBuilder::Raw(std::string_view bytes)
{
    bytes_ += bytes;
    return *this;
}

PackageBuilder& PackageBuilder::Entry(std::string_view name, int32_t date)
{
    Int32(static_cast<int32_t>(name.size()));
    Raw(name);
    return Int32(date);
}

PackageBuilder& PackageBuilder::VolumeChange(std::string_view digits)
{
    const std::string name = "NEXT:DISK" + std::string(digits);
    Int32(static_cast<int32_t>(name.size()));
    return Raw(name);
}

PackageBuilder& PackageBuilder::Tag()
{
    return Raw(std::string_view("EC2\0", 4));
}

PackageBuilder& PackageBuilder::Stored(std::string_view data)
{
    return Chunk(-static_cast<int32_t>(data.size()), data);
}

PackageBuilder& PackageBuilder::Compressed(std::string_view data, int level)
{
    const std::string stream = Zlib(data, level);
    return Chunk(static_cast<int32_t>(stream.size()), stream);
}

PackageBuilder& PackageBuilder::Chunk(int32_t header, std::string_view bytes)
{
    Int32(header);
    return Raw(bytes);
}

PackageBuilder& PackageBuilder::EndBlock()
{
    return Int32(0);
}

PackageBuilder& PackageBuilder::End()
{
    return Int32(0);
}

PackageBuilder& PackageBuilder::File(std::string_view name, int32_t date, std::string_view data)
{
    Entry(name, date).Tag();
    for (size_t at = 0; at < data.size(); at += 16384) {
        Compressed(data.substr(at, 16384));
    }
    return EndBlock();
}

std::string Zlib(std::string_view data, int level)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string stream(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(stream.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), level) != Z_OK) {
        throw std::runtime_error("zlib cannot compress the test data");
    }
    stream.resize(size);
    return stream;
}

int32_t DosDate(int year, int month, int day, int hour, int minute, int second)
{
    const uint32_t date =
        static_cast<uint32_t>(year - 1980) << 9 | static_cast<uint32_t>(month) << 5 | static_cast<uint32_t>(day);
    const uint32_t time =
        static_cast<uint32_t>(hour) << 11 | static_cast<uint32_t>(minute) << 5 | static_cast<uint32_t>(second / 2);
    return static_cast<int32_t>(date << 16 | time);
}

namespace {

uint32_t Next(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

}  // namespace

std::string SampleText(size_t size, uint32_t seed)
{
    static constexpr std::string_view kWords[] = {"pedido ", "cliente ", "valor ",      "total ",   "estoque ", "nota ",
                                                  "fiscal ", "produto ", "quantidade ", "entrega ", "data ",    "\r\n",
                                                  "codigo ", "preco ",   "vendas ",     "loja "};
    std::string text;
    text.reserve(size + 16);
    uint32_t state = seed * 2654435761u + 1;
    while (text.size() < size) {
        text += kWords[Next(state) % std::size(kWords)];
    }
    text.resize(size);
    return text;
}

std::string RandomBytes(size_t size, uint32_t seed)
{
    std::string bytes(size, '\0');
    uint32_t state = seed * 2246822519u + 7;
    for (char& byte : bytes) {
        byte = static_cast<char>(Next(state) >> 24);
    }
    return bytes;
}

}  // namespace torvik::package::testing
