// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Catalog.h"

#include "EntryText.h"
#include "Prefetch.h"
#include "Utf8Text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

static_assert(sizeof(TextArena::Span) == 8 && alignof(TextArena::Span) == 4);

namespace {

constexpr char Separator = char(CatalogItem::Separator.unicode());

const char *nextSeparator(const char *p, const char *end)
{
    const void *found = std::memchr(p, Separator, size_t(end - p));
    return found != nullptr ? static_cast<const char *>(found) : end;
}

// Field f of a text of fifteen fields joined by the separator. The fields
// behind the name are short and the last ones mostly empty, so a field in
// the back half is sought from the end.
QUtf8StringView fieldOfJoined(QUtf8StringView joined, int f)
{
    const char *const begin = joined.data();
    const char *const end = begin + joined.size();
    constexpr int Last = CatalogItem::StoredFieldCount - 1;
    if (f >= Last / 2) {
        const char *fieldEnd = end;
        const char *p = end;
        for (int i = Last; i >= f; --i) {
            fieldEnd = p;
            while (p > begin && p[-1] != Separator)
                --p;
            if (i > f) {
                Q_ASSERT(p > begin);
                --p;
            }
        }
        return QUtf8StringView(p, fieldEnd);
    }
    const char *p = begin;
    for (int i = 0; i < f; ++i) {
        p = nextSeparator(p, end);
        Q_ASSERT(p != end);
        ++p;
    }
    return QUtf8StringView(p, nextSeparator(p, end));
}

QByteArray cleaned(int field, QStringView value)
{
    return Utf8Text::fromUtf16(
        field == CatalogItem::Name ? EntryText::normalizeName(value) : EntryText::normalizeField(value));
}

// A mark for each row of a list of this size at the given positions (any
// order, repeats and places outside the list ignored), 64 to a word.
std::vector<quint64> markedRows(const QList<qsizetype> &positions, qsizetype size)
{
    std::vector<quint64> marks(size_t(size + 63) / 64, 0);
    for (qsizetype p : positions) {
        if (p >= 0 && p < size)
            marks[size_t(p) / 64] |= quint64(1) << (p % 64);
    }
    return marks;
}

bool isMarked(const std::vector<quint64> &marks, size_t row)
{
    return (marks[row / 64] >> (row % 64)) & 1;
}

// The marked positions in order. Read off the marks, a million positions
// are put in order several times faster than by a sort.
QList<qsizetype> markedPositions(const std::vector<quint64> &marks)
{
    qsizetype count = 0;
    for (quint64 word : marks)
        count += std::popcount(word);
    QList<qsizetype> positions;
    positions.reserve(count);
    for (size_t w = 0; w < marks.size(); ++w) {
        for (quint64 bits = marks[w]; bits != 0; bits &= bits - 1)
            positions.append(qsizetype(w * 64) + std::countr_zero(bits));
    }
    return positions;
}

} // namespace

// A copy holds only the texts that rows use.
Catalog::Catalog(const Catalog &other)
    : m_text(other.m_text.blockBytes())
    , m_rows(other.m_rows)
    , m_positionOfKey(other.m_positionOfKey)
    , m_assigned(other.m_assigned)
    , m_values(other.m_values)
    , m_valueIds(other.m_valueIds)
    , m_versions(other.m_versions)
    , m_nextRowKey(other.m_nextRowKey)
{
    for (Row &row : m_rows)
        row.text = m_text.add(other.m_text.view(row.text));
}

Catalog &Catalog::operator=(const Catalog &other)
{
    if (this != &other)
        *this = Catalog(other);
    return *this;
}

void Catalog::reserve(qsizetype n)
{
    m_rows.reserve(size_t(n));
    m_positionOfKey.reserve(size_t(m_nextRowKey + n));
}

QUtf8StringView Catalog::storedField(const Row &row, int field) const
{
    return fieldOfJoined(m_text.view(row.text), field);
}

QUtf8StringView Catalog::field(qsizetype i, int f) const
{
    if (f < 0 || f >= CatalogItem::StoredFieldCount)
        return {};
    if (isCategory(f)) {
        const ValueColumn &column = m_assigned[size_t(f - CatalogItem::Genre1)];
        if (!column.empty() && column[size_t(i)] != 0) {
            const QByteArray &value = m_values[column[size_t(i)] - 1];
            return QUtf8StringView(value.constData(), value.size());
        }
    }
    return storedField(m_rows[size_t(i)], f);
}

