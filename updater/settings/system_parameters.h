// The system parameters of table FW_PARAMETROS, read by name.
#pragma once

#include <memory>
#include <string>

#include "platform/database/database.h"

namespace torvik {

inline constexpr const char* kParametroEmBranco = "<parametro em branco>";
inline constexpr const char* kParametroNaoExistente = "<parametro não-existente>";

// Reads parameters from the rows fetched at its first read: a run sees the table as it
// was then. The query is bound to the connection of that first read.
class ParameterReader {
public:
    // The parameter's value (deciphered when its row says CRIPTOGRAFAR = 1), or one of
    // the two markers for an empty name and for a name no row has.
    std::string Read(db::Connection& connection, const std::string& name);

private:
    std::unique_ptr<db::Query> query_;
};

}  // namespace torvik
