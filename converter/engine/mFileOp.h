#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

// Path and file helpers shared by the conversion run and the window.
// Directory paths end in the platform's separator ('/' here, '\' on
// Windows); a file path is a directory path followed by the file name.
namespace mFileOp {

QChar PathSeparator();

// The path in the platform's form (on Windows '/' becomes '\') with a
// trailing separator; "" becomes the bare separator.
QString FormatPath(const QString& path);

// Size in bytes of a file (not a directory), or nothing when it cannot be read.
std::optional<std::int64_t> FileLength(const QString& path);

// True when the file's length can be queried.
bool FileExists(const QString& path);

// True when the path names an existing directory. On Windows a path shorter
// than 3 characters (a bare drive such as "C:") is never one.
bool DirExists(const QString& path);

// Waits, handling window events, until the file is gone or limitMs passed.
// The thread sleeps between looks at the file.
// True when the file is gone.
bool WaitWhileFileExists(const QString& path, int limitMs);

// Waits, handling window events, until the file exists, then until its size
// stops changing over a 200 ms sleep, never beyond limitMs overall.
// True when the file exists at the end.
bool WaitForFile(const QString& path, int limitMs);

// Hands a file path or web address to the desktop's default action: an
// existing path opens as a file, text with a scheme ("mailto:", "https://")
// as that address, and anything else as an https:// web address.
// Returns a value above 32 on success and 2 (file not found) otherwise, the
// convention of the Windows shell that callers compare against.
int ShellOpen(const QString& target);

} // namespace mFileOp
