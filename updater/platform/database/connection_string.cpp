#include "platform/database/connection_string.h"

#include <algorithm>
#include <cctype>

#include "common/text.h"
#include "platform/database/database.h"

namespace torvik::db {
namespace {

// The blanks that OLE DB drops around keys and values.
constexpr std::string_view kBlanks = " \t\r\n";

bool IsBlank(char c)
{
    return kBlanks.find(c) != std::string_view::npos;
}

std::string_view TrimOleDbBlanks(std::string_view text)
{
    return TrimCharacters(text, kBlanks);
}

DatabaseError InvalidConnectionString(const std::string& why)
{
    return DatabaseError("The connection string is not valid: " + why + ".");
}

// A quoted OLE DB value starting at text[at] (the quote); moves `at` past the closing
// quote. The quote character doubled stands for itself.
std::string QuotedValue(std::string_view text, size_t& at)
{
    const char quote = text[at++];
    std::string value;
    while (true) {
        if (at >= text.size()) {
            throw InvalidConnectionString("a quoted value has no closing quote");
        }
        const char c = text[at++];
        if (c != quote) {
            value += c;
        } else if (at < text.size() && text[at] == quote) {
            value += quote;
            ++at;
        } else {
            return value;
        }
    }
}

void Assign(std::optional<std::string>& slot, std::string value)
{
    if (!slot.has_value()) {
        slot = std::move(value);
    }
}

bool ContainsWithoutCase(std::string_view text, std::string_view part)
{
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           }) != text.end();
}

// "host,port" as SQL Server writes a server on another port. FreeTDS and most other
// drivers want the port as its own key; Microsoft's SQL Server drivers read "host,port"
// themselves and know no PORT key.
struct ServerAddress {
    std::string host;
    std::string port;
};

ServerAddress SplitServer(const std::string& dataSource, const std::string& driver)
{
    const size_t comma = dataSource.rfind(',');
    if (comma == std::string::npos || ContainsWithoutCase(driver, "SQL Server")) {
        return {dataSource, ""};
    }
    const std::string_view host = TrimOleDbBlanks(std::string_view(dataSource).substr(0, comma));
    const std::string_view port = TrimOleDbBlanks(std::string_view(dataSource).substr(comma + 1));
    const bool digits = !port.empty() && port.size() <= 5 &&
                        std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (host.empty() || !digits || std::stol(std::string(port)) < 1 || std::stol(std::string(port)) > 65535) {
        return {dataSource, ""};
    }
    return {std::string(host), std::string(port)};
}

void CheckPassable(std::string_view key, std::string_view value)
{
    if (value.find(';') != std::string_view::npos) {
        throw DatabaseError("The connection string's " + std::string(key) +
                            " holds \";\", which ODBC drivers do not all read as part of a value.");
    }
    if (value.find('\0') != std::string_view::npos) {
        throw DatabaseError("The connection string's " + std::string(key) + " holds a NUL character.");
    }
}

std::string Braced(std::string_view value)
{
    std::string out = "{";
    for (const char c : value) {
        out += c;
        if (c == '}') {
            out += '}';
        }
    }
    return out + "}";
}

}  // namespace

OleDbSettings ParseOleDbConnectionString(std::string_view text)
{
    OleDbSettings settings;
    size_t at = 0;
    while (at < text.size()) {
        const size_t elementEnd = std::min(text.find(';', at), text.size());
        const size_t equals = text.find('=', at);
        if (equals == std::string_view::npos || equals > elementEnd) {
            if (!TrimOleDbBlanks(text.substr(at, elementEnd - at)).empty()) {
                throw InvalidConnectionString("an element has no \"=\"");
            }
            at = elementEnd + 1;
            continue;
        }
        const std::string_view key = TrimOleDbBlanks(text.substr(at, equals - at));
        at = equals + 1;
        while (at < text.size() && IsBlank(text[at])) {
            ++at;
        }
        std::string value;
        if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
            value = QuotedValue(text, at);
            while (at < text.size() && IsBlank(text[at])) {
                ++at;
            }
            if (at < text.size() && text[at] != ';') {
                throw InvalidConnectionString("text follows a quoted value");
            }
        } else {
            const size_t end = std::min(text.find(';', at), text.size());
            value = std::string(TrimOleDbBlanks(text.substr(at, end - at)));
            at = end;
        }
        ++at;  // the ';'

        if (SameText(key, "Data Source")) {
            Assign(settings.dataSource, std::move(value));
        } else if (SameText(key, "Initial Catalog")) {
            Assign(settings.initialCatalog, std::move(value));
        } else if (SameText(key, "User ID")) {
            Assign(settings.userId, std::move(value));
        } else if (SameText(key, "Password")) {
            Assign(settings.password, std::move(value));
        } else if (SameText(key, "Application Name")) {
            Assign(settings.applicationName, std::move(value));
        }
    }
    return settings;
}

std::string OdbcValue(std::string_view key, std::string_view value)
{
    CheckPassable(key, value);
    const bool needsBraces = value.find_first_of("{}") != std::string_view::npos ||
                             (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back())));
    return needsBraces ? Braced(value) : std::string(value);
}

std::string TranslateConnectionString(const OleDbSettings& settings,
                                      const std::function<bool(const std::string&)>& isDataSource,
                                      const std::string& driver)
{
    if (!settings.dataSource.has_value() || TrimOleDbBlanks(*settings.dataSource).empty()) {
        throw DatabaseError("The connection string names no server (Data Source).");
    }
    const std::string& dataSource = *settings.dataSource;
    std::string odbc;
    if (isDataSource(dataSource)) {
        odbc = "DSN=" + OdbcValue("Data Source", dataSource) + ";";
    } else {
        CheckPassable("driver", driver);
        const ServerAddress server = SplitServer(dataSource, driver);
        odbc = "DRIVER=" + Braced(driver) + ";SERVER=" + OdbcValue("Data Source", server.host) + ";";
        if (!server.port.empty()) {
            odbc += "PORT=" + server.port + ";";
        }
    }
    // An empty value is left out, so that the data source's own setting applies.
    const struct {
        const char* odbcKey;
        const char* oleDbKey;
        const std::optional<std::string>& value;
    } keys[] = {
        {"DATABASE", "Initial Catalog", settings.initialCatalog},
        {"UID", "User ID", settings.userId},
        {"PWD", "Password", settings.password},
        {"APP", "Application Name", settings.applicationName},
    };
    for (const auto& key : keys) {
        if (key.value.has_value() && !key.value->empty()) {
            odbc += std::string(key.odbcKey) + "=" + OdbcValue(key.oleDbKey, *key.value) + ";";
        }
    }
    return odbc;
}

}  // namespace torvik::db
