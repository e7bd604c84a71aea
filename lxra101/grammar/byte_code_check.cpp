#include "grammar/byte_code_check.h"

#include <vector>

#include "grammar/byte_code.h"

namespace lxra {

namespace {

class ByteCodeChecker {
public:
    explicit ByteCodeChecker(const Context::State& s)
        : code_(s.code.data(), s.codeLength),
          hasSyncTables_(HasSyncTables(s.header.version)),
          nameCount_(static_cast<long>(s.names.size())),
          instructions_(static_cast<size_t>(s.codeLength)),
          nameExpressions_(static_cast<size_t>(s.codeLength)),
          syncTables_(static_cast<size_t>(s.codeLength))
    {
    }

    bool Check(const Context::State& s)
    {
        for (long ctx = 0; ctx < s.contextCount; ++ctx) {
            if (!Reference(s.contexts[static_cast<size_t>(ctx)].value)) {
                return false;
            }
        }
        while (!pending_.empty()) {
            const long offset = pending_.back();
            pending_.pop_back();
            if (!Instruction(offset)) {
                return false;
            }
        }
        return true;
    }

private:
    // An operand naming an instruction: 0, or an offset where one can start.
    bool Reference(long offset)
    {
        if (offset == 0) {
            return true;
        }
        if (!code_.IsInstruction(offset)) {
            return false;
        }
        if (!instructions_[static_cast<size_t>(offset)]) {
            instructions_[static_cast<size_t>(offset)] = true;
            pending_.push_back(offset);
        }
        return true;
    }

    bool LiteralReference(long offset)
    {
        return offset == 0 || (code_.OpCodeAt(offset) == static_cast<long>(Op::Literal) && Reference(offset));
    }

    // Texts with a length prefix from offset on: count of them, all inside.
    bool Texts(long offset, long count)
    {
        if (!code_.Holds(offset, 0)) {
            return false;
        }
        LengthPrefixedTexts texts(code_.Bytes(offset, code_.Length() - offset), count);
        for (std::string_view text; texts.Next(text);) {
        }
        return !texts.Failed();
    }

    // A name expression: a word, the number of parts, the parts.
    bool NameExpression(long offset)
    {
        if (offset == 0) {
            return true;
        }
        if (!code_.Holds(offset, 8)) {
            return false;
        }
        if (!nameExpressions_[static_cast<size_t>(offset)]) {
            if (!Texts(offset + 8, code_.Word(offset + 4))) {
                return false;
            }
            nameExpressions_[static_cast<size_t>(offset)] = true;
        }
        return true;
    }

    // A synchronisation table: a word, the number of entries, entries of two words
    // whose first names an instruction.
    bool SyncTable(long offset)
    {
        if (offset == 0) {
            return true;
        }
        if (!code_.Holds(offset, 8)) {
            return false;
        }
        if (syncTables_[static_cast<size_t>(offset)]) {
            return true;
        }
        const long count = code_.Word(offset + 4);
        if (count < 0 || !code_.Holds(offset + 8, 8 * count)) {
            return false;
        }
        for (long i = 0; i < count; ++i) {
            if (!Reference(code_.Word(offset + 8 + 8 * i))) {
                return false;
            }
        }
        syncTables_[static_cast<size_t>(offset)] = true;
        return true;
    }

    bool Instruction(long o)
    {
        const auto word = [&](long at) { return static_cast<long>(code_.Word(o + at)); };
        const auto fits = [&](long size) { return code_.Holds(o, size); };
        switch (static_cast<Op>(code_.Word(o))) {
            case Op::SymbolRef: {
                const long n = word(4);
                if (n < 0 || !fits(8 + 4 * n)) {
                    return false;
                }
                for (long i = 0; i < n; ++i) {
                    if (word(8 + 4 * i) < 0 || word(8 + 4 * i) >= nameCount_) {
                        return false;
                    }
                }
                return true;
            }
            case Op::Conjunction:
            case Op::Disjunction: {
                const long n = word(4);
                const bool sync = hasSyncTables_ && static_cast<Op>(code_.Word(o)) == Op::Conjunction;
                if (n < 0 || !fits(8 + 4 * n + (sync ? 4 : 0))) {
                    return false;
                }
                for (long i = 0; i < n; ++i) {
                    if (!Reference(word(8 + 4 * i))) {
                        return false;
                    }
                }
                return !sync || SyncTable(word(8 + 4 * n));
            }
            case Op::Repeat:
                return fits(20) && Reference(word(12)) && Reference(word(16));
            case Op::SkipTo:
            case Op::NotChar:
            case Op::Constraint:
            case Op::NotTerm:
                return fits(8) && Reference(word(4));
            case Op::Literal:
                return fits(8) && word(4) >= 0 && fits(8 + word(4));
            case Op::CharRange:
                return fits(6);
            case Op::LengthConstraint:
                return fits(16) && Reference(word(12));
            case Op::SymbolAttrs:
                return fits(12) && Reference(word(8));
            case Op::SetSpaces: {
                if (!fits(12) || !Reference(word(4))) {
                    return false;
                }
                const long count = word(8);
                if (count == kSpaceSymbolCount) {
                    return fits(16) && Reference(word(12));
                }
                return count >= 0 && fits(12 + count);
            }
            case Op::ParseRoot:
            case Op::Resynchronize:
                return fits(16);
            case Op::StringList:
                return fits(8) && Texts(o + 8, word(4));
            case Op::Compare: {
                // A second text of length below 1 is absent.
                const long first = word(4);
                const long second = word(8) > 0 ? word(8) : 0;
                return fits(16) && first >= 0 && fits(16 + first + second);
            }
            case Op::ProductionCheck:
                return fits(16) && word(4) >= 0 && fits(16 + word(4)) && Reference(word(8));
            case Op::SymbolFunction:
            case Op::IsSymbol:
                return fits(8) && NameExpression(word(4));
            case Op::SetToken: {
                const long token = word(8);
                return fits(12) && Reference(word(4)) && (token == kNoTokenSymbol || Reference(token));
            }
            case Op::Variable:
                return fits(8);
            case Op::ErrorMark:
                return fits(12) && Reference(word(4)) && LiteralReference(word(8));
            case Op::ComputedLength:
                return fits(16) && LiteralReference(word(4)) && LiteralReference(word(8)) && Reference(word(12));
            case Op::Null:
            case Op::TermList:
                return true;
        }
        // Opcodes outside the set are the parser's concern (an internal error when met).
        return true;
    }

    ByteCodeView code_;
    bool hasSyncTables_;
    long nameCount_;
    std::vector<bool> instructions_;
    std::vector<bool> nameExpressions_;
    std::vector<bool> syncTables_;
    std::vector<long> pending_;
};

}  // namespace

bool CheckByteCode(const Context::State& state)
{
    return ByteCodeChecker(state).Check(state);
}

}  // namespace lxra
