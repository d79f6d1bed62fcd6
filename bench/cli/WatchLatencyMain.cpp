// Watch latency: from the moment a writer closes a 1024 x 768 screenshot in
// the watched directory to the moment its JPEG exists (the publishing rename
// shows as IN_MOVED_TO or IN_CREATE in the output directory).
// Usage: fwbench_cli_watch CONVERTER COUNT [OPTION...], the options passed
// to the converter (--normal-priority). Prints the median, the smallest and
// the largest latency in milliseconds.
#include "GameScene.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Blocks until a JPEG appears in the watched output directory.
bool waitForJpeg(int fd)
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0)
            return false;
        const ssize_t length = ::read(fd, buffer, sizeof buffer);
        for (const char* at = buffer; at < buffer + length;) {
            const auto* e = reinterpret_cast<const inotify_event*>(at);
            if (e->len > 0 && QByteArray(e->name).endsWith(".JPG"))
                return true;
            at += sizeof(inotify_event) + e->len;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: fwbench_cli_watch CONVERTER COUNT [OPTION...]\n");
        return 2;
    }
    const int count = std::atoi(argv[2]);
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    renderGameScene({1024, 768}, 3).convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");

    QTemporaryDir in, out;
    const int fd = ::inotify_init1(IN_CLOEXEC);
    ::inotify_add_watch(fd, QFile::encodeName(out.path()).constData(), IN_MOVED_TO | IN_CREATE);
    QProcess converter;
    converter.setStandardOutputFile(QProcess::nullDevice());
    QStringList options = {"--watch", "--new-only"};
    for (int i = 3; i < argc; ++i)
        options << QString::fromLocal8Bit(argv[i]);
    converter.start(QString::fromLocal8Bit(argv[1]), options + QStringList{in.path(), out.path()});
    while (converter.waitForReadyRead(10000) || converter.state() == QProcess::Running) {
        if (converter.readAllStandardError().contains("Watching"))
            break;
    }

    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        const QByteArray path = QFile::encodeName(in.filePath(QString("c3a2%1.bmp").arg(i, 4, 10, QChar('0'))));
        const int file = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (file < 0 || ::write(file, bitmap.constData(), size_t(bitmap.size())) != bitmap.size())
            return 1;
        ::close(file);
        const auto closed = Clock::now();
        if (!waitForJpeg(fd)) {
            std::fprintf(stderr, "no JPEG for %s\n", path.constData());
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - closed).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    converter.terminate();
    converter.waitForFinished();
    std::sort(ms.begin(), ms.end());
    std::printf("%.1f %.1f %.1f\n", ms[ms.size() / 2], ms.front(), ms.back());
    return 0;
}
