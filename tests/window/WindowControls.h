#pragma once

#include "window/controls/FileListBox.h"
#include "window/controls/ImageBox.h"
#include "window/controls/LineControl.h"
#include "window/controls/PathLabel.h"
#include "window/controls/PictureButton.h"
#include "window/controls/WrapCheckBox.h"

// FrmMain's controls as the tests reach them: by their names, which each
// control carries as its objectName.
struct WindowControls {
    explicit WindowControls(const QWidget& window);

    PictureButton *CmdMin, *CmdExit, *CmdGo, *CmdOutPath, *CmdInPath, *CmdAbout;
    WrapCheckBox* chkDel;
    FileListBox* FileList;
    QListWidget* Lstinfo;
    ImageBox* ImgPreview;
    QLabel *picMainSkin, *LblSrc, *LblDest, *LblQuality;
    MouseLabel *LblURLQuenk, *lblURLSponso, *LblBack, *LblFore;
    PathLabel *lblInPath, *lblOutPath;
    LineControl *LFore, *LBack, *LBlack;
};
