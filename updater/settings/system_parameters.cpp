#include "settings/system_parameters.h"

#include "common/text.h"
#include "settings/cipher/deployment.h"

namespace torvik {

std::string ParameterReader::Read(db::Connection& connection, const std::string& name)
{
    const std::string wanted(Trim(name));
    if (wanted.empty()) {
        return kParametroEmBranco;
    }
    if (query_ == nullptr) {
        query_ = std::make_unique<db::Query>(connection);
        query_->SQL = {" select NOME_PARAMETRO, VALOR, CRIPTOGRAFAR  ", " from FW_PARAMETROS "};
    }
    if (!query_->Active()) {
        query_->Open();
    }
    if (!query_->Locate("NOME_PARAMETRO", wanted)) {
        return kParametroNaoExistente;
    }
    std::string value = query_->Field("VALOR").AsString();
    const db::Value enciphered = query_->Field("CRIPTOGRAFAR");
    if (!Trim(value).empty() && !enciphered.IsNull() && enciphered.AsInteger() == 1) {
        value = Decifra_Texto(value);
    }
    return value;
}

}  // namespace torvik
