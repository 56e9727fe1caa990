// SPDX-License-Identifier: MIT
// pirolan-bench: how Pirolan's receive road keeps up with the serial line. Drives the real
// reader thread, pipeline and storage thread through a pseudo-terminal, without the window.
#include "benchprobes.h"
#include "pacedwriter.h"

#include <connectionstring.h>
#include <lineframer.h>
#include <readings.h>
#include <receivepipeline.h>
#include <seriallink.h>
#include <storage.h>
#include <tablestatements.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

struct Options
{
    int baud = 115200;
    double seconds = 60;
    QString db = QStringLiteral("sqlite");
    QString dsn;
    QString user;
    QString password;
    bool json = false;
    bool quick = false;
};

double cpuSeconds()
{
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

qint64 residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * (::sysconf(_SC_PAGESIZE) / 1024);
}

double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype index
        = std::min(values.size() - 1, qsizetype(p * double(values.size() - 1) + 0.5));
    return values[index];
}

double physicalLinesPerSecond(int baud)
{
    return baud / 10.0 / double(PacedWriter::line(1000).size());
}

// The database of a run, reached from this thread for setting up and counting.
class BenchDatabase
{
public:
    explicit BenchDatabase(const Options &options)
        : m_options(options)
    {
        QSqlDatabase db;
        if (options.db == QLatin1String("sqlite")) {
            m_file = m_dir.filePath(QStringLiteral("bench.sqlite"));
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
            db.setDatabaseName(m_file);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), kName);
            db.setDatabaseName(QStringLiteral("%1;UID=%2;PWD=%3;")
                                   .arg(options.dsn, options.user, options.password));
        }
        if (!db.open())
            qFatal("bench database: %s", qPrintable(db.lastError().text()));
        if (!m_file.isEmpty()) {
            QFile script(QStringLiteral(PIROLAN_SOURCE_DIR "/sql/sqlite.sql"));
            script.open(QIODevice::ReadOnly);
            QString text;
            for (const QString &line : QString::fromUtf8(script.readAll()).split('\n'))
                if (!line.trimmed().startsWith(QLatin1String("--")))
                    text += line + '\n';
            for (const QString &statement : text.split(';', Qt::SkipEmptyParts))
                if (!statement.trimmed().isEmpty())
                    QSqlQuery(statement, db);
        }
    }
    ~BenchDatabase()
    {
        QSqlDatabase::database(kName, false).close();
        QSqlDatabase::removeDatabase(kName);
    }

    QString connectionString() const
    {
        if (!m_file.isEmpty())
            return composeConnectionString({ m_file, QString(), QString(), false });
        return composeConnectionString(
            { m_options.dsn, m_options.user, m_options.password, false });
    }

    // Empties the table and puts rows older than any reading in, as a rolling window has.
    void reset(int windowRows)
    {
        QSqlDatabase db = QSqlDatabase::database(kName);
        QSqlQuery(QStringLiteral("DELETE FROM Темп"), db);
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO Темп (Время, Темп_Улица) VALUES (?, ?)"));
        const QDateTime old = QDateTime::currentDateTime().addDays(-1);
        for (int i = 0; i < windowRows; ++i) {
            insert.addBindValue(old.addMSecs(i));
            insert.addBindValue(QStringLiteral("0"));
            insert.exec();
        }
        db.commit();
    }

    qint64 rowCount()
    {
        QSqlQuery count(QStringLiteral("SELECT count(*) FROM Темп"), QSqlDatabase::database(kName));
        return count.next() ? count.value(0).toLongLong() : -1;
    }

private:
    static constexpr char kName[] = "bench";
    const Options &m_options;
    QTemporaryDir m_dir;
    QString m_file;
};

QJsonObject framingBench(qint64 lines)
{
    BenchView view;
    Readings readings(&view);
    LineFramer framer;
    QByteArray stream;
    for (qint64 i = 0; i < 1000; ++i)
        stream += PacedWriter::line(i);
    const qsizetype chunk = 64;
    qint64 done = 0;
    qint64 bytes = 0;
    const auto start = BenchClock::now();
    while (done < lines) {
        for (qsizetype at = 0; at < stream.size(); at += chunk) {
            const auto framed = framer.append(readings.RxBuffer, stream.mid(at, chunk));
            for (const QByteArray &line : framed.lines) {
                readings.RxLine = line;
                readings.ParseString();
            }
            done += framed.lines.size();
        }
        bytes += stream.size();
    }
    const double seconds = std::chrono::duration<double>(BenchClock::now() - start).count();
    return { { "lines", done }, { "lines_per_second", double(done) / seconds },
        { "mb_per_second", double(bytes) / seconds / 1e6 },
        { "lines_merged", double(view.linesMerged) } };
}

// The receive road wired as the window wires it, without the window, linked to a writer.
struct BenchLink
{
    BenchLink(const Options &options, BenchDatabase &database)
    {
        storage.ConnectDatabase(database.connectionString());
        link.setBaudRate(options.baud);
        link.open(writer.devicePath());
    }

