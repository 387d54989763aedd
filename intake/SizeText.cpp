// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SizeText.h"

namespace {

QString groupedThousands(quint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

QString threeDigits(quint64 value)
{
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}

quint64 magnitude(qint64 bytes)
{
    return bytes < 0 ? quint64(0) - quint64(bytes) : quint64(bytes);
}

QString sign(qint64 bytes)
{
    return bytes < 0 ? QStringLiteral("-") : QString();
}

} // namespace

QString CatalogSizeText(qint64 bytes)
{
    const quint64 n = magnitude(bytes);
    return sign(bytes) + groupedThousands(n / 1000) + u'.' + threeDigits(n % 1000);
}

QString ViewSizeText(qint64 bytes)
{
    const quint64 n = magnitude(bytes);
    if (n < 1000)
        return sign(bytes) + threeDigits(n);
    return CatalogSizeText(bytes);
}
