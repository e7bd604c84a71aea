// Host programs reach the virtual operations of LXError and LXInputStream through
// their published slot order. These tests call every operation through its slot
// number in the object's virtual table, as code compiled against that order does.
// Slot numbers are as published; in the table an LXInputStream's destructor (slot 0)
// takes two entries, so its slot n is entry n + 1.

#include <gtest/gtest.h>

#include <string>

#include "lxra101/lexora_api.h"

namespace {

template <typename Function>
Function Entry(void* object, size_t index)
{
    void* const* table = *static_cast<void* const* const*>(object);
    return reinterpret_cast<Function>(table[index]);
}

// Notes which operation was called last; every operation answers zero or null.
struct Recorder {
    struct Zero {
        template <typename T>
        operator T() const
        {
            return T{};
        }
    };
    std::string last;
    Zero Record(const char* operation)
    {
        last = operation;
        return {};
    }
};

class RecordingStream : public LXInputStream, public Recorder {
public:
    long GetLength() override { return Record("GetLength"); }
    char GetChar() override { return Record("GetChar"); }
    long Read(char*, long) override { return Record("Read"); }
    long Seek(long) override { return Record("Seek"); }
    long GetPos() override { return Record("GetPos"); }
    const char* GetPointer(long, long) override { return Record("GetPointer"); }
    const char* GetBuffer() override { return Record("GetBuffer"); }
    void SetUserData(long) override { Record("SetUserData"); }
    long GetUserData() override { return Record("GetUserData"); }
    long GetLineNumber(long) override { return Record("GetLineNumber"); }
    long GetNumLines() override { return Record("GetNumLines"); }
    long GetLinePos(long) override { return Record("GetLinePos"); }
    const char* GetLine(long, char*, long) override { return Record("GetLine"); }
};

class RecordingError : public LXError, public Recorder {
public:
    RecordingError() : LXError(0) {}
    long GetCode() override { return Record("GetCode"); }
    const char* GetStrDetail(const char*) override { return Record("GetStrDetail"); }
    long GetIntDetail(const char*) override { return Record("GetIntDetail"); }
    void SetStrDetail(const char*, const char*) override { Record("SetStrDetail"); }
    void SetIntDetail(const char*, long) override { Record("SetIntDetail"); }
    const char* GetDetails(char*, unsigned) override { return Record("GetDetails"); }
    const char* GetDescription(char*, int) override { return Record("GetDescription"); }
};

TEST(InterfaceSlots, ClientInputStreamsReceiveCallsInPublishedOrder)
{
    const char* operations[] = {"GetLength",   "GetChar",    "Read",        "Seek",        "GetPos",
                                "GetPointer",  "GetBuffer",  "SetUserData", "GetUserData", "GetLineNumber",
                                "GetNumLines", "GetLinePos", "GetLine"};
    RecordingStream stream;
    for (size_t slot = 1; slot <= 13; ++slot) {
        // Arguments do not matter to the recorder; integer registers carry zeros.
        Entry<void (*)(void*, long, long, long)>(&stream, slot + 1)(&stream, 0, 0, 0);
        EXPECT_EQ(stream.last, operations[slot - 1]) << "slot " << slot;
    }
}

TEST(InterfaceSlots, ClientErrorsReceiveCallsInPublishedOrder)
{
    const char* operations[] = {"GetCode",      "GetStrDetail", "GetIntDetail",  "SetStrDetail",
                                "SetIntDetail", "GetDetails",   "GetDescription"};
    RecordingError error;
    for (size_t slot = 0; slot <= 6; ++slot) {
        Entry<void (*)(void*, long, long)>(&error, slot)(&error, 0, 0);
        EXPECT_EQ(error.last, operations[slot]) << "slot " << slot;
    }
}

TEST(InterfaceSlots, RuntimeErrorsAnswerThroughTheirSlots)
{
    LexoraAPI api;
    LXError* error = api.ThrowError(1006);
    char buf[64];
    EXPECT_EQ(Entry<long (*)(void*)>(error, 0)(error), 1006);
    Entry<void (*)(void*, const char*, const char*)>(error, 3)(error, "Text", "abc");
    EXPECT_STREQ(Entry<const char* (*)(void*, const char*)>(error, 1)(error, "text"), "abc");
    Entry<void (*)(void*, const char*, long)>(error, 4)(error, "Pos", 8);
    EXPECT_EQ(Entry<long (*)(void*, const char*)>(error, 2)(error, "POS"), 8);
    EXPECT_STREQ(Entry<const char* (*)(void*, char*, unsigned)>(error, 5)(error, buf, sizeof buf), "Text=abc, Pos=8");
    EXPECT_STREQ(Entry<const char* (*)(void*, char*, int)>(error, 6)(error, buf, sizeof buf), "End-of-file expected");
}

TEST(InterfaceSlots, RuntimeStreamsAnswerThroughTheirSlots)
{
    LexoraAPI api;
    static const char kText[] = "ab\r\ncd";
    LXInputStream* stream = api.OpenBufferStream(kText, 0);
    char buf[16] = {};
    EXPECT_EQ(Entry<long (*)(void*)>(stream, 2)(stream), 6);                       // GetLength
    EXPECT_EQ(Entry<char (*)(void*)>(stream, 3)(stream), 'a');                     // GetChar
    EXPECT_EQ(Entry<long (*)(void*, char*, long)>(stream, 4)(stream, buf, 2), 2);  // Read
    EXPECT_STREQ(buf, "b\r");
    EXPECT_EQ(Entry<long (*)(void*, long)>(stream, 5)(stream, 4), 4);                          // Seek
    EXPECT_EQ(Entry<long (*)(void*)>(stream, 6)(stream), 4);                                   // GetPos
    EXPECT_EQ(Entry<const char* (*)(void*, long, long)>(stream, 7)(stream, 1, 1), kText + 1);  // GetPointer
    EXPECT_EQ(Entry<const char* (*)(void*)>(stream, 8)(stream), kText);                        // GetBuffer
    Entry<void (*)(void*, long)>(stream, 9)(stream, 77);                                       // SetUserData
    EXPECT_EQ(Entry<long (*)(void*)>(stream, 10)(stream), 77);                                 // GetUserData
    EXPECT_EQ(Entry<long (*)(void*, long)>(stream, 11)(stream, 5), 2);                         // GetLineNumber
    EXPECT_EQ(Entry<long (*)(void*)>(stream, 12)(stream), 2);                                  // GetNumLines
    EXPECT_EQ(Entry<long (*)(void*, long)>(stream, 13)(stream, 2), 4);                         // GetLinePos
    EXPECT_STREQ(Entry<const char* (*)(void*, long, char*, long)>(stream, 14)(stream, 1, buf, 16), "ab");  // GetLine
    Entry<void (*)(void*)>(stream, 1)(stream);  // deleting destructor
}

}  // namespace
