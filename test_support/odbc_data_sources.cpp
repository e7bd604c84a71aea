#include "odbc_data_sources.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "postgres_server.h"

namespace kit::testing {

namespace fs = std::filesystem;

OdbcDataSources::OdbcDataSources()
{
    std::string pattern = (fs::temp_directory_path() / "kit-odbc-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a folder for odbc.ini");
    }
    folder_ = pattern;
    iniFile_ = folder_ + "/odbc.ini";
    Write();
    if (const char* previous = std::getenv("ODBCINI")) {
        previousOdbcIni_ = previous;
    }
    setenv("ODBCINI", iniFile_.c_str(), 1);
}

OdbcDataSources::~OdbcDataSources()
{
    if (previousOdbcIni_.has_value()) {
        setenv("ODBCINI", previousOdbcIni_->c_str(), 1);
    } else {
        unsetenv("ODBCINI");
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void OdbcDataSources::AddPostgres(const std::string& dsn, const PostgresServer& server, const std::string& database)
{
    Add(dsn, {{"Driver", "PostgreSQL Unicode"},
              {"Servername", server.Host()},
              {"Port", std::to_string(server.Port())},
              {"Database", database},
              {"ByteaAsLongVarBinary", "1"}});
}

void OdbcDataSources::AddSqlite(const std::string& dsn, const std::string& databaseFile)
{
    Add(dsn, {{"Driver", "SQLite3"}, {"Database", databaseFile}});
}

void OdbcDataSources::Add(const std::string& dsn, const std::map<std::string, std::string>& attributes)
{
    sources_[dsn] = attributes;
    Write();
}

std::map<std::string, std::string> OdbcDataSources::Environment() const
{
    return {{"ODBCINI", iniFile_}};
}

void OdbcDataSources::Write() const
{
    // Written whole under another name and renamed, so the driver manager never reads
    // half a file.
    const std::string temporary = iniFile_ + ".new";
    {
        std::ofstream ini(temporary, std::ios::trunc);
        for (const auto& [dsn, attributes] : sources_) {
            ini << "[" << dsn << "]\n";
            for (const auto& [key, value] : attributes) {
                ini << key << " = " << value << "\n";
            }
            ini << "\n";
        }
        if (!ini) {
            throw std::runtime_error("cannot write " + temporary);
        }
    }
    fs::rename(temporary, iniFile_);
}

}  // namespace kit::testing
