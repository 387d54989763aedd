// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "HeaderRead.h"

#include "RegularFile.h"

std::optional<HeaderBytes> ReadHeader(const FilePath &path)
{
    const RegularFile file(path);
    if (!file.isOpen())
        return std::nullopt;
    HeaderBytes header {};
    if (file.readAt(0, header.data(), HeaderSize) < 0)
        return std::nullopt;
    return header;
}
