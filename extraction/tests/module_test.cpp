// The module as a host program sees it: the five exports of a freshly loaded
// libFenrax.so, its state machine, the template it hands out and its debug dumps. Each
// test loads its own copy of the library, so each starts from the state at load.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "scratch_folder.h"
#include "support/test_images.h"

namespace {

using kit::testing::ScratchFolder;

std::vector<uint8_t> Hex(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

class Module : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string copy = library_.Path("libFenrax.so");
        std::filesystem::copy_file(FENRAX_LIBRARY_PATH, copy);
        handle_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        init = Resolve<int32_t (*)(int32_t, int32_t, int32_t, int32_t)>("FPD_initGlobal");
        process = Resolve<int32_t (*)(const uint8_t*, uint8_t*, int32_t)>("FPD_Process");
        freeMem = Resolve<int32_t (*)()>("FPD_freeGlobalMem");
        freeGlobal = Resolve<int32_t (*)()>("FPD_freeGlobal");
        version = Resolve<int32_t (*)()>("FPD_GetExtVersion");
    }
    void TearDown() override
    {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }

    template <typename F>
    F Resolve(const char* name)
    {
        void* symbol = dlsym(handle_, name);
        EXPECT_NE(symbol, nullptr) << name;
        return reinterpret_cast<F>(symbol);
    }

    // The names of the files in the current folder.
    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(work_.Folder())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    int32_t (*init)(int32_t, int32_t, int32_t, int32_t) = nullptr;
    int32_t (*process)(const uint8_t*, uint8_t*, int32_t) = nullptr;
    int32_t (*freeMem)() = nullptr;
    int32_t (*freeGlobal)() = nullptr;
    int32_t (*version)() = nullptr;

    ScratchFolder library_;
    ScratchFolder work_;
    // Debug dumps land in the current folder: keep them out of the build tree.
    fenrax::testing::CurrentFolder here_{work_.Folder()};
    void* handle_ = nullptr;
};

constexpr uint8_t kUntouched = 0xAA;

TEST_F(Module, ProcessBeforeAnyInitialisationAnswers102AndWritesNothing)
{
    const std::vector<uint8_t> image(300 * 300, 128);
    std::vector<uint8_t> out(400, kUntouched);
    EXPECT_EQ(process(image.data(), out.data(), 1), 102);
    EXPECT_EQ(out, std::vector<uint8_t>(400, kUntouched));
    EXPECT_TRUE(Files().empty());
}

TEST_F(Module, ReportsVersion1160InEveryState)
{
    EXPECT_EQ(version(), 1160);
    ASSERT_EQ(init(256, 256, 0, 256), 0);
    EXPECT_EQ(version(), 1160);
    EXPECT_EQ(freeMem(), 0);
    EXPECT_EQ(version(), 1160);
}

TEST_F(Module, TemplateOfAnImageWithoutRidgesIsTheEncryptedHeader)
{
    // 300 x 300, long template, no minutiae: header blocks and zero blocks under the
    // module key, as an independent DES implementation computes them.
    ASSERT_EQ(init(300, 300, 0, 400), 0);
    const std::vector<uint8_t> image(300 * 300, 200);
    std::vector<uint8_t> out(400);
    ASSERT_EQ(process(image.data(), out.data(), 0), 0);
    const std::vector<uint8_t> zeroBlock = Hex("4a286a6128871033");
    std::vector<uint8_t> expected =
        Hex("4a286a6128871033"
            "85ea27a23b7e4318"
            "f2525f88aa7d5e5f");
    for (int block = 3; block < 50; ++block) {
        expected.insert(expected.end(), zeroBlock.begin(), zeroBlock.end());
    }
    EXPECT_EQ(out, expected);
}

