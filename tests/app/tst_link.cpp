// SPDX-License-Identifier: MIT
// End to end: a pseudo-terminal stands in for the meter, the real window, reader thread,
// storage thread and database do the rest.
#include "../storage/storagefixture.h"

#include <ledround.h>
#include <messageboxes.h>
#include <seriallink.h>
#include <storage.h>
#include <tmainform.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace StorageFixture;

namespace {

struct Pty
{
    int master = -1;
    QString slave;
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
    void send(const QByteArray &bytes) const
    {
        QCOMPARE_EQ(
            ::write(master, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }
};

void openPty(Pty &pty)
{
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(pty.master >= 0);
    QVERIFY(::grantpt(pty.master) == 0 && ::unlockpt(pty.master) == 0);
    pty.slave = QString::fromLocal8Bit(::ptsname(pty.master));
}

double cpuSeconds()
{
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QStringList logLines(const TMainForm &form)
{
    return form.Memo1->toPlainText().split('\n', Qt::SkipEmptyParts);
}

int countEnding(const QStringList &lines, const QString &suffix)
{
    return int(std::count_if(
        lines.begin(), lines.end(), [&](const QString &l) { return l.endsWith(suffix); }));
}

} // namespace

class tst_Link : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void readingsFlow_data();
    void readingsFlow();
    void overflowIsLoggedOnce();
    void rollingWindow();
    void stopInTheMiddleOfAStream();
    void connectFailures_data();
    void connectFailures();
    void rateChangeWhileLinked();
    void deviceGoneGivesOneNotice();

private:
    std::unique_ptr<TMainForm> linkedForm(const QString &backend, const Pty &pty);

    QTemporaryDir m_dir;
    QString m_file;
    QStringList m_boxes;
};

void tst_Link::initTestCase()
{
    writeDataSource(m_dir);
}

void tst_Link::init()
{
    m_file = createSqliteFile(
        m_dir, QStringLiteral("t%1.sqlite").arg(QRandomGenerator::global()->generate()));
    m_boxes.clear();
    MessageBoxes::setPresenter(
        [this](QWidget *, MessageBoxes::Kind, const QString &text) { m_boxes.append(text); });
}

void tst_Link::cleanup()
{
    MessageBoxes::setPresenter({});
}

std::unique_ptr<TMainForm> tst_Link::linkedForm(const QString &backend, const Pty &pty)
{
    StartOptions options;
    options.ports = { pty.slave };
    auto form = std::make_unique<TMainForm>(options, [] { return QStringList(); });
    form->setTrayAvailableProbe([] { return true; });
    if (backend == QLatin1String("postgresql")) {
        emptyTable(backend, m_file);
        form->Edit1->setText(QLatin1String(kDataSource));
        form->Edit2->setText(qEnvironmentVariable("PIROLAN_PG_USER"));
        form->MaskEdit1->setText(postgresPassword());
    } else {
        form->Edit1->setText(m_file);
    }
    form->btnConnectClick();
    if (!form->LedConnect->Active())
        qWarning() << "not linked:" << m_boxes;
    return form;
}

void tst_Link::readingsFlow_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QByteArrayList>("writes");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("lastT5");

