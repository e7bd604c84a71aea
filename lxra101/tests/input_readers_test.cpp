// The input readers: the buffer reader and the stream reader answer every operation
// alike, and neither reads outside the input.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "grammar/grammar_builder.h"
#include "lxra101/lexora_api.h"
#include "scan/input_reader.h"
#include "scratch_folder.h"

namespace {

struct StreamCloser {
    void operator()(LXInputStream* stream) const { LexoraAPI().CloseStream(stream); }
};
using Stream = std::unique_ptr<LXInputStream, StreamCloser>;

// One input seen through both readers: a buffer stream over a copy of exactly the
// input's bytes (no terminator after them, so a read past the end shows), and a file
// stream with a small window.
class ReaderPair {
public:
    ReaderPair(const std::string& text, long window, const kit::testing::ScratchFolder& dir)
        : copy_(new char[text.size() + 1])
    {
        std::memcpy(copy_.get(), text.data(), text.size());
        // An empty buffer stream measures its text: give it a terminator then.
        copy_[text.size()] = '\0';
        LexoraAPI api;
        buffer_.reset(api.OpenBufferStream(copy_.get(), static_cast<long>(text.size())));
        file_.reset(api.OpenFileStream(dir.Write("input", text).c_str(), window));
        bufferReader_ = lxra::CreateInputReader(buffer_.get());
        streamReader_ = lxra::CreateInputReader(file_.get());
    }

