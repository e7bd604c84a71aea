#include "startup/command_line_reader.h"

#include "common/text.h"

namespace torvik {

void TLeitor_Linha_Comando::Ler_Parametros()
{
    Nomes.clear();
    Valores.clear();
    const int count = arguments_.ParamCount();
    for (int i = 1; i < count; ++i) {
        const std::string& argument = arguments_.ParamStr(i);
        if (!argument.empty() && argument[0] == '-') {
            Nomes.push_back(argument.substr(1));
            Valores.push_back(arguments_.ParamStr(++i));
        }
    }
}

std::string TLeitor_Linha_Comando::Valor_Parametro(std::string_view name) const
{
    for (size_t i = 0; i < Nomes.size(); ++i) {
        if (SameText(Nomes[i], name)) {
            return Valores[i];
        }
    }
    return "";
}

}  // namespace torvik
