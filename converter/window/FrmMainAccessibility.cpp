// What assistive tools are told of FrmMain's controls.
#include "window/FrmMain.h"

#include "window/QualitySlider.h"
#include "window/accessibility/AccessibleControls.h"
#include "window/controls/FileListBox.h"
#include "window/controls/ImageBox.h"
#include "window/controls/PathLabel.h"
#include "window/controls/PictureButton.h"
#include "window/controls/WrapCheckBox.h"

namespace {

struct Described {
    QWidget* control;
    const char* name;
    const char* description;
};

} // namespace

void FrmMain::describeControls()
{
    InstallAccessibleControls();

    // The slider describes its own. The labels and boxes at the end are
    // read, not worked: Tab passes them by. A path label's name is the path.
    const Described described[] = {
        {CmdInPath, "Input directory", "Choose the folder of the game's screenshots (Alt+I)"},
        {CmdOutPath, "Output directory", "Choose the folder the JPEG files go to (Alt+O)"},
        {chkDel, "Delete screenshots after conversion", "Delete originals screenshots after conversion"},
        {FileList, "Screenshots", "BMP files in the input directory; Enter opens the selected one"},
        {CmdGo, "Convert", "Convert ScreenShots into JPEGs (Alt+C)"},
        {CmdAbout, "About", "Who made Framewright (F1)"},
        {LblURLQuenk, "Makers' web page", "Opens the makers' web page in the browser"},
        {lblURLSponso, "Sponsor's web page", "Opens the sponsor's web page in the browser"},
        {CmdMin, "Minimise", "Reduce window"},
        {CmdExit, "Close", "Saves the settings and ends Framewright"},
        {lblInPath, "", "Input directory; a double-click opens it in the file manager"},
        {lblOutPath, "", "Output directory; a double-click opens it in the file manager"},
        {ImgPreview, "Preview", "The selected screenshot; a double-click opens it"},
        {Lstinfo, "Progress", "Welcome text and the progress of the conversion"},
    };
    for (const Described& d : described) {
        d.control->setAccessibleName(QString::fromLatin1(d.name));
        d.control->setAccessibleDescription(QString::fromLatin1(d.description));
    }
    for (QWidget* label : std::initializer_list<QWidget*>{m_slider->track(), LblURLQuenk, lblURLSponso})
        ForgetAccessible(label);
}
