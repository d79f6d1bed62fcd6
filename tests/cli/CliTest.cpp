// framewright-convert run as a process on real files: the names, the pixels,
// the lines and the exit codes, and that nothing is lost when writing fails,
// two converters race or a writer opens a bitmap being read.
#include "CliSupport.h"
#include "TempDir.h"
#include "TestUtil.h"
#include "core/ScreenshotList.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace clitest;
using namespace fwtest;

// Once a prefix's numbers 0000 to 9998 are all taken (a recorded movie has
// more frames), the names go on with 9999 and then five digits.
TEST(Cli, ConvertsInListOrderNumbersPast9998AndSkipsWithReasons)
{
    TempDir in, out;
    writeBmp(in.file("c1a00003.bmp"), shot(0));
    writeBmp(in.file("C1A00007.BMP"), shot(1));
    writeShots(in, "movie%1.bmp", 2, 2);
    for (int n = 0; n < 9999; ++n)
        writeAll(out.file(ScreenshotList::candidateName("movie", n)), {});
    writeBmp(in.file("shot.bmp"), shot(2));
    writeAll(in.file("tiny0001.bmp"), bmpBytes(testPattern(40, 30)));
    // The decoder's reasons pass through, and a bitmap skipped takes no number.
    writeAll(in.file("c1a00001.bmp"), QByteArray(360000, 'x'));
    writeAll(out.file("c1a00000.JPG"), "someone else's");

    const Result r = convert({"-q", "90", "-j", "3", in.path(), out.path()});
    EXPECT_EQ(r.code, 0) << r.errors.toStdString();
    const QStringList expected = {
        R"(c1a00001\.bmp skipped: not a BMP file.*)",
        R"(c1a00003\.bmp -> c1a00001\.JPG \(\d+ KiB\))",
        R"(C1A00007\.BMP -> C1A00000\.JPG \(\d+ KiB\))",
        R"(movie0000\.bmp -> movie9999\.JPG \(\d+ KiB\))",
        R"(movie0001\.bmp -> movie10000\.JPG \(\d+ KiB\))",
        R"(shot\.bmp skipped: name of 8 characters or fewer)",
        R"(tiny0001\.bmp skipped: smaller than 360000 bytes)",
        R"(4 converted, 3 skipped, 0 failed in [\d.]+ s \([\d.]+ MP/s\))",
    };
    const QString output = r.lines.join('\n');
    EXPECT_TRUE(QRegularExpression("^" + expected.join('\n') + "$").match(output).hasMatch()) << output.toStdString();

    EXPECT_EQ(readAll(out.file("c1a00000.JPG")), "someone else's");
    EXPECT_EQ(idOf(decodeJpeg(out.file("c1a00001.JPG"))), 0);
    EXPECT_EQ(idOf(decodeJpeg(out.file("C1A00000.JPG"))), 1);
    EXPECT_EQ(idOf(decodeJpeg(out.file("movie10000.JPG"))), 3);
    EXPECT_EQ(entries(in.path()).size(), 7);
}

TEST(Cli, TwoConvertersDeletingFromOneFolderLoseNothing)
{
    TempDir in, out;
    writeShots(in, "c1a0%1.bmp", 12);
    QProcess first, second;
    startConvert(first, {"-d", "-j", "2", in.path(), out.path()});
    startConvert(second, {"-d", "-j", "2", in.path(), out.path()});
    const Result a = finish(first), b = finish(second);
    EXPECT_EQ(a.code, 0) << a.lines.join('\n').toStdString();
    EXPECT_EQ(b.code, 0) << b.lines.join('\n').toStdString();

    // Every bitmap is gone, each has at least one JPEG of its own, and no JPEG
    // replaced another: one file per line that reported one.
    EXPECT_TRUE(entries(in.path()).isEmpty());
    const std::multiset<int> ids = idsOfJpegs(out.path());
    for (int id = 0; id < 12; ++id)
        EXPECT_GE(ids.count(id), 1u) << id;
    const auto written = (a.lines + b.lines).filter(" -> ").size();
    EXPECT_EQ(qsizetype(ids.size()), written);
    EXPECT_EQ(entries(out.path(), ".*").size(), 0);
}

