#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// Which files are the game's screenshots, and what they are called once
// converted. The window's list, the window's run and the command-line
// converter all follow these rules, so they live in one place.
namespace ScreenshotList {

// Bitmaps smaller than this are not screenshots worth converting.
inline constexpr qint64 kMinBytes = 360000;
// Names of this many characters or fewer have no prefix and are skipped.
inline constexpr int kShortestName = 8;
// Candidate numbers run from 0000 to 9998.
inline constexpr int kNumberCount = 9999;

// The "*.bmp" files of a directory (".BMP" and ".Bmp" too), sorted by name
// without regard to case, as the window lists them. Empty when the
// directory cannot be read.
QStringList list(const QString& directory);

// Whether a name is one list() takes (when its file is a regular file):
// "*.bmp" in any case, not hidden.
bool isScreenshotName(const QString& fileName);

// Puts names in list()'s order.
void sortAsListed(QStringList& names);

// The command line converts every input format (ScreenshotFormats): list()
// with the files of the other formats among the bitmaps, in the same order.
QStringList listForConversion(const QString& directory);
bool isConversionName(const QString& fileName);

// "half0007.bmp" -> "half": the name less its last 8 characters, or "" for a
// name of 8 characters or fewer.
QString namePrefix(const QString& fileName);

// The prefix of a screenshot's JPEG files: namePrefix(), but a TGA
// screenshot the game took with no map loaded, "HalfLife07.tga", gives
// "HalfLife" (the window lists bitmaps only, and never meets one).
QString jpegPrefix(const QString& fileName);

// "half" and 3 -> "half0003.JPG"; from 10000 on the numbers have five
// digits. A bitmap kept under a new name is named the same way, with its
// own extension.
QString candidateName(const QString& prefix, int number, const QString& extension = QStringLiteral(".JPG"));

// The path of a name in a directory that ends in a separator or not, or is
// empty for the current directory.
QString pathIn(const QString& directory, const QString& name);

// The lowest number from `from` on, below `end`, whose candidate name is free
// in the directory, or `end` when every one is taken. Any entry takes a
// name: a file, a directory, a link (even a dangling one). Nothing when the
// directory cannot be asked (a network share that dropped away).
std::optional<int> firstFreeNumber(const QString& directory, const QString& prefix, int from, int end = kNumberCount);

// Why a listed bitmap is left alone by rule, before it is read.
enum class RuleSkip { None, ShortName, SmallFile };

// The rule for a listed name and its size in bytes.
RuleSkip ruleSkip(const QString& fileName, qint64 size);

} // namespace ScreenshotList
