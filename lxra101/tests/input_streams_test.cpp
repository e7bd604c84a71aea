#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lxra101/lexora_api.h"
#include "scratch_folder.h"
#include "support/text_lines.h"

namespace {

using kit::testing::ScratchFolder;

struct StreamCloser {
    void operator()(LXInputStream* stream) const { LexoraAPI().CloseStream(stream); }
};
using Stream = std::unique_ptr<LXInputStream, StreamCloser>;

// Every input goes through both streams the runtime offers.
class InputStreams : public ::testing::Test {
protected:
    // The fixture keeps the text alive for as long as the stream may read it.
    Stream Buffer(const std::string& text)
    {
        const std::string& kept = texts_.emplace_back(text);
        return Stream(api_.OpenBufferStream(kept.data(), static_cast<long>(kept.size())));
    }
    Stream File(const std::string& text, long window)
    {
        return Stream(api_.OpenFileStream(dir_.Write("input" + std::to_string(files_++), text).c_str(), window));
    }

    LexoraAPI api_;
    ScratchFolder dir_;
    std::deque<std::string> texts_;
    int files_ = 0;
};

std::string LineOf(LXInputStream& stream, long line, long size)
{
    std::vector<char> buf(static_cast<size_t>(size) + 8, '#');
    const char* text = stream.GetLine(line, buf.data(), size);
    EXPECT_EQ(text, buf.data());
    EXPECT_EQ(std::string(buf.data() + size, 8), std::string(8, '#')) << "wrote past the buffer";
    return text;
}

struct LineCase {
    const char* name;
    std::string text;
    long window;
    std::vector<std::string> lines;
};

const LineCase kLineCases[] = {
    {"empty", "", 16, {""}},
    {"no final line feed", "alpha\nbeta", 16, {"alpha", "beta"}},
    {"final line feed", "alpha\nbeta\n", 16, {"alpha", "beta", ""}},
    {"CR LF endings", "x\r\ny\r\n", 16, {"x", "y", ""}},
    {"carriage returns inside a line", "a\rb\r\rc\n\r", 16, {"abc", ""}},
    {"only line feeds", "\n\n\n", 16, {"", "", "", ""}},
    {"lines longer than the window",
     "a rather long first line\nsecond, and longer still\r\nend",
     4,
     {"a rather long first line", "second, and longer still", "end"}},
    {"window of one byte", "ab\ncd\r\n\nlast", 1, {"ab", "cd", "", "last"}},
};

TEST_F(InputStreams, BufferAndFileStreamsAgreeOnEveryLineOperation)
{
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.name);
        Stream buffer = Buffer(c.text);
        Stream file = File(c.text, c.window);
        ASSERT_NE(buffer, nullptr);
        ASSERT_NE(file, nullptr);
        const long length = static_cast<long>(c.text.size());
        const long lines = static_cast<long>(c.lines.size());
        // Line operations must leave the position where it was.
        const long position = length > 1 ? length - 1 : 0;
        buffer->Seek(position);
        file->Seek(position);

        for (LXInputStream* stream : {buffer.get(), file.get()}) {
            SCOPED_TRACE(stream == buffer.get() ? "buffer stream" : "file stream");
            EXPECT_EQ(stream->GetLength(), length);
            EXPECT_EQ(stream->GetNumLines(), lines);
            for (long line = -1; line <= lines + 1; ++line) {
                SCOPED_TRACE("line " + std::to_string(line));
                const std::string expected = line >= 1 && line <= lines ? c.lines[static_cast<size_t>(line - 1)] : "";
                EXPECT_EQ(LineOf(*stream, line, 64), expected);
                EXPECT_EQ(LineOf(*stream, line, 3), expected.substr(0, 2));
                EXPECT_EQ(stream->GetLinePos(line), lxra::testing::LineStart(c.text, line));
            }
            for (long pos = -3; pos <= length + 1; ++pos) {
                if (pos == -1) {
                    continue;  // the current position, checked below
                }
                EXPECT_EQ(stream->GetLineNumber(pos), lxra::testing::LineNumberAt(c.text, pos)) << "pos " << pos;
            }
            EXPECT_EQ(stream->GetLineNumber(-1), lxra::testing::LineNumberAt(c.text, position));
            EXPECT_EQ(stream->GetPos(), position);
        }
    }
}