namespace {

// A picture written as a TGA file by GraphicsMagick (gm convert) or netpbm
// (ppmtotga), with the writer's arguments.
void writeTga(const QString& path, const QImage& image, const QString& writer, const QStringList& args)
{
    const QString ppm = path + ".ppm";
    ASSERT_TRUE(image.save(ppm, "PPM"));
    QProcess p;
    if (writer == "gm") {
        p.start(writer, QStringList{"convert", ppm} + args + QStringList{"tga:" + path});
    } else {
        p.setStandardOutputFile(path);
        p.start(writer, args + QStringList{ppm});
    }
    ASSERT_TRUE(p.waitForFinished() && p.exitCode() == 0) << p.readAllStandardError().toStdString();
    QFile::remove(ppm);
}

} // namespace

// The game's TGA screenshots, in the forms other programs write, give the
// very JPEG of the same picture as a bitmap, and are deleted like bitmaps.
// The size rule is that of the picture as a bitmap: a small RLE file of a
// large picture is converted, a small picture is not.
TEST(Cli, TgaScreenshotsGiveTheJpegOfTheirBitmap)
{
    for (const char* writer : {"gm", "ppmtotga"}) {
        if (QStandardPaths::findExecutable(writer).isEmpty())
            GTEST_SKIP() << writer << " not installed (scripts/install-deps.sh adds it)";
    }
    TempDir in, out;
    const QImage picture = shot(5);
    QImage flat(400, 300, QImage::Format_RGB32);
    flat.fill(QColor(90, 60, 30));
    QPainter(&flat).fillRect(100, 100, 80, 40, Qt::white);
    const auto bmp = [](const QImage& image) { return [image](const QString& path) { writeBmp(path, image); }; };
    const auto tga = [](const QImage& image, const char* writer, const QStringList& args = {}) {
        return [image, writer, args](const QString& path) { writeTga(path, image, writer, args); };
    };
    const struct {
        const char* name;
        std::function<void(const QString&)> write;
        const char* line;
        const char* sameAs = nullptr; // the JPEG it must equal byte for byte
    } rows[] = {
        {"c1a00035.bmp", bmp(picture), R"(c1a00035\.bmp -> c1a00000\.JPG .*)"},
        {"c1a00036.tga", tga(picture, "gm"), R"(c1a00036\.tga -> c1a00001\.JPG .*)", "c1a00000.JPG"},
        {"c1a00038.tga", tga(picture, "ppmtotga", {"-rgb"}), R"(c1a00038\.tga -> c1a00002\.JPG .*)", "c1a00000.JPG"},
        {"flat0001.tga", tga(flat, "ppmtotga", {"-rgb"}), R"(flat0001\.tga -> flat0000\.JPG .*)", "flat0001.JPG"},
        {"flat0002.bmp", bmp(flat), R"(flat0002\.bmp -> flat0001\.JPG .*)"},
        {"HalfLife07.tga", tga(picture, "gm"), R"(HalfLife07\.tga -> HalfLife0000\.JPG .*)", "c1a00000.JPG"},
        {"tiny0001.tga", tga(picture.scaled(40, 30), "gm"),
         R"(tiny0001\.tga skipped: smaller than 360000 bytes as a bitmap)"},
    };
    for (const auto& row : rows)
        row.write(in.file(row.name));
    ASSERT_LT(QFileInfo(in.file("flat0001.tga")).size(), 360000);

    const Result r = convert({"-d", "-j", "2", in.path(), out.path()});
    EXPECT_EQ(r.code, 0) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), std::size(rows) + 1) << r.lines.join('\n').toStdString();
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_TRUE(QRegularExpression(QString("^%1$").arg(rows[i].line)).match(r.lines[qsizetype(i)]).hasMatch())
            << r.lines[qsizetype(i)].toStdString();
        const QString jpeg = r.lines[qsizetype(i)].section(' ', 2, 2);
        if (rows[i].sameAs) {
            EXPECT_EQ(readAll(out.file(jpeg)), readAll(out.file(rows[i].sameAs))) << rows[i].name;
        }
    }
    EXPECT_EQ(entries(in.path()), QStringList({"tiny0001.tga"}));
}

