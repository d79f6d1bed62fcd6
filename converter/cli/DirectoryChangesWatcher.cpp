// FolderWatcher on Windows: ReadDirectoryChangesW names each file that is
// added, written to or renamed in, the moment it happens, at no cost while
// nothing changes. It does not say when the writer has closed the file, so
// an open that refuses writers does: it fails while any writer still holds
// the file. A file still being written is tried again on a timer, not left
// to a second event, which a writer that closes without writing again never
// brings.
#include "FolderWatcher.h"

#include "core/NativeName.h"
#include "core/ScreenshotList.h"
#include "core/os/WindowsHandle.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QTimer>
#include <QWinEventNotifier>
#include <algorithm>
#include <array>
#include <windows.h>

namespace {

constexpr int kLookAgainMs = 250;     // for a directory that is gone
constexpr int kSoonMs = 20;           // a file being written, for its first seconds
constexpr int kLaterMs = 1000;        // a file held open for writing longer
constexpr qint64 kSoonForMs = 3000;   // how long a file counts as just written
constexpr int kPollMs = 1000;         // where the system gives no events
constexpr DWORD kBufferBytes = 65536; // the most a network share returns at once
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

std::wstring wide(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

QString systemError(DWORD error) { return QStringLiteral("system error %1").arg(error); }

using win::Handle;

enum class Writer { Done, Writing, Gone };

// The open the converter makes, less the reading: no FILE_SHARE_WRITE, so it
// fails with a sharing violation while a writer holds the file open.
Writer writerOf(const QString& path)
{
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        return Writer::Done;
    switch (GetLastError()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return Writer::Writing;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return Writer::Gone;
    default: return Writer::Done; // the converter's own open says what is wrong
    }
}

// Errors that mean the file system gives no change events at all (a network
// share or a driver without them): waiting would not bring any.
bool eventsRefused(DWORD error)
{
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
}

struct Seen {
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const Seen& o) const { return size == o.size && modified == o.modified; }
};

} // namespace

