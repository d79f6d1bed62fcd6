// Writing a file that appears whole or not at all, under a name that no one
// else holds.
#include "core/SafeFile.h"
#include "TempDir.h"
#include "TestUtil.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<std::size_t>(b.size())};
}

} // namespace

// Any entry that has the name, whatever it is, stays as it was.
TEST(SafeFile, NoReplaceNeverTakesAnExistingName)
{
    const fwtest::TempDir dir;
    const QByteArray jpeg(5000, 'j');
    fwtest::writeAll(dir.file("file"), "mine");
    ASSERT_TRUE(QDir(dir.path()).mkdir("directory"));
    ASSERT_TRUE(QFile::link(dir.file("file"), dir.file("link")));
    ASSERT_TRUE(QFile::link(dir.file("nowhere"), dir.file("dangling")));
    for (const char* name : {"file", "directory", "link", "dangling"}) {
        const SafeFile::Result r = SafeFile::write(dir.file(name), bytesOf(jpeg), SafeFile::Publish::NoReplace);
        EXPECT_EQ(r.outcome, SafeFile::Outcome::NameTaken) << name;
    }
    EXPECT_EQ(fwtest::readAll(dir.file("file")), "mine");
    EXPECT_FALSE(QFile::exists(dir.file("nowhere")));

    // A name as long as the file system allows: the temporary name is short.
    const QString longest = dir.file(QString(251, 'n') + ".JPG");
    const SafeFile::Result r = SafeFile::write(longest, bytesOf(jpeg), SafeFile::Publish::NoReplace);
    EXPECT_EQ(r.outcome, SafeFile::Outcome::Written) << r.error.toStdString();
    EXPECT_EQ(fwtest::readAll(longest), jpeg);
    EXPECT_EQ(fwtest::dirEntries(dir.path()).size(), 5) << "temporary file left behind";
}
