#pragma once

#include "window/controls/FileListBox.h"
#include "window/controls/ImageBox.h"
#include "window/controls/LineControl.h"
#include "window/controls/PathLabel.h"
#include "window/controls/PictureButton.h"
#include "window/controls/ShapeControl.h"
#include "window/controls/WrapCheckBox.h"
#include "window/FrmMainServices.h"
#include "window/QualitySlider.h"
#include "window/SkinnedWindow.h"

#include <QImage>
#include <QListWidget>
#include <QPoint>
#include <QWidget>
#include <vector>

// The converter's one window: a frameless window dressed and shaped by its
// skin, holding the directories, the quality slider, the file list with its
// preview, and the progress of a conversion run.
class FrmMain : public SkinnedWindow {
public:
    explicit FrmMain(FrmMainServices services);

    // Start-up, once, in a fixed order: skin, shape, settings or detection,
    // the file list, the window shown, the welcome text, and CmdGo enabled
    // last. Returns false when the program has to end (no skin).
    bool Form_Load();

    // Control states around a run.
    void EnableControls();
    void DisableControls();

    // Settings (Framewright.ini, section CONFIG) and game detection: the
    // stored values and the search's answer copied into the controls.
    bool LoadSettings();
    void SaveSettings();
    void ApplyDefaultSettings();
    bool CheckDir(const QString& path) const;

    // The quality slider, live while the controls are enabled.
    QualitySlider& slider() { return *m_slider; }

    // The handlers.
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

    // The texts this window shows about its makers.
    static QString makersLine();
    static QString viewerFileName();

    // State shared with the conversion run.
    QString InputPath;
    QString OutputPath;
    bool ControlsEnabled = false;

    // The controls.
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
    QLabel* Image2;
    QLabel* Image1;
    ImageBox* ImgPreview;
    PathLabel* lblOutPath;
    PathLabel* lblInPath;
    LineControl* LFore;
    ShapeControl* SFrame;
    LineControl* LBack;
    LineControl* LBlack;

    // Lstinfo: selects its last line, which brings it into view.
    void selectLastInfo();
    // Back to the normal state if minimised.
    void restoreWindow();

protected:
    void closeEvent(QCloseEvent*) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class FrmMainRunHost; // a conversion run's view of this window

    void buildControls();
    void buildLabels();
    void buildButtons();
    void buildLists();
    void buildKeyboard(); // FrmMainKeyboard.cpp
    void openSelectedBitmap();
    QString pickFolder(const QString& current, const QString& title);

    FrmMainServices m_services;
    QualitySlider* m_slider;
    std::vector<QWidget*> m_tabOrder;
    bool m_settingsUnsavedShown = false; // the user is told once per run of the program
};