QString Catalog::text(qsizetype i, int f) const
{
    if (f == CatalogItem::RowKey)
        return QString::number(keyAt(i));
    return Utf8Text::toString(field(i, f));
}

bool Catalog::hasAssignedValues(qsizetype i) const
{
    return std::any_of(m_assigned.begin(), m_assigned.end(),
        [i](const ValueColumn &column) { return !column.empty() && column[size_t(i)] != 0; });
}

int Catalog::joinedPieces(qsizetype i, Pieces &pieces) const
{
    if (!hasAssignedValues(i)) {
        pieces[0] = joinedText(i);
        return 1;
    }
    return piecesOf(joinedText(i), assignedIds(i), m_values, pieces);
}

RowBatch::AssignedIds Catalog::assignedIds(qsizetype i) const
{
    static_assert(std::tuple_size_v<RowBatch::AssignedIds> == CategoryCount);
    RowBatch::AssignedIds ids {};
    for (int c = 0; c < CategoryCount; ++c) {
        const ValueColumn &column = m_assigned[size_t(c)];
        ids[size_t(c)] = column.empty() ? 0 : column[size_t(i)];
    }
    return ids;
}

// The category fields lie together near the end of the joined text: what
// comes before and after them is one piece each, and each category field
// with the separator behind it one or two.
int Catalog::piecesOf(
    QUtf8StringView stored, const RowBatch::AssignedIds &ids, const std::vector<QByteArray> &values, Pieces &pieces)
{
    static constexpr char SeparatorText[] = { Separator };
    constexpr int First = CatalogItem::Genre1;
    constexpr int Last = CatalogItem::StoredFieldCount - 1;
    // starts[f - First]: where field f begins; the last entry is the end.
    std::array<const char *, Last - First + 2> starts;
    const char *const begin = stored.data();
    const char *const end = begin + stored.size();
    const char *p = end;
    starts.back() = end + 1;
    for (int f = Last; f >= First; --f) {
        while (p > begin && p[-1] != Separator)
            --p;
        starts[size_t(f - First)] = p;
        Q_ASSERT(p > begin);
        --p;
    }
    int count = 0;
    pieces[size_t(count++)] = QUtf8StringView(begin, starts[0]);
    for (int c = 0; c < CategoryCount; ++c) {
        if (ids[size_t(c)] != 0) {
            const QByteArray &value = values[ids[size_t(c)] - 1];
            pieces[size_t(count++)] = QUtf8StringView(value.constData(), value.size());
            pieces[size_t(count++)] = QUtf8StringView(SeparatorText, 1);
        } else {
            pieces[size_t(count++)] = QUtf8StringView(starts[size_t(c)], starts[size_t(c + 1)]);
        }
    }
    pieces[size_t(count++)] = QUtf8StringView(starts[size_t(CategoryCount)], end);
    return count;
}

QUtf8StringView Catalog::withValues(
    QUtf8StringView stored, const RowBatch::AssignedIds &ids, const std::vector<QByteArray> &values, QByteArray &buffer)
{
    Pieces pieces;
    const int count = piecesOf(stored, ids, values, pieces);
    buffer.resize(piecesLength(pieces, count));
    writePieces(pieces, count, buffer.data());
    return QUtf8StringView(buffer.constData(), buffer.size());
}

qsizetype Catalog::piecesLength(const Pieces &pieces, int count)
{
    qsizetype length = 0;
    for (int k = 0; k < count; ++k)
        length += pieces[size_t(k)].size();
    return length;
}

void Catalog::writePieces(const Pieces &pieces, int count, char *out)
{
    for (int k = 0; k < count; ++k) {
        const QUtf8StringView piece = pieces[size_t(k)];
        if (!piece.isEmpty())
            std::memcpy(out, piece.data(), size_t(piece.size()));
        out += piece.size();
    }
}

QUtf8StringView Catalog::joinedTexts(qsizetype i, QByteArray &buffer) const
{
    if (!hasAssignedValues(i)) // most rows: the stored text as it is
        return joinedText(i);
    Pieces pieces;
    const int count = joinedPieces(i, pieces);
    if (count == 1)
        return pieces[0];
    buffer.resize(piecesLength(pieces, count));
    writePieces(pieces, count, buffer.data());
    return QUtf8StringView(buffer.constData(), buffer.size());
}

CatalogItem Catalog::at(qsizetype i) const
{
    thread_local QByteArray buffer;
    CatalogItem item = CatalogItem::fromJoinedText(Utf8Text::toString(joinedTexts(i, buffer)));
    item.setRowKey(keyAt(i));
    return item;
}

