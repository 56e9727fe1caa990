// SPDX-License-Identifier: MIT
#include "odbccatalog.h"

#include <sql.h>
#include <sqlext.h>

namespace OdbcCatalog {
namespace {

enum class Listing { DataSources, Drivers };

QStringList list(Listing what)
{
    QStringList names;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return names;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR name[512];
    SQLCHAR description[1024];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        const SQLRETURN rc = what == Listing::DataSources
            ? SQLDataSources(env, direction, name, sizeof name, &nameLength, description,
                sizeof description, &descriptionLength)
            : SQLDrivers(env, direction, name, sizeof name, &nameLength, description,
                sizeof description, &descriptionLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        names.append(QString::fromUtf8(reinterpret_cast<const char *>(name)));
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return names;
}

} // namespace

QStringList dataSourceNames()
{
    return list(Listing::DataSources);
}

QStringList driverNames()
{
    return list(Listing::Drivers);
}

} // namespace OdbcCatalog
