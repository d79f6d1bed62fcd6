// FrmMain's settings: the stored values restored into the controls and
// stored from them, and the game's directory found on a first start.
#include "window/FrmMain.h"

#include "core/Settings.h"
#include "engine/mFileOp.h"
#include "platform/MsgBox.h"
#include "window/QualitySlider.h"
#include "window/controls/WrapCheckBox.h"

bool FrmMain::LoadSettings()
{
    const std::optional<Settings> stored = Settings::load(m_services.settingsFile);
    InputPath = stored ? stored->inputPath : QString();
    if (stored) { // otherwise the slider and chkDel keep their start-up states
        OutputPath = stored->outputPath;
        m_slider->SetQuality(stored->quality);
        chkDel->setChecked(stored->deleteAfterConversion);
    }
    const bool inputExists = CheckDir(InputPath);
    const bool outputExists = CheckDir(OutputPath);
    return inputExists && outputExists;
}

void FrmMain::SaveSettings()
{
    Settings settings;
    settings.inputPath = InputPath;
    settings.outputPath = OutputPath;
    settings.quality = m_slider->quality();
    settings.deleteAfterConversion = chkDel->isChecked();
    if (settings.save(m_services.settingsFile) || m_settingsUnsavedShown)
        return;
    // Said once: every later save (each run, the close) would fail the same way.
    m_settingsUnsavedShown = true;
    MsgBox(QStringLiteral("The settings could not be saved in ") + m_services.settingsFile + MsgLineBreak()
               + QStringLiteral("They will be lost when Framewright ends."),
           MsgIcon::Warning, MsgButtons::Ok, kAppTitle);
}

void FrmMain::ApplyDefaultSettings()
{
    const GameDirectory::Found found = GameDirectory::search(m_services.environment);
    OutputPath = found.outputPath;
    InputPath = found.inputPath;
    // A game that was found keeps the quality as it stands.
    if (found.proposedDefault)
        m_slider->SetQuality(90);
}

bool FrmMain::CheckDir(const QString& path) const { return mFileOp::DirExists(path); }
