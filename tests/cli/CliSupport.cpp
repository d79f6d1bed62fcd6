#include "CliSupport.h"

#include "TestUtil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <gtest/gtest.h>

using namespace fwtest;

namespace clitest {

QString program()
{
    // FW_CONVERT in the environment runs another build of the program (an
    // older one, to show that a test catches what it is meant to).
    return qEnvironmentVariable("FW_CONVERT", QStringLiteral(FW_CONVERT));
}

void startConvert(QProcess& p, const QStringList& args)
{
    p.start(program(), args);
    ASSERT_TRUE(p.waitForStarted());
}

void startTraced(QProcess& p, const QStringList& straceOptions, const QStringList& args)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", "detect_leaks=0"); // the leak check cannot run under a tracer
    p.setProcessEnvironment(environment);
    p.start("strace", straceOptions + QStringList{"-f", program()} + args);
    ASSERT_TRUE(p.waitForStarted()) << "strace is needed (scripts/install-deps.sh)";
}

Result finish(QProcess& p)
{
    EXPECT_TRUE(p.waitForFinished(120000));
    const bool merged = p.processChannelMode() == QProcess::MergedChannels; // then stderr is in stdout
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
            merged ? QString() : QString(p.readAllStandardError())};
}

bool readUntil(QProcess& p, QString& said, const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000 && p.state() == QProcess::Running) {
        p.waitForReadyRead(20);
        said += p.readAll();
    }
    return done();
}

Result convert(const QStringList& args, const std::function<void()>& inChild)
{
    QProcess p;
#ifdef Q_OS_UNIX
    if (inChild)
        p.setChildProcessModifier(inChild);
#else
    EXPECT_FALSE(inChild) << "a child's set-up is a POSIX means";
#endif
    startConvert(p, args);
    return finish(p);
}

QImage shot(int id)
{
    QImage image = testPattern(400, 300);
    QPainter(&image).fillRect(168, 118, 64, 64, QColor(20 + 7 * (id % 30), 20 + 7 * (id / 30), 90));
    return image;
}

int idOf(const QImage& picture)
{
    if (picture.isNull())
        return -1;
    const QColor c = picture.pixelColor(200, 150);
    const int id = qRound((c.red() - 20) / 7.0) + 30 * qRound((c.green() - 20) / 7.0);
    const bool whole = maxChannelDiff(picture, shot(id)) <= 40 && meanChannelDiff(picture, shot(id)) < 2.0;
    return whole ? id : -1;
}

void writeShots(const TempDir& dir, const QString& pattern, int count, int firstId)
{
    for (int i = 0; i < count; ++i)
        writeBmp(dir.file(pattern.arg(i, 4, 10, QChar('0'))), shot(firstId + i));
}

QStringList entries(const QString& dir, const QString& pattern)
{
    return QDir(dir).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
}

std::multiset<int> idsOfJpegs(const QString& dir)
{
    std::multiset<int> ids;
    for (const QString& name : entries(dir, "*.JPG"))
        ids.insert(idOf(decodeJpeg(dir + '/' + name)));
    return ids;
}

} // namespace clitest
