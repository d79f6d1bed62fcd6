#include "TestUtil.h"

#include "TempDir.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <memory>
#include <turbojpeg.h>
#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fwtest {

QByteArray bmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes;
}

void writeBmp(const QString& path, const QImage& image) { writeAll(path, bmpBytes(image)); }

QImage testPattern(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Gentle enough that a tiny picture is not all edges.
            QColor c(40 + 180 * x / qMax(60, width - 1), 40 + 180 * y / qMax(60, height - 1), 120);
            // Marks only where they cover whole colour blocks of the JPEG.
            if (width >= 32 && height >= 32) {
                if (x < width / 2 && y < height / 2)
                    c = QColor(220, 30, 30);
                else if (x >= width / 2 && y >= height / 2)
                    c = QColor(30, 30, 220);
            }
            img.setPixelColor(x, y, c);
        }
    }
    return img;
}

QImage decodeJpeg(std::span<const std::uint8_t> jpeg)
{
    const std::unique_ptr<void, int (*)(tjhandle)> decoder(tjInitDecompress(), tjDestroy);
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    auto* bytes = const_cast<unsigned char*>(jpeg.data()); // TurboJPEG 2 is not const-correct; it only reads
    const auto size = static_cast<unsigned long>(jpeg.size());
    if (!decoder || tjDecompressHeader3(decoder.get(), bytes, size, &width, &height, &subsampling, &colourspace) != 0)
        return {};
    QImage image(width, height, QImage::Format_RGB888);
    if (tjDecompress2(decoder.get(), bytes, size, image.bits(), width, int(image.bytesPerLine()), height, TJPF_RGB, 0)
        != 0)
        return {};
    return image;
}

QImage decodeJpeg(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return decodeJpeg({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
}

int maxChannelDiff(const QImage& a0, const QImage& b0)
{
    if (a0.size() != b0.size())
        return -1;
    const QImage a = a0.convertToFormat(QImage::Format_RGB888);
    const QImage b = b0.convertToFormat(QImage::Format_RGB888);
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x)
            worst = std::max(worst, std::abs(a.constScanLine(y)[x] - b.constScanLine(y)[x]));
    return worst;
}

double meanChannelDiff(const QImage& a0, const QImage& b0)
{
    const QImage a = a0.convertToFormat(QImage::Format_RGB888);
    const QImage b = b0.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x)
            sum += std::abs(a.constScanLine(y)[x] - b.constScanLine(y)[x]);
    return sum / (double(a.width()) * a.height() * 3);
}

QStringList dirEntries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

#ifndef _WIN32

int runAsNobody(const std::function<int()>& step)
{
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
        _exit(step());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

#endif

} // namespace fwtest
