// FrmMain's folder pickers and the path labels that show the two folders.
#include "window/FrmMain.h"

#include "engine/mFileOp.h"
#include "window/controls/FileListBox.h"
#include "window/controls/PathLabel.h"

#include <QLabel>

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
