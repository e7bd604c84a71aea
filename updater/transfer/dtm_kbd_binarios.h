// TdtmKBD_Binarios: the binaries data module, with its connection to the database that
// stores the component files.
#pragma once

#include "platform/database/database.h"

namespace torvik {

class TdtmKBD_Binarios {
public:
    db::Connection conBinarios;
};

}  // namespace torvik
