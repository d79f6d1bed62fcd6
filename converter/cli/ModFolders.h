#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QStringList>

// Half-Life keeps each mod in a folder of the game's folder (valve, cstrike,
// ...), marked by its liblist.gam, and saves a mod's screenshots there. A
// Counter-Strike player's screenshots land in cstrike, not in valve.
namespace ModFolders {

// The folders to convert from, for the folders named: each one and, after a
// game's folder (one that holds mod folders), every mod folder in it.
QStringList expand(const QStringList& named);

// The game's folder that `folder` belongs to: its parent for a mod folder
// (valve stands for the whole game), else the folder itself.
QString gameFolderOf(const QString& folder);

// The mod folders directly under `folder`, by name.
QStringList under(const QString& folder);

} // namespace ModFolders

// Tells when a mod folder appears in a game's folder: a folder made there,
// or a liblist.gam put into one of its folders afterwards.
class ModFolderFinder : public QObject {
    Q_OBJECT
public:
    // `known`: the mod folders there already, which are not found again.
    ModFolderFinder(const QStringList& gameFolders, const QStringList& known);

signals:
    void found(const QString& modFolder);

private:
    void look();

    QStringList m_gameFolders;
    QSet<QString> m_known;
    QFileSystemWatcher m_watcher;
};
