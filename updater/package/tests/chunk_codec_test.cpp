// Chunks and stored dates: the pieces the reader and the writer share.

#include "package/chunk_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "package/dos_date.h"
#include "package_builder.h"

namespace torvik::package::testing {
namespace {

std::span<const uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(ChunkInflater, InflatesWholeStreamsUpToExactly16384Bytes)
{
    ChunkInflater inflater;
    std::array<uint8_t, kChunkLimit> output;
    for (const std::string& data : {std::string(), std::string("x"), SampleText(16384), RandomBytes(16384)}) {
        SCOPED_TRACE(data.size());
        const std::string stream = Zlib(data);
        const auto size = inflater.Inflate(Bytes(stream), output);
        ASSERT_TRUE(size);
        EXPECT_EQ(std::string(output.begin(), output.begin() + static_cast<long>(*size)), data);
    }
}

TEST(ChunkInflater, RefusesWhatIsNotOneIntactStreamThatFits)
{
    ChunkInflater inflater;
    std::array<uint8_t, kChunkLimit> output;
    const std::string stream = Zlib(SampleText(9000));
    std::string badCheck = stream;
    badCheck.back() ^= 1;
    const std::vector<std::string> refused = {
        Zlib(std::string(16385, 'a')),        // one byte too many
        stream.substr(0, stream.size() - 1),  // cut short
        badCheck,
        "",
        "plain bytes",
    };
    for (const std::string& chunk : refused) {
        EXPECT_FALSE(inflater.Inflate(Bytes(chunk), output));
    }
    // The inflater is still sound afterwards.
    EXPECT_EQ(inflater.Inflate(Bytes(stream), output), std::optional<size_t>(9000));
}

TEST(ChunkDeflater, CompressesOnlyWhatShrinks)
{
    ChunkDeflater deflater(6);
    std::array<uint8_t, kChunkLimit> output;
    const std::string text = SampleText(16384);
    const auto size = deflater.Deflate(Bytes(text), output);
    ASSERT_TRUE(size);
    EXPECT_LT(*size, text.size() / 2);
    ChunkInflater inflater;
    std::array<uint8_t, kChunkLimit> back;
    EXPECT_EQ(inflater.Inflate(std::span<const uint8_t>(output.data(), *size), back), std::optional<size_t>(16384));
    EXPECT_EQ(std::string(back.begin(), back.end()), text);

    EXPECT_FALSE(deflater.Deflate(Bytes(RandomBytes(16384)), output));
    EXPECT_FALSE(deflater.Deflate(Bytes("a"), output));
    EXPECT_FALSE(deflater.Deflate(Bytes(""), output));
}

TEST(DosDate, LocalTimesRoundTripInTwoSecondSteps)
{
    struct Case {
        int year, month, day, hour, minute, second;
    };
    for (const Case c : {Case{1980, 1, 1, 0, 0, 0}, Case{2000, 2, 29, 23, 59, 58}, Case{2019, 7, 14, 10, 30, 46},
                         Case{2043, 12, 31, 12, 0, 2}, Case{2107, 12, 31, 23, 59, 58}}) {
        const int32_t packed = DosDate(c.year, c.month, c.day, c.hour, c.minute, c.second);
        const auto time = TimeFromDosDateTime(packed);
        ASSERT_TRUE(time);
        EXPECT_EQ(DosDateTimeFromTime(*time), packed);
        EXPECT_EQ(DosDateTimeFromTime(*time + 1), packed);  // odd seconds round down
    }
    EXPECT_EQ(FormatDosDateTime(DosDate(2019, 7, 14, 10, 30, 46)), "2019-07-14 10:30:46");
    EXPECT_LT(DosDate(2050, 1, 1, 0, 0, 0), 0);  // dates from 2044 on are negative as integers
}

TEST(DosDate, ImpossibleDatesHaveNoTime)
{
    for (const int32_t packed :
         {DosDate(2020, 0, 1, 0, 0, 0), DosDate(2020, 13, 1, 0, 0, 0), DosDate(2021, 2, 29, 0, 0, 0),
          DosDate(2020, 1, 0, 0, 0, 0), DosDate(2020, 1, 1, 24, 0, 0), DosDate(2020, 1, 1, 0, 60, 0),
          DosDate(2020, 1, 1, 0, 0, 60), int32_t{-1}}) {
        EXPECT_FALSE(TimeFromDosDateTime(packed)) << packed;
        EXPECT_EQ(FormatDosDateTime(packed), "invalid date");
    }
}

TEST(DosDate, TimesOutsideTheRangeAreClamped)
{
    EXPECT_EQ(DosDateTimeFromTime(0), DosDate(1980, 1, 1, 0, 0, 0));
    EXPECT_EQ(DosDateTimeFromTime(static_cast<time_t>(5000000000LL)), DosDate(2107, 12, 31, 23, 59, 58));
}

}  // namespace
}  // namespace torvik::package::testing
