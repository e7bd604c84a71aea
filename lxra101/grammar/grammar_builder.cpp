#include "grammar/grammar_builder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/little_endian.h"
#include "grammar/context_state.h"

namespace lxra {

namespace {

void AppendWord(std::string& out, long value)
{
    char bytes[4];
    WriteInt32LE(bytes, static_cast<int32_t>(value));
    out.append(bytes, 4);
}

// The parts of a dotted name, at most max of them; false for an empty part or too many.
bool SplitDotted(std::string_view dotted, std::vector<std::string_view>& parts, size_t max)
{
    parts.clear();
    while (true) {
        const size_t dot = dotted.find('.');
        const std::string_view part = dotted.substr(0, dot);
        if (part.empty() || parts.size() == max) {
            return false;
        }
        parts.push_back(part);
        if (dot == std::string_view::npos) {
            return true;
        }
        dotted.remove_prefix(dot + 1);
    }
}

}  // namespace

GrammarBuilder::GrammarBuilder(long version) : context_(GrammarContext::CreateNew()), version_(version)
{
    if (context_ == nullptr) {
        throw std::bad_alloc();
    }
    GrammarHeader& header = context_->GetState().header;
    header.version = static_cast<int32_t>(version);
    SetHeaderText(kGrammarMarker);
}

GrammarBuilder::~GrammarBuilder() = default;

long GrammarBuilder::Failed()
{
    ok_ = false;
    return 0;
}

long GrammarBuilder::Name(std::string_view text)
{
    try {
        const long id = context_->GetNameID(std::string(text).c_str());
        return id != 0 ? id : Failed();
    } catch (const std::bad_alloc&) {
        return Failed();
    }
}

long GrammarBuilder::AddContext(long parent, std::string_view name, std::string_view kind)
{
    const long nameId = Name(name);
    const long kindId = kind.empty() ? 0 : Name(kind);
    if (nameId == 0 || (!kind.empty() && kindId == 0)) {
        return Failed();
    }
    const long ctx = context_->CreateContext(nameId, parent, kindId);
    return ctx != 0 ? ctx : Failed();
}

long GrammarBuilder::AddGrammar(long parent, std::string_view name)
{
    return AddContext(parent, name, "grammar");
}

long GrammarBuilder::AddSymbol(long parent, std::string_view name, Instruction production)
{
    const long ctx = AddContext(parent, name, "symbol");
    if (ctx != 0 && production != 0) {
        SetProduction(ctx, production);
    }
    return ctx;
}

void GrammarBuilder::SetProduction(long context, Instruction production)
{
    if (context <= 0 || context >= context_->GetNumContexts() || production < 0 ||
        production >= context_->GetByteCodeLength()) {
        Failed();
        return;
    }
    context_->SetValue(context, production);
}

bool GrammarBuilder::AddParentPath(long context, std::string_view dottedPath)
{
    try {
        std::vector<std::string_view> parts;
        if (context <= 0 || context >= context_->GetNumContexts() || !SplitDotted(dottedPath, parts, kMaxPathLength)) {
            Failed();
            return false;
        }
        long ids[kMaxPathLength];
        for (size_t i = 0; i < parts.size(); ++i) {
            if ((ids[i] = Name(parts[i])) == 0) {
                return false;
            }
        }
        const Context::State& s = context_->GetState();
        const auto pathsOf = [&] {
            const int32_t record = s.contexts[static_cast<size_t>(context)].parentRecord;
            return record != 0 ? s.records[static_cast<size_t>(record)].pathCount : 0;
        };
        const int32_t before = pathsOf();
        context_->SetParentContext(context, ids, static_cast<long>(parts.size()));
        if (pathsOf() != before + 1) {
            Failed();
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        Failed();
        return false;
    }
}

long GrammarBuilder::Emit(std::initializer_list<long> words, std::string_view tail)
{
    try {
        std::string bytes;
        bytes.reserve(words.size() * 4 + tail.size());
        for (long word : words) {
            AppendWord(bytes, word);
        }
        bytes.append(tail);
        const long offset = context_->AppendByteCode(bytes.data(), static_cast<long>(bytes.size()));
        return offset != 0 ? offset : Failed();
    } catch (const std::bad_alloc&) {
        return Failed();
    }
}

long GrammarBuilder::EmitList(int32_t opcode, std::span<const Instruction> items, std::initializer_list<long> after)
{
    try {
        std::string tail;
        for (Instruction item : items) {
            AppendWord(tail, item);
        }
        for (long word : after) {
            AppendWord(tail, word);
        }
        return Emit({opcode, static_cast<long>(items.size())}, tail);
    } catch (const std::bad_alloc&) {
        return Failed();
    }
}

long GrammarBuilder::EmitTexts(int32_t opcode, std::span<const std::string_view> texts)
{
    try {
        std::string tail;
        for (std::string_view text : texts) {
            AppendWord(tail, static_cast<long>(text.size()));
            tail.append(text);
        }
        return Emit({opcode, static_cast<long>(texts.size())}, tail);
    } catch (const std::bad_alloc&) {
        return Failed();
    }
}

Instruction GrammarBuilder::SymbolRef(std::string_view dottedName)
{
    try {
        std::vector<std::string_view> parts;
        if (!SplitDotted(dottedName, parts, static_cast<size_t>(-1))) {
            return Failed();
        }
        std::vector<Instruction> ids;
        for (std::string_view part : parts) {
            ids.push_back(Name(part));
            if (ids.back() == 0) {
                return 0;
            }
        }
        return EmitList(static_cast<int32_t>(Op::SymbolRef), ids, {});
    } catch (const std::bad_alloc&) {
        return Failed();
    }
}

Instruction GrammarBuilder::Conjunction(std::span<const Instruction> items, long syncTable)
{
    if (!HasSyncTables(version_)) {
        // Only version 7 sequences have the word that holds a table.
        return syncTable == 0 ? EmitList(static_cast<int32_t>(Op::Conjunction), items, {}) : Failed();
    }
    return EmitList(static_cast<int32_t>(Op::Conjunction), items, {syncTable});
}

Instruction GrammarBuilder::Conjunction(std::initializer_list<Instruction> items, long syncTable)
{
    return Conjunction(std::span<const Instruction>(items.begin(), items.size()), syncTable);
}

Instruction GrammarBuilder::Disjunction(std::span<const Instruction> alternatives)
{
    return EmitList(static_cast<int32_t>(Op::Disjunction), alternatives, {});
}

Instruction GrammarBuilder::Disjunction(std::initializer_list<Instruction> alternatives)
{
    return Disjunction(std::span<const Instruction>(alternatives.begin(), alternatives.size()));
}

Instruction GrammarBuilder::Repeat(Instruction item, long minimum, long maximum, Instruction separator)
{
    return Emit({static_cast<long>(Op::Repeat), minimum, maximum, item, separator});
}

Instruction GrammarBuilder::SkipTo(Instruction target)
{
    return Emit({static_cast<long>(Op::SkipTo), target});
}

Instruction GrammarBuilder::Literal(std::string_view chars)
{
    return Emit({static_cast<long>(Op::Literal), static_cast<long>(chars.size())}, chars);
}

Instruction GrammarBuilder::Null()
{
    return Emit({static_cast<long>(Op::Null)});
}

Instruction GrammarBuilder::CharRange(char low, char high)
{
    const char range[2] = {low, high};
    return Emit({static_cast<long>(Op::CharRange)}, std::string_view(range, 2));
}

Instruction GrammarBuilder::LengthConstraint(long minimum, long maximum, Instruction body)
{
    return Emit({static_cast<long>(Op::LengthConstraint), minimum, maximum, body});
}

Instruction GrammarBuilder::SymbolAttrs(unsigned long flags, Instruction body)
{
    return Emit({static_cast<long>(Op::SymbolAttrs), static_cast<long>(flags), body});
}

Instruction GrammarBuilder::SetSpaces(Instruction body, std::string_view spaceChars)
{
    return Emit({static_cast<long>(Op::SetSpaces), body, static_cast<long>(spaceChars.size())}, spaceChars);
}

Instruction GrammarBuilder::SetSpaceSymbol(Instruction body, Instruction spaceSymbol)
{
    return Emit({static_cast<long>(Op::SetSpaces), body, kSpaceSymbolCount, spaceSymbol});
}

Instruction GrammarBuilder::NotChar(Instruction body)
{
    return Emit({static_cast<long>(Op::NotChar), body});
}

Instruction GrammarBuilder::ParseRoot()
{
    return Emit({static_cast<long>(Op::ParseRoot), 0, 0, 0});
}

Instruction GrammarBuilder::StringList(std::span<const std::string_view> entries)
{
    return EmitTexts(static_cast<int32_t>(Op::StringList), entries);
}

Instruction GrammarBuilder::StringList(std::initializer_list<std::string_view> entries)
{
    return StringList(std::span<const std::string_view>(entries.begin(), entries.size()));
}

Instruction GrammarBuilder::Constraint(Instruction body)
{
    return Emit({static_cast<long>(Op::Constraint), body});
}

Instruction GrammarBuilder::Compare(std::string_view text1, std::string_view text2, long comparison)
{
    try {
        return Emit({static_cast<long>(Op::Compare), static_cast<long>(text1.size()), static_cast<long>(text2.size()),
                     comparison},
                    std::string(text1).append(text2));
    } catch (const std::bad_alloc&) {
        return Failed();
    }
}

Instruction GrammarBuilder::ProductionCheck(std::string_view path, Instruction body, long mode)
{
    return Emit({static_cast<long>(Op::ProductionCheck), static_cast<long>(path.size()), body, mode}, path);
}

Instruction GrammarBuilder::SymbolFunction(long nameExpression)
{
    return Emit({static_cast<long>(Op::SymbolFunction), nameExpression});
}

Instruction GrammarBuilder::NotTerm(Instruction body)
{
    return Emit({static_cast<long>(Op::NotTerm), body});
}

Instruction GrammarBuilder::IsSymbol(long nameExpression)
{
    return Emit({static_cast<long>(Op::IsSymbol), nameExpression});
}

Instruction GrammarBuilder::SetToken(Instruction body, Instruction tokenSymbol)
{
    return Emit({static_cast<long>(Op::SetToken), body, tokenSymbol});
}

Instruction GrammarBuilder::TermList()
{
    return Emit({static_cast<long>(Op::TermList)});
}

Instruction GrammarBuilder::Variable(long number)
{
    return Emit({static_cast<long>(Op::Variable), number});
}

Instruction GrammarBuilder::ErrorMark(Instruction body, Instruction descriptionLiteral)
{
    return Emit({static_cast<long>(Op::ErrorMark), body, descriptionLiteral});
}

Instruction GrammarBuilder::Resynchronize()
{
    return Emit({static_cast<long>(Op::Resynchronize), 0, 0, 0});
}

Instruction GrammarBuilder::ComputedLength(Instruction minimumLiteral, Instruction maximumLiteral, Instruction body)
{
    return Emit({static_cast<long>(Op::ComputedLength), minimumLiteral, maximumLiteral, body});
}

// Laid out as a StringList: a word, the number of parts, each part with its length.
long GrammarBuilder::NameExpression(std::span<const std::string_view> parts)
{
    return EmitTexts(static_cast<int32_t>(Op::StringList), parts);
}

long GrammarBuilder::NameExpression(std::initializer_list<std::string_view> parts)
{
    return NameExpression(std::span<const std::string_view>(parts.begin(), parts.size()));
}

// The table's first word is not read; entries carry a second word that is not either.
long GrammarBuilder::SyncTable(std::span<const Instruction> terms)
{
    try {
        std::string tail;
        for (Instruction term : terms) {
            AppendWord(tail, term);
            AppendWord(tail, 0);
        }
        return Emit({0, static_cast<long>(terms.size())}, tail);
    } catch (const std::bad_alloc&) {
        return Failed();
    }
}

long GrammarBuilder::SyncTable(std::initializer_list<Instruction> terms)
{
    return SyncTable(std::span<const Instruction>(terms.begin(), terms.size()));
}

Instruction GrammarBuilder::Words(std::span<const int32_t> words)
{
    try {
        std::string bytes;
        for (int32_t word : words) {
            AppendWord(bytes, word);
        }
        return Bytes(bytes);
    } catch (const std::bad_alloc&) {
        return Failed();
    }
}

Instruction GrammarBuilder::Words(std::initializer_list<int32_t> words)
{
    return Words(std::span<const int32_t>(words.begin(), words.size()));
}

Instruction GrammarBuilder::Bytes(std::string_view bytes)
{
    return Emit({}, bytes);
}

void GrammarBuilder::PatchWord(long offset, int32_t value)
{
    Context::State& s = context_->GetState();
    if (offset < 0 || offset > s.codeLength - 4) {
        Failed();
        return;
    }
    WriteInt32LE(s.code.data() + offset, value);
}

void GrammarBuilder::SetStartSymbol(long context)
{
    context_->GetState().header.startSymbol = static_cast<int32_t>(context);
}

void GrammarBuilder::SetCompiledWithErrors(bool invalid)
{
    context_->GetState().header.invalid = invalid ? 1 : 0;
}

void GrammarBuilder::SetCreationTime(int32_t secondsSince1970)
{
    context_->GetState().header.created = secondsSince1970;
}

void GrammarBuilder::SetHeaderText(std::string_view text)
{
    std::array<char, kHeaderTextSize>& area = context_->GetState().header.text;
    area.fill('\0');
    std::copy_n(text.begin(), std::min(text.size(), area.size()), area.begin());
}

void GrammarBuilder::SetUninterpretedWords(int32_t word8, int32_t word12, int32_t word252)
{
    GrammarHeader& header = context_->GetState().header;
    header.word8 = word8;
    header.word12 = word12;
    header.word252 = word252;
}

std::vector<char> GrammarBuilder::Image() const
{
    return EncodeImage(context_->GetState());
}

bool GrammarBuilder::WriteFile(const std::string& path) const
{
    return context_->Serialize(path.c_str(), 1) == 1;
}

GrammarImage GrammarBuilder::Model() const
{
    return ImageOf(*context_);
}

}  // namespace lxra
