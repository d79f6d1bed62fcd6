#pragma once

#include <QString>
#include <cstdint>

// Two watches of one folder would both take each screenshot: two JPEG files
// for one, and a race over deleting it. A watch claims each folder it
// converts from; the claim is the system's own (a lock on a file under the
// runtime directory on POSIX, a named mutex in the session on Windows), so it
// ends with the process however the process ends.
class FolderClaim {
public:
    explicit FolderClaim(const QString& folder);
    ~FolderClaim();
    FolderClaim(const FolderClaim&) = delete;
    FolderClaim& operator=(const FolderClaim&) = delete;

    // False when another watch holds the folder (or the claim could not be
    // made at all: then why() says so).
    bool held() const { return m_held; }
    QString why() const { return m_why; }

    // The name the claim is known by: one per folder, whatever path names it.
    static QString keyOf(const QString& folder);

private:
    std::intptr_t m_handle = -1;
    bool m_held = false;
    QString m_why;
};
