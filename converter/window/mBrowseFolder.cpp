#include "window/mBrowseFolder.h"

#include <QDir>
#include <QFileDialog>

namespace mBrowseFolder {

QString BrowseFolder(const QString& startFolder, QWidget* owner, const QString& title)
{
    const QString chosen = QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
    return chosen.isEmpty() ? chosen : QDir::toNativeSeparators(chosen);
}

} // namespace mBrowseFolder
