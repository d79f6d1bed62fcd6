#pragma once

#include "window/FrmMainServices.h"
#include "window/SkinnedWindow.h"

#include <QString>
#include <vector>

class FileListBox;
class ImageBox;
class LineControl;
class MouseLabel;
class PathLabel;
class PictureButton;
class QLabel;
class QListWidget;
class QualitySlider;
class ShapeControl;
class WrapCheckBox;

// The converter's one window: a frameless window dressed and shaped by its
// skin, holding the directories, the quality slider, the file list with its
// preview, and the progress of a conversion run. Each control carries its
// name as its objectName, which is how assistive tools and tests find it.
class FrmMain : public SkinnedWindow {
public:
    explicit FrmMain(FrmMainServices services);

    // Start-up, once, in a fixed order: skin, shape, settings or detection,
    // the file list, the window shown, the welcome text, and CmdGo enabled
    // last. Returns false when the program has to end (no skin).
    bool Form_Load();

    // Control states around a run: while they are disabled, nothing can
    // start a second run or change the inputs of this one.
    void EnableControls();
    void DisableControls();
    bool controlsEnabled() const { return ControlsEnabled; }

    // Stores the directories, the quality and the delete option in the
    // settings store (Settings: Framewright.ini on Linux, the registry on
    // Windows; section CONFIG); says once when it cannot.
    void SaveSettings();

    // The two directories, each ending in a separator once started.
    const QString& inputPath() const { return InputPath; }
    const QString& outputPath() const { return OutputPath; }
    // The quality slider, whose caption's number is the quality.
    QualitySlider& slider() { return *m_slider; }

    // The viewer's program, looked for beside this one.
    static QString viewerFileName();

protected:
    void closeEvent(QCloseEvent*) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class FrmMainRunHost; // a conversion run's view of this window

    // Settings and game detection (FrmMainSettings.cpp): the stored values
    // and the search's answer copied into the controls.
    bool LoadSettings();
    void ApplyDefaultSettings();
    bool CheckDir(const QString& path) const;

    // The handlers, in the files of their concerns.
    void CmdGo_Click();
    void CmdInPath_Click();
    void CmdOutPath_Click();
    void lblInPath_DblClick();
    void lblOutPath_DblClick();
    void FileList_Click();
    void FileList_DblClick();
    void ImgPreview_DblClick();
    void CmdAbout_Click();
    void LblURLQuenk_Click();
    void lblURLSponso_Click();
    void CmdMin_Click();
    void CmdExit_Click();
    void ShowPathHeadings();
    void ShowPathValues();
    QString pickFolder(const QString& current, const QString& title);
    void openSelectedBitmap();
    static QString makersLine();

    // Lstinfo: selects its last line, which brings it into view.
    void selectLastInfo();
    // Back to the normal state if minimised.
    void restoreWindow();

    // FrmMainControls.cpp builds the controls, FrmMainAccessibility.cpp
    // describes them, FrmMainKeyboard.cpp gives them their keys and their
    // order for Tab.
    void buildControls();
    void buildLabels();
    void buildButtons();
    void buildLists();
    void describeControls();
    void buildKeyboard();

    // State shared with the conversion run.
    QString InputPath;
    QString OutputPath;
    bool ControlsEnabled = false;

    // The controls; the slider holds LblBack, LblFore, lbltutqual and
    // LblQuality.
    PictureButton* CmdMin;
    PictureButton* CmdExit;
    PictureButton* CmdGo;
    WrapCheckBox* chkDel;
    PictureButton* CmdOutPath;
    PictureButton* CmdInPath;
    FileListBox* FileList;
    QListWidget* Lstinfo;
    QLabel* picMainSkin;
    PictureButton* CmdAbout;
    MouseLabel* LblURLQuenk;
    MouseLabel* lblURLSponso;
    QLabel* LblDest;
    QLabel* LblSrc;
    QualitySlider* m_slider;
    QLabel* Image2;
    QLabel* Image1;
    ImageBox* ImgPreview;
    PathLabel* lblOutPath;
    PathLabel* lblInPath;
    LineControl* LFore;
    ShapeControl* SFrame;
    LineControl* LBack;
    LineControl* LBlack;

    static const QString kAppTitle; // of the message boxes

    FrmMainServices m_services;
    std::vector<QWidget*> m_tabOrder;
    bool m_settingsUnsavedShown = false; // the user is told once per run of the program
};
