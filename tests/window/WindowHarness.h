#pragma once

#include "TempDir.h"
#include "WindowControls.h"
#include "window/FrmMain.h"
#include "window/FrmMainServices.h"
#include "window/QualitySlider.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// Surroundings for one FrmMain under test: a program directory with a skin,
// a private settings file naming the input and output folders (quality 80,
// no deletion), Wine prefix, home and pictures folders, and services that
// record what the window asks for instead of waiting for a person or
// starting programs (every question is answered No).
struct WindowHarness {
    struct Box {
        QString text;
        MsgIcon icon;
        QString title;
    };

    WindowHarness();
    ~WindowHarness();
    WindowHarness(const WindowHarness&) = delete;
    WindowHarness& operator=(const WindowHarness&) = delete;

    FrmMainServices services();
    std::unique_ptr<FrmMain> window() { return std::make_unique<FrmMain>(services()); }
    // A window through its whole start-up, with these screenshots in input.
    std::unique_ptr<FrmMain> started(const QStringList& shots = {});

    void writeSettings(const QString& input, const QString& output, const QString& quality = "80",
                       const QString& del = "0");
    QString setting(const QString& key) const;

    // Writes a real 24-bit screenshot (well above the size threshold).
    void writeScreenshot(const QString& path, QSize size = QSize(640, 480)) const;
    static QStringList lines(const QListWidget* list);

    fwtest::TempDir tmp;
    QString programDir, settingsFile, winePrefix, home, pictures, input, output;

    std::vector<Box> messages;
    std::vector<std::pair<QString, QString>> pickerCalls; // start folder, title
    QStringList pickerAnswers;                            // "" (cancel) when empty
    std::function<void()> duringPicker;
    QStringList openedDirectories, openedFiles, openedAddresses, launched;
    std::vector<std::pair<const QWidget*, ShowCommand>> openedFilesFor; // the owner and show command of each file
    std::function<void(int)> duringPause;
    int quits = 0;

private:
    MsgBoxHandler m_previousMsgBox;
};
