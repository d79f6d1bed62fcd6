#include "detection/MdlRegAll.h"

#include <QDir>
#include <qt_windows.h>
#include <vector>

namespace MdlRegAll {

namespace {

// Closes the key on every way out.
class OpenKey {
public:
    OpenKey(HKEY root, REGSAM view, const QString& subKey)
    {
        if (RegOpenKeyExW(root, reinterpret_cast<const wchar_t*>(subKey.utf16()), 0, KEY_READ | view, &m_key)
            != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~OpenKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The value's text up to its first NUL, and whether it is to be expanded.
QString queryString(HKEY key, const QString& valueName, bool& expand)
{
    const auto* name = reinterpret_cast<const wchar_t*>(valueName.utf16());
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    // One more character than asked for: the stored text need not end in a NUL.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD filled = DWORD((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &filled) != ERROR_SUCCESS)
        return {};
    expand = type == REG_EXPAND_SZ;
    return QString::fromWCharArray(buffer.data()); // stops at the first NUL
}

QString expandVariables(const QString& text)
{
    const auto* source = reinterpret_cast<const wchar_t*>(text.utf16());
    const DWORD length = ExpandEnvironmentStringsW(source, nullptr, 0);
    if (length == 0)
        return text;
    std::vector<wchar_t> expanded(length, L'\0');
    if (ExpandEnvironmentStringsW(source, expanded.data(), length) == 0)
        return text;
    return QString::fromWCharArray(expanded.data());
}

} // namespace

QString ThisUsersRegistry() { return {}; }

QString ReadRegString(const QString&, RegRoot root, RegView view, const QString& subKey, const QString& valueName)
{
    const OpenKey key(root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                      view == RegView::Wow32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY, subKey);
    if (!key.get())
        return {};
    bool expand = false;
    const QString text = queryString(key.get(), valueName, expand);
    return expand ? expandVariables(text) : text;
}

// Steam writes its own paths with forward slashes ("c:/program files
// (x86)/steam"); what the user sees and what is stored has backslashes.
QString LocalPath(const QString&, const QString& windowsPath) { return QDir::toNativeSeparators(windowsPath); }

} // namespace MdlRegAll
