// TLeitor_Linha_Comando: the switches of the command line ("-name value").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "startup/program_arguments.h"

namespace torvik {

class TLeitor_Linha_Comando {
public:
    explicit TLeitor_Linha_Comando(const ProgramArguments& arguments) : arguments_(arguments) {}

    // Collects the switches anew. A switch is a non-empty argument starting with "-" at
    // positions 1 to one before the last; its value is the next argument, which is
    // consumed. The last argument is never a switch.
    void Ler_Parametros();

    // The value of the first switch whose name matches without regard to case; "" when
    // there is none.
    std::string Valor_Parametro(std::string_view name) const;

    std::vector<std::string> Nomes;    // switch names, without the "-"
    std::vector<std::string> Valores;  // their values, at the same index

private:
    const ProgramArguments& arguments_;
};

}  // namespace torvik
