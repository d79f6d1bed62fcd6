// FrmMain's handlers that choose folders, preview and open screenshots, and
// start the viewer and the web pages.
#include "window/FrmMain.h"

#include "Makers.h"
#include "engine/mFileOp.h"
#include "platform/Picture.h"

// ---- Folders -------------------------------------------------------------

void FrmMain::ShowPathHeadings()
{
    LblSrc->show();
    LblDest->show();
    lblInPath->hide();
    lblOutPath->hide();
}

void FrmMain::ShowPathValues()
{
    LblSrc->hide();
    LblDest->hide();
    lblInPath->show();
    lblOutPath->show();
}

// The headings stand in for the paths while the picker is open; a cancelled
// picker keeps the current folder.
QString FrmMain::pickFolder(const QString& current, const QString& title)
{
    ShowPathHeadings();
    const QString result = m_services.browseFolder(current, title);
    return result.isEmpty() ? current : mFileOp::FormatPath(result);
}

void FrmMain::CmdInPath_Click()
{
    InputPath = pickFolder(InputPath, QStringLiteral("HALF-LIFE directory"));
    lblInPath->setText(InputPath.toUpper());
    FileList->setPath(InputPath); // re-read even when the picker was cancelled
    ShowPathValues();
}

void FrmMain::CmdOutPath_Click()
{
    OutputPath = pickFolder(OutputPath, QStringLiteral("Output directory"));
    lblOutPath->setText(OutputPath.toUpper());
    ShowPathValues();
}

// The labels show the paths in capitals; a case-sensitive file system needs
// the path as it is, so the file manager gets the directory itself.
void FrmMain::lblInPath_DblClick() { m_services.openDirectory(InputPath); }
void FrmMain::lblOutPath_DblClick() { m_services.openDirectory(OutputPath); }

// ---- File list and preview -------------------------------------------------

void FrmMain::FileList_Click()
{
    const QListWidgetItem* item = FileList->currentItem();
    if (!item)
        return;
    // A file that cannot be shown (damaged, or gone since the list was read)
    // leaves the preview as it was.
    try {
        const QImage image = PictureToImage(LoadPicture(InputPath + item->text()));
        if (!image.isNull())
            ImgPreview->setImage(image);
    } catch (const std::exception&) {
    }
}

void FrmMain::openSelectedBitmap()
{
    const QListWidgetItem* item = FileList->currentItem();
    if (item && FileList->currentRow() >= 0)
        m_services.openFile(InputPath + item->text());
}

void FrmMain::FileList_DblClick() { openSelectedBitmap(); }
void FrmMain::ImgPreview_DblClick() { openSelectedBitmap(); }

// ---- The viewer, the web pages, minimising ------------------------------

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
        m_services.message(makersLine(), MsgIcon::Information, QStringLiteral("Framewright"));
        return;
    }
    m_services.startDetached(viewer);
}

void FrmMain::LblURLQuenk_Click() { m_services.openAddress(LblURLQuenk->text()); }
void FrmMain::lblURLSponso_Click() { m_services.openAddress(lblURLSponso->text()); }

void FrmMain::CmdMin_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}
