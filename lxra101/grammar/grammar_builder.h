// GrammarBuilder: writes compiled grammars. It names contexts, emits instructions of the
// byte-code set with their operands, sets the header and produces the grammar image
// (a file, or the bytes for a load from memory) with its checksum, in versions 4 to 7.
// Parser tests build their grammars with it; a grammar compiler sits on top of it.
//
//   lxra::GrammarBuilder b;                      // version 7, marker in the header
//   const long calc = b.AddGrammar(0, "calc");   // context 1
//   const auto digit = b.CharRange('0', '9');
//   b.AddSymbol(calc, "number", b.Repeat(digit, 1));
//   b.AddSymbol(calc, "sum", b.Conjunction({b.SymbolRef("number"), b.Literal("+"), b.SymbolRef("number")}));
//   b.WriteFile(dir + "/calc.gmr");              // or b.Image() for LoadGrammarFromBuffer
//
// Instructions are emitted bottom-up (items before what holds them); the returned
// offsets are their operands. A recursive rule refers to itself by name (SymbolRef);
// PatchWord fills an operand emitted as 0 for a later offset.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "grammar/byte_code.h"
#include "grammar/grammar_image.h"
#include "lxra101/grammar_context.h"

namespace lxra {

// The byte-code offset of an instruction; 0 means none.
using Instruction = long;

class GrammarBuilder {
public:
    // version decides the layout: fixed 32-byte names before 6, and the sequences'
    // synchronisation-table word in 7 only. Any number may be given (a loader refuses
    // those outside 4 to 7), so that tests can build such images too. Throws
    // std::bad_alloc when the context cannot be created.
    explicit GrammarBuilder(long version = 7);
    ~GrammarBuilder();
    GrammarBuilder(const GrammarBuilder&) = delete;
    GrammarBuilder& operator=(const GrammarBuilder&) = delete;

    // False once any operation failed (a limit of the layout, memory); what failed
    // returned 0.
    bool Ok() const { return ok_; }
    long Version() const { return version_; }

    // Names and contexts. Names are shared and compared without case.
    long Name(std::string_view text);
    long AddContext(long parent, std::string_view name, std::string_view kind);
    // Kind "grammar" / "symbol"; a symbol's value is its production.
    long AddGrammar(long parent, std::string_view name);
    long AddSymbol(long parent, std::string_view name, Instruction production = 0);
    void SetProduction(long context, Instruction production);
    // A dotted path of up to 8 names through which context sees another's names.
    bool AddParentPath(long context, std::string_view dottedPath);

    // Instructions, one emitter per opcode, operands as the byte-code table gives them.
    Instruction SymbolRef(std::string_view dottedName);
    Instruction Conjunction(std::span<const Instruction> items, long syncTable = 0);
    Instruction Conjunction(std::initializer_list<Instruction> items, long syncTable = 0);
    Instruction Disjunction(std::span<const Instruction> alternatives);
    Instruction Disjunction(std::initializer_list<Instruction> alternatives);
    Instruction Repeat(Instruction item, long minimum = 0, long maximum = 0, Instruction separator = 0);
    Instruction SkipTo(Instruction target = 0);
    Instruction Literal(std::string_view chars);
    Instruction Null();
    Instruction CharRange(char low, char high);
    Instruction LengthConstraint(long minimum, long maximum, Instruction body);
    Instruction SymbolAttrs(unsigned long flags, Instruction body);
    Instruction SetSpaces(Instruction body, std::string_view spaceChars);
    Instruction SetSpaceSymbol(Instruction body, Instruction spaceSymbol);
    Instruction NotChar(Instruction body);
    Instruction ParseRoot();
    Instruction StringList(std::span<const std::string_view> entries);
    Instruction StringList(std::initializer_list<std::string_view> entries);
    Instruction Constraint(Instruction body);
    // An empty text2 is absent ("<exists?>").
    Instruction Compare(std::string_view text1, std::string_view text2, long comparison);
    Instruction ProductionCheck(std::string_view path, Instruction body, long mode);
    Instruction SymbolFunction(long nameExpression);
    Instruction NotTerm(Instruction body);
    Instruction IsSymbol(long nameExpression);
    Instruction SetToken(Instruction body, Instruction tokenSymbol = kNoTokenSymbol);
    Instruction TermList();
    Instruction Variable(long number);
    Instruction ErrorMark(Instruction body, Instruction descriptionLiteral = 0);
    Instruction Resynchronize();
    Instruction ComputedLength(Instruction minimumLiteral, Instruction maximumLiteral, Instruction body);

    // Operand blocks that are not instructions. A name expression's parts: "\"text\"",
    // "#" or a tree path. A synchronisation table lists the terms that may resume a
    // sequence (version 7).
    long NameExpression(std::span<const std::string_view> parts);
    long NameExpression(std::initializer_list<std::string_view> parts);
    long SyncTable(std::span<const Instruction> terms);
    long SyncTable(std::initializer_list<Instruction> terms);

    // Anything else: 32-bit words as given (an opcode outside the set, a damaged
    // instruction), or raw bytes.
    Instruction Words(std::span<const int32_t> words);
    Instruction Words(std::initializer_list<int32_t> words);
    Instruction Bytes(std::string_view bytes);
    // Rewrites the word at a byte-code offset.
    void PatchWord(long offset, int32_t value);

    // Header fields.
    void SetStartSymbol(long context);
    void SetCompiledWithErrors(bool invalid);
    void SetCreationTime(int32_t secondsSince1970);
    // The header's text area (224 bytes); the builder starts with the marker.
    void SetHeaderText(std::string_view text);
    // The header words that the runtime carries without interpreting (offsets 8, 12, 252).
    void SetUninterpretedWords(int32_t word8, int32_t word12, int32_t word252);

    // Output. Image and Model throw std::bad_alloc when memory runs out.
    std::vector<char> Image() const;
    bool WriteFile(const std::string& path) const;
    // The image as values, to inspect or to damage.
    GrammarImage Model() const;
    // The context being built: every Context member works on it.
    GrammarContext& GetContext() { return *context_; }
    const GrammarContext& GetContext() const { return *context_; }

private:
    struct ContextDeleter {
        void operator()(GrammarContext* context) const { GrammarContext::Delete(context); }
    };

    // Appends the words, then the tail's bytes, and returns their offset; 0 (and Ok()
    // false) on failure.
    long Emit(std::initializer_list<long> words, std::string_view tail = {});
    long EmitList(int32_t opcode, std::span<const Instruction> items, std::initializer_list<long> after);
    long EmitTexts(int32_t opcode, std::span<const std::string_view> texts);
    long Failed();

    std::unique_ptr<GrammarContext, ContextDeleter> context_;
    long version_;
    bool ok_ = true;
};

}  // namespace lxra
