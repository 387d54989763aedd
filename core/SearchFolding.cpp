#include "SearchFolding.h"

#include <QChar>

namespace {

constexpr char16_t VoicedMark = 0x3099;
constexpr char16_t SemiVoicedMark = 0x309A;

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// Half-width and full-width forms carry a <narrow> or <wide> decomposition
// to their ordinary form (U+FF21 to A, U+FF71 to ア, U+FF9E to U+3099).
char32_t foldWidth(char32_t c)
{
    const QChar::Decomposition tag = QChar::decompositionTag(c);
    if (tag != QChar::Wide && tag != QChar::Narrow)
        return c;
    const QString plain = QChar::decomposition(c);
    return plain.size() == 1 ? char32_t(plain.at(0).unicode()) : c;
}

// Hiragana to katakana: the two blocks are 0x60 apart, letters and the
// iteration marks ゝ ゞ alike.
char32_t foldKana(char32_t c)
{
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
        return c + 0x60;
    return c;
}

char32_t foldCase(char32_t c)
{
    const char32_t folded = QChar::toCaseFolded(c);
    return folded <= 0xFFFF ? folded : c;
}

char32_t foldOnce(char32_t c)
{
    return foldCase(foldKana(foldWidth(c)));
}

} // namespace

const SearchFolding &SearchFolding::instance()
{
    static const SearchFolding folding;
    return folding;
}

SearchFolding::SearchFolding()
{
    buildUnitTable();
    buildVoicedTable();
}

void SearchFolding::buildUnitTable()
{
    // Twice, so that a form reached by one step is folded too (full-width
    // Ａ gives A, then a): the fold of a folded text is the text itself.
    for (char32_t c = 0; c < 0x10000; ++c)
        m_table[c] = char16_t(isSurrogate(c) ? c : foldOnce(foldOnce(c)));
}

void SearchFolding::buildVoicedTable()
{
    for (int i = 0; i < KanaCount; ++i) {
        const QChar base(char16_t(KanaFirst + i));
        const QString voiced = (QString(base) + QChar(VoicedMark)).normalized(QString::NormalizationForm_C);
        const QString semi = (QString(base) + QChar(SemiVoicedMark)).normalized(QString::NormalizationForm_C);
        m_voiced[i] = voiced.size() == 1 ? voiced.at(0).unicode() : 0;
        m_semiVoiced[i] = semi.size() == 1 ? semi.at(0).unicode() : 0;
    }
}

QString SearchFolding::fold(QStringView text) const
{
    std::u16string out;
    foldInto(text, out);
    return QString(reinterpret_cast<const QChar *>(out.data()), qsizetype(out.size()));
}

// Folding never lengthens a text, so out is sized once and written through
// a pointer, then cut to what was written.
void SearchFolding::foldInto(QStringView text, std::u16string &out) const
{
    out.resize(size_t(text.size()));
    char16_t *const first = out.data();
    char16_t *q = first;
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    for (; p != end; ++p) {
        const char16_t c = m_table[*p];
        if (c == VoicedMark || c == SemiVoicedMark) {
            if (!joinMark(c, first, q))
                *q++ = c;
        } else if (QChar::isHighSurrogate(c) && p + 1 != end && QChar::isLowSurrogate(p[1])) {
            q = foldSurrogatePair(c, p[1], q);
            ++p;
        } else {
            *q++ = c;
        }
    }
    out.resize(size_t(q - first));
}

// Replaces the katakana before a combining voiced mark by its precomposed
// form; false when there is none (the mark then stays on its own).
bool SearchFolding::joinMark(char16_t mark, const char16_t *first, char16_t *q) const
{
    if (q == first)
        return false;
    const int i = q[-1] - KanaFirst;
    if (i < 0 || i >= KanaCount)
        return false;
    const char16_t joined = mark == VoicedMark ? m_voiced[i] : m_semiVoiced[i];
    if (joined == 0)
        return false;
    q[-1] = joined;
    return true;
}

// Case folding keeps a character beyond the BMP there, so the pair stays
// two units.
char16_t *SearchFolding::foldSurrogatePair(char16_t high, char16_t low, char16_t *q)
{
    const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(high, low));
    if (!QChar::requiresSurrogates(folded)) {
        *q++ = char16_t(folded);
        return q;
    }
    *q++ = QChar::highSurrogate(folded);
    *q++ = QChar::lowSurrogate(folded);
    return q;
}