    lxra::InputReader& buffer() { return *bufferReader_; }
    lxra::InputReader& stream() { return *streamReader_; }

private:
    std::unique_ptr<char[]> copy_;
    Stream buffer_;
    Stream file_;
    std::unique_ptr<lxra::InputReader> bufferReader_;
    std::unique_ptr<lxra::InputReader> streamReader_;
};

// Every operation through both readers, with the same arguments.
struct Answers {
    long value;
    int refused;
    long code;
    std::string bytes;
    bool operator==(const Answers&) const = default;
};

Answers RunOperation(lxra::InputReader& reader, int op, long a, long b, long c, const std::string& text,
                     std::string_view list)
{
    Answers out{0, -1, 0, ""};
    const int matchCase = static_cast<int>(c & 1);
    const int check = static_cast<int>((c >> 1) & 1);
    switch (op) {
        case 0:
            out.value = reader.CharAt(a);
            break;
        case 1: {
            std::vector<char> dst(64, '#');
            out.value = reader.ReadAt(dst.data(), a, b % 60);
            out.bytes.assign(dst.data(), dst.size());
            break;
        }
        case 2:
            out.value = reader.Span(" \t\r\n_x", a);
            break;
        case 3:
            out.value =
                reader.MatchLiteral(text.data(), static_cast<long>(text.size()), a, matchCase, check, &out.refused);
            break;
        case 4:
            out.value = reader.ScanPredefined(b % 11, a, c, &out.code);
            break;
        case 5:
            out.value = reader.MatchStringList(list, a, b, c % 4, matchCase, check, &out.refused);
            break;
        case 6:
            out.value =
                reader.FindLiteral(text.data(), static_cast<long>(text.size()), a, b, matchCase, check, &out.refused);
            break;
        case 7:
            out.value = reader.CompareRanges(a, b, c % 8, matchCase);
            break;
        case 8:
            out.value = reader.CompareText(text.data(), a, static_cast<long>(text.size()), matchCase);
            break;
        case 9: {
            const char* p = reader.GetPointer(a, 1);
            out.value = p != nullptr;
            if (p != nullptr) {
                out.bytes.assign(p, 1);
            }
            break;
        }
    }
    return out;
}

TEST(InputReaders, TheStreamReaderOverAFileAnswersLikeTheBufferReader)
{
    kit::testing::ScratchFolder dir;
    std::mt19937 random(20240611);
    const std::string alphabet = "ifx_12 3\r\n\"\\aBcIF(\t";
    const auto pick = [&](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    const auto randomText = [&](long maxLength) {
        std::string text;
        for (long n = pick(0, maxLength); n > 0; --n) {
            const long choice = pick(0, 40);
            text +=
                choice == 0 ? '\0' : (choice == 1 ? '\xe9' : alphabet[static_cast<size_t>(choice) % alphabet.size()]);
        }
        return text;
    };
    lxra::GrammarBuilder b;
    for (int input = 0; input < 150; ++input) {
        const std::string text = randomText(70);
        ReaderPair readers(text, pick(1, 9), dir);
        ASSERT_EQ(readers.buffer().GetLength(), static_cast<long>(text.size()));
        ASSERT_EQ(readers.stream().GetLength(), static_cast<long>(text.size()));
        const lxra::Instruction listAt = b.StringList({randomText(3), randomText(4), text.substr(0, 3), "if"});
        const std::string_view list(b.GetContext().GetByteCode() + listAt,
                                    static_cast<size_t>(b.GetContext().GetByteCodeLength() - listAt));
        for (int step = 0; step < 120; ++step) {
            const long length = static_cast<long>(text.size());
            const int op = static_cast<int>(pick(0, 9));
            const long a = pick(-2, length + 2);
            const long bArg = pick(-2, length + 4);
            const long c = pick(-1, length + 3);
            const std::string literal = pick(0, 2) == 0
                                            ? randomText(4)
                                            : text.substr(static_cast<size_t>(std::max(a, 0L)) % (text.size() + 1),
                                                          static_cast<size_t>(pick(0, 4)));
            const Answers fromBuffer = RunOperation(readers.buffer(), op, a, bArg, c, literal, list);
            const Answers fromStream = RunOperation(readers.stream(), op, a, bArg, c, literal, list);
            ASSERT_EQ(fromBuffer, fromStream) << "op " << op << " a " << a << " b " << bArg << " c " << c
                                              << " literal '" << literal << "' input '" << text << "'";
        }
    }
}

class ReaderCases : public ::testing::Test {
protected:
    // The same check through both readers.
    template <typename Check>
    void Both(const std::string& text, Check check)
    {
        ReaderPair readers(text, 3, dir_);
        {
            SCOPED_TRACE("buffer reader");
            check(readers.buffer());
        }
        {
            SCOPED_TRACE("stream reader");
            check(readers.stream());
        }
    }

    kit::testing::ScratchFolder dir_;
};

TEST_F(ReaderCases, LiteralsNeedAnImplicitDelimiter)
{
    struct Case {
        const char* literal;
        const char* input;
        int matchCase;
        int check;
        long matched;
        int refused;
    };
    const Case cases[] = {
        {"if", "ifx", 1, 1, 0, 1}, {"if", "if_a", 1, 1, 0, 1}, {"if", "if(", 1, 1, 2, 0},  {"if", "if x", 1, 1, 2, 0},
        {"if", "if", 1, 1, 2, 0},  {"12", "123", 1, 1, 0, 1},  {"12", "12a", 1, 1, 2, 0},  {"a", "a1", 1, 1, 1, 0},
        {"_", "_a", 1, 1, 0, 1},   {"if", "ifx", 1, 0, 2, 0},  {"IF", "if(", 0, 1, 2, 0},  {"IF", "if(", 1, 1, 0, 0},
        {"if", "i", 1, 1, 0, 0},   {"if", "if\n", 1, 1, 2, 0}, {"x", "x\xe9", 1, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.literal) + " in " + c.input);
        Both(c.input, [&](lxra::InputReader& reader) {
            int refused = -1;
            EXPECT_EQ(reader.MatchLiteral(c.literal, static_cast<long>(std::strlen(c.literal)), 0, c.matchCase, c.check,
                                          &refused),
                      c.matched);
            EXPECT_EQ(refused, c.refused);
        });
    }
}

TEST_F(ReaderCases, QuotedStringsEndAtTheInputsEnd)
{
    struct Case {
        std::string input;
        long maxLen;
        long length;
        long code;
    };
    const Case cases[] = {
        {"\"ab\" rest", 100, 4, 0},
        {"\"a\\\"b\"", 100, 6, 0},
        {"\"x\n\"", 100, 0, 1011},
        {"\"unterminated", 100, 0, 1011},
        {"\"ends in a backslash\\", 100, 0, 1011},
        {"\"longer than allowed\"", 3, 21, 0},
        {"no quote", 100, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        Both(c.input, [&](lxra::InputReader& reader) {
            long code = 0;
            EXPECT_EQ(reader.ScanPredefined(6, 0, c.maxLen, &code), c.length);
            EXPECT_EQ(code, c.code);
        });
    }
}

TEST_F(ReaderCases, PredefinedScansStayWithinTheLimitAndTheInput)
{
    Both("abc_12 \r\nz", [](lxra::InputReader& reader) {
        EXPECT_EQ(reader.ScanPredefined(0, 0, 100, nullptr), 4);  // "alpha": letters and underscores
        EXPECT_EQ(reader.ScanPredefined(1, 0, 100, nullptr), 3);  // "alpha_": letters
        EXPECT_EQ(reader.ScanPredefined(7, 0, 100, nullptr), 6);  // identifier
        EXPECT_EQ(reader.ScanPredefined(7, 0, 2, nullptr), 2);
        EXPECT_EQ(reader.ScanPredefined(2, 4, 100, nullptr), 2);  // numeric
        EXPECT_EQ(reader.ScanPredefined(4, 6, 100, nullptr), 3);  // whitespace
        EXPECT_EQ(reader.ScanPredefined(9, 7, 100, nullptr), 2);  // EOL
        EXPECT_EQ(reader.ScanPredefined(9, 7, 1, nullptr), 0);
        EXPECT_EQ(reader.ScanPredefined(5, 3, 100, nullptr), 7) << "freetext: to the end, not beyond";
        EXPECT_EQ(reader.ScanPredefined(5, 3, 4, nullptr), 4);
        EXPECT_EQ(reader.ScanPredefined(5, 10, 4, nullptr), 0);
        EXPECT_EQ(reader.ScanPredefined(5, 11, 4, nullptr), 0);
        EXPECT_EQ(reader.ScanPredefined(10, 0, 4, nullptr), 0) << "no such scan type";
        EXPECT_EQ(reader.ScanPredefined(0, -1, 4, nullptr), 0);
    });
}

TEST_F(ReaderCases, StringListsTryEntriesInOrder)
{
    lxra::GrammarBuilder b;
    const lxra::Instruction at = b.StringList({"a", "ab", "abc", "x"});
    const std::string_view list(b.GetContext().GetByteCode() + at,
                                static_cast<size_t>(b.GetContext().GetByteCodeLength() - at));
    Both("abc d", [&](lxra::InputReader& reader) {
        int refused = -1;
        EXPECT_EQ(reader.MatchStringList(list, 0, 10, 0, 1, 1, &refused), 3);
        EXPECT_EQ(refused, 1) << "a and ab were refused by the delimiter rule";
        EXPECT_EQ(reader.MatchStringList(list, 0, 10, 0, 1, 0, &refused), 1);
        EXPECT_EQ(refused, 0);
        EXPECT_EQ(reader.MatchStringList(list, 0, 10, 2, 1, 1, &refused), 0);
        EXPECT_EQ(refused, 1);
        EXPECT_EQ(reader.MatchStringList(list, 0, 2, 0, 1, 1, &refused), 0) << "abc is longer than allowed";
        EXPECT_EQ(reader.MatchStringList(list, 0, 1, 2, 1, 1, &refused), 0);
        EXPECT_EQ(refused, 0);
        EXPECT_EQ(reader.MatchStringList(list, 4, 10, 0, 1, 1, nullptr), 0);
        EXPECT_EQ(reader.MatchStringList(list.substr(0, 6), 0, 10, 0, 1, 1, nullptr), 0) << "no room for a count";
        EXPECT_EQ(reader.MatchStringList(list.substr(0, 20), 0, 10, 0, 1, 1, nullptr), 0)
            << "entries cut short are not read";
    });
}

TEST_F(ReaderCases, FindingLiteralsHonoursTheLimitAndTheDelimiterRule)
{
    Both("ifx if IF", [](lxra::InputReader& reader) {
        int refused = -1;
        EXPECT_EQ(reader.FindLiteral("if", 2, 0, 100, 1, 1, &refused), 4);
        EXPECT_EQ(refused, 0);
        EXPECT_EQ(reader.FindLiteral("if", 2, 0, 5, 1, 1, &refused), -1) << "the match would end past the limit";
        EXPECT_EQ(refused, 1);
        EXPECT_EQ(reader.FindLiteral("if", 2, 0, 6, 1, 1, &refused), 4);
        EXPECT_EQ(reader.FindLiteral("if", 2, 5, 100, 1, 1, &refused), -1);
        EXPECT_EQ(reader.FindLiteral("if", 2, 5, 100, 0, 1, &refused), 7);
        EXPECT_EQ(reader.FindLiteral("if", 2, 0, 100, 1, 0, &refused), 0);
        EXPECT_EQ(reader.FindLiteral("", 0, 3, 100, 1, 1, &refused), 3);
        EXPECT_EQ(reader.FindLiteral("if", 2, 20, 100, 1, 1, &refused), -1);
    });
}

TEST_F(ReaderCases, ComparisonsSpansAndBytes)
{
    Both(std::string("abcABC  ab\0z", 12), [](lxra::InputReader& reader) {
        EXPECT_EQ(reader.CompareRanges(0, 3, 3, 0), 0);
        EXPECT_EQ(reader.CompareRanges(0, 3, 3, 1), 1);
        EXPECT_EQ(reader.CompareRanges(0, 8, 2, 1), 0);
        EXPECT_EQ(reader.CompareRanges(0, 8, 5, 1), 1) << "past the end";
        EXPECT_EQ(reader.CompareRanges(0, 8, 0, 1), 0);
        EXPECT_EQ(reader.CompareText("ABC", 0, 3, 0), 0);
        EXPECT_EQ(reader.CompareText("ABC", 0, 3, 1), 1);
        EXPECT_EQ(reader.CompareText("ab\0z", 8, 4, 1), 0);
        EXPECT_EQ(reader.CompareText("ab\0zz", 8, 5, 1), 1);
        EXPECT_EQ(reader.Span(" ", 6), 2);
        EXPECT_EQ(reader.Span("abc", 8), 2) << "a NUL byte is never in the set";
        EXPECT_EQ(reader.Span("z", 11), 1);
        EXPECT_EQ(reader.Span("z", 12), 0);
        EXPECT_EQ(reader.CharAt(11), 'z');
        EXPECT_EQ(reader.CharAt(12), 0);
        EXPECT_EQ(reader.CharAt(-1), 0);
        char dst[8] = {};
        EXPECT_EQ(reader.ReadAt(dst, 9, 8), 3);
        EXPECT_EQ(std::string(dst, 3), std::string("b\0z", 3));
        EXPECT_EQ(reader.ReadAt(dst, 12, 8), 0);
        EXPECT_EQ(reader.GetPointer(-1, 1), nullptr);
        EXPECT_EQ(reader.GetPointer(12, 1), nullptr) << "nothing to point at";
        ASSERT_NE(reader.GetPointer(4, 2), nullptr);
        EXPECT_EQ(std::string(reader.GetPointer(4, 2), 2), "BC");
    });
}

TEST(InputReaderChoice, BuffersAreReadInPlaceAndFilesThroughTheStream)
{
    kit::testing::ScratchFolder dir;
    static const char kText[] = "text";
    LexoraAPI api;
    Stream buffer(api.OpenBufferStream(kText, 4));
    Stream file(api.OpenFileStream(dir.Write("f", "text").c_str(), 2));
    const auto fromBuffer = lxra::CreateInputReader(buffer.get());
    const auto fromFile = lxra::CreateInputReader(file.get());
    EXPECT_EQ(fromBuffer->GetPointer(1, 1), kText + 1);
    EXPECT_EQ(fromBuffer->GetStream(), buffer.get());
    EXPECT_EQ(fromFile->GetStream(), file.get());
    EXPECT_NE(fromFile->GetPointer(1, 1), kText + 1);
    EXPECT_EQ(lxra::CreateInputReader(nullptr), nullptr);
}

}  // namespace
