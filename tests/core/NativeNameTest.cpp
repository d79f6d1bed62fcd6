#include "core/NativeName.h"
#include "TempDir.h"
#include "core/ScreenshotList.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Every byte string comes back as the same bytes, whether it is UTF-8 or
// not; the bytes that are not UTF-8 show as "\xE9" in a message.
TEST(NativeName, EveryNameComesBackAsItsOwnBytes)
{
    const struct {
        const char* what;
        QByteArray bytes;
        const char* printable;
    } names[] = {
        {"ASCII", "half0007.bmp", "half0007.bmp"},
        {"UTF-8", "caf\xc3\xa9.bmp", "caf\u00e9.bmp"},
        {"four-byte UTF-8", "\xf0\x9f\x98\x80.bmp", "\U0001F600.bmp"},
        {"Latin-1", "caf\xe9.bmp", "caf\\xE9.bmp"},
        {"a cut sequence", "a\xc3", "a\\xC3"},
        {"an overlong slash", "\xc0\xaf", "\\xC0\\xAF"},
        {"an encoded surrogate", "\xed\xb2\x80", "\\xED\\xB2\\x80"},
        {"past U+10FFFF", "\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
    };
    for (const auto& n : names) {
        const QString name = NativeName::decode(n.bytes);
        EXPECT_EQ(NativeName::encode(name), n.bytes) << n.what;
        EXPECT_EQ(NativeName::printable(name), QString::fromUtf8(n.printable)) << n.what;
    }
}

#ifndef _WIN32 // Windows stores names as UTF-16, never as bytes
// A name in Latin-1, as an old game or file system writes it, is listed and
// found again by its own bytes; Qt's own decoding would lose it.
TEST(NativeName, AListedLatin1NameOpensItsFile)
{
    const fwtest::TempDir dir;
    const QByteArray bytes = QFile::encodeName(dir.dir())
                             + "caf\xe9"
                               "0001.bmp";
    std::FILE* file = std::fopen(bytes.constData(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    const QStringList listed = ScreenshotList::list(dir.path());
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(NativeName::encode(ScreenshotList::pathIn(dir.path(), listed[0])), bytes);
}
#endif

} // namespace
