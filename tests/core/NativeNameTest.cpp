#include "core/NativeName.h"

#include <gtest/gtest.h>

namespace {

// Every byte string comes back as the same bytes, UTF-8 or not; a message
// shows the bytes that are not UTF-8 as "\xE9".
TEST(NativeName, EveryNameComesBackAsItsOwnBytes)
{
    const std::pair<QByteArray, const char*> names[] = {
        {"half0007.bmp", "half0007.bmp"},
        {"caf\xc3\xa9 \xf0\x9f\x98\x80.bmp", "caf\u00e9 \U0001F600.bmp"},
        {"caf\xe9.bmp", "caf\\xE9.bmp"},              // Latin-1
        {"a\xc3", "a\\xC3"},                          // a cut sequence
        {"\xc0\xaf", "\\xC0\\xAF"},                   // an overlong slash
        {"\xed\xb2\x80", "\\xED\\xB2\\x80"},          // an encoded surrogate
        {"\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}, // past U+10FFFF
    };
    for (const auto& [bytes, printable] : names) {
        const QString name = NativeName::decode(bytes);
        EXPECT_EQ(NativeName::encode(name), bytes) << printable;
        EXPECT_EQ(NativeName::printable(name), QString::fromUtf8(printable));
    }
}

} // namespace
