// Image files through libdactis.so: saved in each format and loaded back through the image
// callback, the BMP layout other programs read, and files the SDK refuses.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "dactis/dactis.h"
#include "event_recorder.h"
#include "scratch_folder.h"

namespace {

using dactis::testing::EventRecorder;
using dactis::testing::RecordedEvent;
using dactis::testing::RecordFinger;
using dactis::testing::RecordImage;
using dactis::testing::RecordStatus;
using Bytes = std::vector<unsigned char>;

class DactisImageFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        EventRecorder::Instance().Clear();
        setenv("DACTIS_SENSORS", "A", 1);
        setenv("DACTIS_TOUCH_INTERVAL_MS", "0", 1);
        ASSERT_EQ(DcCapInitialize(RecordStatus), DC_OK);
        ASSERT_EQ(EventRecorder::Instance().WaitFor(1).size(), 1u);
        ASSERT_EQ(DcCapStartCapture("A", RecordFinger, RecordImage), DC_OK);
        EventRecorder::Instance().Clear();
    }
    void TearDown() override
    {
        DcCapFinalize();
        unsetenv("DACTIS_SENSORS");
        unsetenv("DACTIS_TOUCH_INTERVAL_MS");
    }

    // Loads the file and returns the image delivered for it.
    RecordedEvent Load(const std::string& file)
    {
        EventRecorder::Instance().Clear();
        EXPECT_EQ(DcCapLoadImageFromFile(file.c_str(), 500), DC_OK) << file;
        const std::vector<RecordedEvent> events = EventRecorder::Instance().WaitFor(1);
        return events.empty() ? RecordedEvent{} : events[0];
    }

    kit::testing::ScratchFolder folder_;
};

Bytes Pattern(int width, int height)
{
    Bytes image(static_cast<size_t>(width * height));
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<unsigned char>(i * 37 + 11);
    }
    return image;
}

TEST_F(DactisImageFiles, SavedImagesLoadBackUnchangedInEveryFormat)
{
    for (const auto& [format, extension] :
         {std::pair{DC_IMAGE_FORMAT_BMP, "bmp"}, std::pair{DC_IMAGE_FORMAT_PNG, "png"},
          std::pair{DC_IMAGE_FORMAT_PGM, "pgm"}}) {
        for (const auto& [width, height] : {std::pair{1, 1}, std::pair{3, 5}, std::pair{37, 21}, std::pair{256, 288}}) {
            const std::string file =
                folder_.Path(std::to_string(width) + "x" + std::to_string(height) + "." + extension);
            const Bytes image = Pattern(width, height);
            ASSERT_EQ(DcCapSaveRawImageToFile(image.data(), width, height, file.c_str(), format), DC_OK) << file;
            const RecordedEvent loaded = Load(file);
            EXPECT_EQ(loaded.width, width) << file;
            EXPECT_EQ(loaded.height, height) << file;
            EXPECT_EQ(loaded.image, image) << file;
        }
    }
}

TEST_F(DactisImageFiles, BmpIsEightBitGreyWithBottomUpPaddedRows)
{
    const Bytes image = {10, 20, 30, 40, 50, 60};  // 3 x 2
    const std::string file = folder_.Path("small.bmp");
    ASSERT_EQ(DcCapSaveRawImageToFile(image.data(), 3, 2, file.c_str(), DC_IMAGE_FORMAT_BMP), DC_OK);
    const std::string bytes = folder_.Read("small.bmp");
    ASSERT_EQ(bytes.size(), 14u + 40u + 1024u + 8u);
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
                                     static_cast<uint8_t>(bytes[at + 2]) << 16 |
                                     static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24);
    };
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(u32(2), bytes.size());
    EXPECT_EQ(u32(10), 1078u);  // pixels after the headers and 256 palette entries
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), 3u);
    EXPECT_EQ(u32(22), 2u);  // positive: bottom-up
    EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 8);
    EXPECT_EQ(u32(30), 0u);  // uncompressed
    EXPECT_EQ(u32(54 + 4 * 200), 0x00C8C8C8u) << "palette entry 200 is grey 200";
    EXPECT_EQ(bytes.substr(1078), std::string("\x28\x32\x3C\0\x0A\x14\x1E\0", 8));
}

