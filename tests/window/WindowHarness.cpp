#include "WindowHarness.h"

#include "SampleArt.h"
#include "SkinArt.h"
#include "detection/SteamLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

WindowHarness::WindowHarness()
{
    programDir = tmp.path() + "/bin";
    settingsFile = tmp.path() + "/config/Framewright/Framewright.ini";
    winePrefix = tmp.path() + "/wine";
    home = tmp.path() + "/home";
    pictures = tmp.path() + "/home/Pictures";
    input = tmp.path() + "/shots/";
    output = tmp.path() + "/jpegs/";
    for (const QString& dir : {programDir, home, pictures, input, output})
        EXPECT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(art::skin().save(programDir + "/skin.bmp", "BMP"));
    writeSettings(input, output);
    // Messages are recorded; questions are answered No.
    m_previousMsgBox =
        SetMsgBoxHandler([this](const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title) {
            if (buttons == MsgButtons::Ok)
                messages.push_back({text, icon, title});
            return false;
        });
}

WindowHarness::~WindowHarness() { SetMsgBoxHandler(m_previousMsgBox); }

FrmMainServices WindowHarness::services()
{
    FrmMainServices s;
    s.browseFolder = [this](const QString& start, const QString& title) {
        pickerCalls.emplace_back(start, title);
        if (duringPicker)
            duringPicker();
        return pickerAnswers.isEmpty() ? QString() : pickerAnswers.takeFirst();
    };
    s.openDirectory = [this](const QString& d) { openedDirectories.append(d); };
    s.openFile = [this](const QString& f, const QWidget& owner, ShowCommand show) {
        openedFiles.append(f);
        openedFilesFor.push_back({&owner, show});
    };
    s.openAddress = [this](const QString& a) { openedAddresses.append(a); };
    s.startDetached = [this](const QString& p) {
        launched.append(p);
        return true;
    };
    s.pause = [this](int ms) {
        if (duringPause)
            duringPause(ms);
        QCoreApplication::processEvents();
    };
    s.quit = [this] { ++quits; };
    s.programDir = programDir;
    s.settingsFile = settingsFile;
    s.environment = {winePrefix, SteamLibrary::SteamRoots(home), pictures};
    return s;
}

std::unique_ptr<FrmMain> WindowHarness::started(const QStringList& shots)
{
    for (const QString& name : shots)
        writeScreenshot(input + name);
    auto w = window();
    EXPECT_TRUE(w->Form_Load());
    return w;
}

void WindowHarness::writeSettings(const QString& in, const QString& out, const QString& quality, const QString& del)
{
    QSettings store(settingsFile, QSettings::IniFormat);
    store.beginGroup("CONFIG");
    store.setValue("InputPath", in);
    store.setValue("OutputPath", out);
    store.setValue("Quality", quality);
    store.setValue("Del", del);
}

QString WindowHarness::setting(const QString& key) const
{
    return QSettings(settingsFile, QSettings::IniFormat).value("CONFIG/" + key).toString();
}

void WindowHarness::writeScreenshot(const QString& path, QSize size) const
{
    const QImage shot = art::sampleScreenshot({QStringLiteral("c1a00000.bmp"), size, 0});
    ASSERT_TRUE(shot.save(path, "BMP")) << path.toStdString();
}

QStringList WindowHarness::lines(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}
