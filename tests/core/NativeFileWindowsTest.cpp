// What only Windows does to our files: sharing modes instead of leases, a
// scanner that holds a new file for a moment, names outside the 8-bit code
// page, and a file's identity from its handle.
#include "TempDir.h"
#include "core/ReadError.h"
#include "core/Retire.h"
#include "core/ScreenshotList.h"
#include "core/SourceFile.h"
#include "core/os/NativeFile.h"

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

TEST(NativeFileWindows, AHoldThatOutlastsTheRetriesFailsAsInUseAndLosesNothing)
{
    const TempDir dir;
    writeAll(dir.file("held"), "new file");
    const OtherProgram scanner(dir.file("held"), GENERIC_READ, 0);
    const RetryGate gate([](int) {});
    EXPECT_EQ(NativeFile::remove(dir.file("held")).error, NativeFile::Error::InUse);
    EXPECT_EQ(gate.pauses(), 10);
    EXPECT_TRUE(QFile::exists(dir.file("held")));
}

TEST(NativeFileWindows, IdentityComesFromTheHandleAndSeesARenameOntoTheName)
{
    const TempDir dir;
    writeAll(dir.file("shot.bmp"), "first");
    writeAll(dir.file("other"), "first"); // same size, another file
    const std::optional<FileIdentity> before = NativeFile::identityOfPath(dir.file("shot.bmp"));
    ASSERT_TRUE(before);
    EXPECT_NE(before->inode, 0U);
    EXPECT_EQ(before->size, 5);
    EXPECT_TRUE(NativeFile::identityOfPath(dir.file("shot.bmp"))->isSameFile(*before));
    ASSERT_TRUE(NativeFile::replace(dir.file("other"), dir.file("shot.bmp")));
    EXPECT_FALSE(NativeFile::identityOfPath(dir.file("shot.bmp"))->isSameFile(*before));
}

TEST(NativeFileWindows, ANameOutsideTheCodePageIsListedReadAndDeleted)
{
    const TempDir dir;
    // Greek and a character beyond the Basic Multilingual Plane: no 8-bit
    // code page holds both.
    const QString name = QStringLiteral("\u03b8\u03ad\u03b1\U0001F3AE01.bmp");
    writeAll(dir.file(name), "the picture");
    EXPECT_EQ(ScreenshotList::list(dir.path()), QStringList{name});
    const FileIdentity read = SourceFile(dir.file(name)).identity();
    writeAll(dir.file("shot0000.JPG"), "its JPEG");
    EXPECT_EQ(Retire::retireBitmap(dir.file("shot0000.JPG"), dir.file(name), read).fate, Retire::Fate::Deleted);
    EXPECT_EQ(ScreenshotList::list(dir.path()), QStringList{});
}