bool Catalog::sameTexts(qsizetype i, QUtf8StringView joined) const
{
    thread_local QByteArray bytes;
    const QUtf8StringView own = joinedTexts(i, bytes);
    return own.size() == joined.size() && std::memcmp(own.data(), joined.data(), size_t(own.size())) == 0;
}

// ---- Changing texts -----------------------------------------------------------

quint32 Catalog::valueId(const QByteArray &cleanValue)
{
    const auto found = m_valueIds.constFind(cleanValue);
    if (found != m_valueIds.cend())
        return found.value();
    m_values.push_back(cleanValue);
    const quint32 id = quint32(m_values.size());
    m_valueIds.insert(cleanValue, id);
    return id;
}

void Catalog::assignValue(qsizetype i, int field, quint32 id)
{
    ValueColumn &column = m_assigned[size_t(field - CatalogItem::Genre1)];
    if (column.empty())
        column.assign(m_rows.size(), 0);
    column[size_t(i)] = id;
}

// Fields other than the categories change seldom (a rename): the row's text
// is written anew at the end of the arena.
void Catalog::replaceText(qsizetype i, int field, QUtf8StringView cleanValue)
{
    Row &row = m_rows[size_t(i)];
    const QUtf8StringView old = m_text.view(row.text);
    const QUtf8StringView before = storedField(row, field);
    const qsizetype start = before.data() - old.data();
    QByteArray joined;
    joined.reserve(old.size() - before.size() + cleanValue.size());
    joined.append(old.data(), start)
        .append(cleanValue.data(), cleanValue.size())
        .append(old.data() + start + before.size(), old.size() - start - before.size());
    m_unusedBytes += old.size();
    row.text = m_text.add(QUtf8StringView(joined.constData(), joined.size()));
    compactIfWasteful();
}

void Catalog::setField(qsizetype i, int field, QStringView value)
{
    setFieldOfRows({ i }, field, value);
}

void Catalog::setFieldOfRows(const QList<qsizetype> &positions, int field, QStringView value)
{
    if (field < 0 || field >= CatalogItem::StoredFieldCount || positions.isEmpty())
        return;
    const QByteArray clean = cleaned(field, value);
    if (isCategory(field)) {
        const quint32 id = valueId(clean);
        for (qsizetype i : positions)
            assignValue(i, field, id);
    } else {
        for (qsizetype i : positions)
            replaceText(i, field, QUtf8StringView(clean.constData(), clean.size()));
    }
    changed(field);
}

void Catalog::changed(int field)
{
    ++m_versions[size_t(field)];
}

void Catalog::changedAll()
{
    for (quint64 &version : m_versions)
        ++version;
}

// ---- Rows entering ----------------------------------------------------------------

qint64 Catalog::commitRow(qsizetype length)
{
    Q_ASSERT(m_nextRowKey < std::numeric_limits<qint32>::max());
    Q_ASSERT(m_rows.size() < size_t(std::numeric_limits<qint32>::max()));
    const quint32 key = quint32(m_nextRowKey++);
    m_rows.push_back(Row { m_text.commit(length), key });
    m_positionOfKey.push_back(qint32(m_rows.size() - 1));
    for (ValueColumn &column : m_assigned) {
        if (!column.empty())
            column.push_back(0);
    }
    changedAll();
    return key;
}

qint64 Catalog::append(const CatalogItem &item)
{
    const QStringView joined = item.joinedText();
    char *room = beginRow(Utf8Text::length(joined));
    return commitRow(Utf8Text::fromUtf16(joined, room));
}

// ---- Rows leaving and coming back -------------------------------------------------

void Catalog::reindexFrom(qsizetype first)
{
    for (qsizetype i = first; i < size(); ++i)
        m_positionOfKey[m_rows[size_t(i)].key] = qint32(i);
}

// Keeps the rows that are not marked, in their order, in one pass.
void Catalog::keepRows(const std::vector<quint64> &remove)
{
    size_t write = 0;
    for (size_t read = 0; read < m_rows.size(); ++read) {
        const Row row = m_rows[read];
        if (isMarked(remove, read)) {
            m_positionOfKey[row.key] = -1;
            m_unusedBytes += m_text.length(row.text);
            continue;
        }
        if (write != read) {
            m_rows[write] = row;
            m_positionOfKey[row.key] = qint32(write);
            for (ValueColumn &column : m_assigned) {
                if (!column.empty())
                    column[write] = column[read];
            }
        }
        ++write;
    }
    m_rows.resize(write);
    for (ValueColumn &column : m_assigned) {
        if (!column.empty())
            column.resize(write);
    }
    compactIfWasteful();
}

