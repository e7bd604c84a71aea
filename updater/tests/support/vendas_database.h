// Databases for the updater's tests: SQLite files reachable as ODBC data sources, holding
// the system parameters FW_PARAMETROS, and the INI text that points the updater at them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "odbc_data_sources.h"
#include "platform/database/database.h"

namespace torvik::testing {

struct ParameterRow {
    std::string name;
    std::optional<std::string> value;  // null when absent
    std::optional<long> enciphered;    // CRIPTOGRAFAR; null when absent
};

// A unique data source name: the driver manager keeps what it read of a data source for
// a while, so a name is never defined twice in one test program.
std::string NewDataSourceName();

// The OLE DB string the updater would build for a data source and a catalog.
std::string OleDbString(const std::string& dataSource, const std::string& catalog);

// Creates FW_PARAMETROS in the SQLite file reached through dataSource and fills it.
void CreateParameters(const std::string& dataSource, const std::string& file, const std::vector<ParameterRow>& rows);

// A "Conexao <name>" section naming the data source and the catalog.
std::string IniSection(const std::string& connectionName, const std::string& dataSource, const std::string& catalog);

}  // namespace torvik::testing
