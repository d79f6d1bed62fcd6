#include "core/os/NativeFile.h"

#include "core/ScreenshotList.h"
#include "core/os/WindowsHandle.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <type_traits>
#include <vector>
#include <windows.h>

namespace NativeFile {

namespace {

// Wide, absolute, with backslashes and the "\\?\" prefix that lifts the
// 260-character limit: a screenshot deep in a Steam library plus the 40
// characters of its private name would pass it. The prefix turns off the
// system's clean-up of the path, so it is done here.
std::wstring wide(const QString& path)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (native.startsWith(QLatin1String("\\\\?\\")))
        return native.toStdWString();
    if (native.startsWith(QLatin1String("\\\\")))
        return (QLatin1String("\\\\?\\UNC\\") + native.mid(2)).toStdWString();
    return (QLatin1String("\\\\?\\") + native).toStdWString();
}

Status fromCode(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS: return {};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return {Error::NotFound, int(code)};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return {Error::NameTaken, int(code)};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_DELETE_PENDING: return {Error::InUse, int(code)};
    default: return {Error::Other, int(code)};
    }
}

Status lastError() { return fromCode(GetLastError()); }

Status checked(BOOL ok) { return ok ? Status{} : lastError(); }

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

using win::Handle;
using Search = win::Owned<FindClose>;

// A scanner's or indexer's hold lasts a moment: 25, 50, ... 250 ms, about
// 1.4 s in all before a call counts as failed.
constexpr int kRetries = 10;
void realPause(int attempt) { QThread::msleep(25UL * (attempt + 1)); }
std::function<void(int)>& retryPause()
{
    static std::function<void(int)> pause = realPause;
    return pause;
}

// What Windows answers in passing: another program's open handle, a share
// that blinked. A delete or a rename also meets ERROR_ACCESS_DENIED for a
// moment (a name whose delete is pending, a scanner or a previewer that maps
// the file); an open that meets it is refused for good (a permission).
enum class Passing { Sharing, SharingOrDenied };
bool inPassing(DWORD code, Passing which)
{
    switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NETNAME_DELETED:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NETWORK_UNREACHABLE: return true;
    case ERROR_ACCESS_DENIED: return which == Passing::SharingOrDenied;
    default: return false;
    }
}