    for (const char *backend : { "sqlite", "postgresql" }) {
        QTest::addRow("%s: one line", backend)
            << backend << QByteArrayList { "21.5 19.0 18.7 20.1 64.2\r" } << 1 << "64.2";
        QTest::addRow("%s: one line in three chunks", backend)
            << backend << QByteArrayList { "21.", "5 19.0 18.7", " 20.1 64.2\r" } << 1 << "64.2";
        QByteArray burst;
        for (int i = 0; i < 100; ++i)
            burst += QByteArray::number(i) + " 1 2 3 " + QByteArray::number(i) + "\r";
        QTest::addRow("%s: burst of 100 lines in one write", backend)
            << backend << QByteArrayList { burst } << 100 << "99";
        QByteArrayList stream;
        for (int i = 0; i < 60; ++i) {
            QByteArray five;
            for (int j = 0; j < 5; ++j)
                five += QByteArray::number(i * 5 + j) + " 1 2 3 " + QByteArray::number(i * 5 + j)
                    + "\r\n";
            stream << five;
        }
        QTest::addRow("%s: a stream faster than the pauses loses nothing", backend)
            << backend << stream << 300 << "299";
        QTest::addRow("%s: CR LF lines give clean fields", backend)
            << backend << QByteArrayList { "1 2 3 4 5\r\n", "6 7 8 9 10\r", "\n" } << 2 << "10";
    }
}

void tst_Link::readingsFlow()
{
    QFETCH(QString, backend);
    QFETCH(QByteArrayList, writes);
    QFETCH(int, rows);
    QFETCH(QString, lastT5);
    PIROLAN_SKIP_WITHOUT_SERVER(backend);

    Pty pty;
    openPty(pty);
    auto form = linkedForm(backend, pty);
    QVERIFY(form->LedConnect->Active());
    form->Check1->setChecked(true);
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &bytes : writes) {
        pty.send(bytes);
        if (writes.size() > 1)
            QTest::qWait(30);
    }
    QTRY_COMPARE_WITH_TIMEOUT(storedValues(backend, m_file).size(), rows, 20000);
    if (rows >= 100)
        qInfo("%d rows stored in %lld ms", rows, clock.elapsed());
    const QList<double> values = storedValues(backend, m_file);
    if (rows >= 100) {
        for (int i = 0; i < rows; ++i)
            QCOMPARE(values[i], double(i));
    } else {
        QCOMPARE(values.first(), rows == 1 ? 21.5 : 1.0);
    }
    QTRY_COMPARE(form->Label7->text(), lastT5);
    QVERIFY(m_boxes.isEmpty());
    QCOMPARE(countEnding(logLines(*form), "!!!"), 0);
    form->Button1Click();
}

void tst_Link::overflowIsLoggedOnce()
{
    Pty pty;
    openPty(pty);
    auto form = linkedForm("sqlite", pty);
    pty.send(QByteArray(10 * 1024, '7'));
    QTRY_COMPARE(countEnding(logLines(*form), " : Переполнение буфера приёма!"), 1);
    QTest::qWait(200);
    QCOMPARE(countEnding(logLines(*form), " : Переполнение буфера приёма!"), 1);
    pty.send("\r1.5\r");
    QTRY_COMPARE(form->Label2->text(), QStringLiteral("1.5"));
    form->Button1Click();
}

void tst_Link::rollingWindow()
{
    Pty pty;
    openPty(pty);
    auto form = linkedForm("sqlite", pty);
    for (int i = 0; i < 5; ++i)
        form->storage().storeReading(QDateTime::currentDateTime().addSecs(i - 100), "0");
    form->Check1->setChecked(true);
    form->CheckDel->setChecked(true);
    for (int i = 1; i <= 4; ++i) {
        pty.send(QByteArray::number(i) + " 0 0 0 0\r");
        QTRY_COMPARE(storedValues("sqlite", m_file).last(), double(i));
        QTRY_COMPARE(storedValues("sqlite", m_file).size(), 5);
    }
    form->Button1Click();
}

void tst_Link::stopInTheMiddleOfAStream()
{
    Pty pty;
    openPty(pty);
    auto form = linkedForm("sqlite", pty);
    form->Check1->setChecked(true);
    form->CheckDel->setChecked(true);
    // The device keeps sending while Stop runs: Stop must still end the link promptly.
    std::atomic<bool> sending = true;
    QThread *device = QThread::create([&] {
        while (sending) {
            [[maybe_unused]] const auto written = ::write(pty.master, "1 2 3 4 5\r", 10);
            QThread::msleep(5);
        }
    });
    device->start();
    QTest::qWait(700);
    form->Button1Click();
    sending = false;
    QVERIFY(device->wait(5000));
    delete device;
    const QStringList lines = logLines(*form);
    QVERIFY2(lines.last().endsWith(" : Отключение от базы!"), qPrintable(lines.last()));
    QCOMPARE(countEnding(lines, "!!!"), 0);
    QVERIFY(!form->LedConnect->Active());
    QVERIFY(form->btnConnect->isEnabled());
    QVERIFY(!form->databaseOpen());
    QVERIFY(!form->BComPort1().isOpen());
    QVERIFY(m_boxes.isEmpty());
}