// A writer that opens a bitmap while the converter holds its read lease
// makes the kernel send the converter SIGIO, which ends nothing. strace
// keeps every fcntl waiting after it returned, so the lease stays taken
// until the test has opened the file.
TEST(Cli, AWriterOpeningDuringTheLeaseProbeEndsNothing)
{
    TempDir in, out;
    writeBmp(in.file("c1a00000.bmp"), shot(1));
    QProcess traced;
    startTraced(traced, {"-e", "trace=fcntl", "-e", "inject=fcntl:delay_exit=600000"},
                {"-j", "1", in.path(), out.path()});
    traced.setReadChannel(QProcess::StandardError); // where strace writes
    QByteArray trace;
    while (!trace.contains("F_SETLEASE, F_RDLCK) = 0") && traced.waitForReadyRead(60000))
        trace += traced.readAllStandardError();
    ASSERT_TRUE(QFile(in.file("c1a00000.bmp")).open(QIODevice::Append)); // waits for the lease to be given up

    const Result r = finish(traced);
    EXPECT_EQ(r.code, 0) << r.errors.toStdString();
    EXPECT_FALSE(r.errors.contains("killed by")) << r.errors.toStdString();
    EXPECT_TRUE(r.lines.join('\n').contains(QRegularExpression("c1a00000.bmp (->|skipped: still being written)")))
        << r.lines.join('\n').toStdString();
}

TEST(Cli, BadOptionsAreUsageErrors)
{
    TempDir in, root;
    const QStringList rows[] = {{"-q", "101"},         {"-q", "high"}, {"-j", "0"}, {"--bogus"},
                                {"--normal-priority"}, {"--new-only"}, {"-n", "-w"}};
    for (const QStringList& args : rows) {
        const Result r = convert(QStringList(args) << in.path() << root.file("out"));
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.errors.startsWith("framewright-convert: ")) << r.errors.toStdString();
    }
    EXPECT_FALSE(QDir(root.file("out")).exists());
}

