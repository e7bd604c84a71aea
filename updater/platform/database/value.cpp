#include "common/text.h"
#include "platform/database/database.h"

namespace torvik::db {

long Value::AsInteger() const
{
    return StrToInt(AsString());
}

}  // namespace torvik::db
