#include "platform/database/data_sources.h"

#include "common/text.h"
#include "platform/database/odbc_call.h"
#include "platform/database/utf16.h"

namespace torvik::db {

bool IsOdbcDataSource(const std::string& name)
{
    const OdbcHandle environment = OdbcHandle::Environment();
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (true) {
        SQLWCHAR found[SQL_MAX_DSN_LENGTH * 4 + 1] = {};
        SQLWCHAR description[512] = {};
        SQLSMALLINT foundLength = 0;
        SQLSMALLINT descriptionLength = 0;
        const SQLRETURN result = SQLDataSourcesW(environment.get(), direction, found,
                                                 static_cast<SQLSMALLINT>(std::size(found)), &foundLength, description,
                                                 static_cast<SQLSMALLINT>(std::size(description)), &descriptionLength);
        if (!Succeeded(result)) {
            return false;
        }
        const size_t units = std::min(static_cast<size_t>(std::max<SQLSMALLINT>(foundLength, 0)), std::size(found) - 1);
        if (SameText(Utf8FromUtf16(found, units), name)) {
            return true;
        }
        direction = SQL_FETCH_NEXT;
    }
}

}  // namespace torvik::db
