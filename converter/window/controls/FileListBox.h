#pragma once

#include <QListWidget>

// The names of the files of one directory that match "*.bmp" (whatever the
// case of the extension), sorted by name without regard to case.
class FileListBox : public QListWidget {
public:
    explicit FileListBox(QWidget* parent);
    // Points the list at a directory and reads it; false (the list keeps
    // its directory) when there is no such directory.
    bool setPath(const QString& directory);
    const QString& path() const { return m_path; }
    // Reads the directory again, keeping the selected name where it stays.
    void refresh();

    static QStringList matchingFiles(const QString& directory);

private:
    QString m_path;
};
