// SPDX-License-Identifier: MIT
#include "../storage/storagefixture.h"

#include <messageboxes.h>
#include <readingsview.h>
#include <storage.h>
#include <tablestatements.h>
#include <tmainform.h>

#include <pirolan/pirolanerror.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

using namespace StorageFixture;

namespace {

class RecordingView : public ReadingsView
{
public:
    void showValues(const QStringList &) override { }
    void LogLine(const QString &suffix) override { logged.append(suffix); }
    void ShowFailure(const QString &suffix) override { failures.append(suffix); }
    QStringList logged;
    QStringList failures;
};

int rowCount(const QString &file)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "count");
        db.setDatabaseName(file);
        db.open();
        QSqlQuery query("SELECT count(*) FROM Темп", db);
        if (query.next())
            count = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase("count");
    return count;
}

QStringList logLines(const TMainForm &form)
{
    return form.Memo1->toPlainText().split('\n', Qt::SkipEmptyParts);
}

} // namespace

class tst_DatabaseCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void connectLogsSuccess();
    void connectFailures_data();
    void connectFailures();
    void clearTable_data();
    void clearTable();
    void saveAndDeleteOldest_data();
    void saveAndDeleteOldest();

private:
    QTemporaryDir m_dir;
    QString m_file;
    QList<std::pair<MessageBoxes::Kind, QString>> m_boxes;
};

void tst_DatabaseCommands::init()
{
    m_file = createSqliteFile(
        m_dir, QStringLiteral("t%1.sqlite").arg(QRandomGenerator::global()->generate()));
    m_boxes.clear();
    MessageBoxes::setPresenter([this](QWidget *, MessageBoxes::Kind kind, const QString &text) {
        m_boxes.append({ kind, text });
    });
}

void tst_DatabaseCommands::cleanup()
{
    MessageBoxes::setPresenter({});
}

void tst_DatabaseCommands::connectLogsSuccess()
{
    TMainForm form({}, [] { return QStringList(); });
    form.Edit1->setText(m_file);
    QVERIFY(form.ConnectDatabase());
    QVERIFY(form.databaseOpen());
    const QStringList lines = logLines(form);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].endsWith(QStringLiteral(" : Соединение MSSQL ОК!")));
    QVERIFY(m_boxes.isEmpty());
    form.DisconnectDatabase();
    QVERIFY(!form.databaseOpen());
}

void tst_DatabaseCommands::connectFailures_data()
{
    QTest::addColumn<bool>("changeWhileOpen");
    QTest::newRow("server refusal goes to the caller") << false;
    QTest::newRow("string change while open: box, connection closed") << true;
}

void tst_DatabaseCommands::connectFailures()
{
    QFETCH(bool, changeWhileOpen);
    TMainForm form({}, [] { return QStringList(); });
    form.MaskEdit1->setText(QStringLiteral("Sekr3tPw"));
    if (changeWhileOpen) {
        form.Edit1->setText(m_file);
        QVERIFY(form.ConnectDatabase());
        form.Edit1->setText(m_dir.filePath("other.sqlite"));
        QVERIFY(!form.ConnectDatabase());
        QVERIFY(!form.databaseOpen());
        QCOMPARE(m_boxes.size(), 1);
        const QString text = m_boxes[0].second;
        QVERIFY2(text.startsWith(QStringLiteral("[ ")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("] : EDatabaseError - ")), qPrintable(text));
        QVERIFY(text.endsWith(QStringLiteral("\rОшибка соединения")));
        QVERIFY(!text.contains(QStringLiteral("Sekr3tPw")));
        QCOMPARE(logLines(form).size(), 1);
    } else {
        form.Edit1->setText(m_dir.filePath("missing.sqlite"));
        QVERIFY_THROWS_EXCEPTION(EOleException, form.ConnectDatabase());
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(logLines(form).isEmpty());
    }
}

void tst_DatabaseCommands::clearTable_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("saveChecked");
    QTest::newRow("clear with Save SQL off leaves it on") << true << false;
    QTest::newRow("clear with Save SQL on") << true << true;
    QTest::newRow("failed clear: notice, Save SQL stays off") << false << true;
}

void tst_DatabaseCommands::clearTable()
{
    QFETCH(bool, connected);
    QFETCH(bool, saveChecked);
    TMainForm form({}, [] { return QStringList(); });
    form.setTrayAvailableProbe([] { return true; });
    form.Edit1->setText(m_file);
    if (connected) {
        QVERIFY(form.ConnectDatabase());
        form.storage().storeReading(QDateTime::currentDateTime(), "1.5");
        QCOMPARE(rowCount(m_file), 1);
    }
    form.Check1->setChecked(saveChecked);
    form.btnClear->click();

    const QStringList lines = logLines(form);
    if (connected) {
        QCOMPARE(rowCount(m_file), 0);
        QVERIFY(form.Check1->isChecked());
        QVERIFY(lines.last().endsWith(QStringLiteral(" : Таблица очищена!!!")));
        QVERIFY(form.trayIconShown());
    } else {
        QVERIFY(!form.Check1->isChecked());
        QVERIFY(lines.last().endsWith(QStringLiteral(" : DelTableError!!!")));
        QVERIFY(!form.trayIconShown());
        QVERIFY(form.isVisible());
    }
}

void tst_DatabaseCommands::saveAndDeleteOldest_data()
{
    QTest::addColumn<QString>("t1");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("logged");
    QTest::newRow("a number is stored") << "21.5" << 1 << "";
    QTest::newRow("not a number: logged, nothing stored")
        << "abc" << 0 << " : Ошибка SaveSQL!!! EOleException - ";
    QTest::newRow("empty first field: not sent, logged")
        << "" << 0 << " : Ошибка SaveSQL!!! EDatabaseError - ";
}

void tst_DatabaseCommands::saveAndDeleteOldest()
{
    QFETCH(QString, t1);
    QFETCH(int, rows);
    QFETCH(QString, logged);

    Storage storage;
    RecordingView view;
    TableStatements statements(storage, view);
    storage.ConnectDatabase(composeConnectionString({ m_file, "", "", false }));
    statements.SaveSQL(t1);
    QCOMPARE(rowCount(m_file), rows);
    if (logged.isEmpty()) {
        QVERIFY(view.logged.isEmpty());
    } else {
        QCOMPARE(view.logged.size(), 1);
        QVERIFY2(view.logged[0].startsWith(logged), qPrintable(view.logged[0]));
    }
    QVERIFY(view.failures.isEmpty());

    statements.DeleteOldest();
    QCOMPARE(rowCount(m_file), 0);
    QVERIFY(view.failures.isEmpty());

    storage.DisconnectDatabase();
    statements.DeleteOldest();
    QCOMPARE(view.failures, QStringList { QStringLiteral(" : DelMySQL!!!") });
}

QTEST_MAIN(tst_DatabaseCommands)
#include "tst_databasecommands.moc"
