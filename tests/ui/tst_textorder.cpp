// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The text order reads UTF-16, UTF-8 and Latin-1 texts in place, folding as
// it goes; it must order them exactly as folding each text's UTF-16 form
// with QString::toCaseFolded and comparing with QString::compare does.
#include "TextOrder.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {

// Characters where folding, UTF-8 and UTF-16 disagree in interesting ways:
// case pairs in and out of ASCII, characters that fold to ASCII (ſ, K),
// ones QString::toCaseFolded leaves alone (ß, ﬁ, İ), kana and half-width
// kana, the private use area and U+FFxx (above every surrogate in UTF-16,
// below the characters past U+FFFF in UTF-8), characters past U+FFFF that
// fold (Deseret) and that do not, NUL, and the characters on either side of
// each step in the length of a unit's code (U+0080, U+3000, U+A000, U+FF00).
const char32_t Alphabet[] = { U'a', U'A', U'b', U'B', U'z', U'Z', U'0', U'_', U' ', U'\0', U'é', U'É', U'µ', U'ÿ', U'ß',
    U'ſ', U'K', U'ﬁ', U'İ', U'ı', U'Σ', U'σ', U'ς', U'Ω', U'あ', U'ア', U'ｱ', U'ｶ', U'\uE000', U'\uFF21', U'\uFF41',
    U'\uFFFD', U'\u007F', U'\u0080', U'\u2FFF', U'\u3000', U'\u9FFF', U'\uA000', U'\uFEFF', U'\uFF00', U'\U00010400',
    U'\U00010428', U'\U0001F600', U'\U00020000' };

QString randomText(QRandomGenerator &rng)
{
    QString text;
    // Long shared beginnings in mixed case, so that texts tie past the
    // first chunks of folded units.
    if (rng.bounded(3) == 0) {
        for (char c : QByteArray("prefix_shared_by_many_texts_"))
            text += rng.bounded(2) ? QChar(c) : QChar(c).toUpper();
    }
    for (int n = int(rng.bounded(rng.bounded(2) ? 4 : 30)); n > 0; --n) {
        const char32_t c = Alphabet[rng.bounded(int(std::size(Alphabet)))];
        text += QString::fromUcs4(&c, 1);
    }
    return text;
}

// A surrogate without its other half, which only UTF-16 can hold.
void addLoneSurrogate(QRandomGenerator &rng, QString &text)
{
    const qsizetype at = rng.bounded(int(text.size()) + 1);
    if (at > 0 && text[at - 1].isHighSurrogate())
        return;
    text.insert(at, QChar(char16_t(rng.bounded(2) ? 0xD83D : 0xDE00)));
}

bool isLatin1(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

} // namespace

class TestTextOrder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ordersAsFoldedUtf16()
    {
        QRandomGenerator rng(12);
        for (int round = 0; round < 300; ++round) {
            const int n = int(rng.bounded(round % 10 == 0 ? 8000 : 60));
            std::vector<QString> texts;
            for (int i = 0; i < n; ++i) {
                // Repeats, and the same text in other case, make ties.
                QString text = i > 0 && rng.bounded(4) == 0 ? texts[rng.bounded(i)] : randomText(rng);
                if (rng.bounded(3) == 0)
                    text = rng.bounded(2) ? text.toUpper() : text.toLower();
                if (rng.bounded(8) == 0)
                    addLoneSurrogate(rng, text);
                texts.push_back(text);
            }
            // Each text in a random one of the forms it can take.
            std::vector<QByteArray> bytes(texts.size());
            std::vector<QAnyStringView> views;
            for (size_t i = 0; i < texts.size(); ++i) {
                const bool lone = QString::fromUtf8(texts[i].toUtf8()) != texts[i];
                switch (lone ? 0 : rng.bounded(3)) {
                case 0:
                    views.emplace_back(texts[i]);
                    break;
                case 1:
                    bytes[i] = texts[i].toUtf8();
                    views.emplace_back(QUtf8StringView(bytes[i]));
                    break;
                default:
                    if (isLatin1(texts[i])) {
                        bytes[i] = texts[i].toLatin1();
                        views.emplace_back(QLatin1StringView(bytes[i]));
                    } else {
                        views.emplace_back(texts[i]);
                    }
                }
            }

            std::vector<QString> folded;
            for (const QString &text : texts)
                folded.push_back(text.toCaseFolded());
            std::vector<int> ascending(texts.size());
            std::iota(ascending.begin(), ascending.end(), 0);
            std::vector<int> descending = ascending;
            std::stable_sort(ascending.begin(), ascending.end(),
                [&](int a, int b) { return QString::compare(folded[size_t(a)], folded[size_t(b)]) < 0; });
            std::stable_sort(descending.begin(), descending.end(),
                [&](int a, int b) { return QString::compare(folded[size_t(a)], folded[size_t(b)]) > 0; });
            TextOrder::RankList expectedRanks(texts.size());
            quint32 rank = 0;
            for (size_t i = 0; i < ascending.size(); ++i) {
                if (i > 0 && folded[size_t(ascending[i - 1])] != folded[size_t(ascending[i])])
                    ++rank;
                expectedRanks[size_t(ascending[i])] = rank;
            }

            // On one thread, and on several as a long list is.
            for (const qsizetype parallelFrom : { TextOrder::ParallelTexts, qsizetype(2) }) {
                const TextOrder order(views, parallelFrom);
                QCOMPARE(order.sorted(true), ascending);
                QCOMPARE(order.sorted(false), descending);
                TextOrder::RankList ranks;
                QCOMPARE(order.ranks(ranks), texts.empty() ? 0 : rank + 1);
                QCOMPARE(ranks, expectedRanks);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTextOrder)
#include "tst_textorder.moc"
