#include "settings/system_parameters.h"

#include <gtest/gtest.h>

#include <string>

#include "odbc_data_sources.h"
#include "scratch_folder.h"
#include "settings/cipher/deployment.h"
#include "support/vendas_database.h"

namespace torvik {
namespace {

class SystemParameters : public ::testing::Test {
protected:
    void SetUp() override
    {
        const Deployment& deployment = BuiltInDeployment();
        const std::string enciphered = EncipherText(deployment.cipher, DeploymentPassPhrase(), "ftp.senha#1");
        file = folder.Path("vendas.db");
        sources.AddSqlite(dataSource, file);
        testing::CreateParameters(dataSource, file,
                                  {{"USAR_FTP", "1", 0},
                                   {"FTP_ARQUIVOS_COMPARTILHADOS_SENHA", enciphered, 1},
                                   {"VAZIO_CIFRADO", "", 1},
                                   {"BRANCOS_CIFRADOS", "   ", 1},
                                   {"COM_BRANCOS", " valor ", 0},
                                   {"SEM_CRIPTOGRAFAR", "texto", std::nullopt},
                                   {"NULO", std::nullopt, 0}});
        connection.SetConnectionString(testing::OleDbString(dataSource, file));
    }

    kit::testing::ScratchFolder folder;
    kit::testing::OdbcDataSources sources;
    std::string dataSource = testing::NewDataSourceName();
    std::string file;
    db::Connection connection;
    ParameterReader reader;
};

TEST_F(SystemParameters, ReadsValuesByNameWithoutCase)
{
    struct Case {
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"USAR_FTP", "1"},
        {"usar_ftp", "1"},
        {"  Usar_Ftp  ", "1"},                                 // the name is trimmed
        {"FTP_ARQUIVOS_COMPARTILHADOS_SENHA", "ftp.senha#1"},  // deciphered
        {"VAZIO_CIFRADO", ""},                                 // nothing to decipher
        {"BRANCOS_CIFRADOS", "   "},
        {"COM_BRANCOS", " valor "},  // the value is not trimmed
        {"SEM_CRIPTOGRAFAR", "texto"},
        {"NULO", ""},
        {"USAR", "<parametro não-existente>"},  // whole names only
        {"INEXISTENTE", "<parametro não-existente>"},
        {"", "<parametro em branco>"},
        {"   ", "<parametro em branco>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reader.Read(connection, c.name), c.value) << "[" << c.name << "]";
    }
}

TEST_F(SystemParameters, ARunSeesTheTableAsItWasAtItsFirstRead)
{
    EXPECT_EQ(reader.Read(connection, "USAR_FTP"), "1");
    db::Connection other;
    other.SetConnectionString(testing::OleDbString(dataSource, file));
    other.Execute("UPDATE FW_PARAMETROS SET VALOR = '0' WHERE NOME_PARAMETRO = 'USAR_FTP'");
    other.Execute("INSERT INTO FW_PARAMETROS VALUES ('NOVO', 'x', 0)");
    EXPECT_EQ(reader.Read(connection, "USAR_FTP"), "1");
    EXPECT_EQ(reader.Read(connection, "NOVO"), "<parametro não-existente>");
    EXPECT_EQ(ParameterReader().Read(connection, "USAR_FTP"), "0");
}

TEST_F(SystemParameters, AValueThatDoesNotDecipherIsAnError)
{
    db::Connection other;
    other.SetConnectionString(testing::OleDbString(dataSource, file));
    other.Execute("INSERT INTO FW_PARAMETROS VALUES ('ESTRAGADO', 'not base64!', 1)");
    EXPECT_THROW(reader.Read(connection, "ESTRAGADO"), CipherError);
}

}  // namespace
}  // namespace torvik
