// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ListFile.h"

#include "Trash.h"

#include "Cp932Codec.h"
#include "DataFolder.h"
#include "LineSplitter.h"
#include "PieceReader.h"
#include "TextBody.h"
#include "TextFile.h"
#include "Utf8Text.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr int SeparatorCount = CatalogItem::StoredFieldCount - 1;
constexpr qsizetype WriteChunk = 1 << 20;

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

// Turns the fields of a line into a row's joined text, in place; the room
// behind the line takes the separators it lacks. The list file has no
// escape, so the line is split from the right: the last fourteen '#' are
// the separators and the name is everything in front of them (it may be
// empty: a row renamed to nothing is saved so). A line with fewer fills the
// fields from the left. Returns whether the line was in the format
// (fourteen separators or more). '#' is ASCII, so this holds for a line's
// characters and for its UTF-8 bytes alike.
template<typename Unit> bool joinSeparators(Unit *begin, qsizetype &length)
{
    constexpr auto Separator = Unit(CatalogItem::Separator.unicode());
    Unit *const end = begin + length;
    int found = 0;
    for (Unit *p = end; p > begin && found < SeparatorCount;) {
        --p;
        if (*p == Unit('#')) {
            *p = Separator;
            ++found;
        }
    }
    if (found < SeparatorCount) {
        std::fill(end, end + (SeparatorCount - found), Separator);
        length += SeparatorCount - found;
        return false;
    }
    return true;
}

// As joinSeparators, for a decoded line; control characters become U+FFFD
// and are added to controls.
bool joinFields(char16_t *begin, qsizetype &length, qint64 &controls)
{
    for (char16_t *p = begin, *end = begin + length; p < end; ++p) {
        if (isControl(*p)) {
            *p = 0xFFFD;
            ++controls;
        }
    }
    return joinSeparators(begin, length);
}

// Whether any byte is an ASCII control character, eight bytes at a time.
// In code page 932 and UTF-8 such a byte is always a character of its own:
// no byte of a longer character is below 0x40.
bool hasControlBytes(QByteArrayView bytes)
{
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 HighBits = 0x8080808080808080ULL;
    // Whether some byte is below n (n <= 0x80); the test is exact for the
    // word as a whole.
    const auto hasLess = [](quint64 word, quint64 n) { return ((word - Ones * n) & ~word & HighBits) != 0; };
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        if (hasLess(word, 0x20) || hasLess(word ^ (Ones * 0x7F), 1))
            return true;
    }
    return std::any_of(p, end, [](char c) { return isControl(quint8(c)); });
}

class CatalogReader
{
public:
    CatalogReader(Catalog &catalog, CatalogLoadReport &report, const ProgressCallback &progress)
        : m_catalog(catalog)
        , m_report(report)
        , m_progress(progress)
    { }

    void read(QByteArrayView fileBytes)
    {
        const TextBody body(fileBytes);
        m_report.encoding = body.fileEncoding();
        m_report.guessedUtf16 = body.guessedUtf16();
        m_report.undecodableChars += body.undecodable();
        m_catalog.reserve(m_catalog.size() + LineSplitter::count(body.bytes()));
        readLines(body.bytes(), body.lineEncoding());
    }

    // Lines of a file's body (no byte-order mark, not UTF-16).
    void readLines(QByteArrayView body, TextEncoding encoding)
    {
        LineSplitter lines(body);
        QByteArrayView line;
        while (lines.next(line)) {
            addLine(line, encoding);
            if (m_progress)
                m_progress(++m_lineNumber);
        }
    }

private:
    void addLine(QByteArrayView bytes, TextEncoding encoding)
    {
        if (bytes.isEmpty()) {
            ++m_report.malformedLines;
            return;
        }
        if (readsDirectly(bytes, encoding)) {
            addDirectLine(bytes, encoding);
            return;
        }
        // A byte never decodes to more than one character, so the line fits
        // in as many characters as it has bytes, plus missing separators.
        if (m_units.size() < size_t(bytes.size() + SeparatorCount))
            m_units.resize(size_t(bytes.size() + SeparatorCount));
        qsizetype length = TextCodec::decodeInto(bytes, encoding, m_units.data(), m_report.undecodableChars);
        if (!joinFields(m_units.data(), length, m_report.controlChars))
            ++m_report.malformedLines;
        char *room = m_catalog.beginRow(length * Utf8Text::MaxBytesPerUnit);
        m_catalog.commitRow(Utf8Text::fromUtf16(QStringView(m_units.data(), length), room));
        ++m_report.rows;
    }

