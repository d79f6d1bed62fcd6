#include "core/FileBytes.h"

std::optional<std::string> OpenForReading(QFile& file)
{
    if (!file.exists())
        return "file not found";
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return "cannot read file";
    return std::nullopt;
}

bool ReadBytesAt(QFile& file, std::int64_t offset, void* to, std::int64_t size)
{
    if (!file.seek(offset))
        return false;
    auto* out = static_cast<char*>(to);
    while (size > 0) {
        const qint64 got = file.read(out, size);
        if (got <= 0)
            return false;
        out += got;
        size -= got;
    }
    return true;
}
