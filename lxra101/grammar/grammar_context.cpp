#include "lxra101/grammar_context.h"

#include <algorithm>
#include <ctime>
#include <new>
#include <string>

#include "core/text_buffer.h"
#include "grammar/byte_code.h"
#include "grammar/context_state.h"

namespace {

template <typename Registration, typename Item>
void RemoveFirst(std::vector<Registration>& list, Item* item, Item* Registration::*field)
{
    const auto found = std::find_if(list.begin(), list.end(), [&](const Registration& r) { return r.*field == item; });
    if (found != list.end()) {
        list.erase(found);
    }
}

template <typename Registration>
bool Append(std::vector<Registration>& list, const Registration& registration)
{
    try {
        list.push_back(registration);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

GrammarContext::GrammarContext() = default;

GrammarContext::~GrammarContext() = default;

GrammarContext* GrammarContext::CreateNew()
{
    GrammarContext* context = nullptr;
    try {
        context = new GrammarContext;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    context->ResetContext();
    lxra::GrammarHeader& header = context->GetState().header;
    header = lxra::GrammarHeader{};
    header.created = static_cast<int32_t>(std::time(nullptr));
    return context;
}

void GrammarContext::Delete(GrammarContext* context)
{
    delete context;
}

long GrammarContext::GetSymbolType(long offset) const
{
    return lxra::ByteCodeView(GetByteCode(), GetByteCodeLength()).OpCodeAt(offset);
}

void GrammarContext::GetVersionStr(const char* name, char* buf, unsigned size) const
{
    if (buf == nullptr || size == 0) {
        return;
    }
    buf[0] = '\0';
    long symbol = 0;
    try {
        const std::string key = name != nullptr && name[0] != '\0' ? std::string(name) + ".<VERSION>" : "<VERSION>";
        symbol = Resolve(0, key.c_str());
    } catch (const std::bad_alloc&) {
        return;
    }
    const lxra::ByteCodeView code(GetByteCode(), GetByteCodeLength());
    const long value = GetValue(symbol);
    if (symbol == 0 || code.OpCodeAt(value) != static_cast<long>(lxra::Op::Literal)) {
        return;
    }
    lxra::TextAppender(buf, size).Append(code.Bytes(value + 8, code.Word(value + 4)));
}

int GrammarContext::RegisterPositionListener(long position, LXPositionListener* listener)
{
    if (listener == nullptr) {
        return 0;
    }
    return Append(positionListeners_, PositionListenerRegistration{position, listener}) ? 1 : 0;
}

void GrammarContext::UnregisterPositionListener(LXPositionListener* listener)
{
    RemoveFirst(positionListeners_, listener, &PositionListenerRegistration::listener);
}

bool GrammarContext::AddExternalSymbol(long symbol, LXExternalSymbolHandler* handler)
{
    return Append(externalSymbols_, ExternalSymbolRegistration{symbol, handler});
}

void GrammarContext::RemoveExternalSymbol(LXExternalSymbolHandler* handler)
{
    RemoveFirst(externalSymbols_, handler, &ExternalSymbolRegistration::handler);
}

bool GrammarContext::AddEventListener(long symbol, long eventMask, LXEventListener* listener)
{
    return Append(eventListeners_, EventListenerRegistration{symbol, eventMask, listener});
}

void GrammarContext::RemoveEventListener(LXEventListener* listener)
{
    RemoveFirst(eventListeners_, listener, &EventListenerRegistration::listener);
}
