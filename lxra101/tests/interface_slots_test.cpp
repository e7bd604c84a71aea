// Host programs reach the virtual operations of LXError, LXInputStream and LXGrammar
// through their published slot order, and the runtime calls the listeners hosts
// implement through theirs. These tests call every operation through its slot number
// in the object's virtual table, as code compiled against that order does. Slot
// numbers are as published; in the table a destructor published as slot 0 takes two
// entries, so slot n is then entry n + 1.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lxra101.h"
#include "scratch_folder.h"

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

class RecordingHandler : public LXExternalSymbolHandler, public Recorder {
public:
    long MatchSymbol(long, LXInputStream*, long, int, const char*, LXParser*) override { return Record("MatchSymbol"); }
};

class RecordingEventListener : public LXEventListener, public Recorder {
public:
    long OnEvent(long, long, LXParser*) override { return Record("OnEvent"); }
};

class RecordingPositionListener : public LXPositionListener, public Recorder {
public:
    void OnPosition(long, long, LXParser*) override { Record("OnPosition"); }
};

class RecordingYieldListener : public LXYieldListener, public Recorder {
public:
    RecordingYieldListener() : LXYieldListener(25) {}
    long OnYield(long, LXParser*) override { return Record("OnYield"); }
};

TEST(InterfaceSlots, ClientListenersReceiveCallsInPublishedOrder)
{
    using Call = void (*)(void*, long, long, long, long, long, long);
    RecordingHandler handler;
    Entry<Call>(&handler, 0)(&handler, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(handler.last, "MatchSymbol");
    RecordingEventListener events;
    Entry<Call>(&events, 2)(&events, 0, 0, 0, 0, 0, 0);  // slot 1, after the destructor's two entries
    EXPECT_EQ(events.last, "OnEvent");
    RecordingPositionListener positions;
    Entry<Call>(&positions, 0)(&positions, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(positions.last, "OnPosition");
    RecordingYieldListener yield;
    Entry<Call>(&yield, 0)(&yield, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(yield.last, "OnYield");
    // The interval is the 32-bit field right after the virtual-table pointer.
    const auto* object = reinterpret_cast<const char*>(static_cast<LXYieldListener*>(&yield));
    EXPECT_EQ(reinterpret_cast<const char*>(&yield.interval) - object, static_cast<long>(sizeof(void*)));
    EXPECT_EQ(yield.interval, 25);
}

TEST(InterfaceSlots, RuntimeGrammarsAnswerThroughTheirSlots)
{
    kit::testing::ScratchFolder dir;
    const std::string path = dir.Path("slots.gmr");
    {
        GrammarContext* context = GrammarContext::CreateNew();
        const long lang = context->CreateContext(context->GetNameID("lang"), 0, context->GetNameID("grammar"));
        context->CreateContext(context->GetNameID("expr"), lang, context->GetNameID("symbol"));
        ASSERT_EQ(context->Serialize(path.c_str(), 1), 1);
        GrammarContext::Delete(context);
    }
    LexoraAPI api;
    LXGrammar* grammar = api.LoadGrammar(path.c_str());
    ASSERT_NE(grammar, nullptr);
    char buf[32];
    EXPECT_STREQ(Entry<const char* (*)(void*, char*, long)>(grammar, 2)(grammar, buf, 32), "expr");
    EXPECT_STREQ(Entry<const char* (*)(void*, long, char*, long)>(grammar, 3)(grammar, 2, buf, 32), "expr");
    EXPECT_EQ(Entry<long (*)(void*, const char*)>(grammar, 4)(grammar, "expr"), 2);
    RecordingHandler handler;
    EXPECT_EQ(Entry<int (*)(void*, const char*, void*)>(grammar, 5)(grammar, "nosuch", &handler), 0);
    EXPECT_EQ(api.GetLastError()->GetCode(), 1151);
    EXPECT_EQ(Entry<int (*)(void*, const char*, void*)>(grammar, 5)(grammar, "expr", &handler), 1);
    Entry<void (*)(void*, void*)>(grammar, 6)(grammar, &handler);
    RecordingEventListener events;
    EXPECT_EQ(Entry<int (*)(void*, const char*, long, void*)>(grammar, 7)(grammar, "nosuch", 2, &events), 0);
    EXPECT_EQ(api.GetLastError()->GetCode(), 1150);
    EXPECT_EQ(Entry<int (*)(void*, const char*, long, void*)>(grammar, 7)(grammar, "", 2, &events), 1);
    Entry<void (*)(void*, void*)>(grammar, 8)(grammar, &events);
    buf[0] = 'x';
    Entry<void (*)(void*, const char*, char*, unsigned)>(grammar, 9)(grammar, "", buf, 32);
    EXPECT_STREQ(buf, "");
    Entry<void (*)(void*)>(grammar, 1)(grammar);  // deleting destructor
}

}  // namespace