struct FolderWatcher::State {
    QString directory;
    Handle folder;
    Handle completed{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    OVERLAPPED overlapped{};
    bool reading = false;
    alignas(DWORD) std::array<char, kBufferBytes> buffer{};
    QWinEventNotifier notifier;
    QTimer lookAgain;
    // Files named by an event whose writer still holds them, with when they
    // were first seen so.
    QHash<QString, qint64> writing;
    QTimer tryWriting;
    // Polling, only where the events are refused: what each file looked like.
    bool polling = false;
    QHash<QString, Seen> seen;
    QTimer poll;

    QString path(const QString& name) const { return ScreenshotList::pathIn(directory, name); }

    // Ends the read in flight: the system writes into the buffer until then.
    void stopReading()
    {
        if (reading) {
            CancelIoEx(folder.get(), &overlapped);
            DWORD ignored = 0;
            GetOverlappedResult(folder.get(), &overlapped, &ignored, TRUE);
            reading = false;
        }
        notifier.setEnabled(false);
        folder.reset();
    }

    ~State() { stopReading(); }
};

FolderWatcher::FolderWatcher(const QString& directory, QObject* parent)
    : QObject(parent), m_state(std::make_unique<State>())
{
    State& s = *m_state;
    s.directory = directory;
    s.overlapped.hEvent = s.completed.get();
    s.notifier.setHandle(s.completed.get());
    s.lookAgain.setInterval(kLookAgainMs);
    connect(&s.lookAgain, &QTimer::timeout, this, [this] {
        if (start() == Start::Watching)
            emit directoryBack();
    });

    // Splits names into those whose writer is done, reported, and those still
    // written, tried again on the timer.
    const auto gate = [this](const QStringList& names) {
        State& s = *m_state;
        QStringList ready;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (const QString& name : names) {
            switch (writerOf(s.path(name))) {
            case Writer::Done:
                s.writing.remove(name);
                ready << name;
                break;
            case Writer::Writing: s.writing.insert(name, s.writing.value(name, now)); break;
            case Writer::Gone: s.writing.remove(name); break;
            }
        }
        if (s.writing.isEmpty()) {
            s.tryWriting.stop();
        } else {
            // Often while a file is new (its writer is about to close it),
            // seldom for one held open for long, never when there is none.
            const bool young = std::any_of(s.writing.cbegin(), s.writing.cend(),
                                           [now](qint64 since) { return now - since < kSoonForMs; });
            s.tryWriting.start(young ? kSoonMs : kLaterMs);
        }
        if (!ready.isEmpty())
            emit filesReady(ready);
    };
    connect(&s.tryWriting, &QTimer::timeout, this, [this, gate] { gate(m_state->writing.keys()); });

    connect(&s.notifier, &QWinEventNotifier::activated, this, [this, gate] {
        State& s = *m_state;
        DWORD bytes = 0;
        const bool ok = GetOverlappedResult(s.folder.get(), &s.overlapped, &bytes, FALSE);
        const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
        s.reading = false;
        ResetEvent(s.completed.get());
        if (!ok && error != ERROR_NOTIFY_ENUM_DIR) {
            // The folder was deleted or renamed away, or its volume left.
            s.stopReading();
            s.writing.clear();
            s.tryWriting.stop();
            emit directoryLost();
            s.lookAgain.start();
            return;
        }
        QStringList names;
        if (ok && bytes > 0) {
            for (const char* at = s.buffer.data();;) {
                const auto* entry = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
                if (entry->Action == FILE_ACTION_ADDED || entry->Action == FILE_ACTION_MODIFIED
                    || entry->Action == FILE_ACTION_RENAMED_NEW_NAME)
                    names << QString::fromWCharArray(entry->FileName, int(entry->FileNameLength / sizeof(WCHAR)));
                if (entry->NextEntryOffset == 0)
                    break;
                at += entry->NextEntryOffset;
            }
        }
        // The next read before the work: what changes meanwhile is queued by
        // the system, not lost.
        const Start again = start();
        if (again != Start::Watching)
            return;
        if (!ok || bytes == 0) {
            emit overflowed(); // more changes than the buffer held: look at every file
            return;
        }
        names.removeDuplicates();
        gate(names);
    });

    // Where the events are refused: a file counts once it has changed since
    // the last look and its writer has let go of it.
    s.poll.setInterval(kPollMs);
    connect(&s.poll, &QTimer::timeout, this, [this, gate] {
        State& s = *m_state;
        if (!QFileInfo(s.directory).isDir()) {
            s.poll.stop();
            s.polling = false;
            s.seen.clear();
            emit directoryLost();
            s.lookAgain.start();
            return;
        }
        QStringList changed;
        QHash<QString, Seen> now;
        for (const QFileInfo& f : QDir(s.directory).entryInfoList(QDir::Files | QDir::Hidden)) {
            const Seen look{f.size(), f.lastModified()};
            if (s.seen.value(f.fileName()) != look)
                changed << f.fileName();
            now.insert(f.fileName(), look);
        }
        s.seen = now;
        // One still written has not changed at the next look, and is tried
        // again by the gate's own timer.
        if (!changed.isEmpty())
            gate(changed);
    });
}

FolderWatcher::~FolderWatcher() = default;

FolderWatcher::Start FolderWatcher::start()
{
    State& s = *m_state;
    if (s.polling)
        return Start::Watching;
    if (!s.completed) {
        emit failed("cannot start watching: " + systemError(GetLastError()));
        return Start::Failed;
    }
    if (!s.folder) {
        s.folder = Handle(CreateFileW(wide(s.directory).c_str(), FILE_LIST_DIRECTORY,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
        if (!s.folder) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                if (!s.lookAgain.isActive()) {
                    emit directoryLost();
                    s.lookAgain.start();
                }
                return Start::Missing;
            }
            s.lookAgain.stop();
            emit failed(QString("cannot watch %1: %2").arg(NativeName::printable(s.directory), systemError(error)));
            return Start::Failed;
        }
        if (!QFileInfo(s.directory).isDir()) {
            s.folder.reset();
            s.lookAgain.stop();
            emit failed(QString("cannot watch %1: it is not a directory").arg(NativeName::printable(s.directory)));
            return Start::Failed;
        }
    }
    s.lookAgain.stop();
    if (!ReadDirectoryChangesW(s.folder.get(), s.buffer.data(), kBufferBytes, FALSE, kChanges, nullptr, &s.overlapped,
                               nullptr)) {
        const DWORD error = GetLastError();
        s.folder.reset();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_DELETE_PENDING || !QFileInfo(s.directory).isDir()) {
            // Deleted (the handle kept it until now) or renamed away.
            emit directoryLost();
            s.lookAgain.start();
            return Start::Missing;
        }
        if (!eventsRefused(error)) {
            emit failed(QString("cannot watch %1: %2").arg(NativeName::printable(s.directory), systemError(error)));
            return Start::Failed;
        }
        emit notice(QString("The system gives no change events for %1: looking at it every second instead.")
                        .arg(NativeName::printable(s.directory)));
        s.polling = true;
        for (const QFileInfo& f : QDir(s.directory).entryInfoList(QDir::Files | QDir::Hidden))
            s.seen.insert(f.fileName(), Seen{f.size(), f.lastModified()});
        s.poll.start();
        return Start::Watching;
    }
    s.reading = true;
    s.notifier.setEnabled(true);
    return Start::Watching;
}