TEST_F(Module, TemplateSizeDecidesTheBytesWrittenAndTheMark)
{
    struct Case {
        int32_t requested;
        size_t written;
        uint8_t mark;
    };
    for (const Case& c : {Case{256, 256, 0x3E}, Case{300, 400, 0x5C}, Case{400, 400, 0x5C}, Case{0, 400, 0x5C}}) {
        ASSERT_EQ(init(260, 300, 0, c.requested), 0);
        const std::vector<uint8_t> image = fenrax::testing::StripeImage(260, 300, 9, 30);
        std::vector<uint8_t> out(512, kUntouched);
        ASSERT_EQ(process(image.data(), out.data(), 0), 0);
        for (size_t i = c.written; i < out.size(); ++i) {
            ASSERT_EQ(out[i], kUntouched) << "byte " << i << " of a " << c.requested << " request";
        }
        const std::vector<uint8_t> plain = fenrax::testing::DecryptTemplate(std::span(out).first(c.written));
        EXPECT_EQ(plain[13], 0) << c.requested;  // no minutiae before their stage exists
        EXPECT_EQ(plain[14] | plain[15] << 8, 130) << c.requested;
        EXPECT_EQ(plain[16] | plain[17] << 8, 150) << c.requested;
        EXPECT_EQ(plain[19], c.mark) << c.requested;
        ASSERT_EQ(freeMem(), 0);
    }
}

TEST_F(Module, ASecondInitialisationKeepsTheFirstGeometry)
{
    ASSERT_EQ(init(300, 300, 0, 400), 0);
    EXPECT_EQ(init(256, 256, 0, 256), 0);
    const std::vector<uint8_t> image(300 * 300, 90);
    std::vector<uint8_t> out(512, kUntouched);
    ASSERT_EQ(process(image.data(), out.data(), 1), 0);
    EXPECT_EQ(out[400], kUntouched);
    const std::vector<uint8_t> plain = fenrax::testing::DecryptTemplate(std::span(out).first(400));
    EXPECT_EQ(plain[14], 150);
    EXPECT_EQ(plain[16], 150);
    EXPECT_EQ(plain[19], 0x5C);
    EXPECT_EQ(std::filesystem::file_size("enh.raw"), 312u * 312u);
}

TEST_F(Module, AfterReleaseProcessAnswers106UntilANewGeometry)
{
    ASSERT_EQ(init(300, 300, 0, 400), 0);
    EXPECT_EQ(freeGlobal(), 0);  // releases nothing
    const std::vector<uint8_t> image(300 * 300, 60);
    std::vector<uint8_t> out(400, kUntouched);
    EXPECT_EQ(process(image.data(), out.data(), 0), 0);
    EXPECT_EQ(freeMem(), 0);
    EXPECT_EQ(freeMem(), 0);  // a second release is harmless
    std::fill(out.begin(), out.end(), kUntouched);
    EXPECT_EQ(process(image.data(), out.data(), 1), 106);
    EXPECT_EQ(out, std::vector<uint8_t>(400, kUntouched));
    EXPECT_TRUE(Files().empty());

    ASSERT_EQ(init(257, 255, 0, 256), 0);
    const std::vector<uint8_t> other(257 * 255, 60);
    ASSERT_EQ(process(other.data(), out.data(), 0), 0);
    const std::vector<uint8_t> plain = fenrax::testing::DecryptTemplate(std::span(out).first(256));
    EXPECT_EQ(plain[14], 128);
    EXPECT_EQ(plain[16], 127);
    EXPECT_EQ(plain[19], 0x3E);
    EXPECT_EQ(out[256], kUntouched);
}

