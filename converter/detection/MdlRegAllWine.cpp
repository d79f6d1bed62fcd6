#include "detection/MdlRegAll.h"

#include "detection/WineRegistryFile.h"

#include <QDir>

namespace MdlRegAll {

namespace {

// Where Windows, and so Wine, keeps the system's environment variables.
const QString kEnvironmentKey = QStringLiteral("System\\CurrentControlSet\\Control\\Session Manager\\Environment");

QString withWow64(const QString& subKey)
{
    const QString software = QStringLiteral("Software\\");
    if (!subKey.startsWith(software, Qt::CaseInsensitive))
        return {};
    return subKey.left(software.size()) + QStringLiteral("Wow6432Node\\") + subKey.mid(software.size());
}

// %NAME% from the prefix's system environment, as Windows expands it: a
// name it does not know stays as it is, percent signs included.
QString expandVariables(const QString& systemReg, const QString& text)
{
    QString out;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf('%', at);
        const qsizetype close = open < 0 ? -1 : text.indexOf('%', open + 1);
        if (close < 0)
            break;
        const QString name = text.mid(open + 1, close - open - 1);
        const WineRegistryFile::Value value = WineRegistryFile::Read(systemReg, kEnvironmentKey, name);
        out += text.mid(at, open - at);
        if (name.isEmpty() || value.type != WineRegistryFile::Value::Type::String) {
            out += text.mid(open, close - open);
            at = close; // the closing sign may open the next name
            continue;
        }
        out += value.text;
        at = close + 1;
    }
    return out + text.mid(at);
}

} // namespace

QString ThisUsersRegistry()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : prefix;
}

QString ReadRegString(const QString& registry, RegRoot root, RegView view, const QString& subKey,
                      const QString& valueName)
{
    const QString key = view == RegView::Wow32 ? withWow64(subKey) : subKey;
    if (key.isEmpty())
        return {};
    const QString systemReg = registry + QStringLiteral("/system.reg");
    const QString file = root == RegRoot::CurrentUser ? registry + QStringLiteral("/user.reg") : systemReg;
    const WineRegistryFile::Value value = WineRegistryFile::Read(file, key, valueName);
    return value.type == WineRegistryFile::Value::Type::ExpandString ? expandVariables(systemReg, value.text)
                                                                     : value.text;
}

QString LocalPath(const QString& registry, const QString& windowsPath)
{
    return WineRegistryFile::MapWinePath(registry, windowsPath);
}

} // namespace MdlRegAll
