// Whole conversions, from a click of CmdGo to "Done.", on real files.
#include "TestUtil.h"
#include "WindowHarness.h"
#include "core/NativeName.h"

#include <QDir>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Numbering, deletion and the JPEGs' pictures are the run's own tests; here
// the window's part: its messages, its settings, its lines, its list and its
// controls.
TEST(Conversion, AFailedRunIsReportedAndKeepsTheBitmapsAndTheNextClickConvertsThem)
{
    WindowHarness h;
    auto w = h.started({"half0007.bmp", "half0012.bmp"});
    const WindowControls c(*w);
    c.chkDel->setChecked(true);
    {
        // Writing the JPEG fails for real, as on a full disk; the settings fit.
        const fwtest::FileSizeLimit full(4096);
        QTest::mouseClick(c.CmdGo, Qt::LeftButton);
    }
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Conversion failed: '" + h.output + "half0000.JPG'");
    EXPECT_EQ(h.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(h.messages[0].title, "Framewright");
    EXPECT_EQ(WindowHarness::lines(c.Lstinfo), QStringList({"Processing:", "half0007.bmp"}));
    EXPECT_EQ(QDir(h.input).entryList(QDir::Files), QStringList({"half0007.bmp", "half0012.bmp"}));

    w->slider().SetQuality(85);
    bool sawDisabled = false;
    QObject::connect(c.Lstinfo->model(), &QAbstractItemModel::rowsInserted, w.get(), [&] {
        if (c.Lstinfo->count() == 2) // the first file's line
            sawDisabled = !c.CmdGo->isEnabled() && !w->controlsEnabled() && !c.FileList->isEnabled()
                          && !c.CmdExit->isEnabled() && c.LFore->isVisible() && c.CmdAbout->isEnabled();
    });
    QTest::mouseClick(c.CmdGo, Qt::LeftButton);
    EXPECT_TRUE(sawDisabled);
    EXPECT_EQ(WindowHarness::lines(c.Lstinfo), QStringList({"Processing:", "half0007.bmp", "half0012.bmp", "Done."}));
    EXPECT_EQ(c.Lstinfo->currentRow(), 3);
    EXPECT_EQ(QDir(h.output).entryList(QDir::Files), QStringList({"half0000.JPG", "half0001.JPG"}));
    EXPECT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.setting("Quality"), "85") << "the settings are stored as the run starts";
    EXPECT_TRUE(c.CmdGo->isEnabled() && w->controlsEnabled() && !c.LFore->isVisible());
    EXPECT_EQ(c.FileList->count(), 0);
    EXPECT_EQ(c.LFore->x2(), c.LBack->x2()) << "the last file fills the progress bar";
}

// A name that is not UTF-8 (Latin-1 here, as an old game or file system
// writes it) is listed, converted to a JPEG whose name has the same bytes,
// and deleted with "Delete" ticked, as the command line does.
TEST(Conversion, ANameInLatin1IsListedConvertedAndDeletedByItsOwnBytes)
{
    WindowHarness h;
    const QByteArray latin1 = "caf\xe9", input = QFile::encodeName(h.input), bitmap = input + latin1 + "0001.bmp";
    h.writeScreenshot(h.input + "shot.bmp");
    ASSERT_EQ(::rename((input + "shot.bmp").constData(), bitmap.constData()), 0);
    auto w = h.started();
    const WindowControls c(*w);
    const QString name = NativeName::decode(latin1 + "0001.bmp");
    ASSERT_EQ(WindowHarness::lines(c.FileList), QStringList({name}));
    c.chkDel->setChecked(true);
    QTest::mouseClick(c.CmdGo, Qt::LeftButton);
    EXPECT_EQ(WindowHarness::lines(c.Lstinfo), QStringList({"Processing:", name, "Done."}));
    EXPECT_NE(::access(bitmap.constData(), F_OK), 0) << "the bitmap was not deleted";
    EXPECT_EQ(::unlink((QFile::encodeName(h.output) + latin1 + "0000.JPG").constData()), 0) << "no JPEG of that name";
    EXPECT_TRUE(h.messages.empty());
}

} // namespace
