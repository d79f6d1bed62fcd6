#pragma once

#include "engine/RunHost.h"

class FrmMain;
class LineControl;

// The progress bar: LFore grows from its own left end over the share
// done / (total - 1) of LBack's length. A single file leaves it alone.
void drawProgress(LineControl& fore, const LineControl& back, int done, int total);

// FrmMain as the driver of a conversion run: the run's inputs are read from
// the window's controls, and its course is shown in them.
class FrmMainRunHost final : public RunHost {
public:
    explicit FrmMainRunHost(FrmMain& window) : m_window(window) {}

    QString inputPath() const override;
    QString outputPath() const override;
    QStringList screenshots() const override;
    int quality() const override;
    bool deleteOriginals() const override;

    void clearLog() override;
    void runStarted() override;
    void showProgress(int done, int total) override;
    void log(const QString& line) override;
    void restoreWindow() override;
    void runEnded() override;

    void showMessage(const QString& text, MsgIcon icon, const QString& title) override;
    bool askYesNo(const QString& text, MsgIcon icon, const QString& title) override;
    void processEvents() override;
    void pause(int ms) override;

private:
    FrmMain& m_window;
};
