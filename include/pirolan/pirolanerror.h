// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <exception>

// Base of every error Pirolan reports: the kind name the operator sees (EComPort,
// EDatabaseError, EOleException) and a message. Never carries a password.
class PirolanError : public std::exception
{
public:
    PirolanError(QString kind, QString message)
        : m_kind(std::move(kind))
        , m_message(std::move(message))
        , m_what((m_kind + QStringLiteral(" - ") + m_message).toUtf8())
    { }

    const QString &kind() const { return m_kind; }
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_kind;
    QString m_message;
    QByteArray m_what;
};

// Errors of the serial port.
class EComPort : public PirolanError
{
public:
    explicit EComPort(QString message)
        : PirolanError(QStringLiteral("EComPort"), std::move(message))
    { }
};

// Errors of the database component itself (driver missing, a change refused while open).
class EDatabaseError : public PirolanError
{
public:
    explicit EDatabaseError(QString message)
        : PirolanError(QStringLiteral("EDatabaseError"), std::move(message))
    { }
};

// Refusals from the database server or its driver (unreachable, bad login, missing database).
class EOleException : public PirolanError
{
public:
    explicit EOleException(QString message)
        : PirolanError(QStringLiteral("EOleException"), std::move(message))
    { }
};
