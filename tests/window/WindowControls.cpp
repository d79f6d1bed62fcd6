#include "WindowControls.h"

#include <gtest/gtest.h>

namespace {

// The test fails when the window has no control of that name and kind.
template <typename Control = QWidget>
Control* control(const QWidget& window, const char* name)
{
    auto* found = dynamic_cast<Control*>(window.findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly));
    if (!found)
        ADD_FAILURE() << "no control " << name;
    return found;
}

} // namespace

WindowControls::WindowControls(const QWidget& w)
    : CmdMin(control<PictureButton>(w, "CmdMin")), CmdExit(control<PictureButton>(w, "CmdExit")),
      CmdGo(control<PictureButton>(w, "CmdGo")), CmdOutPath(control<PictureButton>(w, "CmdOutPath")),
      CmdInPath(control<PictureButton>(w, "CmdInPath")), CmdAbout(control<PictureButton>(w, "CmdAbout")),
      chkDel(control<WrapCheckBox>(w, "chkDel")), FileList(control<FileListBox>(w, "FileList")),
      Lstinfo(control<QListWidget>(w, "Lstinfo")), ImgPreview(control<ImageBox>(w, "ImgPreview")),
      picMainSkin(control<QLabel>(w, "picMainSkin")), LblSrc(control<QLabel>(w, "LblSrc")),
      LblDest(control<QLabel>(w, "LblDest")), LblQuality(control<QLabel>(w, "LblQuality")),
      LblURLQuenk(control<MouseLabel>(w, "LblURLQuenk")), lblURLSponso(control<MouseLabel>(w, "lblURLSponso")),
      LblBack(control<MouseLabel>(w, "LblBack")), LblFore(control<MouseLabel>(w, "LblFore")),
      lblInPath(control<PathLabel>(w, "lblInPath")), lblOutPath(control<PathLabel>(w, "lblOutPath")),
      LFore(control<LineControl>(w, "LFore")), LBack(control<LineControl>(w, "LBack")),
      LBlack(control<LineControl>(w, "LBlack"))
{
}
