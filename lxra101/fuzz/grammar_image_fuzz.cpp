// Loads arbitrary bytes as a grammar file and as a grammar image in memory. A grammar
// that loads is walked the way hosts and the parser walk it: every byte-code offset
// printed, every name resolved, every context named. Whatever loads must write out and
// load again to the same bytes, and both loaders must agree.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "grammar/byte_code.h"
#include "grammar/grammar_image.h"
#include "lxra101/grammar_imp.h"
#include "lxra101/lexora_api.h"

namespace {

using lxra::fuzzing::Check;

const std::string& ScratchFile()
{
    return lxra::fuzzing::ScratchFile(".gmr");
}

// Resolution of every name in a large damaged grammar would make each run slow without
// finding more; these many are enough to reach every path of the lookup.
constexpr long kMaxLookups = 64;

// Printed text goes nowhere; it only has to be produced.
FILE* Sink()
{
    static FILE* sink = std::fopen("/dev/null", "w");
    return sink;
}

void Print(const char* text)
{
    Check(text != nullptr, "a text result is never null");
    std::fputs(text, Sink());
}

void Walk(LXGrammar* grammar)
{
    auto* imp = static_cast<GrammarImp*>(grammar);
    GrammarContext& context = *imp->GetContext();
    char buf[128];
    Print(grammar->GetDefStartSymbolName(buf, sizeof buf));
    grammar->GetVersionStr("", buf, sizeof buf);
    Print(buf);

    // Offsets that hold no instruction would post an error each; keep the list short.
    context.SetErrorManager(nullptr);
    const long length = context.GetByteCodeLength();
    for (long offset = -1; offset <= length + 1; ++offset) {
        Print(context.GetSymbolName(offset, buf, sizeof buf));
        context.GetSymbolType(offset);
    }

    const long contexts = context.GetNumContexts();
    const long names = context.GetNumNames();
    for (long ctx = 0, lookups = 0; ctx < contexts; ++ctx) {
        Print(grammar->GetSymbolQualifiedName(ctx, buf, sizeof buf));
        Check(context.GetContextName(ctx) != nullptr, "every context has a name");
        const long value = context.GetValue(ctx);
        if (lookups++ < kMaxLookups) {
            context.FindOuterContext(ctx);
        }
        if (lookups < kMaxLookups && context.GetSymbolType(value) == static_cast<long>(lxra::Op::SymbolRef)) {
            const lxra::ByteCodeView code(context.GetByteCode(), length);
            long ids[16];
            const long count = std::min<long>(code.Word(value + 4), 16);
            for (long i = 0; i < count; ++i) {
                ids[i] = code.Word(value + 8 + 4 * i);
            }
            context.ResolveReference(context.FindSuperContext(context.GetDefaultStartSymbol()), ids, count, ctx);
        }
    }
    for (long id = 1; id < names; ++id) {
        const char* name = context.GetName(id);
        Check(name != nullptr, "every name id has a name");
        if (id > kMaxLookups) {
            continue;
        }
        context.Resolve(1, name);
        context.Resolve(contexts - 1, id);
        context.FindSubcontextRecursive(0, id);
        grammar->GetVersionStr(name, buf, sizeof buf);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    {
        FILE* file = std::fopen(ScratchFile().c_str(), "wb");
        Check(file != nullptr, "scratch file");
        std::fwrite(bytes, 1, size, file);
        std::fclose(file);
    }
    LexoraAPI api;
    std::unique_ptr<LXGrammar> fromFile(api.LoadGrammar(ScratchFile().c_str()));
    Check((fromFile != nullptr) == (api.GetNumErrors() == 0), "a load fails exactly when it posts errors");
    std::unique_ptr<LXGrammar> fromMemory(GrammarImp::LoadGrammarFromImage(bytes, size, &api));
    if (lxra::HasGrammarMarker(bytes, size)) {
        Check((fromFile != nullptr) == (fromMemory != nullptr), "file and memory loads agree");
    } else {
        Check(fromMemory == nullptr, "images in memory need the marker");
    }
    if (fromFile == nullptr) {
        return 0;
    }
    Walk(fromFile.get());

    // What loaded writes out as an image that loads again to the same bytes.
    const std::vector<char> image =
        lxra::EncodeImage(static_cast<GrammarImp*>(fromFile.get())->GetContext()->GetState());
    std::unique_ptr<LXGrammar> again(GrammarImp::LoadGrammarFromImage(image.data(), image.size(), &api));
    if (lxra::HasGrammarMarker(image.data(), image.size())) {
        Check(again != nullptr, "a written image loads");
        Check(lxra::EncodeImage(static_cast<GrammarImp*>(again.get())->GetContext()->GetState()) == image,
              "a written image loads to the same bytes");
    }
    return 0;
}