TEST_F(InputStreams, BothStreamsReadTheSameBytes)
{
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.name);
        if (c.text.empty()) {
            continue;
        }
        Stream buffer = Buffer(c.text);
        Stream file = File(c.text, c.window);
        for (LXInputStream* stream : {buffer.get(), file.get()}) {
            std::string byChar;
            for (long i = 0; i < stream->GetLength(); ++i) {
                byChar += stream->GetChar();
            }
            EXPECT_EQ(byChar, c.text);
            stream->Seek(0);
            std::string byRead;
            char chunk[3];
            for (long n; (n = stream->Read(chunk, sizeof chunk)) > 0;) {
                byRead.append(chunk, static_cast<size_t>(n));
            }
            EXPECT_EQ(byRead, c.text);
            EXPECT_EQ(stream->GetPos(), stream->GetLength());
        }
    }
}

TEST_F(InputStreams, BufferLengthZeroMeansTheWholeText)
{
    Stream stream(api_.OpenBufferStream("abc", 0));
    EXPECT_EQ(stream->GetLength(), 3);
    EXPECT_EQ(stream->GetLinePos(1), 0);
    Stream prefix(api_.OpenBufferStream("abcdef", 2));
    EXPECT_EQ(prefix->GetLength(), 2);
}

TEST_F(InputStreams, GetCharAtTheEndGivesZeroAndStays)
{
    for (const Stream& stream : {Buffer("ab"), File("ab", 0)}) {
        EXPECT_EQ(stream->GetChar(), 'a');
        EXPECT_EQ(stream->GetChar(), 'b');
        EXPECT_EQ(stream->GetChar(), 0);
        EXPECT_EQ(stream->GetPos(), 2);
        char buf[4];
        EXPECT_EQ(stream->Read(buf, 4), 0);
        EXPECT_EQ(stream->GetPos(), 2);
    }
}

TEST_F(InputStreams, ReadStopsAtTheEndAndRefusesBadArguments)
{
    for (const Stream& stream : {Buffer("0123456789"), File("0123456789", 4)}) {
        char buf[16] = {};
        stream->Seek(7);
        EXPECT_EQ(stream->Read(buf, 16), 3);
        EXPECT_STREQ(buf, "789");
        stream->Seek(1);
        EXPECT_EQ(stream->Read(nullptr, 4), 0);
        EXPECT_EQ(stream->Read(buf, 0), 0);
        EXPECT_EQ(stream->Read(buf, -2), 0);
        EXPECT_EQ(stream->GetPos(), 1);
        EXPECT_EQ(stream->Read(buf, 9), 9);  // spans windows of the file stream
        EXPECT_EQ(std::string(buf, 9), "123456789");
    }
}

TEST_F(InputStreams, BufferStreamSeeksOnlyInsideTheText)
{
    Stream stream = Buffer("abcd");
    EXPECT_EQ(stream->Seek(3), 3);
    EXPECT_EQ(stream->Seek(-1), 3);
    EXPECT_EQ(stream->Seek(4), 3);
    EXPECT_EQ(stream->Seek(0), 0);
}

TEST_F(InputStreams, FileStreamStoresAnyPositionAndReadsNothingOutside)
{
    Stream stream = File("abcd", 0);
    char buf[4];
    EXPECT_EQ(stream->Seek(-1), -1);
    EXPECT_EQ(stream->GetChar(), 0);
    EXPECT_EQ(stream->Read(buf, 4), 0);
    EXPECT_EQ(stream->GetPos(), -1);
    EXPECT_EQ(stream->Seek(100), 100);
    EXPECT_EQ(stream->GetChar(), 0);
    EXPECT_EQ(stream->GetPos(), 100);
    EXPECT_EQ(stream->GetLineNumber(-1), 0);  // the current position lies outside
}

