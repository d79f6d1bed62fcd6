#pragma once

#include <QObject>
#include <QString>
#include <memory>

// Tells when a file in a directory is complete: when its writer closes it or
// it is moved in. On Linux inotify says so (InotifyWatcher.cpp); on Windows
// ReadDirectoryChangesW names the file and an open that refuses writers tells
// whether its writer is done (DirectoryChangesWatcher.cpp); elsewhere, when
// its size has stopped changing (PollingWatcher.cpp). Survives the directory
// vanishing: it says so and looks for it again until it is back.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    explicit FolderWatcher(const QString& directory, QObject* parent = nullptr);
    ~FolderWatcher() override;

    enum class Start { Watching, Missing, Failed };

    // Starts watching. Missing: the directory is not there (directoryLost
    // follows, and directoryBack once it is). Failed: it cannot be watched at
    // all (not a directory, the system's limits); failed() carries why.
    Start start();

signals:
    void filesReady(const QStringList& names);
    // Events were lost (more than the kernel's queue holds): any file may
    // have changed, so the whole directory is to be looked at again.
    void overflowed();
    void directoryLost();
    void directoryBack();
    void failed(const QString& reason);
    // Something the user is told and the watch goes on: the system gives no
    // change events for the folder, and it is looked at on a timer instead.
    void notice(const QString& line);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