    Storage storage;
    BenchView view;
    TimedSteps steps { std::make_unique<TableStatements>(storage, view), view };
    PacedWriter writer;
    SerialLink link { view, steps };
};

struct RunPlan
{
    QString name;
    bool save = true;
    bool deleteOldest = true;
    int intervalMs = 0;
    double seconds = 60;
};

QJsonObject endToEnd(const Options &options, BenchDatabase &database, const RunPlan &plan)
{
    constexpr int kWindowRows = 1000;
    database.reset(plan.deleteOldest ? kWindowRows : 0);
    BenchLink road(options, database);
    auto &[storage, view, steps, writer, link] = road;
    link.pipeline().saveEnabled = plan.save;
    link.pipeline().deleteEnabled = plan.deleteOldest;

    const qint64 sent = writer.run(options.baud, plan.seconds, plan.intervalMs);
    const qint64 shownAtEnd = view.linesShown;
    const qint64 lineBytes = PacedWriter::line(sent).size();
    const qint64 backlog = std::max<qint64>(0, sent - shownAtEnd) * lineBytes;

    // Let the reader drain what is still on its way.
    const auto drainStart = BenchClock::now();
    auto done = [&] {
        QMutexLocker lock(plan.save ? &steps.mutex : &view.mutex);
        return (plan.save ? steps.committedAt.size() : view.shownAt.size()) >= sent;
    };
    while (!done() && BenchClock::now() - drainStart < std::chrono::seconds(30))
        QThread::msleep(20);
    const double drainMs
        = std::chrono::duration<double, std::milli>(BenchClock::now() - drainStart).count();
    link.close();

    QList<double> latencies;
    qint64 arrived = 0;
    {
        QMutexLocker lock(plan.save ? &steps.mutex : &view.mutex);
        const auto &at = plan.save ? steps.committedAt : view.shownAt;
        arrived = at.size();
        for (auto it = at.cbegin(); it != at.cend(); ++it)
            if (it.key() >= 0 && it.key() < writer.sentAt.size())
                latencies.append(
                    std::chrono::duration<double, std::milli>(it.value() - writer.sentAt[it.key()])
                        .count());
    }
    const qint64 rows = database.rowCount();
    const double elapsed = plan.seconds;
    return { { "name", plan.name }, { "db", options.db }, { "baud", options.baud },
        { "save_sql", plan.save }, { "delete_cir", plan.deleteOldest }, { "seconds", elapsed },
        { "lines_sent", sent }, { "lines_per_second", double(sent) / elapsed },
        { "physical_lines_per_second",
            plan.intervalMs > 0 ? 1000.0 / plan.intervalMs : physicalLinesPerSecond(options.baud) },
        { "rows_stored", plan.save ? arrived : 0 }, { "table_rows", rows },
        { "lines_lost", sent - arrived }, { "lines_merged", double(view.linesMerged) },
        { "failures_logged", double(view.logLines) },
        { "latency_measures", plan.save ? "commit" : "display" },
        { "commit_ms_p50", percentile(latencies, 0.50) },
        { "commit_ms_p99", percentile(latencies, 0.99) },
        { "commit_ms_max", percentile(latencies, 1.0) },
        { "deliberate_pause_ms", plan.save ? ReceivePipeline::kPauseMs : 0 },
        { "reader_backlog_bytes", backlog }, { "drain_ms", drainMs },
        { "writer_lag_ms", writer.lagMs } };
}

QJsonObject idleAndMemory(const Options &options, BenchDatabase &database, int idleSeconds)
{
    database.reset(0);
    BenchLink road(options, database);
    auto &[storage, view, steps, writer, link] = road;

    const double cpuBefore = cpuSeconds();
    const auto start = BenchClock::now();
    QThread::sleep(idleSeconds);
    const double wall = std::chrono::duration<double>(BenchClock::now() - start).count();
    const double idleCpu = (cpuSeconds() - cpuBefore) / wall * 100.0;

    // Memory: the whole receive road (reading, framing, splitting, display calls) for 100,000
    // lines. The pauses are left out here: with them this would take minutes, and they hold
    // no memory.
    link.close();
    view.recordTimes = false;
    link.pipeline().pause = [](int) {};
    link.open(writer.devicePath());
    constexpr qint64 kLines = 100000;
    writer.flood(1000);
    while (view.linesShown < 1000)
        QThread::msleep(10);
    const qint64 rssBefore = residentKb();
    writer.flood(kLines);
    while (view.linesShown < kLines + 1000)
        QThread::msleep(10);
    const qint64 rssAfter = residentKb();
    link.close();
    return { { "idle_seconds", wall }, { "idle_cpu_percent", idleCpu },
        { "rss_before_kb", rssBefore }, { "rss_after_kb", rssAfter },
        { "rss_growth_kb_per_100k_lines", double(rssAfter - rssBefore) },
        { "lines_merged", double(view.linesMerged) } };
}

