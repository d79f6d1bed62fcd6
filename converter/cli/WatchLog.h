#pragma once

#include <QString>
#include <QTimer>

// Where the windowless watch writes what the console program would print:
// a file that stdout and stderr are sent to. It is kept to a bounded size:
// past kMostBytes it becomes the one older file (".old"), replacing the one
// before, and a new file is begun, so a watch that runs for months never
// fills the disk.
class WatchLog {
public:
    static constexpr qint64 kMostBytes = 1024 * 1024;

    // %LOCALAPPDATA%\Framewright\watch.log.
    static QString defaultPath();

    explicit WatchLog(const QString& path);

    // False when the file could not be opened: the lines go nowhere then.
    bool isOpen() const { return m_open; }

private:
    void rotateWhenFull();
    bool reopen();

    QString m_path;
    bool m_open = false;
    QTimer m_check;
};