    // Most lines: code page 932 or valid UTF-8 with no control character,
    // which need no cleaning.
    static bool readsDirectly(QByteArrayView bytes, TextEncoding encoding)
    {
        if (encoding == TextEncoding::Cp932)
            return !hasControlBytes(bytes);
        if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8WithBom)
            return !hasControlBytes(bytes) && TextCodec::isValidUtf8(bytes);
        return false;
    }

    // Decodes such a line straight into the row's room; UTF-8 is the text
    // as it is.
    void addDirectLine(QByteArrayView bytes, TextEncoding encoding)
    {
        // A byte of code page 932 gives at most three bytes of UTF-8.
        const bool cp932 = encoding == TextEncoding::Cp932;
        char *room = m_catalog.beginRow(bytes.size() * (cp932 ? Utf8Text::MaxBytesPerUnit : 1) + SeparatorCount);
        qsizetype length = bytes.size();
        if (cp932)
            length = Cp932Codec::instance().decodeToUtf8(bytes, room, m_report.undecodableChars);
        else
            std::memcpy(room, bytes.data(), size_t(bytes.size()));
        if (!joinSeparators(room, length))
            ++m_report.malformedLines;
        m_catalog.commitRow(length);
        ++m_report.rows;
    }

    Catalog &m_catalog;
    CatalogLoadReport &m_report;
    const ProgressCallback &m_progress;
    std::vector<char16_t> m_units;
    qint64 m_lineNumber = 0;
};

// Replaces each byte equal to from in [p, end) with to, eight bytes at a
// time.
void replaceByte(char *p, char *const end, char from, char to)
{
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Low7 = 0x7F7F7F7F7F7F7F7FULL;
    const quint64 fromBytes = Ones * quint8(from);
    const quint64 flip = quint8(from ^ to);
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        // The high bit of each byte that equals from, and of no other.
        const quint64 diff = word ^ fromBytes;
        const quint64 equal = ~(((diff & Low7) + Low7) | diff | Low7);
        if (equal == 0)
            continue;
        word ^= (equal >> 7) * flip;
        std::memcpy(p, &word, 8);
    }
    std::replace(p, end, from, to);
}

// Encodes row i as its list line, CR LF included.
void appendListLine(const Catalog &catalog, qsizetype i, TextEncoding encoding, QByteArray &out)
{
    thread_local QByteArray joined;
    const qsizetype start = out.size();
    TextCodec::encodeAppend(catalog.joinedTexts(i, joined), encoding, out);
    // The separator is ASCII in both encodings and never part of a
    // multi-byte character, so it can be swapped for '#' in the bytes.
    replaceByte(out.data() + start, out.data() + out.size(), char(CatalogItem::Separator.unicode()), '#');
    out.append("\r\n", 2);
}

// Copies the list file to List.txt.bak a piece at a time: a catalogue of
// millions of rows is not held twice.
FileResult backUp(const QString &path)
{
    QFile original;
    // Any size: the copy is read a piece at a time, and stops at the most.
    const TextFile::Opening opening = TextFile::openForReading(path, original, std::numeric_limits<qint64>::max());
    if (!opening.found)
        return FileResult::success(DataFiles::CatalogFile);
    const QString name = TextFile::displayName(path);
    if (!opening.error.isEmpty())
        return FileResult::readFailure(name, opening.error);
    QString readError;
    const FileResult copied = TextFile::replace(path + QStringLiteral(".bak"), [&](QIODevice &device, QString &error) {
        PieceReader pieces(original, MaxCatalogFileBytes);
        QByteArrayView piece;
        while (pieces.next(piece)) {
            if (!TextFile::writeAll(device, piece, error))
                return false;
        }
        readError = pieces.error();
        error = readError;
        return !pieces.failed();
    });
    if (!readError.isEmpty())
        return FileResult::readFailure(name, readError);
    return copied;
}

