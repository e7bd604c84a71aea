// A sandbox for running the start-up sequence in-process: its own registry
// (TORVIK_REGISTRY_DIR), working folder (where Registro.reg is looked for), ODBC data
// sources and application folder, with stand-ins for the user and the application.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "odbc_data_sources.h"
#include "scratch_folder.h"
#include "startup/dtm_global.h"
#include "support/recording_interaction.h"
#include "support/vendas_database.h"

namespace torvik::testing {

class StartupSandbox : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TORVIK_REGISTRY_DIR", folder.Path("registry").c_str(), 1);
        setenv("TORVIK_WINDIR", REGEDIT_FOLDER, 1);
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder.Folder());
    }

    void TearDown() override
    {
        std::filesystem::current_path(previousFolder);
        unsetenv("TORVIK_REGISTRY_DIR");
        unsetenv("TORVIK_WINDIR");
    }

    // A SQLite database with these parameters; returns its data source and file.
    std::pair<std::string, std::string> Database(const std::string& fileName, const std::vector<ParameterRow>& rows)
    {
        const std::string dataSource = NewDataSourceName();
        const std::string file = folder.Path(fileName);
        sources.AddSqlite(dataSource, file);
        CreateParameters(dataSource, file, rows);
        return {dataSource, file};
    }

    // The usual main database (SALVAR_VERSOES_BINARIOS = 0) named in Vendas.ini.
    void UsualDatabase()
    {
        const auto [dataSource, file] = Database("vendas.db", {{"SALVAR_VERSOES_BINARIOS", "0", 0}});
        folder.Write("Vendas.ini", IniSection("Default", dataSource, file));
    }

    std::unique_ptr<TdtmGlobal> Run(std::vector<std::string> afterProgram,
                                    std::vector<TdtmGlobal::Step> laterSteps = {})
    {
        afterProgram.insert(afterProgram.begin(), folder.Folder() + "ExecTorvik");
        arguments = ProgramArguments(afterProgram);
        return std::make_unique<TdtmGlobal>(StartupEnvironment{state, arguments, user, application, folder.Folder()},
                                            std::move(laterSteps));
    }

    kit::testing::ScratchFolder folder;
    kit::testing::OdbcDataSources sources;
    RecordingInteraction user;
    RecordingApplication application;
    GlobalState state;
    ProgramArguments arguments;
    std::filesystem::path previousFolder;
};

}  // namespace torvik::testing
