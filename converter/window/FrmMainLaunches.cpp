// FrmMain's handlers that leave the window: the credits viewer, the web
// pages, and minimising.
#include "window/FrmMain.h"

#include "Makers.h"
#include "engine/mFileOp.h"
#include "platform/MsgBox.h"
#include "window/controls/MouseLabel.h"

QString FrmMain::makersLine()
{
    return QStringLiteral("Framewright from %1 %2 (%3 @ %4)")
        .arg(QString::fromLatin1(makers::kTeam), QString::fromLatin1(makers::kProgrammer),
             QString::fromLatin1(makers::kChatChannel), QString::fromLatin1(makers::kChatNetwork));
}

QString FrmMain::viewerFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Kudoscope.exe");
#else
    return QStringLiteral("kudoscope");
#endif
}

void FrmMain::CmdAbout_Click()
{
    const QString viewer = mFileOp::FormatPath(m_services.programDir) + viewerFileName();
    if (!mFileOp::FileExists(viewer)) {
        MsgBox(makersLine(), MsgIcon::Information, MsgButtons::Ok, kAppTitle);
        return;
    }
    m_services.startDetached(viewer);
}

void FrmMain::LblURLQuenk_Click() { m_services.openAddress(LblURLQuenk->text()); }
void FrmMain::lblURLSponso_Click() { m_services.openAddress(lblURLSponso->text()); }

void FrmMain::CmdMin_Click() { setWindowState(windowState() | Qt::WindowMinimized); }
