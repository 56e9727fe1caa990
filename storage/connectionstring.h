// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

// The login the operator entered in the window.
struct LoginInput
{
    QString server;
    QString login;
    QString password;
    bool integrated = false;
};

// The connection string of a login, in the OLE DB form Pirolan has always produced. Values
// that would split or corrupt it (";", "=", quotes, outer spaces) are quoted; plain values
// appear exactly as typed.
QString composeConnectionString(const LoginInput &input);

// One "key=value" pair of a connection string, value unquoted.
struct ConnectionKey
{
    QString key;
    QString value;
};

// Splits a connection string into its pairs, undoing the quoting above. Keys are trimmed.
QList<ConnectionKey> parseConnectionString(const QString &text);

// The value of key (compared without regard to case), or an empty string.
QString connectionValue(const QList<ConnectionKey> &keys, const QString &key);
bool hasConnectionKey(const QList<ConnectionKey> &keys, const QString &key);
