#include "engine/mFileOp.h"

#include "core/Directories.h"
#include "core/SourceFile.h"

#include "engine/mChrono.h"
#include "platform/DesktopOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

namespace mFileOp {

namespace {
constexpr int kShellOk = 42;
constexpr int kShellFileNotFound = 2;
constexpr int kStabilityPassMs = 200;
// How often the waits look at the file; between looks the window handles
// its events and the thread sleeps.
constexpr int kPollMs = 10;

// Waits until ready() or the deadline, whichever comes first. ready() is asked
// on every pass, also once the deadline has passed.
template <class Ready>
void waitUntil(std::int64_t deadline, Ready ready)
{
    for (;;) {
        const std::int64_t now = mChrono::TickCount();
        if (ready() || now >= deadline)
            return;
        mChrono::WaitForEvents(static_cast<int>(std::min<std::int64_t>(kPollMs, deadline - now)));
    }
}

// "https:", "mailto:", "file:", but not "localhost:8080", whose colon starts a
// port, nor a drive letter: a scheme has two characters at least.
bool hasScheme(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:(?![0-9])"));
    return scheme.match(target).hasMatch();
}
} // namespace

QChar PathSeparator() { return QDir::separator(); }

QString FormatPath(const QString& path)
{
    // Qt answers with '/' on Windows too (the program's folder, its
    // dialogs); what the user sees and what is stored is the platform's form.
    const QString native = QDir::toNativeSeparators(path);
    return native.endsWith(PathSeparator()) ? native : native + PathSeparator();
}

std::optional<std::int64_t> FileLength(const QString& path)
{
    // Asked as the run's screenshots are (ScreenshotFile::lookUp), so that a
    // name whose bytes are not UTF-8 is found here too.
    const auto file = path.isEmpty() ? std::nullopt : identityOfFile(path);
    if (!file || Directories::exists(path))
        return std::nullopt;
    return file->size;
}

bool FileExists(const QString& path) { return FileLength(path).has_value(); }

bool DirExists(const QString& path) { return Directories::exists(path); }

bool WaitWhileFileExists(const QString& path, int limitMs)
{
    waitUntil(mChrono::TickCount() + limitMs, [&] { return !FileExists(path); });
    return !FileExists(path);
}

bool WaitForFile(const QString& path, int limitMs)
{
    const std::int64_t deadline = mChrono::TickCount() + limitMs;
    waitUntil(deadline, [&] { return FileExists(path); });
    // The writer may still be growing the file: wait until two size readings
    // 200 ms apart agree. A failed reading keeps the previous value.
    std::int64_t size1 = 0;
    std::int64_t size2 = 0;
    for (;;) {
        if (mChrono::TickCount() >= deadline)
            break;
        size1 = FileLength(path).value_or(size1);
        mChrono::Sleep(kStabilityPassMs);
        size2 = FileLength(path).value_or(size2);
        if (size1 == size2)
            break;
    }
    return FileExists(path);
}

int ShellOpen(const QString& target)
{
    const QString trimmed = target.trimmed();
    QUrl url;
    if (QFileInfo::exists(trimmed))
        url = QUrl::fromLocalFile(QFileInfo(trimmed).absoluteFilePath());
    else if (hasScheme(trimmed))
        url = QUrl(trimmed, QUrl::StrictMode);
    else if (!trimmed.isEmpty())
        url = QUrl(QStringLiteral("https://") + trimmed, QUrl::StrictMode); // a bare web address
    return url.isValid() && OpenWithDesktop(url) ? kShellOk : kShellFileNotFound;
}

} // namespace mFileOp