// A file that is there but can't be read: the catalogue stays empty.
CatalogLoadReport unreadableReport(const QString &error)
{
    CatalogLoadReport report;
    report.fileFound = true;
    report.readable = false;
    report.error = error;
    return report;
}

} // namespace

bool CatalogLoadReport::changedOnReading() const
{
    return malformedLines > 0 || controlChars > 0 || undecodableChars > 0 || guessedUtf16;
}

QString CatalogLoadReport::remark() const
{
    if (!readable) {
        return DataFiles::CatalogFile + QStringLiteral(" を読み込めませんでした（") + error
            + QStringLiteral("）。この起動中は上書きしません。");
    }
    QString text;
    if (malformedLines > 0)
        text += QStringLiteral("形式に合わない行が%1行ありました。").arg(malformedLines);
    if (controlChars > 0)
        text += QStringLiteral("制御文字が%1個ありました。").arg(controlChars);
    if (undecodableChars > 0)
        text += QStringLiteral("読めない文字が%1個ありました。").arg(undecodableChars);
    if (guessedUtf16)
        text += QStringLiteral("BOMのないUTF-16として読みました。");
    if (changedOnReading())
        text += QStringLiteral("保存の前に %1.bak へ控えます。").arg(DataFiles::CatalogFile);
    return text;
}

CatalogLoadReport ReadCatalogBytes(QByteArrayView fileBytes, Catalog &catalog, const ProgressCallback &progress)
{
    CatalogLoadReport report;
    report.fileFound = true;
    CatalogReader(catalog, report, progress).read(fileBytes);
    return report;
}

CatalogLoadReport ReadCatalog(QIODevice &device, Catalog &catalog, const ProgressCallback &progress)
{
    QByteArray bytes;
    QString error;
    if (!TextFile::readAll(device, bytes, error, MaxWholeCatalogFileBytes))
        return unreadableReport(error);
    return ReadCatalogBytes(bytes, catalog, progress);
}

namespace {

CatalogLoadReport loadWhole(const QString &path, Catalog &catalog, const ProgressCallback &progress)
{
    TextFile::Bytes file = TextFile::read(path, MaxWholeCatalogFileBytes);
    if (!file.found)
        return {};
    if (!file.ok)
        return unreadableReport(file.error);
    return ReadCatalogBytes(file.bytes, catalog, progress);
}

enum class StreamOutcome { Read, Failed, ReadWhole };

// Reads the file a piece at a time, decoding each piece as it comes. The
// encoding needs the whole file, so the pieces are decoded as what the
// file looks like so far: ASCII reads the same in every encoding but
// UTF-16, and the first other byte decides. Should the end of the file
// tell otherwise (a UTF-8 file with a byte that is not UTF-8 late in it,
// say) or a NUL show a UTF-16 file, the caller reads it again whole.
StreamOutcome readPieces(QIODevice &file, Catalog &catalog, CatalogLoadReport &report, const ProgressCallback &progress,
    qsizetype pieceBytes)
{
    CatalogReader reader(catalog, report, progress);
    PieceReader pieces(file, MaxCatalogFileBytes, pieceBytes, MaxWholeCatalogFileBytes);
    EncodingDetector detector;
    std::optional<TextEncoding> decodedAs;
    bool first = true;
    QByteArrayView piece;
    while (pieces.next(piece)) {
        detector.add(piece);
        if (detector.sawNul())
            return StreamOutcome::ReadWhole;
        if (!decodedAs && detector.sawNonAscii())
            decodedAs = detector.encoding();
        if (first && decodedAs == TextEncoding::Utf8WithBom)
            piece = TextCodec::body(piece, TextEncoding::Utf8WithBom);
        first = false;
        reader.readLines(piece, decodedAs.value_or(TextEncoding::Cp932));
    }
    if (pieces.failed()) {
        report.error = pieces.error();
        return StreamOutcome::Failed;
    }
    report.encoding = detector.encoding();
    if (decodedAs && *decodedAs != report.encoding)
        return StreamOutcome::ReadWhole;
    return StreamOutcome::Read;
}

} // namespace