void Catalog::removeAt(qsizetype i)
{
    removeRows({ i });
}

void Catalog::removeRows(QList<qsizetype> positions)
{
    if (positions.isEmpty())
        return;
    keepRows(markedRows(positions, size()));
}

std::vector<Catalog::TakenRow> Catalog::takeRows(QList<qsizetype> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    std::vector<TakenRow> taken;
    taken.reserve(size_t(positions.size()));
    for (qsizetype p : positions) {
        if (p >= 0 && p < size())
            taken.push_back(TakenRow { p, at(p) });
    }
    removeRows(positions);
    return taken;
}

bool Catalog::putBack(const std::vector<TakenRow> &rows)
{
    const qsizetype finalSize = size() + qsizetype(rows.size());
    std::vector<bool> keyUsed;
    for (size_t r = 0; r < rows.size(); ++r) {
        const qsizetype p = rows[r].position;
        const qint64 key = rows[r].item.rowKey();
        if (p < 0 || p >= finalSize || (r > 0 && p <= rows[r - 1].position))
            return false;
        if (key < 0 || key >= m_nextRowKey || m_positionOfKey[size_t(key)] >= 0)
            return false;
        if (keyUsed.empty())
            keyUsed.assign(size_t(m_nextRowKey), false);
        if (keyUsed[size_t(key)])
            return false;
        keyUsed[size_t(key)] = true;
    }
    std::vector<qsizetype> positions;
    std::vector<Row> back;
    positions.reserve(rows.size());
    back.reserve(rows.size());
    for (const TakenRow &row : rows) {
        positions.push_back(row.position);
        back.push_back(Row { m_text.add(row.item.joinedText()), quint32(row.item.rowKey()) });
    }
    mergeBack(positions, back);
    return true;
}

// The rows come back at the given positions (ascending, in the list they
// make together with the present rows); their texts are in the arena.
void Catalog::mergeBack(const std::vector<qsizetype> &positions, const std::vector<Row> &rows)
{
    if (rows.empty())
        return;
    const qsizetype finalSize = size() + qsizetype(rows.size());
    std::vector<Row, LargeAllocator<Row>> merged;
    merged.reserve(size_t(finalSize));
    std::array<ValueColumn, CategoryCount> assigned;
    size_t next = 0;
    size_t old = 0;
    for (qsizetype j = 0; j < finalSize; ++j) {
        const bool comesBack = next < rows.size() && positions[next] == j;
        merged.push_back(comesBack ? rows[next++] : m_rows[old]);
        for (int c = 0; c < CategoryCount; ++c) {
            if (!m_assigned[size_t(c)].empty())
                assigned[size_t(c)].push_back(comesBack ? 0 : m_assigned[size_t(c)][old]);
        }
        if (!comesBack)
            ++old;
    }
    m_rows.swap(merged);
    m_assigned.swap(assigned);
    reindexFrom(0);
    changedAll();
}

qsizetype Catalog::indexOfKey(qint64 key) const
{
    if (key < 0 || key >= qint64(m_positionOfKey.size()))
        return -1;
    return m_positionOfKey[size_t(key)];
}

// Once more than half of the arena holds texts no row uses, the rows' texts
// are copied into a fresh one.
void Catalog::compactIfWasteful()
{
    if (!wouldCompact(0))
        return;
    TextArena fresh(m_text.blockBytes());
    for (Row &row : m_rows)
        row.text = fresh.add(m_text.view(row.text));
    m_text = std::move(fresh);
    m_unusedBytes = 0;
}

RowBatch Catalog::takeBatch(const QList<qsizetype> &positions)
{
    const std::vector<quint64> marks = markedRows(positions, size());
    const QList<qsizetype> ordered = markedPositions(marks);
    qsizetype bytes = 0;
    for (qsizetype p : ordered)
        bytes += m_text.length(m_rows[size_t(p)].text);
    RowBatch taken = wouldCompact(bytes) ? copiedRows(ordered, bytes) : sharedRows(ordered);
    if (!ordered.isEmpty())
        keepRows(marks);
    return taken;
}

