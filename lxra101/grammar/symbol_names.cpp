// The printed forms of instructions: what GetSymbolName shows and parse-tree labels use.

#include <string_view>

#include "core/text_buffer.h"
#include "grammar/byte_code.h"
#include "lxra101/grammar_context.h"

namespace {

constexpr long kErrorNoInstruction = 1256;
// A repeat of a repeat prints its item inside; a byte code whose repeats contain
// themselves would never end, so nesting stops here.
constexpr int kMaxNestedRepeats = 16;

std::string_view Label(lxra::Op op, const lxra::ByteCodeView& code, long offset)
{
    using lxra::Op;
    switch (op) {
        case Op::Conjunction:
            return "<conjunction>";
        case Op::Disjunction:
            return "<disjunction>";
        case Op::SkipTo:
            return "*";
        case Op::Null:
            return "<null>";
        case Op::CharRange:
            return "<char-range>";
        case Op::LengthConstraint:
        case Op::ComputedLength:
            return "<length-constraint>";
        case Op::SymbolAttrs:
            return "<symbol-attrs>";
        case Op::SetSpaces:
            return "<setspaces>";
        case Op::NotChar:
            return "<not-char>";
        case Op::ParseRoot:
            return "Parse Tree";
        case Op::StringList:
            return "<stringlist>";
        case Op::Constraint:
            return "<constraint?>";
        case Op::Compare:
            return code.Word(offset + 8) < 1 ? "<exists?>" : "<compare?>";
        case Op::ProductionCheck:
            return "<production?>";
        case Op::SymbolFunction:
            return "<#SYMBOL>";
        case Op::NotTerm:
            return "<not-term>";
        case Op::IsSymbol:
            return "<#ISSYMBOL>";
        case Op::SetToken:
            return "<settoken>";
        case Op::TermList:
            return "<term-list>";
        case Op::Variable:
            return "<variable>";
        case Op::ErrorMark:
            return "Error";
        case Op::Resynchronize:
            return "Resynchronizing";
        case Op::SymbolRef:
        case Op::Repeat:
        case Op::Literal:
            break;
    }
    return "???";
}

void Print(const GrammarContext& grammar, const lxra::ByteCodeView& code, long offset, int depth,
           lxra::TextAppender& out)
{
    if (!code.IsInstruction(offset)) {
        return;
    }
    const auto op = static_cast<lxra::Op>(code.Word(offset));
    switch (op) {
        case lxra::Op::SymbolRef: {
            // Only the name ids that lie inside the byte code are printed.
            const long count = code.Word(offset + 4);
            for (long i = 0; i < count && code.Holds(offset + 8 + 4 * i, 4) && !out.Full(); ++i) {
                const char* name = grammar.GetName(code.Word(offset + 8 + 4 * i));
                if (i > 0) {
                    out.Append('.');
                }
                out.Append(name != nullptr ? name : "");
            }
            return;
        }
        case lxra::Op::Literal: {
            out.Append('"');
            out.Append(code.Bytes(offset + 8, code.Word(offset + 4)));
            out.Append('"');
            return;
        }
        case lxra::Op::Repeat:
            out.Append('{');
            if (depth < kMaxNestedRepeats) {
                Print(grammar, code, code.Word(offset + 12), depth + 1, out);
            } else {
                out.Append("...");
            }
            out.Append('}');
            return;
        default:
            out.Append(Label(op, code, offset));
            return;
    }
}

}  // namespace

const char* GrammarContext::GetSymbolName(long offset, char* buf, long size)
{
    const lxra::ByteCodeView code(GetByteCode(), GetByteCodeLength());
    if (!code.IsInstruction(offset)) {
        Post(kErrorNoInstruction);
        return lxra::CopyTruncated(buf, size, "");
    }
    if (buf == nullptr || size <= 0) {
        return lxra::NoRoomResult();
    }
    lxra::TextAppender out(buf, static_cast<size_t>(size));
    Print(*this, code, offset, 0, out);
    return buf;
}