void tst_Link::connectFailures_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty port list") << ""
                                     << "Попытка открыть несуществующий COM-порт";
    QTest::newRow("missing device") << "/dev/ttyPIROLAN_NONE"
                                    << "Попытка открыть несуществующий COM-порт";
    QTest::newRow("device held by another process") << "held"
                                                    << "Порт занят другой программой";
}

void tst_Link::connectFailures()
{
    QFETCH(QString, port);
    QFETCH(QString, message);

    Pty pty;
    openPty(pty);
    QProcess holder;
    if (port == "held") {
        port = pty.slave;
        holder.start("sh", { "-c", "exec 3<>\"$0\"; echo held; exec sleep 30", pty.slave });
        QVERIFY(holder.waitForReadyRead(5000));
    }
    StartOptions options;
    if (!port.isEmpty())
        options.ports = { port };
    TMainForm form(options, [] { return QStringList(); });
    form.Edit1->setText(m_file);
    form.btnConnectClick();
    holder.kill();
    holder.waitForFinished();

    QCOMPARE(m_boxes.size(), 1);
    QVERIFY2(m_boxes[0].startsWith("[ "), qPrintable(m_boxes[0]));
    QVERIFY2(m_boxes[0].endsWith("] : EComPort - " + message), qPrintable(m_boxes[0]));
    QVERIFY(!form.databaseOpen());
    QVERIFY(!form.LedConnect->Active());
    QVERIFY(form.btnConnect->isEnabled());
    const QStringList lines = logLines(form);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines[0].endsWith(" : Соединение MSSQL ОК!"));
}

void tst_Link::rateChangeWhileLinked()
{
    Pty pty;
    openPty(pty);
    auto form = linkedForm("sqlite", pty);
    // Every rate of the list, the non-standard ones included, is accepted by the device.
    for (int index = form->cbBaudRate->count() - 1; index >= 0; --index) {
        form->cbBaudRate->setCurrentIndex(index);
        emit form->cbBaudRate->activated(index);
        QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.join(';')));
        QCOMPARE(form->BComPort1().baudRate(), form->cbBaudRate->itemText(index).toInt());
        QVERIFY(form->BComPort1().isOpen());
    }
    pty.send("3.5\r");
    QTRY_COMPARE(form->Label2->text(), QStringLiteral("3.5"));

    // The status clock runs while linked and stops with the link; its texts stay.
    QVERIFY(form->Timer1->isActive());
    QTRY_COMPARE(form->statusPanelText(0), QStringLiteral("Связь ОК!"));
    QCOMPARE(form->statusPanelText(1),
        QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    form->Button1Click();
    QVERIFY(!form->Timer1->isActive());
    QCOMPARE(form->statusPanelText(0), QStringLiteral("Связь ОК!"));
}

void tst_Link::deviceGoneGivesOneNotice()
{
    auto pty = std::make_unique<Pty>();
    openPty(*pty);
    auto form = linkedForm("sqlite", *pty);
    form->N2Click();
    pty.reset();
    const double before = cpuSeconds();
    QTRY_COMPARE(countEnding(logLines(*form), " : Ошибка BComPort1RxChar!!!"), 1);
    QTest::qWait(1000);
    QCOMPARE(countEnding(logLines(*form), " : Ошибка BComPort1RxChar!!!"), 1);
    QVERIFY(form->isVisible());
    // A reader spinning on the error would burn a whole core for that second.
    QVERIFY2(cpuSeconds() - before < 0.5, "the reader is spinning");
    form->Button1Click();
}

QTEST_MAIN(tst_Link)
#include "tst_link.moc"
