#include "window/controls/FileListBox.h"

#include "core/ScreenshotList.h"

#include <QFileInfo>

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

QStringList FileListBox::matchingFiles(const QString& directory) { return ScreenshotList::list(directory); }

bool FileListBox::setPath(const QString& directory)
{
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return false;
    m_path = directory;
    refresh();
    return true;
}

void FileListBox::refresh()
{
    const QString selected = currentItem() ? currentItem()->text() : QString();
    const QSignalBlocker quiet(this);
    clear();
    if (!m_path.isEmpty())
        addItems(matchingFiles(m_path));
    const QList<QListWidgetItem*> same = findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !same.isEmpty())
        setCurrentItem(same.first());
}
