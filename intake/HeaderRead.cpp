#include "HeaderRead.h"

#include "RegularFile.h"

std::optional<HeaderBytes> ReadHeader(const QString &path)
{
    const RegularFile file(path);
    if (!file.isOpen())
        return std::nullopt;
    HeaderBytes header {};
    if (file.readAt(0, header.data(), HeaderSize) < 0)
        return std::nullopt;
    return header;
}
