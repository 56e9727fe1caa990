// SPDX-License-Identifier: MIT
#include "connectionstring.h"

namespace {

bool needsQuoting(const QString &value)
{
    if (value.isEmpty())
        return false;
    return value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('='))
        || value.contains(QLatin1Char('"')) || value.contains(QLatin1Char('\''))
        || value.front().isSpace() || value.back().isSpace();
}

QString quoted(const QString &value)
{
    if (!needsQuoting(value))
        return value;
    if (value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    QString inner = value;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace

QString composeConnectionString(const LoginInput &input)
{
    QString text = QStringLiteral("Provider=SQLOLEDB.1; Persist Security Info=False;");
    if (input.integrated) {
        text += QStringLiteral("Integrated Security=SSPI;");
    } else {
        text += QStringLiteral("User ID=") + quoted(input.login) + QLatin1Char(';');
        text += QStringLiteral("PASSWORD=") + quoted(input.password) + QLatin1Char(';');
    }
    text += QStringLiteral("Initial Catalog=Температура;");
    text += QStringLiteral("Data Source=") + quoted(input.server) + QLatin1Char(';');
    return text;
}

QList<ConnectionKey> parseConnectionString(const QString &text)
{
    QList<ConnectionKey> keys;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without "=": nothing to keep, move past it.
            if (semi < 0)
                break;
            i = semi + 1;
            continue;
        }
        ConnectionKey pair { text.mid(i, eq - i).trimmed(), QString() };
        i = eq + 1;
        while (i < n && text[i].isSpace() && text[i] != QLatin1Char(';'))
            ++i;
        if (i < n && (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('\''))) {
            const QChar quote = text[i++];
            while (i < n) {
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        pair.value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                pair.value += text[i++];
            }
            const qsizetype end = text.indexOf(QLatin1Char(';'), i);
            i = end < 0 ? n : end + 1;
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), i);
            pair.value = text.mid(i, (end < 0 ? n : end) - i).trimmed();
            i = end < 0 ? n : end + 1;
        }
        keys.append(pair);
    }
    return keys;
}

QString connectionValue(const QList<ConnectionKey> &keys, const QString &key)
{
    for (const ConnectionKey &pair : keys) {
        if (pair.key.compare(key, Qt::CaseInsensitive) == 0)
            return pair.value;
    }
    return {};
}

bool hasConnectionKey(const QList<ConnectionKey> &keys, const QString &key)
{
    for (const ConnectionKey &pair : keys) {
        if (pair.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
