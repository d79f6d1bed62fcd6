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

// The file is open for writing by another program, or changed while it was
// being read. A watch converts it once its writer closes it.
class StillBeingWritten : public ReadError {
public:
    explicit StillBeingWritten(const QString& file) : ReadError(file, "still being written") {}
};