// Whether leaving this many bytes of text unused makes the arena compact.
bool Catalog::wouldCompact(qsizetype moreUnusedBytes) const
{
    const qsizetype unused = m_unusedBytes + moreUnusedBytes;
    return unused >= m_text.blockBytes() && unused * 2 >= m_text.capacity();
}

// Rows keep their bytes where they are, shared with the batch, and the values
// assigned to them since they were stored go beside them.
RowBatch Catalog::sharedRows(const QList<qsizetype> &positions) const
{
    RowBatch taken(m_text);
    taken.reserve(positions.size());
    taken.setValues(m_values);
    // Counted first: a million rows given values are 24 MB beside them,
    // which growing by doubling would copy and touch afresh several times.
    qsizetype withValues = 0;
    for (qsizetype p : positions)
        withValues += hasAssignedValues(p) ? 1 : 0;
    taken.reserveAssigned(withValues);
    for (qsizetype p : positions) {
        if (hasAssignedValues(p))
            taken.appendShared(keyAt(p), m_rows[size_t(p)].text, assignedIds(p));
        else
            taken.appendShared(keyAt(p), m_rows[size_t(p)].text);
    }
    return taken;
}

// Rows whose removal makes the arena compact are copied out, so the old
// blocks can go.
RowBatch Catalog::copiedRows(const QList<qsizetype> &positions, qsizetype bytes) const
{
    RowBatch taken;
    taken.reserve(positions.size(), bytes);
    // The rows lie apart: their texts are asked for a few rows ahead.
    constexpr qsizetype Ahead = 8;
    for (qsizetype k = 0; k < positions.size(); ++k) {
        if (k + Ahead < positions.size()) {
            const QUtf8StringView ahead = joinedText(positions[k + Ahead]);
            prefetchMemory(ahead.data());
            prefetchMemory(ahead.data() + ahead.size() - 1);
        }
        writeRow(positions[k], taken);
    }
    return taken;
}

void Catalog::writeRow(qsizetype i, RowBatch &batch) const
{
    Pieces pieces;
    const int count = joinedPieces(i, pieces);
    const qsizetype length = piecesLength(pieces, count);
    writePieces(pieces, count, batch.beginRow(length));
    batch.commitRow(keyAt(i), length);
}

// Keys grow along the list, so a row's place follows from its key: after
// every present row with a smaller key and every row put back before it.
qsizetype Catalog::insertBatch(const RowBatch &rows)
{
    std::vector<qsizetype> incoming;
    incoming.reserve(size_t(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.hasTexts(i) && rows.keyAt(i) < m_nextRowKey && indexOfKey(rows.keyAt(i)) < 0)
            incoming.push_back(i);
    }
    const auto keyOf = [&rows](qsizetype i) { return rows.keyAt(i); };
    std::stable_sort(incoming.begin(), incoming.end(), [&](qsizetype a, qsizetype b) { return keyOf(a) < keyOf(b); });
    incoming.erase(
        std::unique(incoming.begin(), incoming.end(), [&](qsizetype a, qsizetype b) { return keyOf(a) == keyOf(b); }),
        incoming.end());
    std::vector<qsizetype> positions;
    std::vector<Row> back;
    positions.reserve(incoming.size());
    back.reserve(incoming.size());
    qsizetype present = 0;
    for (qsizetype i : incoming) {
        while (present < size() && keyAt(present) < keyOf(i))
            ++present;
        positions.push_back(present + qsizetype(back.size()));
        back.push_back(Row { m_text.add(rows.storedText(i)), quint32(keyOf(i)) });
    }
    mergeBack(positions, back);
    // The values assigned to the rows before they left go back beside them.
    std::vector<quint32> idOfBatchValue;
    for (size_t k = 0; k < incoming.size(); ++k) {
        const RowBatch::AssignedIds *ids = rows.assignedIds(incoming[k]);
        if (!ids)
            continue;
        if (idOfBatchValue.empty()) {
            for (const QByteArray &value : rows.values())
                idOfBatchValue.push_back(valueId(value));
        }
        assignIds(positions[k], *ids, idOfBatchValue);
    }
    return qsizetype(back.size());
}

void Catalog::assignIds(qsizetype i, const RowBatch::AssignedIds &ids, const std::vector<quint32> &idOfBatchValue)
{
    for (int c = 0; c < CategoryCount; ++c) {
        if (ids[size_t(c)] != 0)
            assignValue(i, CatalogItem::Genre1 + c, idOfBatchValue[ids[size_t(c)] - 1]);
    }
}
