#include "core/NativeName.h"

namespace NativeName {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // lone low surrogates U+DC80..U+DCFF

bool isEscape(char16_t c) { return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF; }

// The code point of a valid, shortest-form UTF-8 sequence at `at`, and its
// length; 0 when the bytes there are not one.
int sequenceAt(const QByteArray& b, qsizetype at, char32_t& out)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(b[i]); };
    const unsigned char lead = byte(at);
    int length = 0;
    char32_t lowest = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2, lowest = 0x80, out = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, lowest = 0x800, out = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, lowest = 0x10000, out = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > b.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        out = (out << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = out >= 0xD800 && out <= 0xDFFF;
    return out < lowest || out > 0x10FFFF || surrogate ? 0 : length;
}

} // namespace

QString decode(const QByteArray& bytes)
{
    QString name;
    name.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t code = 0;
        const int length = sequenceAt(bytes, at, code);
        if (length == 0) {
            name += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        name += QString::fromUcs4(&code, 1);
        at += length;
    }
    return name;
}

QByteArray encode(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool afterHigh = i > 0 && name[i - 1].isHighSurrogate();
        if (!isEscape(c) || afterHigh)
            continue;
        bytes += name.mid(plainFrom, i - plainFrom).toUtf8();
        bytes += char(c - kEscapeBase);
        plainFrom = i + 1;
    }
    bytes += name.mid(plainFrom).toUtf8();
    return bytes;
}

QString printable(const QString& name)
{
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (isEscape(c) && !(i > 0 && name[i - 1].isHighSurrogate()))
            out += QStringLiteral("\\x") + QString::number(unsigned(c - kEscapeBase), 16).toUpper();
        else
            out += name[i];
    }
    return out;
}

} // namespace NativeName
