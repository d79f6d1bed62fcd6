// Writing a file that appears whole or not at all, under a name that no one
// else holds.
#include "core/SafeFile.h"
#include "TempDir.h"
#include "TestUtil.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <stdexcept>

// Any entry that has the name, whatever it is, stays as it was (links: the
// Linux-only tests).
TEST(SafeFile, NoReplaceNeverTakesAnExistingName)
{
    const fwtest::TempDir dir;
    const QByteArray jpeg(5000, 'j');
    fwtest::writeAll(dir.file("file"), "mine");
    ASSERT_TRUE(QDir(dir.path()).mkdir("directory"));
    for (const char* name : {"file", "directory"}) {
        const SafeFile::Result r = SafeFile::write(dir.file(name), fwtest::bytesOf(jpeg), SafeFile::Publish::NoReplace);
        EXPECT_EQ(r.outcome, SafeFile::Outcome::NameTaken) << name;
    }
    EXPECT_EQ(fwtest::readAll(dir.file("file")), "mine");
    EXPECT_EQ(fwtest::dirEntries(dir.path()).size(), 2) << "temporary file left behind";
}

// With a step before naming (the retire step's), the bytes are flushed
// first and the file is durable once named; a step that throws names
// nothing and leaves nothing.
TEST(SafeFile, TheStepBeforeNamingSeesFlushedBytesAndCanStopTheNaming)
{
    const fwtest::TempDir dir;
    QByteArray seen;
    const SafeFile::Result r =
        SafeFile::write(dir.file("a.JPG"), fwtest::bytesOf("a picture"), SafeFile::Publish::NoReplace,
                        [&](std::span<const std::uint8_t> bytes, bool flushed) {
                            seen = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
                            EXPECT_TRUE(flushed);
                            EXPECT_FALSE(QFile::exists(dir.file("a.JPG")));
                        });
    EXPECT_EQ(seen, "a picture");
    EXPECT_TRUE(r.durable);
    EXPECT_FALSE(SafeFile::write(dir.file("b.JPG"), fwtest::bytesOf("b"), SafeFile::Publish::NoReplace).durable);
    EXPECT_THROW(SafeFile::write(dir.file("c.JPG"), fwtest::bytesOf("c"), SafeFile::Publish::NoReplace,
                                 [](std::span<const std::uint8_t>, bool) { throw std::runtime_error("stop"); }),
                 std::runtime_error);
    EXPECT_EQ(fwtest::dirEntries(dir.path()), (QStringList{"a.JPG", "b.JPG"}));
}
