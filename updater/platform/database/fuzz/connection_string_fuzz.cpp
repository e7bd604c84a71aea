// Translates random OLE DB connection strings for ODBC. A refused string must be refused
// with DatabaseError; an accepted one must read back, by the ODBC rules and by the two
// simpler parsers real drivers use, as the known keys only, each once, with the values
// given (so no value can add a key).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "common/text.h"
#include "platform/database/connection_string.h"
#include "platform/database/database.h"

namespace {

using Attributes = std::map<std::string, std::string>;

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "connection string broke a rule: %s\n", what);
        std::abort();
    }
}

std::string Upper(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// The text without the blanks at either end.
std::string Blankless(std::string text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back())) {
        text.pop_back();
    }
    size_t start = 0;
    while (start < text.size() && blank(text[start])) {
        ++start;
    }
    return text.substr(start);
}

void Add(Attributes& attributes, const std::string& key, const std::string& value)
{
    static const std::set<std::string> known = {"DSN", "DRIVER", "SERVER", "PORT", "DATABASE", "UID", "PWD", "APP"};
    Check(known.count(Upper(key)) == 1, "a key that was never written");
    Check(attributes.emplace(Upper(key), value).second, "a key twice");
}

// The ODBC rules (the driver manager, psqlODBC): a value in braces runs to the "}" that is
// not doubled, and "}}" stands for "}".
Attributes ReadStandard(const std::string& odbc)
{
    Attributes attributes;
    size_t at = 0;
    while (at < odbc.size()) {
        const size_t equals = odbc.find('=', at);
        Check(equals != std::string::npos, "an element without '='");
        const std::string key = odbc.substr(at, equals - at);
        at = equals + 1;
        std::string value;
        if (at < odbc.size() && odbc[at] == '{') {
            for (++at;; ++at) {
                Check(at < odbc.size(), "braces not balanced");
                if (odbc[at] == '}') {
                    if (at + 1 < odbc.size() && odbc[at + 1] == '}') {
                        value += '}';
                        ++at;
                        continue;
                    }
                    ++at;
                    break;
                }
                value += odbc[at];
            }
            Check(at < odbc.size() && odbc[at] == ';', "text after a closing brace");
        } else {
            const size_t end = odbc.find(';', at);
            Check(end != std::string::npos, "a pair without its ';'");
            value = odbc.substr(at, end - at);
            Check(value.find_first_of("{}") == std::string::npos, "a brace outside braces");
            at = end;
        }
        ++at;
        Add(attributes, key, value);
    }
    return attributes;
}

// FreeTDS: a value in braces runs to the first "};", without undoubling.
void ReadLikeFreeTds(const std::string& odbc)
{
    Attributes attributes;
    size_t at = 0;
    while (at < odbc.size()) {
        const size_t equals = odbc.find('=', at);
        Check(equals != std::string::npos, "FreeTDS: an element without '='");
        const std::string key = odbc.substr(at, equals - at);
        at = equals + 1;
        size_t end = odbc[at] == '{' ? odbc.find("};", at) : odbc.find(';', at);
        Check(end != std::string::npos, "FreeTDS: a value without end");
        end += odbc[end] == '}' ? 1 : 0;
        Add(attributes, key, odbc.substr(at, end - at));
        at = end + 1;
    }
}

// The SQLite driver: every ";" ends a value, braces or not.
void ReadLikeSqlite(const std::string& odbc)
{
    Attributes attributes;
    size_t at = 0;
    while (at < odbc.size()) {
        const size_t end = odbc.find(';', at);
        const std::string element = odbc.substr(at, end - at);
        const size_t equals = element.find('=');
        Check(equals != std::string::npos, "SQLite: an element without '='");
        Add(attributes, element.substr(0, equals), element.substr(equals + 1));
        at = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool dataSourceKnown = input.ConsumeBool();
    static const char* const drivers[] = {"FreeTDS", "PostgreSQL Unicode", "ODBC Driver 18 for SQL Server",
                                          "Odd}Dri{ver"};
    const std::string driver = drivers[input.ConsumeIntegralInRange<size_t>(0, 3)];
    const std::string oleDb = input.ConsumeRemainingBytesAsString();

    torvik::db::OleDbSettings settings;
    std::string odbc;
    try {
        settings = torvik::db::ParseOleDbConnectionString(oleDb);
        odbc = torvik::db::TranslateConnectionString(
            settings, [&](const std::string&) { return dataSourceKnown; }, driver);
    } catch (const torvik::db::DatabaseError&) {
        return 0;
    }
    Check(!odbc.empty() && odbc.back() == ';', "the string does not end its last pair");

    const Attributes read = ReadStandard(odbc);
    ReadLikeFreeTds(odbc);
    ReadLikeSqlite(odbc);

    // The values come back as given.
    if (dataSourceKnown) {
        Check(read.at("DSN") == *settings.dataSource, "DSN differs from Data Source");
    } else {
        Check(read.at("DRIVER") == driver, "DRIVER differs");
        const std::string server = read.at("SERVER");
        const auto port = read.find("PORT");
        const std::string& dataSource = *settings.dataSource;
        const size_t comma = dataSource.rfind(',');
        Check(port == read.end() ? server == dataSource
                                 : comma != std::string::npos && Blankless(dataSource.substr(0, comma)) == server &&
                                       Blankless(dataSource.substr(comma + 1)) == port->second,
              "SERVER and PORT differ from Data Source");
    }
    const std::pair<const char*, const std::optional<std::string>*> values[] = {{"DATABASE", &settings.initialCatalog},
                                                                                {"UID", &settings.userId},
                                                                                {"PWD", &settings.password},
                                                                                {"APP", &settings.applicationName}};
    for (const auto& [key, value] : values) {
        const auto found = read.find(key);
        if (value->has_value() && !(*value)->empty()) {
            Check(found != read.end() && found->second == **value, "a value differs");
        } else {
            Check(found == read.end(), "an empty value was written");
        }
    }
    return 0;
}
