#include "platform/database/sql_parameters.h"

#include <gtest/gtest.h>

#include "platform/database/database.h"

namespace torvik::db {
namespace {

TEST(NamedParameters, BecomePositionalMarkersOutsideLiteralsAndComments)
{
    const struct {
        const char* sql;
        const char* positional;
        std::vector<std::string> names;
    } cases[] = {
        {"select * from t where a = :A and b = :b_2", "select * from t where a = ? and b = ?", {"A", "b_2"}},
        {"where x = :nome or y = :NOME", "where x = ? or y = ?", {"nome", "NOME"}},
        {"where v = 'a:b' and w = :w", "where v = 'a:b' and w = ?", {"w"}},
        {"'it''s :not' || :yes", "'it''s :not' || ?", {"yes"}},
        {"\"col:x\" = :p", "\"col:x\" = ?", {"p"}},
        {"[col:x] = :p", "[col:x] = ?", {"p"}},
        {"-- :no\n:yes /* :no */ :also", "-- :no\n? /* :no */ ?", {"yes", "also"}},
        {"x::int = :p", "x::int = ?", {"p"}},
        {"a : b :", "a : b :", {}},
        {"and V.Versao > :Versão\n", "and V.Versao > ?\n", {"Versão"}},
        {"'never closed :p", "'never closed :p", {}},
        {"/* never closed :p", "/* never closed :p", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        const PositionalSql result = ReplaceNamedParameters(c.sql);
        EXPECT_EQ(result.sql, c.positional);
        EXPECT_EQ(result.parameters, c.names);
    }
}

TEST(Value, AsIntegerAcceptsADecimalIntegerWithBlanksAround)
{
    const struct {
        const char* text;
        long value;
    } accepted[] = {{"1", 1}, {" 1 ", 1}, {"\t-25 ", -25}, {"+7", 7}, {"0105", 105}};
    for (const auto& c : accepted) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Value(c.text).AsInteger(), c.value);
    }
    for (const char* refused : {"1a", "", " ", "1 2", "0x10", "1.0", "99999999999999999999", "--1"}) {
        SCOPED_TRACE(refused);
        try {
            (void)Value(refused).AsInteger();
            ADD_FAILURE() << "accepted";
        } catch (const UpdaterError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(refused) + "' is not a valid integer value");
        }
    }
    EXPECT_THROW((void)Value().AsInteger(), UpdaterError);
}

}  // namespace
}  // namespace torvik::db
