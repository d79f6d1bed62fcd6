#include "FolderClaim.h"

#include <windows.h>

FolderClaim::FolderClaim(const QString& folder)
{
    // "Local\": the user's session, where the watch of this user runs. The
    // mutex goes when its last handle closes, a crash included.
    const std::wstring name = (QStringLiteral("Local\\Framewright-watch-") + keyOf(folder)).toStdWString();
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) {
        m_why = QStringLiteral("system error %1").arg(GetLastError());
        return;
    }
    m_held = GetLastError() != ERROR_ALREADY_EXISTS;
    if (m_held)
        m_handle = reinterpret_cast<std::intptr_t>(mutex);
    else
        CloseHandle(mutex);
}

FolderClaim::~FolderClaim()
{
    if (m_held)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}