TEST_F(DactisImageFiles, TwentyFourBitBmpLoadsAsGrey)
{
    // 2 x 1, top-down (negative height): pure red and pure white, as a paint program writes them.
    std::string bmp(14 + 40 + 8, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, static_cast<uint32_t>(-1));
    bmp[26] = 1;
    bmp[28] = 24;
    const char pixels[8] = {0, 0, '\xFF', '\xFF', '\xFF', '\xFF', 0, 0};  // blue, green, red
    bmp.replace(54, 8, pixels, 8);
    const RecordedEvent loaded = Load(folder_.Write("colour.bmp", bmp));
    EXPECT_EQ(loaded.width, 2);
    EXPECT_EQ(loaded.height, 1);
    EXPECT_EQ(loaded.image, (Bytes{76, 255}));  // luma of red, of white
}

TEST_F(DactisImageFiles, MalformedAndMissingFilesAreRefusedWithoutAnEvent)
{
    const Bytes image = Pattern(16, 16);
    ASSERT_EQ(DcCapSaveRawImageToFile(image.data(), 16, 16, folder_.Path("good.bmp").c_str(), DC_IMAGE_FORMAT_BMP),
              DC_OK);
    const std::string good = folder_.Read("good.bmp");
    std::string compressed = good;
    compressed[30] = 1;
    std::string cutShort = good.substr(0, good.size() - 20);
    const std::pair<const char*, std::string> refused[] = {
        {"empty", ""},
        {"text", "just some text\n"},
        {"compressed", compressed},
        {"cut short", cutShort},
        {"png signature only", "\x89PNG\r\n\x1a\n"},
        {"pgm too large", "P5\n100000 100000\n255\n"},
    };
    for (const auto& [what, bytes] : refused) {
        EXPECT_EQ(DcCapLoadImageFromFile(folder_.Write(std::string(what) + ".img", bytes).c_str(), 500),
                  DC_ERROR_FILE_FORMAT)
            << what;
    }
    EXPECT_EQ(DcCapLoadImageFromFile(folder_.Path("missing.bmp").c_str(), 500), DC_ERROR_FILE);
    EXPECT_EQ(DcCapLoadImageFromFile(nullptr, 500), DC_ERROR_INVALID_ARGUMENT);
    EXPECT_TRUE(EventRecorder::Instance().WaitFor(1, std::chrono::milliseconds(300)).empty());
}

TEST_F(DactisImageFiles, SavingRefusesBadArgumentsAndUnwritablePaths)
{
    const Bytes image = Pattern(8, 8);
    const std::string file = folder_.Path("never.img");
    EXPECT_EQ(DcCapSaveRawImageToFile(image.data(), 8, 8, file.c_str(), 3), DC_ERROR_INVALID_FORMAT);
    EXPECT_EQ(DcCapSaveRawImageToFile(image.data(), 8, 8, file.c_str(), -1), DC_ERROR_INVALID_FORMAT);
    EXPECT_EQ(DcCapSaveRawImageToFile(image.data(), 0, 8, file.c_str(), 0), DC_ERROR_INVALID_IMAGE_SIZE);
    EXPECT_EQ(DcCapSaveRawImageToFile(nullptr, 8, 8, file.c_str(), 0), DC_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(DcCapSaveRawImageToFile(image.data(), 8, 8, nullptr, 0), DC_ERROR_INVALID_ARGUMENT);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(DcCapSaveRawImageToFile(image.data(), 8, 8, folder_.Path("no/such/folder.bmp").c_str(), 0),
              DC_ERROR_FILE);
}

}  // namespace
