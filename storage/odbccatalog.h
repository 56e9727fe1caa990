// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

// What unixODBC knows on this machine (odbc.ini, odbcinst.ini; ODBCINI and ODBCSYSINI apply).
namespace OdbcCatalog {

// Names of the configured data sources, user and system.
QStringList dataSourceNames();
// Names of the registered drivers ("FreeTDS", "PostgreSQL Unicode", ...).
QStringList driverNames();

} // namespace OdbcCatalog