void printTable(const QJsonObject &report)
{
    const QJsonObject framing = report["framing"].toObject();
    std::printf("Framing and splitting in memory: %.0f lines/s, %.1f MB/s (%lld lines)\n\n",
        framing["lines_per_second"].toDouble(), framing["mb_per_second"].toDouble(),
        qint64(framing["lines"].toDouble()));
    std::printf("%-22s %-10s %6s %5s %5s %7s %9s %7s %5s %6s %8s %8s %8s %8s %8s\n", "run", "db",
        "baud", "save", "del", "sent", "lines/s", "limit", "lost", "merged", "p50 ms", "p99 ms",
        "max ms", "backlog", "lag ms");
    for (const QJsonValue &value : report["runs"].toArray()) {
        const QJsonObject run = value.toObject();
        std::printf("%-22s %-10s %6d %5s %5s %7lld %9.1f %7.1f %5lld %6lld %8.1f %8.1f %8.1f %8lld "
                    "%8.1f\n",
            qPrintable(run["name"].toString()), qPrintable(run["db"].toString()),
            run["baud"].toInt(), run["save_sql"].toBool() ? "on" : "off",
            run["delete_cir"].toBool() ? "on" : "off", qint64(run["lines_sent"].toDouble()),
            run["lines_per_second"].toDouble(), run["physical_lines_per_second"].toDouble(),
            qint64(run["lines_lost"].toDouble()), qint64(run["lines_merged"].toDouble()),
            run["commit_ms_p50"].toDouble(), run["commit_ms_p99"].toDouble(),
            run["commit_ms_max"].toDouble(), qint64(run["reader_backlog_bytes"].toDouble()),
            run["writer_lag_ms"].toDouble());
    }
    std::printf(
        "(latency: carriage return written -> row committed with Save SQL on, -> line shown "
        "with it off; it includes the deliberate %d ms pause before the store)\n",
        ReceivePipeline::kPauseMs);
    const QJsonObject idle = report["idle"].toObject();
    std::printf("\nIdle, linked, no traffic: %.3f %% of one core over %.0f s\n",
        idle["idle_cpu_percent"].toDouble(), idle["idle_seconds"].toDouble());
    std::printf("Resident memory over 100,000 lines: %lld kB -> %lld kB (%+.0f kB)\n",
        qint64(idle["rss_before_kb"].toDouble()), qint64(idle["rss_after_kb"].toDouble()),
        idle["rss_growth_kb_per_100k_lines"].toDouble());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures Pirolan's receive road."));
    parser.addHelpOption();
    const QCommandLineOption baud("baud", "Line rate (115200).", "N", "115200");
    const QCommandLineOption seconds("seconds", "Length of each paced run (60).", "S", "60");
    const QCommandLineOption db("db", "sqlite or postgresql (sqlite).", "DB", "sqlite");
    const QCommandLineOption dsn("dsn", "ODBC data source of the PostgreSQL server.", "NAME");
    const QCommandLineOption user("user", "Login for --dsn.", "U");
    const QCommandLineOption passwordFile("password-file", "File holding the password.", "F");
    const QCommandLineOption json("json", "Print the figures as JSON.");
    parser.addOptions({ baud, seconds, db, dsn, user, passwordFile, json });
    parser.process(app);

    Options options;
    options.baud = parser.value(baud).toInt();
    options.seconds = parser.value(seconds).toDouble();
    options.db = parser.value(db);
    options.dsn = parser.value(dsn);
    options.user = parser.value(user);
    options.json = parser.isSet(json);
    if (parser.isSet(passwordFile)) {
        QFile file(parser.value(passwordFile));
        if (file.open(QIODevice::ReadOnly))
            options.password = QString::fromUtf8(file.readAll()).trimmed();
    }
    if (options.db != QLatin1String("sqlite") && options.dsn.isEmpty()) {
        std::fprintf(stderr, "--db postgresql needs --dsn, --user and --password-file\n");
        return 2;
    }

    BenchDatabase database(options);
    QJsonObject report;
    report["date"] = QDateTime::currentDateTime().toString(Qt::ISODate);
    report["framing"] = framingBench(2000000);
    QJsonArray runs;
    runs.append(endToEnd(options, database, { "paced, both on", true, true, 0, options.seconds }));
    runs.append(
        endToEnd(options, database, { "paced, both off", false, false, 0, options.seconds }));
    runs.append(endToEnd(options, database,
        { "one line a second", true, true, 1000, std::min(options.seconds, 20.0) }));
    report["runs"] = runs;
    // The headline figures, from the paced run with both check boxes on.
    const QJsonObject headline = runs.first().toObject();
    for (const char *key : { "lines_sent", "rows_stored", "lines_lost", "lines_merged",
             "commit_ms_p50", "commit_ms_p99", "reader_backlog_bytes" })
        report[QLatin1String(key)] = headline[QLatin1String(key)];
    const QJsonObject idle = idleAndMemory(options, database, 10);
    report["idle"] = idle;
    report["idle_cpu_percent"] = idle["idle_cpu_percent"];
    report["rss_growth_kb_per_100k_lines"] = idle["rss_growth_kb_per_100k_lines"];

    if (options.json)
        std::printf("%s\n", QJsonDocument(report).toJson(QJsonDocument::Indented).constData());
    else
        printTable(report);
    return 0;
}