TEST_F(Module, WritesDebugDumpsOnlyWhenBitZeroIsSet)
{
    ASSERT_EQ(init(256, 256, 0, 400), 0);  // 272 x 272, 34 x 34 blocks
    const std::vector<uint8_t> image = fenrax::testing::StripeImage(256, 256, 8, 0);
    std::vector<uint8_t> out(400);
    for (const int32_t flags : {0, 2, 4, 0x7FFFFFFE}) {
        ASSERT_EQ(process(image.data(), out.data(), flags), 0);
        EXPECT_TRUE(Files().empty()) << flags;
    }
    for (const int32_t flags : {1, 3, -1}) {
        ASSERT_EQ(process(image.data(), out.data(), flags), 0);
        EXPECT_EQ(Files(), (std::set<std::string>{"dir.dat", "enh.raw"})) << flags;
        EXPECT_EQ(std::filesystem::file_size("enh.raw"), 272u * 272u);
        ASSERT_EQ(std::filesystem::file_size("dir.dat"), 34u * 34u);
        const std::string directions = work_.Read("dir.dat");
        // Horizontal stripes: direction 0 inside, 8 on the outer ring.
        EXPECT_EQ(directions[0], 8);
        EXPECT_EQ(directions[34 * 17 + 17], 0);
        EXPECT_EQ(directions[34 * 33 + 33], 8);
        std::filesystem::remove("dir.dat");
        std::filesystem::remove("enh.raw");
    }
}

TEST_F(Module, SameImageGivesTheSameTemplateAndDumps)
{
    ASSERT_EQ(init(300, 300, 0, 256), 0);
    const std::vector<uint8_t> image = fenrax::testing::StripeImage(300, 300, 10, 70);
    const std::vector<uint8_t> between = fenrax::testing::StripeImage(300, 300, 7, 10);
    std::vector<uint8_t> first(256);
    std::vector<uint8_t> other(256);
    std::vector<uint8_t> again(256);
    ASSERT_EQ(process(image.data(), first.data(), 1), 0);
    const std::string enhanced = work_.Read("enh.raw");
    const std::string directions = work_.Read("dir.dat");
    ASSERT_EQ(process(between.data(), other.data(), 1), 0);
    EXPECT_NE(work_.Read("dir.dat"), directions);
    ASSERT_EQ(process(image.data(), again.data(), 1), 0);
    EXPECT_EQ(first, again);
    EXPECT_EQ(work_.Read("enh.raw"), enhanced);
    EXPECT_EQ(work_.Read("dir.dat"), directions);
}

TEST_F(Module, ADumpThatCannotBeWrittenIsSkipped)
{
    std::filesystem::create_directory("enh.raw");  // cannot be opened as a file
    ASSERT_EQ(init(256, 256, 0, 400), 0);
    const std::vector<uint8_t> image = fenrax::testing::StripeImage(256, 256, 8, 0);
    std::vector<uint8_t> quiet(400);
    std::vector<uint8_t> dumped(400);
    ASSERT_EQ(process(image.data(), quiet.data(), 0), 0);
    EXPECT_EQ(process(image.data(), dumped.data(), 1), 0);
    EXPECT_EQ(quiet, dumped);
    EXPECT_EQ(std::filesystem::file_size("dir.dat"), 34u * 34u);
}

TEST_F(Module, RefusesAGeometryItCannotServe)
{
    const std::vector<uint8_t> image(300 * 300, 128);
    std::vector<uint8_t> out(400, kUntouched);
    for (const auto& [w, h] : {std::pair{0, 300}, {300, -1}, {20000, 300}}) {
        EXPECT_EQ(init(w, h, 0, 400), 106) << w << " x " << h;
        EXPECT_EQ(process(image.data(), out.data(), 0), 106) << w << " x " << h;
    }
    EXPECT_EQ(out, std::vector<uint8_t>(400, kUntouched));
    ASSERT_EQ(init(300, 300, 0, 400), 0);
    EXPECT_EQ(process(image.data(), out.data(), 0), 0);
}

TEST_F(Module, RefusesMissingBuffers)
{
    ASSERT_EQ(init(300, 300, 0, 400), 0);
    const std::vector<uint8_t> image(300 * 300, 128);
    std::vector<uint8_t> out(400, kUntouched);
    EXPECT_EQ(process(nullptr, out.data(), 1), 106);
    EXPECT_EQ(process(image.data(), nullptr, 1), 106);
    EXPECT_EQ(out, std::vector<uint8_t>(400, kUntouched));
    EXPECT_TRUE(Files().empty());
}

}  // namespace
