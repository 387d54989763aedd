#include "ListFile.h"

#include "Trash.h"

#include "DataFolder.h"
#include "LineSplitter.h"
#include "TextBody.h"
#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <vector>

namespace {

constexpr int SeparatorCount = CatalogItem::StoredFieldCount - 1;
constexpr qsizetype WriteChunk = 1 << 20;

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

// Turns a decoded line into a row's joined text, in place. The list file
// has no escape, so the line is split from the right: the last fourteen '#'
// are the separators and the name is everything in front of them (it may be
// empty: a row renamed to nothing is saved so). A line with fewer fills the
// fields from the left. Control characters become U+FFFD and are added to
// controls. Returns whether the line was in the format (fourteen separators
// or more).
bool joinFields(QString &line, qint64 &controls)
{
    char16_t *begin = reinterpret_cast<char16_t *>(line.data());
    char16_t *end = begin + line.size();
    for (char16_t *p = begin; p < end; ++p) {
        if (isControl(*p)) {
            *p = 0xFFFD;
            ++controls;
        }
    }
    int found = 0;
    for (char16_t *p = end; p > begin && found < SeparatorCount;) {
        --p;
        if (*p == u'#') {
            *p = CatalogItem::Separator.unicode();
            ++found;
        }
    }
    if (found < SeparatorCount) {
        line.append(QString(SeparatorCount - found, CatalogItem::Separator));
        return false;
    }
    return true;
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
        m_encoding = body.lineEncoding();
        m_catalog.reserve(m_catalog.size() + LineSplitter::count(body.bytes()));
        LineSplitter lines(body.bytes());
        QByteArrayView line;
        qint64 lineNumber = 0;
        while (lines.next(line)) {
            addLine(line);
            if (m_progress)
                m_progress(++lineNumber);
        }
    }

private:
    void addLine(QByteArrayView bytes)
    {
        if (bytes.isEmpty()) {
            ++m_report.malformedLines;
            return;
        }
        if (m_scratch.size() < size_t(bytes.size()))
            m_scratch.resize(size_t(bytes.size()));
        const qsizetype length = TextCodec::decodeInto(bytes, m_encoding, m_scratch.data(), m_report.undecodableChars);
        QString line(reinterpret_cast<const QChar *>(m_scratch.data()), length);
        if (!joinFields(line, m_report.controlChars))
            ++m_report.malformedLines;
        m_catalog.append(CatalogItem::fromJoinedText(std::move(line)));
        ++m_report.rows;
    }

    Catalog &m_catalog;
    CatalogLoadReport &m_report;
    const ProgressCallback &m_progress;
    TextEncoding m_encoding = TextEncoding::Cp932;
    std::vector<char16_t> m_scratch;
};

// Encodes one row as its list line, CR LF included.
void appendListLine(const CatalogItem &item, TextEncoding encoding, QByteArray &out)
{
    const qsizetype start = out.size();
    TextCodec::encodeAppend(item.joinedText(), encoding, out);
    // The separator is ASCII in both encodings and never part of a
    // multi-byte character, so it can be swapped for '#' in the bytes.
    std::replace(out.begin() + start, out.end(), char(CatalogItem::Separator.unicode()), '#');
    out.append("\r\n", 2);
}

FileResult backUp(const QString &path)
{
    const TextFile::Bytes original = TextFile::read(path, MaxCatalogFileBytes);
    if (!original.found)
        return FileResult::success(DataFiles::CatalogFile);
    if (!original.ok)
        return FileResult::readFailure(TextFile::displayName(path), original.error);
    return TextFile::replace(path + QStringLiteral(".bak"), original.bytes);
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
    if (!TextFile::readAll(device, bytes, error, MaxCatalogFileBytes))
        return unreadableReport(error);
    return ReadCatalogBytes(bytes, catalog, progress);
}

CatalogLoadReport LoadCatalog(const QString &path, Catalog &catalog, const ProgressCallback &progress)
{
    TextFile::Bytes file = TextFile::read(path, MaxCatalogFileBytes);
    if (!file.found)
        return {};
    if (!file.ok)
        return unreadableReport(file.error);
    return ReadCatalogBytes(file.bytes, catalog, progress);
}

TextEncoding CatalogEncoding(const Catalog &catalog)
{
    EncodingChooser chooser;
    for (qsizetype i = 0; i < catalog.size(); ++i)
        chooser.add(catalog.at(i).joinedText());
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
        appendListLine(catalog.at(i), encoding, buffer);
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
