#include "detection/WineRegistryFile.h"

#include "detection/PathMatch.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace WineRegistryFile {

namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    const int d = u >= '0' && u <= '9'   ? u - '0'
                  : u >= 'a' && u <= 'f' ? u - 'a' + 10
                  : u >= 'A' && u <= 'F' ? u - 'A' + 10
                                         : -1;
    return d < base ? d : -1;
}

// Undoes the escapes with which Wine writes key names and strings:
// \\ \" \n \r \t \a \b \e \f \v, \xHHHH (hexadecimal) and \ooo (octal).
QString unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar e = text[++i];
        auto digits = [&](int base, int maxCount) {
            uint value = 0;
            for (int count = 0; count < maxCount && i + 1 < text.size(); ++count) {
                const int d = digitValue(text[i + 1], base);
                if (d < 0)
                    break;
                value = value * base + d;
                ++i;
            }
            return value;
        };
        switch (e.unicode()) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'e': out += QChar(27); break;
        case 'f': out += '\f'; break;
        case 'v': out += '\v'; break;
        case 'x': out += QChar(char16_t(digits(16, 4))); break;
        default:
            if (e >= '0' && e <= '7') {
                --i; // the first digit belongs to the number
                out += QChar(char16_t(digits(8, 3)));
            } else {
                out += e;
            }
        }
    }
    return out;
}

// The text between the quotes that start at text[from], escapes kept;
// next is set to the index after the closing quote (-1 when unterminated).
QStringView quoted(QStringView text, qsizetype from, qsizetype& next)
{
    for (qsizetype i = from + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            next = i + 1;
            return text.mid(from + 1, i - from - 1);
        }
    }
    next = -1;
    return {};
}

QString beforeNul(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// The value after "name"=, "" when it is no string.
Value stringValue(QStringView value)
{
    Value::Type type = Value::Type::String;
    if (value.startsWith(QStringLiteral("str(1):"))) {
        value = value.mid(7);
    } else if (value.startsWith(QStringLiteral("str(2):"))) {
        value = value.mid(7);
        type = Value::Type::ExpandString;
    }
    if (!value.startsWith('"'))
        return {};
    qsizetype next = 0;
    const QStringView raw = quoted(value, 0, next);
    if (next < 0)
        return {};
    return {type, beforeNul(unescape(raw))};
}

} // namespace

Value Read(const QString& registryFile, const QString& subKey, const QString& valueName)
{
    QFile file(registryFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inKey = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith('[')) {
            const qsizetype end = line.lastIndexOf(']');
            inKey = end > 0 && unescape(QStringView(line).mid(1, end - 1)).compare(subKey, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inKey || line.isEmpty())
            continue;
        QString name;
        qsizetype rest = 0;
        if (line.startsWith('@')) {
            rest = 1;
        } else if (line.startsWith('"')) {
            const QStringView raw = quoted(line, 0, rest);
            if (rest < 0)
                continue;
            name = unescape(raw);
        } else {
            continue;
        }
        if (rest >= line.size() || line[rest] != '=' || name.compare(valueName, Qt::CaseInsensitive) != 0)
            continue;
        return stringValue(QStringView(line).mid(rest + 1));
    }
    return {};
}

QString MapWinePath(const QString& winePrefix, const QString& windowsPath)
{
    if (windowsPath.size() < 2 || windowsPath[1] != ':' || !windowsPath[0].isLetter())
        return windowsPath;
    const QString drive = windowsPath.left(2).toLower();
    QString base = winePrefix + QStringLiteral("/dosdevices/") + drive;
    if (!QFileInfo(base).isDir() && drive == QStringLiteral("c:"))
        base = winePrefix + QStringLiteral("/drive_c");
    const QStringList parts = windowsPath.mid(2).split('\\', Qt::SkipEmptyParts);
    QString path = PathMatch::FollowIgnoringCase(base, parts);
    if (windowsPath.endsWith('\\') || parts.isEmpty())
        path += '/';
    return path;
}

} // namespace WineRegistryFile