TEST_F(InputStreams, PointersCoverTheRequestedBytes)
{
    const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz";
    Stream buffer = Buffer(text);
    EXPECT_EQ(buffer->GetBuffer(), buffer->GetPointer(0, 1));
    EXPECT_EQ(buffer->GetPointer(5, 3), buffer->GetBuffer() + 5);

    Stream file = File(text, 8);
    EXPECT_EQ(file->GetBuffer(), nullptr);
    struct Case {
        long pos;
        long n;
    };
    // Inside one window, across a window edge, wider than the window, up to the end.
    for (const Case c : {Case{0, 4}, Case{6, 5}, Case{3, 20}, Case{30, 6}, Case{34, 100}, Case{35, 0}}) {
        SCOPED_TRACE(std::to_string(c.pos) + "+" + std::to_string(c.n));
        const char* p = file->GetPointer(c.pos, c.n);
        ASSERT_NE(p, nullptr);
        const size_t available = std::min<size_t>(static_cast<size_t>(c.n), text.size() - static_cast<size_t>(c.pos));
        EXPECT_EQ(std::string(p, available), text.substr(static_cast<size_t>(c.pos), available));
    }
    EXPECT_EQ(file->GetPointer(-1, 1), nullptr);
    EXPECT_EQ(file->GetPointer(static_cast<long>(text.size()), 1), nullptr);
    EXPECT_EQ(buffer->GetPointer(-1, 1), nullptr);
    EXPECT_EQ(buffer->GetPointer(static_cast<long>(text.size()) + 1, 1), nullptr);
}

TEST_F(InputStreams, PointerRequestsDoNotMoveThePosition)
{
    Stream file = File("abcdefgh", 2);
    file->Seek(1);
    ASSERT_NE(file->GetPointer(4, 4), nullptr);
    EXPECT_EQ(file->GetChar(), 'b');
    EXPECT_EQ(file->GetChar(), 'c');
}

TEST_F(InputStreams, UserDataIsKeptForTheCaller)
{
    for (const Stream& stream : {Buffer("x"), File("x", 0)}) {
        EXPECT_EQ(stream->GetUserData(), 0);
        stream->SetUserData(-42);
        EXPECT_EQ(stream->GetUserData(), -42);
    }
}

TEST_F(InputStreams, GetLineWithoutRoomWritesNothing)
{
    for (const Stream& stream : {Buffer("abc"), File("abc", 0)}) {
        char buf[2] = {'#', '#'};
        EXPECT_STREQ(stream->GetLine(1, buf, 0), "");
        EXPECT_STREQ(stream->GetLine(1, buf, -1), "");
        EXPECT_EQ(buf[0], '#');
        EXPECT_STREQ(stream->GetLine(1, nullptr, 10), "");
        EXPECT_STREQ(stream->GetLine(1, buf, 1), "");
        EXPECT_EQ(buf[1], '#');
    }
}

TEST_F(InputStreams, LongFilesCountLinesAcrossManyWindows)
{
    std::string text;
    for (int i = 1; i <= 5000; ++i) {
        text += "line " + std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
    }
    Stream file = File(text, 0);
    EXPECT_EQ(file->GetNumLines(), 5001);
    EXPECT_EQ(LineOf(*file, 4321, 64), "line 4321");
    EXPECT_EQ(file->GetLinePos(5001), static_cast<long>(text.size()));
    EXPECT_EQ(file->GetLineNumber(file->GetLinePos(2500)), 2500);
}

TEST_F(InputStreams, OpeningFailsQuietlyOnBadArguments)
{
    EXPECT_EQ(api_.OpenFileStream(nullptr, 0), nullptr);
    EXPECT_EQ(api_.OpenFileStream("", 0), nullptr);
    EXPECT_EQ(api_.OpenFileStream(dir_.Path("missing").c_str(), 0), nullptr);
    EXPECT_EQ(api_.OpenFileStream(dir_.Path("").c_str(), 0), nullptr);  // a folder
    EXPECT_EQ(api_.OpenBufferStream(nullptr, 5), nullptr);
    EXPECT_EQ(api_.OpenBufferStream("abc", -1), nullptr);
    EXPECT_EQ(api_.GetNumErrors(), 0);
    EXPECT_EQ(api_.GetNumWarnings(), 0);
    api_.CloseStream(nullptr);
}

TEST_F(InputStreams, AnyWindowSizeOpensAWorkingStream)
{
    for (long window : {0L, -5L, 1L, 3L, 1L << 40}) {
        SCOPED_TRACE("window " + std::to_string(window));
        Stream stream = File("one\ntwo", window);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(LineOf(*stream, 2, 16), "two");
    }
}

}  // namespace
