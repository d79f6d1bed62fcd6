#pragma once

#include <QObject>
#include <QString>
#include <memory>

// Tells when a file in a directory is complete: on Linux when its writer
// closes it or it is moved in (inotify), elsewhere when its size has stopped
// changing. Survives the directory vanishing: it says so and looks for it
// again until it is back.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    explicit FolderWatcher(const QString& directory, QObject* parent = nullptr);
    ~FolderWatcher() override;

    // Starts watching; false (and directoryLost) when the directory is missing.
    bool start();

signals:
    void filesReady(const QStringList& names);
    void directoryLost();
    void directoryBack();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
