// SPDX-License-Identifier: MIT
#include <connectionstring.h>

#include <QTest>

class tst_ConnectionString : public QObject
{
    Q_OBJECT
private slots:
    void compose_data();
    void compose();
    void roundTrip_data();
    void roundTrip();
};

void tst_ConnectionString::compose_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("integrated");
    QTest::addColumn<QString>("expected");

    QTest::newRow("server login")
        << "db1\\SQLEXPRESS"
        << "sa"
        << "secret" << false
        << "Provider=SQLOLEDB.1; Persist Security Info=False;User ID=sa;PASSWORD=secret;"
           "Initial Catalog=Температура;Data Source=db1\\SQLEXPRESS;";
    QTest::newRow("integrated login leaves login and password out")
        << "db1\\SQLEXPRESS"
        << "sa"
        << "secret" << true
        << "Provider=SQLOLEDB.1; Persist Security Info=False;Integrated Security=SSPI;"
           "Initial Catalog=Температура;Data Source=db1\\SQLEXPRESS;";
    QTest::newRow("empty password")
        << "db1"
        << "sa"
        << "" << false
        << "Provider=SQLOLEDB.1; Persist Security Info=False;User ID=sa;PASSWORD=;"
           "Initial Catalog=Температура;Data Source=db1;";
    QTest::newRow("semicolon in the server is quoted")
        << "db1;Initial Catalog=master"
        << "sa"
        << "x" << false
        << "Provider=SQLOLEDB.1; Persist Security Info=False;User ID=sa;PASSWORD=x;"
           "Initial Catalog=Температура;Data Source=\"db1;Initial Catalog=master\";";
    QTest::newRow("equals sign in the password")
        << "db1"
        << "sa"
        << "a=b" << false
        << "Provider=SQLOLEDB.1; Persist Security Info=False;User ID=sa;PASSWORD=\"a=b\";"
           "Initial Catalog=Температура;Data Source=db1;";
    QTest::newRow("double quote goes in single quotes")
        << "db1"
        << "sa"
        << "p\"w" << false
        << "Provider=SQLOLEDB.1; Persist Security Info=False;User ID=sa;PASSWORD='p\"w';"
           "Initial Catalog=Температура;Data Source=db1;";
    QTest::newRow("both quotes: double quotes, inner one doubled")
        << "db1"
        << "o'neil"
        << "p\"'w" << false
        << "Provider=SQLOLEDB.1; Persist Security Info=False;User ID=\"o'neil\";"
           "PASSWORD=\"p\"\"'w\";Initial Catalog=Температура;Data Source=db1;";
    QTest::newRow("outer spaces are kept by quoting")
        << " db1 "
        << "sa"
        << " pw" << false
        << "Provider=SQLOLEDB.1; Persist Security Info=False;User ID=sa;PASSWORD=\" pw\";"
           "Initial Catalog=Температура;Data Source=\" db1 \";";
}

void tst_ConnectionString::compose()
{
    QFETCH(QString, server);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(bool, integrated);
    QFETCH(QString, expected);
    QCOMPARE(composeConnectionString({ server, login, password, integrated }), expected);
}

void tst_ConnectionString::roundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "secret";
    QTest::newRow("empty") << "";
    QTest::newRow("semicolon and key") << "x;Data Source=evil";
    QTest::newRow("double quote") << "p\"w";
    QTest::newRow("single quote") << "it's";
    QTest::newRow("both quotes") << "a'\"b\"\"";
    QTest::newRow("spaces") << "  padded  ";
    QTest::newRow("cyrillic") << "пароль=1";
}

void tst_ConnectionString::roundTrip()
{
    QFETCH(QString, value);
    const auto keys
        = parseConnectionString(composeConnectionString({ value + "srv", value, value, false }));
    QCOMPARE(connectionValue(keys, "password"), value);
    QCOMPARE(connectionValue(keys, "User ID"), value);
    QCOMPARE(connectionValue(keys, "Data Source"), value + "srv");
    QCOMPARE(connectionValue(keys, "Initial Catalog"), QStringLiteral("Температура"));
    QCOMPARE(connectionValue(keys, "Persist Security Info"), QStringLiteral("False"));
    QCOMPARE(keys.size(), 6);
}

QTEST_GUILESS_MAIN(tst_ConnectionString)
#include "tst_connectionstring.moc"
