#include "core/os/NativeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <fcntl.h>
#include <io.h>
#include <type_traits>
#include <windows.h>

namespace NativeFile {

namespace {

// Wide, with backslashes: the form every W call takes.
std::wstring wide(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

Status fromCode(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS: return {};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return {Error::NotFound, int(code)};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return {Error::NameTaken, int(code)};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return {Error::InUse, int(code)};
    default: return {Error::Other, int(code)};
    }
}

Status lastError() { return fromCode(GetLastError()); }

Status checked(BOOL ok) { return ok ? Status{} : lastError(); }

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// A scanner's or indexer's hold lasts a moment: 25, 50, ... 250 ms, about
// 1.4 s in all before a call counts as failed.
constexpr int kRetries = 10;
void realPause(int attempt) { QThread::msleep(25UL * (attempt + 1)); }
std::function<void(int)>& retryPause()
{
    static std::function<void(int)> pause = realPause;
    return pause;
}

bool sharingViolation(DWORD code) { return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION; }

// Runs `call` (a Win32 call that answers FALSE, or INVALID_HANDLE_VALUE, on
// failure) again while it meets a sharing violation.
template <typename Call>
auto retried(Call call)
{
    for (int attempt = 0;; ++attempt) {
        auto result = call();
        bool ok = false;
        if constexpr (std::is_same_v<decltype(result), HANDLE>)
            ok = result != INVALID_HANDLE_VALUE;
        else
            ok = result != FALSE;
        const DWORD code = GetLastError();
        if (ok || attempt == kRetries || !sharingViolation(code))
            return result;
        retryPause()(attempt);
        SetLastError(code);
    }
}

Descriptor adopt(HANDLE handle, int flags, Status& status)
{
    if (handle == INVALID_HANDLE_VALUE) {
        status = lastError();
        return {};
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) {
        status = lastError();
        CloseHandle(handle);
        return {};
    }
    status = {};
    return Descriptor(fd);
}

std::int64_t ticks(const FILETIME& t) { return std::int64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }

std::optional<FileIdentity> identityOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow,
                        std::int64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow, ticks(info.ftLastWriteTime) * 100};
}

// A handle that asks for nothing but the file's attributes, and shares
// everything, so that looking never disturbs anyone.
HANDLE openToLook(const QString& path, DWORD flags)
{
    return retried([&] {
        return CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    });
}

} // namespace

QString Status::message() const
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString message =
        length ? QString::fromWCharArray(text, int(length)).trimmed() : QStringLiteral("system error %1").arg(code);
    LocalFree(text);
    return message;
}

Status Descriptor::close()
{
    const Status status = m_fd < 0 || _close(m_fd) == 0 ? Status{} : Status{Error::Other, int(_doserrno)};
    m_fd = -1;
    return status;
}

Descriptor openForReading(const QString& path, Status& status, Links links)
{
    // No FILE_SHARE_WRITE: a program writing the file makes this open fail,
    // and none can start writing while we hold it. Deleting and renaming
    // stay allowed, as on Linux, for the retire step and for other programs.
    const DWORD flags = links == Links::DoNotFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    const HANDLE handle = retried([&] {
        return CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | flags, nullptr);
    });
    return adopt(handle, _O_RDONLY, status);
}

Descriptor createNew(const QString& path, Status& status)
{
    const HANDLE handle =
        CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return adopt(handle, 0, status);
}

Status writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    const HANDLE handle = handleOf(fd);
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size(), 1U << 30));
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr))
            return lastError();
        if (written == 0)
            return fromCode(ERROR_WRITE_FAULT);
        bytes = bytes.subspan(written);
    }
    return {};
}

Status sync(int fd) { return checked(FlushFileBuffers(handleOf(fd))); }

