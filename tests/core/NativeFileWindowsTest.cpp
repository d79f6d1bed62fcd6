// What only Windows does to our files: sharing modes instead of leases, a
// scanner that holds a new file for a moment, a delete still pending, names
// outside the 8-bit code page and paths past 260 characters, the hidden
// attribute, and a file's identity from its handle.
#include "TempDir.h"
#include "core/ReadError.h"
#include "core/Retire.h"
#include "core/SafeFile.h"
#include "core/ScreenshotList.h"
#include "core/SourceFile.h"
#include "core/os/NativeFile.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <windows.h>

using namespace fwtest;

namespace {

// A handle as another program holds it: a game still writing (write access,
// sharing only reading) or a virus scanner (reading, sharing nothing).
class OtherProgram {
public:
    OtherProgram(const QString& path, DWORD access, DWORD share)
        : m_handle(CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), access, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~OtherProgram() { close(); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    bool holds() const { return m_handle != INVALID_HANDLE_VALUE; }
    void close()
    {
        if (holds())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

// Counts the retry pauses, and acts at a chosen one, instead of sleeping.
class RetryGate {
public:
    explicit RetryGate(std::function<void(int)> at)
    {
        NativeFile::setRetryPause([this, at](int attempt) {
            ++m_pauses;
            at(attempt);
        });
    }
    ~RetryGate() { NativeFile::setRetryPause({}); }
    int pauses() const { return m_pauses; }

private:
    int m_pauses = 0;
};

} // namespace

TEST(NativeFileWindows, AWriterThatHoldsTheFileMeansStillBeingWrittenAndNoWriterCanStartWhileWeRead)
{
    const TempDir dir;
    const QString shot = dir.file("c1a00001.bmp");
    writeAll(shot, "a picture");
    {
        const OtherProgram game(shot, GENERIC_WRITE, FILE_SHARE_READ);
        ASSERT_TRUE(game.holds());
        const RetryGate gate([](int) {});
        EXPECT_THROW(SourceFile{shot}, StillBeingWritten);
        EXPECT_GT(gate.pauses(), 0); // it was given the scanner's chance first
    }
    SourceFile source(shot);
    const OtherProgram late(shot, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    EXPECT_FALSE(late.holds());
    EXPECT_NO_THROW(source.checkUnchanged());
}

TEST(NativeFileWindows, AScannersMomentaryHoldIsWaitedOutForEveryCall)
{
    struct Row {
        const char* call;
        std::function<NativeFile::Status(const TempDir&)> run;
        std::function<bool(const TempDir&)> done;
    };
    const Row rows[] = {
        {"delete", [](const TempDir& d) { return NativeFile::remove(d.file("held")); },
         [](const TempDir& d) { return !QFile::exists(d.file("held")); }},
        {"rename", [](const TempDir& d) { return NativeFile::moveNoReplace(d.file("held"), d.file("moved")); },
         [](const TempDir& d) { return QFile::exists(d.file("moved")) && !QFile::exists(d.file("held")); }},
        {"open",
         [](const TempDir& d) {
             NativeFile::Status status;
             NativeFile::openForReading(d.file("held"), status);
             return status;
         },
         [](const TempDir&) { return true; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        const TempDir dir;
        writeAll(dir.file("held"), "new file");
        OtherProgram scanner(dir.file("held"), GENERIC_READ, 0);
        ASSERT_TRUE(scanner.holds());
        // The scanner lets go during the second pause.
        const RetryGate gate([&](int attempt) {
            if (attempt == 1)
                scanner.close();
        });
        const NativeFile::Status status = row.run(dir);
        EXPECT_TRUE(status) << status.message().toStdString();
        EXPECT_EQ(gate.pauses(), 2);
        EXPECT_TRUE(row.done(dir));
    }
}

// A delete denied for a moment (a read-only attribute here, made writable
// during the first pause, as a pending delete or a mapping ends) is waited
// out; a hold that outlasts the retries fails as InUse and loses nothing.
TEST(NativeFileWindows, ADenialIsWaitedOutAndAHoldThatOutlastsTheRetriesFailsAsInUse)
{
    const TempDir dir;
    writeAll(dir.file("denied"), "new file");
    ASSERT_TRUE(QFile::setPermissions(dir.file("denied"), QFile::ReadOwner));
    {
        const RetryGate gate([&](int) { QFile::setPermissions(dir.file("denied"), QFile::WriteOwner); });
        EXPECT_TRUE(NativeFile::remove(dir.file("denied")));
        EXPECT_EQ(gate.pauses(), 1);
    }
    writeAll(dir.file("held"), "new file");
    const OtherProgram scanner(dir.file("held"), GENERIC_READ, 0);
    const RetryGate gate([](int) {});
    EXPECT_EQ(NativeFile::remove(dir.file("held")).error, NativeFile::Error::InUse);
    EXPECT_EQ(gate.pauses(), 10);
    EXPECT_TRUE(QFile::exists(dir.file("held")));
}

namespace {

// A bitmap read, converted and retired as a run does it with Delete ticked.
Retire::Outcome convertAndRetire(const QString& bitmap, const QString& outputDir)
{
    SourceFile source(bitmap);
    const FileIdentity identity = source.identity();
    Retire::Retirement retirement(bitmap, source.release(), identity);
    const Retire::Published published = Retire::publish(
        outputDir, "shot", 0,
        [](const QString& target, const SafeFile::BeforeNaming& beforeNaming) {
            return SafeFile::write(target, bytesOf("its JPEG"), SafeFile::Publish::NoReplace, beforeNaming);
        },
        ScreenshotList::kNumberCount, &retirement);
    return retirement.finish(published.result);
}

DWORD attributesOf(const QString& path)
{
    return GetFileAttributesW(
        reinterpret_cast<const wchar_t*>(QString("\\\\?\\" + QDir::toNativeSeparators(path)).utf16()));
}

} // namespace

TEST(NativeFileWindows, ANameOutsideTheCodePageAndAPathPast260CharactersAreListedReadAndDeleted)
{
    const TempDir dir;
    // Greek and a character beyond the Basic Multilingual Plane: no 8-bit
    // code page holds both.
    const QString name = QStringLiteral("\u03b8\u03ad\u03b1\U0001F3AE01.bmp");
    // A Steam library deep in a user's folders: 300 characters and more.
    QString deep = dir.path();
    while (deep.size() < 300) {
        deep += "/a folder of forty characters, or nearly";
        ASSERT_TRUE(NativeFile::makeDirectory(deep));
    }
    for (const QString& folder : {dir.path(), deep}) {
        SCOPED_TRACE(folder.size());
        const QString bitmap = folder + '/' + name;
        NativeFile::Status status;
        NativeFile::Descriptor file = NativeFile::createPrivate(bitmap, status);
        ASSERT_TRUE(file) << status.message().toStdString();
        ASSERT_TRUE(NativeFile::writeAll(file.get(), bytesOf("the picture")));
        ASSERT_TRUE(NativeFile::setHidden(file.get(), false));
        ASSERT_TRUE(file.close());
        EXPECT_EQ(ScreenshotList::list(folder), QStringList{name});
        EXPECT_EQ(convertAndRetire(bitmap, folder).fate, Retire::Fate::Deleted);
        EXPECT_EQ(ScreenshotList::list(folder), QStringList{});
        EXPECT_EQ(NativeFile::regularFiles(folder), QStringList{"shot0000.JPG"});
    }
}

// A private file is hidden from Explorer and cloud-sync clients while it
// has its private name; the JPEG is shown once it is named.
TEST(NativeFileWindows, PrivateFilesCarryTheHiddenAttribute)
{
    const TempDir dir;
    SafeFile::Prepared prepared = SafeFile::prepare(dir.path(), bytesOf("a JPEG"));
    const QStringList temporary = NativeFile::regularFiles(dir.path());
    ASSERT_EQ(temporary.size(), 1);
    EXPECT_TRUE(attributesOf(dir.file(temporary[0])) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(prepared.publish(dir.file("shot0000.JPG")).outcome, SafeFile::Outcome::Written);
    EXPECT_FALSE(attributesOf(dir.file("shot0000.JPG")) & FILE_ATTRIBUTE_HIDDEN);

    // A bitmap set aside is hidden, and shown again when it goes back.
    writeAll(dir.file("shot0001.bmp"), "the picture");
    SourceFile source(dir.file("shot0001.bmp"));
    const FileIdentity identity = source.identity();
    {
        Retire::Retirement retirement(dir.file("shot0001.bmp"), source.release(), identity);
        retirement.beforeNaming(1, bytesOf("its JPEG"), true);
        const QStringList aside = NativeFile::regularFiles(dir.path()).filter(".fw-");
        ASSERT_EQ(aside.size(), 1);
        EXPECT_TRUE(attributesOf(dir.file(aside[0])) & FILE_ATTRIBUTE_HIDDEN);
    } // not finished: put back
    EXPECT_FALSE(attributesOf(dir.file("shot0001.bmp")) & FILE_ATTRIBUTE_HIDDEN);
}

// A viewer, a thumbnailer or a sync client that opens the new JPEG without
// sharing writes does not stop its bitmap from going: the JPEG is never
// opened again for writing.
TEST(NativeFileWindows, AReaderHoldingTheNewJpegDoesNotKeepItsBitmap)
{
    const TempDir in, out;
    writeAll(in.file("shot0001.bmp"), "the picture");
    SourceFile source(in.file("shot0001.bmp"));
    const FileIdentity identity = source.identity();
    Retire::Retirement retirement(in.file("shot0001.bmp"), source.release(), identity);
    std::optional<OtherProgram> viewer;
    const SafeFile::Result written = SafeFile::write(
        out.file("shot0000.JPG"), bytesOf("its JPEG"), SafeFile::Publish::NoReplace,
        [&](std::span<const std::uint8_t> bytes, bool flushed) { retirement.beforeNaming(0, bytes, flushed); });
    ASSERT_EQ(written.outcome, SafeFile::Outcome::Written);
    viewer.emplace(out.file("shot0000.JPG"), GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(viewer->holds());
    const RetryGate gate([](int) {});
    EXPECT_EQ(retirement.finish(written).fate, Retire::Fate::Deleted);
    EXPECT_EQ(gate.pauses(), 0);
    EXPECT_TRUE(NativeFile::regularFiles(in.path()).isEmpty());
}
