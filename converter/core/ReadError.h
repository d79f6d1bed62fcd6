#pragma once

#include <QString>
#include <stdexcept>
#include <string>

// A screenshot that cannot be read: refused by its decoder, gone, or still
// being written. Nothing is lost by it (the file stays where it is), so both
// programs skip it with its reason. what() names the file and the reason,
// e.g. "shot.bmp: truncated pixel data"; reason() is the reason alone, for a
// line that names the file already.
class ReadError : public std::runtime_error {
public:
    ReadError(const QString& file, const std::string& reason)
        : std::runtime_error(file.toStdString() + ": " + reason), m_reason(reason)
    {
    }
    const std::string& reason() const { return m_reason; }

private:
    std::string m_reason;
};

// Why a reader refuses a picture, before the file's name is put in front:
// the readers' layout and pixel code knows bytes, not files. The shared
// entry points (FileBytes.h) turn it into the reader's own ReadError.
class ReadFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void FailRead(const std::string& reason) { throw ReadFailure(reason); }

// The file is open for writing by another program, or changed while it was
// being read. A watch converts it once its writer closes it.
class StillBeingWritten : public ReadError {
public:
    explicit StillBeingWritten(const QString& file) : ReadError(file, "still being written") {}
};
