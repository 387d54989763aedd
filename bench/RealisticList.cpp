// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "RealisticList.h"

#include "TextCodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <iterator>

namespace {

const char16_t *const JapaneseWords[] = { u"アニメ", u"映画", u"ドラマ", u"音楽", u"ライブ", u"旅行", u"家族", u"記録",
    u"第一話", u"最終回", u"特別編", u"総集編", u"ｶﾗｵｹ", u"～予告～", u"東京", u"京都", u"夏休み", u"運動会", u"卒業式",
    u"結婚式", u"新作", u"未公開" };
const char *const LatinWords[] = { "movie", "clip", "final", "episode", "holiday", "concert", "trailer", "sample",
    "backup", "draft", "camera", "record", "part", "scene", "take", "mix", "live", "demo", "project", "archive" };
const char *const Kinds[] = { "avi", "mpg", "mp3", "jpg", "wmv", "mov", "zip", "txt" };
const char *const Codecs[] = { "DivX", "XviD", "MPEG1", "", "", "", "", "" };
const char16_t *const Genres[] = { u"アニメ", u"映画", u"音楽", u"ドキュメンタリー", u"スポーツ" };

// A name of 10 to 80 characters (35 on average), extension included.
QString randomName(QRandomGenerator &rng, bool japanese, int kind)
{
    const int length = 10 + int(rng.bounded(26)) + int(rng.bounded(26)) + (rng.bounded(8) == 0 ? 20 : 0);
    QString name;
    while (name.size() < length - 4) {
        if (!name.isEmpty())
            name += japanese ? QStringLiteral("　") : QStringLiteral("_");
        if (japanese)
            name += QString::fromUtf16(JapaneseWords[rng.bounded(int(std::size(JapaneseWords)))]);
        else
            name += QLatin1String(LatinWords[rng.bounded(int(std::size(LatinWords)))]);
    }
    name.truncate(length - 4 - 3);
    name += QString::number(rng.bounded(900) + 100);
    return name + QLatin1Char('.') + QLatin1String(Kinds[kind]);
}

QString randomLine(QRandomGenerator &rng, qint64 i, QStringList &earlier)
{
    const int kind = int(rng.bounded(int(std::size(Kinds))));
    const bool video = kind < 2 || kind == 4 || kind == 5;
    QString name = randomName(rng, i % 3 == 0, kind);
    QString size = QStringLiteral("%L1").arg(rng.bounded(1, 4000000) / 1000.0, 0, 'f', 3);
    // 8 % are files burnt again on another disc: name and size repeat.
    if (!earlier.isEmpty() && rng.bounded(100) < 8) {
        const QString &again = earlier.at(rng.bounded(int(earlier.size())));
        name = again.section(QLatin1Char('#'), 0, 0);
        size = again.section(QLatin1Char('#'), 1, 1);
    }
    QStringList f;
    f << name << size << QString::fromLatin1(Kinds[kind]).toUpper();
    f << (video ? QStringLiteral("640×480") : QString());
    f << (video ? QStringLiteral("00:%1:%2")
                      .arg(rng.bounded(60), 2, 10, QLatin1Char('0'))
                      .arg(rng.bounded(60), 2, 10, QLatin1Char('0'))
                : QString());
    f << QLatin1String(Codecs[kind]);
    f << QStringLiteral("2003/%1/%2")
             .arg(1 + rng.bounded(12), 2, 10, QLatin1Char('0'))
             .arg(1 + rng.bounded(28), 2, 10, QLatin1Char('0'));
    f << QStringLiteral("2004/01/%1").arg(1 + rng.bounded(28), 2, 10, QLatin1Char('0'));
    f << (rng.bounded(3) == 0 ? QString::fromUtf16(Genres[rng.bounded(int(std::size(Genres)))]) : QString());
    for (int c = 1; c < 5; ++c)
        f << (rng.bounded(10) == 0 ? QString::fromUtf16(Genres[rng.bounded(int(std::size(Genres)))]) : QString());
    f << QString() << QString();
    const QString line = f.join(QLatin1Char('#'));
    if (earlier.size() < 4096)
        earlier.append(line);
    else if (rng.bounded(64) == 0)
        earlier[rng.bounded(int(earlier.size()))] = line;
    return line;
}

} // namespace

namespace RealisticList {

bool write(const QString &path, qint64 rows)
{
    QRandomGenerator rng(20031);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    QStringList earlier;
    for (qint64 i = 0; i < rows; ++i) {
        TextCodec::encodeAppend(randomLine(rng, i, earlier), TextEncoding::Cp932, chunk);
        chunk.append("\r\n");
        if (chunk.size() > (1 << 20)) {
            if (file.write(chunk) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return file.write(chunk) == chunk.size() && file.flush();
}

} // namespace RealisticList
