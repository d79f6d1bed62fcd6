#pragma once

#include "TempDir.h"

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <set>

// framewright-convert as a process, and screenshots that say which they are.
namespace clitest {

struct Result {
    int code = -1;
    QStringList lines; // stdout
    QString errors;    // stderr
};

// The program under test.
QString program();
void startConvert(QProcess& p, const QStringList& args);
// The program under strace with the options given; strace's trace goes to
// the process's stderr.
void startTraced(QProcess& p, const QStringList& straceOptions, const QStringList& args);
Result finish(QProcess& p);
// Reads what p says into said until done() holds, p ends or a minute passes.
bool readUntil(QProcess& p, QString& said, const std::function<bool()>& done);
Result convert(const QStringList& args, const std::function<void()>& inChild = {});

// A screenshot of 400 x 300 (just over the 360000-byte threshold) whose
// centre tells which one it was (up to 900 of them).
QImage shot(int id);
// The id a decoded picture shows; -1 when it shows none of them whole (not
// decodable, black, torn).
int idOf(const QImage& picture);

void writeShots(const fwtest::TempDir& dir, const QString& pattern, int count, int firstId = 0);
QStringList entries(const QString& dir, const QString& pattern = "*");
// The id of every JPEG of a directory.
std::multiset<int> idsOfJpegs(const QString& dir);

} // namespace clitest