CatalogLoadReport LoadCatalog(const QString &path, Catalog &catalog, const ProgressCallback &progress)
{
    return LoadCatalog(path, catalog, progress, PieceReader::DefaultChunk);
}

CatalogLoadReport LoadCatalog(
    const QString &path, Catalog &catalog, const ProgressCallback &progress, qsizetype pieceBytes)
{
    // Pieces are decoded into the catalogue as they come; should they have
    // to be read again, an empty catalogue is simply made anew.
    if (!catalog.isEmpty() || catalog.nextRowKey() != 0)
        return loadWhole(path, catalog, progress);
    QFile file;
    const TextFile::Opening opening = TextFile::openForReading(path, file, MaxCatalogFileBytes);
    if (!opening.found)
        return {};
    if (!opening.error.isEmpty())
        return unreadableReport(opening.error);
    CatalogLoadReport report;
    report.fileFound = true;
    // Room for the rows of short lines; untouched room costs no memory.
    catalog.reserve(opening.size / 32 + 1);
    const StreamOutcome outcome = readPieces(file, catalog, report, progress, pieceBytes);
    if (outcome == StreamOutcome::Read)
        return report;
    catalog = Catalog(catalog.arenaBlockBytes());
    if (outcome == StreamOutcome::Failed)
        return unreadableReport(report.error);
    return loadWhole(path, catalog, progress);
}

TextEncoding CatalogEncoding(const Catalog &catalog)
{
    // The separator is ASCII: no character spans it, so a row's texts can
    // be judged joined.
    EncodingChooser chooser;
    QByteArray joined;
    for (qsizetype i = 0; i < catalog.size(); ++i)
        chooser.add(catalog.joinedTexts(i, joined));
    return chooser.encoding();
}

FileResult WriteCatalog(QIODevice &device, const Catalog &catalog, const ProgressCallback &progress)
{
    const QString name = DataFiles::CatalogFile;
    const TextEncoding encoding = CatalogEncoding(catalog);
    // The buffer grows as lines come, up to about WriteChunk, and keeps its
    // room from one chunk to the next; a small catalogue costs no more.
    QByteArray buffer = TextCodec::preamble(encoding);
    QString error;
    const qsizetype n = catalog.size();
    for (qsizetype i = 0; i < n; ++i) {
        appendListLine(catalog, i, encoding, buffer);
        if (buffer.size() >= WriteChunk) {
            if (!TextFile::writeAll(device, buffer, error))
                return FileResult::failure(name, error);
            buffer.resize(0);
        }
        if (progress)
            progress(n - 1 - i);
    }
    if (!TextFile::writeAll(device, buffer, error))
        return FileResult::failure(name, error);
    return FileResult::success(name);
}

FileResult SaveCatalog(const QString &path, const Catalog &catalog, const ProgressCallback &progress)
{
    CatalogFileGuard guard;
    return SaveCatalog(path, catalog, guard, progress);
}

FileResult SaveCatalog(
    const QString &path, const Catalog &catalog, CatalogFileGuard &guard, const ProgressCallback &progress)
{
    const QString name = TextFile::displayName(path);
    if (catalog.isEmpty())
        return FileResult::success(name);
    if (!guard.mayReplace())
        return guard.refusal();
    if (guard.backupPending()) {
        const FileResult backup = backUp(path);
        if (!backup.ok)
            return backup;
        guard.backupDone();
    }
    return TextFile::replace(path, [&](QIODevice &device, QString &error) {
        const FileResult written = WriteCatalog(device, catalog, progress);
        error = written.reason;
        return written.ok;
    });
}

FileResult RecycleCatalogFile(const QString &path, const CatalogFileGuard &guard)
{
    const QString name = TextFile::displayName(path);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return FileResult::success(name);
    if (!guard.mayReplace())
        return guard.refusal();
    // Only an ordinary file is ours to send away: a folder or a link of that
    // name is left where it is, and there is no list to bring back.
    if (!info.isFile() || info.isSymLink())
        return FileResult::success(name);
    return MoveToTrash(path);
}
