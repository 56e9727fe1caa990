// SPDX-License-Identifier: MIT
// pirolan-devsim: a stand-in for the temperature meter. Opens a pseudo-terminal (or a given
// device), prints the path Pirolan should open, and sends lines of five readings that drift
// like real temperatures.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Writes all of data; a pseudo-terminal with nobody on the other end may refuse for a while.
void writeAll(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
            std::perror("write");
            std::exit(1);
        } else {
            QThread::msleep(5);
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pirolan-devsim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated five-channel temperature meter."));
    parser.addHelpOption();
    const QCommandLineOption device(
        "device", "Write to DEVICE instead of a new pseudo-terminal.", "DEVICE");
    const QCommandLineOption link("link", "Make a symbolic link PATH to the device.", "PATH");
    const QCommandLineOption interval(
        "interval", "Milliseconds between writes (1000).", "MS", "1000");
    const QCommandLineOption count("count", "Writes to make; 0 for no end (0).", "N", "0");
    const QCommandLineOption burst("burst", "Lines in one write (1).", "N", "1");
    const QCommandLineOption crlf("crlf", "End lines with CR LF instead of CR.");
    const QCommandLineOption seed("seed", "Random seed, for repeatable readings.", "N", "1");
    parser.addOptions({ device, link, interval, count, burst, crlf, seed });
    parser.process(app);

    int fd = -1;
    QString path;
    if (parser.isSet(device)) {
        path = parser.value(device);
        fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    } else {
        // Only the master side is kept open, so Pirolan is the one program on the device.
        fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0 && (::grantpt(fd) != 0 || ::unlockpt(fd) != 0))
            fd = -1;
        if (fd >= 0)
            path = QString::fromLocal8Bit(::ptsname(fd));
    }
    if (fd < 0) {
        std::perror("open");
        return 1;
    }
    if (parser.isSet(link)) {
        const QString target = parser.value(link);
        QFile::remove(target);
        if (!QFile::link(path, target)) {
            std::fprintf(stderr, "cannot link %s\n", qPrintable(target));
            return 1;
        }
    }
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);

    QRandomGenerator random(parser.value(seed).toUInt());
    std::array<double, 5> values = { -3.0, 18.5, 21.0, 45.0, 64.0 };
    const QByteArray ending = parser.isSet(crlf) ? "\r\n" : "\r";
    const int writes = parser.value(count).toInt();
    const int lines = std::max(1, parser.value(burst).toInt());
    for (int n = 0; writes == 0 || n < writes; ++n) {
        QByteArray data;
        for (int l = 0; l < lines; ++l) {
            QByteArrayList fields;
            for (double &v : values) {
                v += (random.generateDouble() - 0.5) * 0.2;
                fields << QByteArray::number(v, 'f', 1);
            }
            data += fields.join(' ') + ending;
        }
        writeAll(fd, data);
        QThread::msleep(parser.value(interval).toUInt());
    }
    // Let the last bytes leave before the master side closes.
    QThread::msleep(200);
    ::close(fd);
    return 0;
}
