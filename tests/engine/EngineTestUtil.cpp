#include "EngineTestUtil.h"

#include "TempDir.h"

#include <QFile>
#include <QtEndian>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <turbojpeg.h>
#include <unistd.h>

namespace fwtest {

namespace {

void put16(QByteArray& b, int offset, quint16 v) { qToLittleEndian(v, b.data() + offset); }
void put32(QByteArray& b, int offset, quint32 v) { qToLittleEndian(v, b.data() + offset); }

} // namespace

QByteArray bmpBytes(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int w = image.width();
    const int h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    QByteArray b(54 + stride * h, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, b.size());
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, w);
    put32(b, 22, h);
    put16(b, 26, 1);
    put16(b, 28, 24);
    put32(b, 34, stride * h);
    for (int y = 0; y < h; ++y) {
        const uchar* in = image.constScanLine(h - 1 - y);
        char* out = b.data() + 54 + y * stride;
        for (int x = 0; x < w; ++x) {
            out[3 * x] = static_cast<char>(in[3 * x + 2]);
            out[3 * x + 1] = static_cast<char>(in[3 * x + 1]);
            out[3 * x + 2] = static_cast<char>(in[3 * x]);
        }
    }
    return b;
}

void writeBmp(const QString& path, const QImage& image)
{
    writeAll(path, bmpBytes(image));
}

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

QImage decodeJpeg(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    tjhandle d = tjInitDecompress();
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    QImage img;
    if (tjDecompressHeader3(d, bytes, data.size(), &w, &h, &subsamp, &colorspace) == 0) {
        img = QImage(w, h, QImage::Format_RGB888);
        if (tjDecompress2(d, bytes, data.size(), img.bits(), w, static_cast<int>(img.bytesPerLine()), h,
                          TJPF_RGB, TJFLAG_ACCURATEDCT)
            != 0)
            img = QImage();
    }
    tjDestroy(d);
    return img;
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

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
}

} // namespace fwtest
