#include "detection/MdlRegAll.h"

#include "detection/PathMatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <vector>
#endif

namespace MdlRegAll {

#ifdef Q_OS_WIN

namespace {

// One view of the registry: a 32-bit installer writes into the 32-bit view
// (Wow6432Node), which a 64-bit program does not see by default.
QString readView(HKEY root, REGSAM view, const QString& subKey, const QString& valueName)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, reinterpret_cast<const wchar_t*>(subKey.utf16()), 0, KEY_READ | view, &key)
        != ERROR_SUCCESS)
        return {};
    QString result;
    DWORD type = 0;
    DWORD size = 0;
    const auto* name = reinterpret_cast<const wchar_t*>(valueName.utf16());
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        type = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS)
            result = QString::fromWCharArray(buffer.data()); // stops at the first NUL
    }
    RegCloseKey(key);
    return result;
}

} // namespace

QString ReadRegString(RegRoot root, const QString& subKey, const QString& valueName)
{
    const HKEY hive = root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const QString value = readView(hive, KEY_WOW64_64KEY, subKey, valueName);
    return value.isEmpty() ? readView(hive, KEY_WOW64_32KEY, subKey, valueName) : value;
}

#else

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

QString withWow64(const QString& subKey)
{
    const QString software = QStringLiteral("Software\\");
    if (!subKey.startsWith(software, Qt::CaseInsensitive))
        return {};
    return subKey.left(software.size()) + QStringLiteral("Wow6432Node\\") + subKey.mid(software.size());
}

} // namespace

QString WinePrefix()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : prefix;
}

QString ReadSystemRegString(const QString& systemRegPath, const QString& subKey, const QString& valueName)
{
    QFile file(systemRegPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    // The file holds a section per key: "[Software\\Sierra OnLine\\...] <time>",
    // then lines "name"=value, where @ names the default value.
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
        QStringView value = QStringView(line).mid(rest + 1);
        // A plain string is REG_SZ; "str(1):" says the same explicitly. Every
        // other type (str(2) expand, str(7) multi, dword, hex) counts as absent.
        if (value.startsWith(QStringLiteral("str(1):")))
            value = value.mid(7);
        if (!value.startsWith('"'))
            return {};
        qsizetype next = 0;
        const QStringView raw = quoted(value, 0, next);
        return next < 0 ? QString() : beforeNul(unescape(raw));
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

QString ReadRegString(const QString& winePrefix, RegRoot, const QString& subKey, const QString& valueName)
{
    const QString systemReg = winePrefix + QStringLiteral("/system.reg");
    QString value = ReadSystemRegString(systemReg, subKey, valueName);
    if (value.isEmpty()) {
        const QString wow = withWow64(subKey);
        if (!wow.isEmpty())
            value = ReadSystemRegString(systemReg, wow, valueName);
    }
    return value.isEmpty() ? value : MapWinePath(winePrefix, value);
}

QString ReadRegString(RegRoot root, const QString& subKey, const QString& valueName)
{
    return ReadRegString(WinePrefix(), root, subKey, valueName);
}

#endif

} // namespace MdlRegAll
