// FrmMain's file list: the preview of the selected screenshot, and the
// screenshot opened with its own program.
#include "window/FrmMain.h"

#include "core/ScreenshotFile.h"
#include "platform/Picture.h"
#include "window/controls/FileListBox.h"
#include "window/controls/ImageBox.h"

void FrmMain::FileList_Click()
{
    const QListWidgetItem* item = FileList->currentItem();
    if (!item)
        return;
    // A file that cannot be shown (damaged, gone since the list was read,
    // still being written) leaves the preview as it was. It is read as the
    // run reads it, so that a name in any encoding shows.
    try {
        ScreenshotFile screenshot(InputPath, item->text());
        const QImage image = PictureToImage(LoadPicture(screenshot));
        if (!image.isNull())
            ImgPreview->setImage(image);
    } catch (const std::exception&) {
    }
}

void FrmMain::openSelectedBitmap()
{
    const QListWidgetItem* item = FileList->currentItem();
    if (item && FileList->currentRow() >= 0)
        m_services.openFile(InputPath + item->text(), *this, ShowCommand::Show);
}

void FrmMain::FileList_DblClick() { openSelectedBitmap(); }
void FrmMain::ImgPreview_DblClick() { openSelectedBitmap(); }