// On a full disk (here a file-size limit) every write fails: nothing may be
// lost, and no temporary file may be left.
TEST(Cli, FullDiskLosesNothing)
{
    TempDir in, out;
    writeShots(in, "c1a0%1.bmp", 3);
    const Result r = convert({"-d", in.path(), out.path()}, [] {
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(r.code, 1) << r.errors.toStdString();
    EXPECT_EQ(r.lines.filter(" failed: ").size(), 3) << r.lines.join('\n').toStdString();
    EXPECT_EQ(entries(in.path()).size(), 3);
    EXPECT_EQ(readAll(in.file("c1a00001.bmp")), bmpBytes(shot(1)));
    EXPECT_TRUE(entries(out.path()).isEmpty());
}

// A linked bitmap is converted once: with -d its link goes, as the window
// deletes the name it read, and the picture stays in the file it points to.
TEST(Cli, ALinkedBitmapIsConvertedOnceAndOnlyItsLinkIsDeleted)
{
    TempDir in, out, elsewhere;
    writeShots(elsewhere, "c1a0%1.bmp", 1);
    ASSERT_TRUE(QFile::link(elsewhere.file("c1a00000.bmp"), in.file("c1a00000.bmp")));
    for (int run = 0; run < 2; ++run) {
        const Result r = convert({"-d", in.path(), out.path()});
        EXPECT_EQ(r.code, 0) << r.errors.toStdString();
    }
    EXPECT_EQ(idsOfJpegs(out.path()), std::multiset<int>{0});
    EXPECT_TRUE(entries(in.path()).isEmpty());
    EXPECT_EQ(readAll(elsewhere.file("c1a00000.bmp")), bmpBytes(shot(0)));
}

// A JPEG whose flush fails (a network folder's write-behind, a failing disk)
// is published, but its bitmap is kept: nothing would hold the picture if
// the JPEG never reached the disk. Every flush fails here, by strace.
TEST(Cli, AJpegThatCannotBeMadeDurableKeepsItsBitmap)
{
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(std::string("-j ") + jobs);
        TempDir in, out;
        writeShots(in, "c1a0%1.bmp", 2);
        QProcess traced;
        startTraced(traced, {"-o", "/dev/null", "-e", "inject=fsync,fdatasync:error=EIO"},
                    {"-d", "-j", jobs, in.path(), out.path()});
        const Result r = finish(traced);
        EXPECT_EQ(r.code, 0) << r.errors.toStdString();
        EXPECT_EQ(r.lines.filter(", bitmap kept: its JPEG could not be confirmed").size(), 2)
            << r.lines.join('\n').toStdString();
        EXPECT_EQ(entries(in.path(), "*").size(), 2);
        EXPECT_EQ(entries(in.path(), ".*").size(), 0);
        EXPECT_EQ(idsOfJpegs(out.path()), (std::multiset<int>{0, 1}));
    }
}

// A name in Latin-1 is converted and deleted by its own bytes, and its JPEG's
// name keeps them.
TEST(Cli, NamesThatAreNotUtf8KeepTheirBytes)
{
    TempDir in, out;
    const QByteArray latin1 = "caf\xe9", name = QFile::encodeName(in.path()) + "/" + latin1 + "0001.bmp";
    std::ofstream(name.constData(), std::ios::binary) << bmpBytes(shot(4)).toStdString();
    const Result r = convert({"-d", in.path(), out.path()});
    EXPECT_EQ(r.code, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.lines.value(0).startsWith("caf\\xE90001.bmp -> caf\\xE90000.JPG ("))
        << r.lines.value(0).toStdString();
    const QByteArray jpeg = QFile::encodeName(out.path()) + "/" + latin1 + "0000.JPG";
    std::ifstream written(jpeg.constData(), std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(written), {}};
    EXPECT_EQ(idOf(decodeJpeg({reinterpret_cast<const std::uint8_t*>(data.data()), data.size()})), 4);
    EXPECT_EQ(::unlink(jpeg.constData()), 0);
    EXPECT_NE(::access(name.constData(), F_OK), 0) << "the bitmap was not deleted";
}

// What cannot work at all stops at once, with the reason and exit status 1.
TEST(Cli, SetupFailuresSayWhatFailed)
{
    TempDir in, out;
    writeShots(in, "c1a0%1.bmp", 2);
    writeAll(in.file("afile"), "not a directory");
    // Threads count against the user's process limit (root has none), and
    // against every process of that user: one no other test runs as.
    constexpr uid_t kUser = 64123;
    for (const QString& dir : {in.path(), out.path()})
        ASSERT_EQ(::chown(qPrintable(dir), kUser, kUser), 0);
    const auto threadsAllowed = [](rlim_t n) {
        return [n] {
            const rlimit limit{n, n};
            if (::setgid(kUser) != 0 || ::setrlimit(RLIMIT_NPROC, &limit) != 0 || ::setuid(kUser) != 0)
                ::_exit(99);
        };
    };
    const struct {
        const char* what;
        QStringList args;
        std::function<void()> inChild;
        int code;
        const char* says;
    } rows[] = {
        {"input is a file", {in.file("afile"), out.path()}, {}, 1, "is not a directory"},
        {"output under a file", {in.path(), in.file("afile/out")}, {}, 1, "cannot create the directory"},
        {"no thread at all", {"-j", "2", in.path(), out.path()}, threadsAllowed(1), 1, "cannot start a thread"},
    };
    for (const auto& row : rows) {
        const Result r = convert(row.args, row.inChild);
        EXPECT_EQ(r.code, row.code) << row.what << ": " << r.errors.toStdString();
        EXPECT_TRUE(r.errors.contains(row.says)) << row.what << ": " << r.errors.toStdString();
    }
}
