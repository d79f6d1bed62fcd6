#pragma once

#include "engine/platform/MsgBox.h"

#include <QString>

// What the conversion run needs of the window that drives it. FrmMain
// implements it with its real controls; tests implement it with a fake.
class RunHost {
public:
    virtual ~RunHost() = default;

    // State read by the run.
    virtual QString inputPath() const = 0;  // ends in the path separator
    virtual QString outputPath() const = 0; // ends in the path separator
    virtual int fileCount() const = 0;      // entries of FileList, as shown
    virtual QString fileName(int index) const = 0;
    virtual QString qualityCaption() const = 0; // LblQuality, e.g. "90 %"
    virtual bool deleteChecked() const = 0;     // chkDel

    // The progress bar: X coordinates of the two lines, in window units.
    virtual float foreX1() const = 0; // LFore
    virtual float backX1() const = 0; // LBack
    virtual float backX2() const = 0; // LBack
    virtual void setForeX2(float x2) = 0;

    // Lstinfo.
    virtual void clearInfo() = 0;
    virtual void addInfo(const QString& line) = 0;
    virtual void selectLastInfo() = 0;

    // Control states around a run; enableControls() also re-reads FileList.
    virtual void enableControls() = 0;
    virtual void disableControls() = 0;

    virtual void saveSettings() = 0;
    virtual void restoreWindow() = 0; // back to the normal state if minimised
    virtual void processEvents() = 0;

    // Modal message boxes. title empty means the application's title.
    virtual void showMessage(const QString& text, MsgIcon icon, const QString& title) = 0;
    virtual bool askYesNo(const QString& text, MsgIcon icon, const QString& title) = 0;

    // Creates one directory level; false when that fails.
    virtual bool createDirectory(const QString& path) = 0;
    // Waits while the window keeps handling events.
    virtual void pause(int ms) = 0;
};
