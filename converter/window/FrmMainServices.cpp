#include "window/FrmMainServices.h"

#include "core/Settings.h"
#include "engine/mChrono.h"
#include "engine/mFileOp.h"
#include "platform/DesktopOpen.h"
#include "platform/MsgBox.h"
#include "window/mBrowseFolder.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

FrmMainServices realServices()
{
    FrmMainServices s;
    s.browseFolder = [](const QString& start, const QString& title) {
        // Over the window that asked (the one the user just clicked), so the
        // picker stays with it; Wayland places a parentless dialog anywhere.
        return mBrowseFolder::BrowseFolder(start, QApplication::activeWindow(), title);
    };
    s.openDirectory = [](const QString& directory) { OpenDirectory(directory); };
    s.openFile = [](const QString& file, const QWidget& owner, ShowCommand show) {
        OpenFileFor(file, owner.window()->winId(), show);
    };
    s.openAddress = [](const QString& address) { mFileOp::ShellOpen(address); };
    s.startDetached = [](const QString& program) {
        return QProcess::startDetached(program, {}, QFileInfo(program).path());
    };
    s.pause = [](int ms) { mChrono::Pause(ms); };
    s.quit = [] {
        // At once, as asked: a conversion run in progress does not resume.
        std::fflush(nullptr);
        std::_Exit(0);
    };
    s.programDir = QCoreApplication::applicationDirPath();
    s.settingsFile = Settings::defaultFile();
    s.environment = GameDirectory::currentEnvironment();
    return s;
}