// Runs `call` (a Win32 call that answers FALSE, or INVALID_HANDLE_VALUE, on
// failure) again while it meets what passes.
template <typename Call>
auto retried(Call call, Passing which = Passing::Sharing)
{
    for (int attempt = 0;; ++attempt) {
        auto result = call();
        bool ok = false;
        if constexpr (std::is_same_v<decltype(result), HANDLE>)
            ok = result != INVALID_HANDLE_VALUE;
        else
            ok = result != FALSE;
        const DWORD code = GetLastError();
        if (ok || attempt == kRetries || !inPassing(code, which))
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

// 100 ns steps since 1601 to nanoseconds since 1970: the offset first, or
// the product overflows for every date after 1893.
constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;
std::int64_t nanosecondsSince1970(std::int64_t ticks) { return (ticks - kTicksFrom1601To1970) * 100; }

std::optional<FileIdentity> identityOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    FileIdentity identity{.device = info.dwVolumeSerialNumber,
                          .inode = std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow,
                          .size = std::int64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow,
                          .modifiedNs = nanosecondsSince1970(ticks(info.ftLastWriteTime))};
    // The whole ID where the file system has one (ReFS reuses the low half).
    FILE_ID_INFO id{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
        std::uint64_t halves[2] = {};
        static_assert(sizeof halves == sizeof id.FileId.Identifier);
        std::memcpy(halves, id.FileId.Identifier, sizeof halves);
        identity.device = id.VolumeSerialNumber;
        identity.inode = halves[0];
        identity.inodeHigh = halves[1];
    }
    return identity;
}

bool isNameSurrogate(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO tag{};
    return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)
           && (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(tag.ReparseTag);
}

// Whether the name is a link (a reparse point that stands for another name),
// not following it.
bool isLink(const QString& path)
{
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    const Handle link(CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return link && isNameSurrogate(link.get());
}

// Opens for reading with the rights to move, delete and hide the file too;
// where those are refused (a read-only share, a permission), for reading
// only, and the retire step says why it cannot delete.
HANDLE openHeld(const QString& path, DWORD share, DWORD flags)
{
    const auto open = [&](DWORD access) {
        return retried([&] {
            return CreateFileW(wide(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | flags,
                               nullptr);
        });
    };
    const HANDLE handle = open(GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES);
    return handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED ? open(GENERIC_READ) : handle;
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

Descriptor openForReading(const QString& path, Status& status)
{
    // No FILE_SHARE_WRITE: a program writing the file makes this open fail,
    // and none can start writing while we hold it. Deleting and renaming
    // stay allowed, as on Linux, for other programs.
    return adopt(openHeld(path, FILE_SHARE_READ | FILE_SHARE_DELETE, 0), _O_RDONLY, status);
}

Descriptor createPrivate(const QString& path, Status& status)
{
    const HANDLE handle =
        CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
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

Status syncName(int fd, const QString&)
{
    const Status status = sync(fd);
    return status.code == ERROR_ACCESS_DENIED ? Status{} : status;
}

// A reparse point that stands for no other name (a OneDrive placeholder, a
// deduplicated file) is a file like any other: reading it fetches it.
bool isRegularFile(int fd)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(handleOf(fd), &info)
           && !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
           && !isNameSurrogate(handleOf(fd));
}

FileIdentity identityOf(int fd) { return identityOfHandle(handleOf(fd)).value_or(FileIdentity{}); }

std::optional<FileIdentity> identityOfPath(const QString& path)
{
    const Handle handle(openToLook(path, 0));
    return handle ? identityOfHandle(handle.get()) : std::nullopt;
}

namespace {

bool namesFile(const QString& name, int fd)
{
    const std::optional<FileIdentity> named = identityOfPath(name);
    return named && named->isSameFile(identityOf(fd));
}

} // namespace

Presence presenceOf(const QString& path)
{
    if (GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return Presence::Present;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return Presence::Absent;
    // Something has the name but refuses to be looked at (a delete
    // pending, a permission).
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return Presence::Present;
    default: return Presence::Unknown;
    }
}

Writer writerOf(int) { return Writer::None; }

// Any open handle is a hold here: openIfOrphaned asks for a file that no
// one else has open. What is left to check is that the name still names it.
bool holdAsPrivate(int fd, const QString& name) { return namesFile(name, fd); }

Descriptor openIfOrphaned(const QString& path, Status& status)
{
    // Sharing nothing but deleting: any other handle on the file (a live
    // converter's hold, a writer, a scanner) makes this fail with InUse at
    // once, while our own rename and delete of it still work. Not retried:
    // a file in use is left for the next start.
    const HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    Descriptor fd = adopt(handle, _O_RDONLY, status);
    if (fd && !isRegularFile(fd.get())) {
        status = {Error::Other, ERROR_INVALID_PARAMETER};
        return {};
    }
    return fd;
}

Status moveHeld(int fd, const QString& from, const QString& to)
{
    // The handle of a link is its target's; the link itself moves by name.
    if (isLink(from))
        return moveNoReplace(from, to);
    const std::wstring target = wide(to);
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = DWORD(nameBytes);
    std::memcpy(rename->FileName, target.c_str(), nameBytes);
    const Status moved = checked(
        retried([&] { return SetFileInformationByHandle(handleOf(fd), FileRenameInfo, rename, DWORD(buffer.size())); },
                Passing::SharingOrDenied));
    // Wine's handles move the name they were opened by, whatever file it
    // names now: whatever was moved is left to the caller to put back.
    if (moved && !namesFile(to, fd))
        return {Error::NotTheFile, 0};
    return moved;
}

Status removeHeld(int fd, const QString& path)
{
    if (isLink(path))
        return remove(path);
    // Gone once our handle, the last one that does not share deleting, is
    // closed; the caller closes it next.
    FILE_DISPOSITION_INFO disposition{TRUE};
    return checked(retried(
        [&] { return SetFileInformationByHandle(handleOf(fd), FileDispositionInfo, &disposition, sizeof disposition); },
        Passing::SharingOrDenied));
}

Status setHidden(int fd, bool hidden)
{
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handleOf(fd), FileBasicInfo, &basic, sizeof basic))
        return lastError();
    const DWORD attributes =
        hidden ? basic.FileAttributes | FILE_ATTRIBUTE_HIDDEN : basic.FileAttributes & ~DWORD(FILE_ATTRIBUTE_HIDDEN);
    FILE_BASIC_INFO changed{}; // times of 0: unchanged
    changed.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return checked(SetFileInformationByHandle(handleOf(fd), FileBasicInfo, &changed, sizeof changed));
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
    return checked(retried([&] { return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_WRITE_THROUGH); },
                           Passing::SharingOrDenied));
}

Status replace(const QString& from, const QString& to)
{
    return checked(retried(
        [&] {
            return MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        },
        Passing::SharingOrDenied));
}

Status remove(const QString& path)
{
    return checked(retried([&] { return DeleteFileW(wide(path).c_str()); }, Passing::SharingOrDenied));
}

void setRetryPause(std::function<void(int)> pause) { retryPause() = pause ? std::move(pause) : realPause; }

bool isDirectory(const QString& path)
{
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Status makeDirectory(const QString& path) { return checked(CreateDirectoryW(wide(path).c_str(), nullptr)); }

QStringList regularFiles(const QString& directory)
{
    QStringList names;
    WIN32_FIND_DATAW found{};
    const Search search(FindFirstFileExW(wide(directory + QStringLiteral("/*")).c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search)
        return {};
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
            continue;
        const QString name = QString::fromWCharArray(found.cFileName);
        // A link counts as what it names, as on Linux; any other reparse
        // point (a cloud placeholder) is a file.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(found.dwReserved0)) {
            const Handle target(openToLook(ScreenshotList::pathIn(directory, name), 0));
            BY_HANDLE_FILE_INFORMATION info{};
            const bool regular = target && GetFileInformationByHandle(target.get(), &info)
                                 && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
            if (!regular)
                continue;
        }
        names << name;
    } while (FindNextFileW(search.get(), &found));
    return names;
}

} // namespace NativeFile
