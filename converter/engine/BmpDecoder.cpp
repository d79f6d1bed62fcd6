#include "BmpDecoder.h"

// Placeholder until the decoder lands.
void DecodeBmpFile(const QString& path, const BmpAllocator&)
{
    throw BmpError((path + ": not implemented").toStdString());
}

void DecodeBmp(std::span<const std::uint8_t>, const QString& name, const BmpAllocator&)
{
    throw BmpError((name + ": not implemented").toStdString());
}
