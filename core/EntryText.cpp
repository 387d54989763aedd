// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "EntryText.h"

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

template<bool KeepHash> bool isClean(QStringView text)
{
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (isControl(c) || (!KeepHash && c == u'#'))
            return false;
    }
    return true;
}

template<bool KeepHash> QString normalize(QStringView text)
{
    QString out = text.toString();
    if (isClean<KeepHash>(text))
        return out;
    for (QChar &ch : out) {
        const char16_t c = ch.unicode();
        if (isControl(c))
            ch = EntryText::Replacement;
        else if (!KeepHash && c == u'#')
            ch = EntryText::FullWidthHash;
    }
    return out;
}

} // namespace

namespace EntryText {

QString normalizeName(QStringView text)
{
    return normalize<true>(text);
}

QString normalizeField(QStringView text)
{
    return normalize<false>(text);
}

bool isCleanName(QStringView text)
{
    return isClean<true>(text);
}

bool isCleanField(QStringView text)
{
    return isClean<false>(text);
}

} // namespace EntryText
