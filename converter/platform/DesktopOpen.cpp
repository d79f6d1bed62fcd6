#include "platform/DesktopOpen.h"

#include <QDir>
#include <QString>
#include <QUrl>

QString ExplorerArguments(const QString& directory)
{
    // Explorer splits an unquoted argument at commas. A backslash before the
    // closing quote would read as an escaped quote to some parsers, so the
    // trailing one goes, except for a drive's root ("C:\"), which needs it.
    QString path = QDir::toNativeSeparators(directory);
    while (path.size() > 3 && path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return QLatin1Char('"') + path + QLatin1Char('"');
}

#ifdef Q_OS_WIN
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

bool OpenFileFor(const QString& file, quintptr ownerWindow, ShowCommand show)
{
    const QString target = QDir::toNativeSeparators(file);
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(reinterpret_cast<HWND>(ownerWindow), L"open",
                                                                reinterpret_cast<const wchar_t*>(target.utf16()),
                                                                nullptr, nullptr, static_cast<int>(show)));
    return result > 32;
}

bool OpenDirectory(const QString& directory)
{
    // The file manager's own command line, which Qt's quoting rules do not fit.
    QProcess explorer;
    explorer.setProgram(QStringLiteral("explorer"));
    explorer.setNativeArguments(ExplorerArguments(directory));
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

bool OpenFileFor(const QString& file, quintptr, ShowCommand) { return OpenWithDesktop(QUrl::fromLocalFile(file)); }

#else
#include <QDesktopServices>

bool OpenWithDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }
bool OpenDirectory(const QString& directory) { return OpenWithDesktop(QUrl::fromLocalFile(directory)); }
bool OpenFileFor(const QString& file, quintptr, ShowCommand) { return OpenWithDesktop(QUrl::fromLocalFile(file)); }
#endif
