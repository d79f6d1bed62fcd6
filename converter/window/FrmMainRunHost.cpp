#include "window/FrmMainRunHost.h"

#include "engine/ConversionRun.h"
#include "engine/mChrono.h"
#include "window/FrmMain.h"
#include "window/QualitySlider.h"
#include "window/controls/FileListBox.h"
#include "window/controls/LineControl.h"
#include "window/controls/WrapCheckBox.h"

#include <QListWidget>

void drawProgress(LineControl& fore, const LineControl& back, int done, int total)
{
    if (total > 1) {
        const double share = static_cast<double>(done) / (total - 1);
        fore.setX2(static_cast<float>(fore.x1() + (back.x2() - back.x1()) * share));
    }
}

QString FrmMainRunHost::inputPath() const { return m_window.InputPath; }
QString FrmMainRunHost::outputPath() const { return m_window.OutputPath; }

QStringList FrmMainRunHost::screenshots() const
{
    QStringList names;
    for (int i = 0; i < m_window.FileList->count(); ++i)
        names << m_window.FileList->item(i)->text();
    return names;
}

// The quality is the number the slider's caption shows.
int FrmMainRunHost::quality() const { return m_window.m_slider->quality(); }
bool FrmMainRunHost::deleteOriginals() const { return m_window.chkDel->isChecked(); }

void FrmMainRunHost::clearLog() { m_window.Lstinfo->clear(); }

void FrmMainRunHost::runStarted()
{
    m_window.SaveSettings();
    m_window.DisableControls();
}

void FrmMainRunHost::showProgress(int done, int total) { drawProgress(*m_window.LFore, *m_window.LBack, done, total); }

void FrmMainRunHost::log(const QString& line)
{
    m_window.Lstinfo->addItem(line);
    m_window.selectLastInfo();
}

// A window minimised during the run comes back.
void FrmMainRunHost::restoreWindow() { m_window.restoreWindow(); }

void FrmMainRunHost::runEnded() { m_window.EnableControls(); }

void FrmMainRunHost::showMessage(const QString& text, MsgIcon icon, const QString& title)
{
    MsgBox(text, icon, MsgButtons::Ok, title.isEmpty() ? FrmMain::kAppTitle : title);
}

bool FrmMainRunHost::askYesNo(const QString& text, MsgIcon icon, const QString& title)
{
    return MsgBox(text, icon, MsgButtons::YesNo, title.isEmpty() ? FrmMain::kAppTitle : title);
}

void FrmMainRunHost::processEvents() { mChrono::ProcessEvents(); }
void FrmMainRunHost::pause(int ms) { m_window.m_services.pause(ms); }