bool isRegularFile(int fd)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(handleOf(fd), &info)
           && !(info.dwFileAttributes
                & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

FileIdentity identityOf(int fd) { return identityOfHandle(handleOf(fd)).value_or(FileIdentity{}); }

std::optional<FileIdentity> identityOfPath(const QString& path)
{
    const HANDLE handle = openToLook(path, 0);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const auto identity = identityOfHandle(handle);
    CloseHandle(handle);
    return identity;
}

bool entryExists(const QString& path)
{
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD code = GetLastError();
    return code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
}

Writer writerOf(int) { return Writer::None; }

// Any open handle is a hold here: openIfOrphaned asks for a file that no
// one else has open. What is left to check is that the name still names it.
bool holdAsPrivate(int fd, const QString& name)
{
    const std::optional<FileIdentity> named = identityOfPath(name);
    return named && named->isSameFile(identityOf(fd));
}

Descriptor openIfOrphaned(const QString& path, Status& status)
{
    // Sharing nothing but deleting: any other handle on the file (a live
    // converter's hold, a writer, a scanner) makes this fail with InUse at
    // once, while our own rename and delete of it still work. Not retried:
    // a file in use is left for the next start.
    const HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    Descriptor fd = adopt(handle, _O_RDONLY, status);
    if (fd && !isRegularFile(fd.get())) {
        status = {Error::Other, ERROR_INVALID_PARAMETER};
        return {};
    }
    return fd;
}

Descriptor duplicate(int fd, Status& status)
{
    Descriptor copy(_dup(fd));
    status = copy ? Status{} : Status{Error::Other, int(GetLastError())};
    return copy;
}

std::optional<Kept> keptOf(const QString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)
        || (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return std::nullopt;
    Kept kept;
    // A read-only file could not be replaced at all; the rest carries over.
    kept.mode = data.dwFileAttributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
    kept.times[0] = ticks(data.ftCreationTime);
    kept.times[1] = ticks(data.ftLastAccessTime);
    kept.times[2] = ticks(data.ftLastWriteTime);
    return kept;
}

Status applyKept(int fd, const Kept& kept)
{
    FILE_BASIC_INFO basic{};
    basic.CreationTime.QuadPart = kept.times[0];
    basic.LastAccessTime.QuadPart = kept.times[1];
    basic.LastWriteTime.QuadPart = kept.times[2];
    basic.ChangeTime.QuadPart = 0; // unchanged
    basic.FileAttributes = kept.mode ? kept.mode : FILE_ATTRIBUTE_NORMAL;
    return checked(SetFileInformationByHandle(handleOf(fd), FileBasicInfo, &basic, sizeof basic));
}

Status moveNoReplace(const QString& from, const QString& to)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any taken name.
    return checked(retried([&] { return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_WRITE_THROUGH); }));
}

Status replace(const QString& from, const QString& to)
{
    return checked(retried([&] {
        return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }));
}

Status remove(const QString& path)
{
    return checked(retried([&] { return DeleteFileW(wide(path).c_str()); }));
}

Status flushToDisk(const QString& path)
{
    // FlushFileBuffers needs write access. A rename with
    // MOVEFILE_WRITE_THROUGH has already put the name on the disk.
    const HANDLE handle = retried([&] {
        return CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    });
    if (handle == INVALID_HANDLE_VALUE)
        return lastError();
    const Status status = checked(FlushFileBuffers(handle));
    CloseHandle(handle);
    return status;
}

void setRetryPause(std::function<void(int)> pause) { retryPause() = pause ? std::move(pause) : realPause; }

Status makeDirectory(const QString& path) { return checked(CreateDirectoryW(wide(path).c_str(), nullptr)); }

QStringList regularFiles(const QString& directory)
{
    QStringList names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(wide(directory + QStringLiteral("/*")).c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
            continue;
        const QString name = QString::fromWCharArray(found.cFileName);
        // A link counts as what it names, as on Linux.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            const HANDLE target = openToLook(directory + QChar('/') + name, 0);
            if (target == INVALID_HANDLE_VALUE)
                continue;
            BY_HANDLE_FILE_INFORMATION info{};
            const bool regular =
                GetFileInformationByHandle(target, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
            CloseHandle(target);
            if (!regular)
                continue;
        }
        names << name;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

} // namespace NativeFile
