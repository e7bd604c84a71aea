#include "lxra101/grammar_imp.h"

#include <new>
#include <string_view>

#include "core/ascii_case.h"
#include "core/text_buffer.h"
#include "grammar/grammar_image.h"
#include "lxra101/lexora_api.h"

namespace {

constexpr long kErrorBadExtension = 1102;
constexpr long kErrorOpeningGrammar = 1103;
constexpr long kErrorVersion = 1104;
constexpr long kErrorInvalidGrammar = 1105;
constexpr long kErrorEventListener = 1150;
constexpr long kErrorExternalSymbol = 1151;
constexpr long kErrorMemory = 1250;

LXError* Post(LexoraAPI* api, long code)
{
    return api != nullptr ? api->ThrowError(code) : nullptr;
}

bool HasGrammarExtension(std::string_view path)
{
    const size_t folder = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (folder != std::string_view::npos && dot < folder)) {
        return false;
    }
    const std::string_view extension = path.substr(dot);
    return lxra::SameTextIgnoringCase(extension, ".GMR") || lxra::SameTextIgnoringCase(extension, ".GOB");
}

struct ContextDeleter {
    void operator()(GrammarContext* context) const { GrammarContext::Delete(context); }
};
using ContextHolder = std::unique_ptr<GrammarContext, ContextDeleter>;

ContextHolder NewContext(LexoraAPI* api)
{
    ContextHolder context(GrammarContext::CreateNew());
    if (context == nullptr) {
        Post(api, kErrorMemory);
    } else {
        context->SetErrorManager(api != nullptr ? api->GetErrorManager() : nullptr);
    }
    return context;
}

// What every load does once the image has been read: sort, check the version, note
// the flags and hand out the grammar.
LXGrammar* Finish(ContextHolder context, LexoraAPI* api)
{
    context->SortContexts();
    const lxra::GrammarHeader& header = context->GetState().header;
    if (header.version < lxra::kFirstAcceptedVersion || header.version > lxra::kLastAcceptedVersion) {
        Post(api, kErrorVersion);
        return nullptr;
    }
    unsigned long flags = 0;
    if (lxra::HasSyncTables(header.version)) {
        flags |= GrammarContext::kSequencesHaveSyncTables;
    }
    if (header.invalid != 0) {
        flags |= GrammarContext::kCompiledWithErrors;
    }
    context->SetFlags(flags);
    return GrammarImp::CreateNew(context.release(), api);
}

}  // namespace

LXGrammar* GrammarImp::LoadGrammar(const char* path, LexoraAPI* api)
{
    const char* shown = path != nullptr ? path : "";
    if (!HasGrammarExtension(shown)) {
        if (LXError* error = Post(api, kErrorBadExtension)) {
            error->SetStrDetail("PathName", shown);
            error->SetStrDetail("ExtensionExpected", ".GMR");
        }
        return nullptr;
    }
    ContextHolder context = NewContext(api);
    if (context == nullptr || context->Serialize(path, 0) == 0) {
        if (LXError* error = Post(api, kErrorOpeningGrammar)) {
            error->SetStrDetail("PathName", shown);
        }
        return nullptr;
    }
    return Finish(std::move(context), api);
}

LXGrammar* GrammarImp::LoadGrammarFromBuffer(const char* data, LexoraAPI* api)
{
    ContextHolder context = NewContext(api);
    if (context == nullptr || context->SerializeFromBuffer(data) == 0) {
        Post(api, kErrorOpeningGrammar);
        return nullptr;
    }
    return Finish(std::move(context), api);
}

LXGrammar* GrammarImp::LoadGrammarFromImage(const char* data, size_t size, LexoraAPI* api)
{
    if (!lxra::HasGrammarMarker(data, size)) {
        Post(api, kErrorInvalidGrammar);
        Post(api, kErrorOpeningGrammar);
        return nullptr;
    }
    ContextHolder context = NewContext(api);
    if (context == nullptr || context->ReadImage(data, static_cast<long>(size)) == 0) {
        Post(api, kErrorOpeningGrammar);
        return nullptr;
    }
    return Finish(std::move(context), api);
}

GrammarImp* GrammarImp::CreateNew(GrammarContext* context, LexoraAPI* api)
{
    if (context == nullptr) {
        return nullptr;
    }
    auto* grammar = new (std::nothrow) GrammarImp(context, api);
    if (grammar == nullptr) {
        GrammarContext::Delete(context);
    }
    return grammar;
}

void GrammarImp::Delete(GrammarImp* grammar)
{
    delete grammar;
}

GrammarImp::~GrammarImp()
{
    GrammarContext::Delete(context_);
}

const char* GrammarImp::GetDefStartSymbolName(char* buf, long size)
{
    const long symbol = context_->GetDefaultStartSymbol();
    return symbol != 0 ? context_->BuildQualifiedName(symbol, 1, buf, size) : lxra::CopyTruncated(buf, size, "");
}

const char* GrammarImp::GetSymbolQualifiedName(long symbol, char* buf, long size)
{
    return context_->BuildQualifiedName(symbol, 1, buf, size);
}

long GrammarImp::GetSymbolID(const char* name)
{
    return context_->Resolve(1, name);
}

namespace {

// A registration names one symbol, resolved from context 1, or every symbol (0) with a
// null or empty name. -1 when the name does not resolve.
long RegisteredSymbol(const GrammarContext& context, const char* name)
{
    if (name == nullptr || name[0] == '\0') {
        return 0;
    }
    const long symbol = context.Resolve(1, name);
    return symbol != 0 ? symbol : -1;
}

int RegistrationFailed(LexoraAPI* api, long code, const char* name)
{
    if (LXError* error = Post(api, code)) {
        error->SetStrDetail("SymbolName", name != nullptr ? name : "");
    }
    return 0;
}

}  // namespace

int GrammarImp::RegisterExternalSymbol(const char* name, LXExternalSymbolHandler* handler)
{
    const long symbol = RegisteredSymbol(*context_, name);
    if (symbol < 0 || handler == nullptr || !context_->AddExternalSymbol(symbol, handler)) {
        return RegistrationFailed(api_, kErrorExternalSymbol, name);
    }
    return 1;
}

void GrammarImp::UnregisterExternalSymbol(LXExternalSymbolHandler* handler)
{
    context_->RemoveExternalSymbol(handler);
}

int GrammarImp::RegisterEventListener(const char* name, long eventMask, LXEventListener* listener)
{
    const long symbol = RegisteredSymbol(*context_, name);
    if (symbol < 0 || listener == nullptr || !context_->AddEventListener(symbol, eventMask, listener)) {
        return RegistrationFailed(api_, kErrorEventListener, name);
    }
    return 1;
}

void GrammarImp::UnregisterEventListener(LXEventListener* listener)
{
    context_->RemoveEventListener(listener);
}

void GrammarImp::GetVersionStr(const char* name, char* buf, unsigned size)
{
    context_->GetVersionStr(name, buf, size);
}

void GrammarImp::SetYieldListener(LXYieldListener* listener)
{
    context_->SetYieldListener(listener);
}
