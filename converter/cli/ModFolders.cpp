#include "ModFolders.h"
#include "core/ScreenshotList.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isModFolder(const QString& folder) { return !QDir(folder).entryList({"liblist.gam"}, QDir::Files).isEmpty(); }

QStringList subfolders(const QString& folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        paths << ScreenshotList::pathIn(folder, name);
    return paths;
}

} // namespace

namespace ModFolders {

QStringList under(const QString& folder)
{
    QStringList mods = subfolders(folder);
    mods.removeIf([](const QString& path) { return !isModFolder(path); });
    return mods;
}

QString gameFolderOf(const QString& folder)
{
    if (!isModFolder(folder))
        return folder;
    const QString game = QFileInfo(QDir::cleanPath(folder)).path();
    return game == QDir::cleanPath(folder) ? folder : game; // a mod folder at the root of a drive
}

QStringList expand(const QStringList& named)
{
    QStringList folders;
    for (const QString& folder : named) {
        // The folder named itself too: what it holds was converted before.
        folders << folder;
        if (!isModFolder(folder))
            folders << under(folder);
    }
    folders.removeDuplicates();
    return folders;
}

} // namespace ModFolders

ModFolderFinder::ModFolderFinder(const QStringList& gameFolders, const QStringList& known)
    : m_gameFolders(gameFolders), m_known(known.begin(), known.end())
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &ModFolderFinder::look);
    look();
}

void ModFolderFinder::look()
{
    for (const QString& game : m_gameFolders) {
        if (!m_watcher.directories().contains(game))
            m_watcher.addPath(game);
        for (const QString& folder : subfolders(game)) {
            if (m_known.contains(folder))
                continue;
            // Watched before it is looked at: a liblist.gam put into it
            // in between still tells.
            if (!m_watcher.directories().contains(folder))
                m_watcher.addPath(folder);
            if (isModFolder(folder)) {
                m_known.insert(folder);
                m_watcher.removePath(folder);
                emit found(folder);
            }
        }
    }
}
