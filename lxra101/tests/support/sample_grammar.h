// A grammar that uses every instruction of the byte code, every kind of header field
// and a parent path, built with the grammar builder; tests load it, print it and damage
// it. Every instruction is reachable from a context's value.
#pragma once

#include "grammar/grammar_builder.h"

namespace lxra::testing {

struct SampleGrammar {
    explicit SampleGrammar(long version) : b(version)
    {
        lang = b.AddGrammar(0, "lang");
        calc = b.AddGrammar(lang, "calc");
        lib = b.AddGrammar(lang, "lib");
        base = b.AddSymbol(lib, "base", b.Literal("base"));
        user = b.AddGrammar(lang, "user");
        b.AddParentPath(user, "lib");
        rule = b.AddSymbol(user, "rule", b.SymbolRef("base"));

        literal = b.Literal("ab");
        symbolRef = b.SymbolRef("calc.expr");
        repeat = b.Repeat(literal, 1, 3, b.Literal(","));
        skipTo = b.SkipTo(literal);
        charRange = b.CharRange('a', 'z');
        lengthConstraint = b.LengthConstraint(1, -1, charRange);
        symbolAttrs = b.SymbolAttrs(0x4 | 0x100, lengthConstraint);
        disjunction = b.Disjunction({literal, b.Null()});
        setSpaces = b.SetSpaces(disjunction, " \t");
        setSpaceSymbol = b.SetSpaceSymbol(setSpaces, b.SymbolRef("base"));
        notChar = b.NotChar(charRange);
        parseRoot = b.ParseRoot();
        stringList = b.StringList({"if", "else", ""});
        compare = b.Compare("#value", "\"x\"", kCompareEqual);
        constraint = b.Constraint(compare);
        productionCheck = b.ProductionCheck("calc.expr", literal, kMustConsumeAll);
        nameExpression = b.NameExpression({"\"ba\"", "#", "term"});
        symbolFunction = b.SymbolFunction(nameExpression);
        notTerm = b.NotTerm(literal);
        isSymbol = b.IsSymbol(nameExpression);
        setToken = b.SetToken(literal, b.SymbolRef("base"));
        termList = b.TermList();
        variable = b.Variable(kVariableEndOfInput);
        errorMark = b.ErrorMark(literal, b.Literal("missing ab"));
        resynchronize = b.Resynchronize();
        computedLength = b.ComputedLength(b.Literal("1"), b.Literal("#Int(.0)"), literal);
        undefined = b.Words({26});
        syncTable = b.Version() == 7 ? b.SyncTable({literal, repeat}) : 0;
        conjunction =
            b.Conjunction({symbolRef,  repeat,     skipTo,          symbolAttrs,    setSpaceSymbol, notChar,  parseRoot,
                           stringList, constraint, productionCheck, symbolFunction, notTerm,        isSymbol, setToken,
                           termList,   variable,   errorMark,       resynchronize,  computedLength, undefined},
                          syncTable);
        expr = b.AddSymbol(calc, "expr", conjunction);
        b.AddSymbol(calc, "term", b.Repeat(charRange, 1));
        b.SetStartSymbol(expr);
        b.SetCreationTime(1234567);
        b.SetUninterpretedWords(8, 12, 252);
        // Emitted last: the final bytes of the byte code belong to an instruction.
        version = b.AddSymbol(lang, "<VERSION>", b.Literal("1.0"));
    }

    GrammarBuilder b;
    long lang = 0, calc = 0, lib = 0, base = 0, user = 0, rule = 0, expr = 0, version = 0;
    Instruction literal = 0, symbolRef = 0, repeat = 0, skipTo = 0, charRange = 0, lengthConstraint = 0,
                symbolAttrs = 0, disjunction = 0, setSpaces = 0, setSpaceSymbol = 0, notChar = 0, parseRoot = 0,
                stringList = 0, compare = 0, constraint = 0, productionCheck = 0, symbolFunction = 0, notTerm = 0,
                isSymbol = 0, setToken = 0, termList = 0, variable = 0, errorMark = 0, resynchronize = 0,
                computedLength = 0, undefined = 0, conjunction = 0;
    long nameExpression = 0, syncTable = 0;
};

}  // namespace lxra::testing
