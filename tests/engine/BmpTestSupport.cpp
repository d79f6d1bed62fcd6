#include "BmpTestSupport.h"

#include "TempDir.h"

#include <QDir>
#include <QHash>
#include <cstdio>
#include <utility>

namespace bmptest {

std::uint32_t Picture::at(int x, int y) const
{
    const std::uint8_t* p = bytes.data() + std::size_t(height - 1 - y) * stride() + 3 * x;
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

bool Picture::padIsZero() const
{
    for (int row = 0; row < height; ++row)
        for (int i = width * 3; i < stride(); ++i)
            if (bytes[std::size_t(row) * stride() + i] != 0)
                return false;
    return true;
}

BmpAllocator allocatorFor(Picture& picture)
{
    return [&picture](int width, int height) {
        ++picture.allocations;
        picture.width = width;
        picture.height = height;
        picture.bytes.assign(std::size_t(picture.stride()) * height, 0xAB);
        return picture.bytes.data();
    };
}

Bytes readBytes(const QString& path)
{
    const QByteArray data = fwtest::readAll(path);
    return Bytes(data.begin(), data.end());
}

QString writeBytes(const QString& path, const Bytes& bytes)
{
    fwtest::writeAll(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    return path;
}

namespace {

void keepAsSeed(std::span<const std::uint8_t> bytes)
{
    const QByteArray dir = qgetenv("FW_BMP_SEED_DIR");
    if (dir.isEmpty())
        return;
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    fwtest::writeAll(QString::fromLocal8Bit(dir) + '/' + QString::number(qHash(data), 16) + ".bmp", data);
}

std::string withoutPrefix(const std::string& what, const std::string& prefix)
{
    return what.rfind(prefix, 0) == 0 ? what.substr(prefix.size()) : "(no name) " + what;
}

} // namespace

Picture decode(std::span<const std::uint8_t> bytes)
{
    keepAsSeed(bytes);
    Picture picture;
    DecodeBmp(bytes, "crafted.bmp", allocatorFor(picture));
    return picture;
}

Picture decodeFile(const QString& path)
{
    Picture picture;
    DecodeBmpFile(path, allocatorFor(picture));
    return picture;
}

std::string reasonFor(std::span<const std::uint8_t> bytes, Picture* picture)
{
    keepAsSeed(bytes);
    Picture local;
    try {
        DecodeBmp(bytes, "crafted.bmp", allocatorFor(picture ? *picture : local));
    } catch (const BmpError& e) {
        return withoutPrefix(e.what(), "crafted.bmp: ");
    }
    return "";
}

std::string reasonForFile(const QString& path)
{
    try {
        decodeFile(path);
    } catch (const BmpError& e) {
        return withoutPrefix(e.what(), path.toStdString() + ": ");
    }
    return "";
}

namespace {

QString corpusRoot()
{
    const QByteArray overridden = qgetenv("FW_CORPUS_DIR");
    return overridden.isEmpty() ? QStringLiteral(FW_DEFAULT_CORPUS_DIR) : QString::fromLocal8Bit(overridden);
}

bool corpusPresent()
{
    return QDir(corpusRoot() + "/g").exists();
}

} // namespace

QString corpusFile(const QString& relative)
{
    return corpusRoot() + '/' + relative;
}

QStringList corpusFiles(const QString& folder)
{
    QStringList files;
    for (const QString& name : QDir(corpusFile(folder)).entryList({"*.bmp"}, QDir::Files, QDir::Name))
        files << folder + "/" + name;
    return files;
}

void CorpusTest::SetUp()
{
    if (corpusPresent())
        return;
    if (qgetenv("FW_REQUIRE_CORPUS") == "1")
        FAIL() << "FW_REQUIRE_CORPUS=1 but there is no bmpsuite corpus at " << corpusRoot().toStdString();
    static bool told = false; // one line per run, not one per test
    if (!std::exchange(told, true))
        std::printf("bmpsuite corpus not found at %s: its tests are skipped; "
                    "run them with FW_CORPUS_DIR=/path/to/bmpsuite make test\n",
                    qPrintable(QDir::cleanPath(corpusRoot())));
    GTEST_SKIP();
}

} // namespace bmptest
