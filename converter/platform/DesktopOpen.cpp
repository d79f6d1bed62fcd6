#include "platform/DesktopOpen.h"

#include <QString>
#include <QUrl>

#ifdef Q_OS_WIN
#include <QDir>
#include <QProcess>
#include <qt_windows.h>
#include <shellapi.h>

bool OpenWithDesktop(const QUrl& url)
{
    const QString target =
        url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString(QUrl::FullyEncoded);
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, L"open", reinterpret_cast<const wchar_t*>(target.utf16()), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32; // the shell's own rule: anything above 32 is success
}

bool OpenDirectory(const QString& directory)
{
    // The file manager's own command line, the path unquoted.
    QProcess explorer;
    explorer.setProgram(QStringLiteral("explorer"));
    explorer.setNativeArguments(QDir::toNativeSeparators(directory));
    return explorer.startDetached();
}

#elif defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <QProcess>
#include <QProcessEnvironment>

namespace {

QProcessEnvironment userEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString listed = env.value(QStringLiteral("FW_SANDBOX_VARS"));
    for (const QString& name : listed.split(' ', Qt::SkipEmptyParts)) {
        const QString kept = QStringLiteral("FW_USER_") + name;
        if (env.contains(kept))
            env.insert(name, env.value(kept));
        else
            env.remove(name); // the user had none
        env.remove(kept);
    }
    env.remove(QStringLiteral("FW_SANDBOX_VARS"));
    return env;
}

} // namespace

bool OpenWithDesktop(const QUrl& url)
{
    // What Qt's desktop services run on a Linux desktop, started here so that
    // it gets an environment of our choosing (and so that it works under every
    // Qt platform, the offscreen one included).
    QProcess opener;
    opener.setProgram(QStringLiteral("xdg-open"));
    opener.setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    opener.setProcessEnvironment(userEnvironment());
    return opener.startDetached();
}

bool OpenDirectory(const QString& directory) { return OpenWithDesktop(QUrl::fromLocalFile(directory)); }

#else
#include <QDesktopServices>

bool OpenWithDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }
bool OpenDirectory(const QString& directory) { return OpenWithDesktop(QUrl::fromLocalFile(directory)); }
#endif
