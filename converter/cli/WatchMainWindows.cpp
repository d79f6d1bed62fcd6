// framewright-watch.exe: framewright-convert --watch with no console window,
// for the logon entry and the Start menu that the installer makes. It writes
// its lines to a log file instead (WatchLog), runs once per user, and ends
// at a safe point when asked to (--stop, the Start menu's other entry and the
// uninstaller), just as Ctrl+C ends the console's watch.
#include "ConverterRun.h"
#include "Interrupts.h"
#include "WatchLog.h"
#include "core/os/WindowsHandle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWinEventNotifier>
#include <csignal>
#include <cstdio>
#include <string>
#include <windows.h>

namespace {

// In the user's session: each user who logs on has a watch of their own.
constexpr wchar_t kRunning[] = L"Local\\Framewright-watch-running";
constexpr wchar_t kStop[] = L"Local\\Framewright-watch-stop";
constexpr DWORD kStopPatienceMs = 30000; // a screenshot being converted is finished first

using win::Handle;

void say(const char* line)
{
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
}

// --stop: asks the running watch to stop and waits until it has.
int stopRunningWatch()
{
    const Handle running(OpenMutexW(SYNCHRONIZE, FALSE, kRunning));
    if (!running) {
        say("framewright-watch: no watch is running.");
        return 0;
    }
    const Handle stop(OpenEventW(EVENT_MODIFY_STATE, FALSE, kStop));
    if (!stop || !SetEvent(stop.get())) {
        say("framewright-watch: the running watch cannot be asked to stop.");
        return 1;
    }
    // The watch holds the mutex for as long as it runs: it is ours once the
    // watch has ended (abandoned, as a process's end leaves it).
    const DWORD waited = WaitForSingleObject(running.get(), kStopPatienceMs);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        ReleaseMutex(running.get());
        say("framewright-watch: the watch has stopped.");
        return 0;
    }
    say("framewright-watch: the watch did not stop in time.");
    return 1;
}

// Started with no standard handles, as Windows starts a program of the logon
// entry, the Start menu or the shell, the C runtime's stdout and stderr can
// never be pointed at a file. The watch runs as a child then, whose standard
// output and error are the log from its start, and ends as the child does.
int runWithTheLogAsItsOutput(const QString& logPath)
{
    QDir().mkpath(QFileInfo(logPath).path());
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const auto open = [&inherited](const QString& path, DWORD access, DWORD disposition) {
        return Handle(CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    const Handle log = open(logPath, FILE_APPEND_DATA, OPEN_ALWAYS), nothing = open("NUL", GENERIC_READ, OPEN_EXISTING);
    if (!log || !nothing)
        return 1;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing.get();
    startup.hStdOutput = startup.hStdError = log.get();
    std::wstring commandLine = GetCommandLineW(); // CreateProcessW may write to it
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &child))
        return 1;
    const Handle process(child.hProcess), thread(child.hThread);
    DWORD code = 1;
    WaitForSingleObject(process.get(), INFINITE);
    GetExitCodeProcess(process.get(), &code);
    return int(code);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    if (const HANDLE err = GetStdHandle(STD_ERROR_HANDLE); !err || err == INVALID_HANDLE_VALUE)
        return runWithTheLogAsItsOutput(WatchLog::defaultPath());
    const WatchLog log(WatchLog::defaultPath());
    if (arguments.size() == 2 && arguments.at(1) == "--stop")
        return stopRunningWatch();

    const Handle running(CreateMutexW(nullptr, TRUE, kRunning));
    if (!running || GetLastError() == ERROR_ALREADY_EXISTS) {
        say("framewright-watch: a watch is running already; this one ends.");
        return 0;
    }
    // Auto-reset: one request stops one watch.
    const Handle stop(CreateEventW(nullptr, FALSE, FALSE, kStop));
    QWinEventNotifier stopRequested(stop.get());
    QObject::connect(&stopRequested, &QWinEventNotifier::activated, [] { Interrupts::interrupt(SIGTERM); });

    // The console program's watch, whatever else was asked for: folders
    // named after the logon entry's command, --delete and so on.
    arguments.insert(1, QStringLiteral("--watch"));
    const int code = runConverter(arguments);
    ReleaseMutex(running.get());
    return code;
}
