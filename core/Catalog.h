// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "CatalogItem.h"
#include "LargeBlocks.h"
#include "RowBatch.h"
#include "TextArena.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QUtf8StringView>

#include <array>
#include <vector>

// The ordered master list of rows.
//
// The fifteen texts of a row lie joined (by CatalogItem::Separator) in one
// text arena, as UTF-8: most of a catalogue is ASCII, and a kana or kanji
// costs three bytes against two in UTF-16 with the ASCII around it at half
// the price. A row itself is 12 bytes: where its text lies and its key.
// Keys are handed out in order and a dense table maps each key ever given to
// its row's position, so a key is found in one step. Category values that
// are assigned after a row entered are kept beside the text, one number per
// row and category, and each distinct value once.
class Catalog
{
public:
    static constexpr int CategoryCount = 5;

    Catalog() = default;
    // Texts in arena blocks of this many bytes (small ones in tests).
    explicit Catalog(qsizetype arenaBlockBytes)
        : m_text(arenaBlockBytes)
    { }
    Catalog(const Catalog &other);
    Catalog &operator=(const Catalog &other);
    Catalog(Catalog &&) noexcept = default;
    Catalog &operator=(Catalog &&) noexcept = default;

    qsizetype arenaBlockBytes() const { return m_text.blockBytes(); }
    qsizetype size() const { return qsizetype(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    void reserve(qsizetype n);

    // A copy of the row at i, its key included.
    CatalogItem at(qsizetype i) const;
    // Field 0..14 of the row at i as UTF-8 (RowKey gives an empty view); the
    // view stays valid until the catalogue changes.
    QUtf8StringView field(qsizetype i, int field) const;
    // Field 0..15; RowKey gives the decimal key text.
    QString text(qsizetype i, int field) const;
    qint64 keyAt(qsizetype i) const { return qint64(m_rows[size_t(i)].key); }
    // Whether the row at i holds exactly these joined texts.
    bool sameTexts(qsizetype i, QUtf8StringView joined) const;
    // The stored texts of the row as read or appended, joined; valid only
    // while hasAssignedValues(i) is false.
    QUtf8StringView joinedText(qsizetype i) const { return m_text.view(m_rows[size_t(i)].text); }
    bool hasAssignedValues(qsizetype i) const;
    // The fifteen texts of the row as they are now, joined: the stored text
    // itself, or, when values were assigned to it, written into buffer.
    QUtf8StringView joinedTexts(qsizetype i, QByteArray &buffer) const;
    // A stored joined text with the values of ids (into values) written into
    // its category fields, in buffer.
    static QUtf8StringView withValues(QUtf8StringView stored, const RowBatch::AssignedIds &ids,
        const std::vector<QByteArray> &values, QByteArray &buffer);

    // Sets field 0..14 of the row at i through the entry rule.
    void setField(qsizetype i, int field, QStringView value);
    // Sets one field of many rows to one value (cleaned once).
    void setFieldOfRows(const QList<qsizetype> &positions, int field, QStringView value);

    // Appends the row with the next key and returns that key.
    qint64 append(const CatalogItem &item);
    // Appending a row written in place: room for its joined text as UTF-8
    // (valid, fourteen separators, no other control character), then its
    // length in bytes. Returns the row's key.
    char *beginRow(qsizetype maxBytes) { return m_text.reserve(maxBytes); }
    qint64 commitRow(qsizetype length);

    // Removes the row at i; the rows behind it move up.
    void removeAt(qsizetype i);
    // Removes the rows at the given positions in one pass (any order,
    // duplicates ignored).
    void removeRows(QList<qsizetype> positions);
    // As removeRows, and gives the removed rows back in list order, each
    // with its key and its texts as they are now.
    RowBatch takeBatch(const QList<qsizetype> &positions);
    // Puts rows back with the keys they carry, each at the place its key
    // has in the list (keys grow along it); a key already present, one never
    // handed out, a second row with one key and a row held by key alone are
    // left out. Gives the number of rows put back.
    qsizetype insertBatch(const RowBatch &rows);

    // Rows taken out, to be put back later: where each stood and its texts
    // and key.
    struct TakenRow
    {
        qsizetype position = 0;
        CatalogItem item;
    };
    // Removes the rows at positions and gives them back in ascending order
    // of position.
    std::vector<TakenRow> takeRows(QList<qsizetype> positions);
    // Puts rows back where takeRows() found them, with their keys; the rows
    // must come in ascending order of position and their keys must be
    // absent. Returns false (and changes nothing) otherwise.
    bool putBack(const std::vector<TakenRow> &rows);

    // Position of the row with this key, or -1.
    qsizetype indexOfKey(qint64 key) const;

    qint64 nextRowKey() const { return m_nextRowKey; }

    // Grows whenever the texts of this field change for some row, or rows
    // enter; not when rows are removed.
    quint64 fieldVersion(int field) const { return m_versions[size_t(field)]; }

private:
    struct Row
    {
        TextArena::Span text;
        quint32 key = 0;
    };
    using ValueColumn = std::vector<quint32, LargeAllocator<quint32>>; // 0: as in the text; else value id + 1

    static bool isCategory(int field) { return field >= CatalogItem::Genre1 && field <= CatalogItem::Other2; }
    QUtf8StringView storedField(const Row &row, int field) const;
    quint32 valueId(const QByteArray &cleanValue);
    void assignValue(qsizetype i, int field, quint32 id);
    void replaceText(qsizetype i, int field, QUtf8StringView cleanValue);
    void changed(int field);
    void changedAll();
    void reindexFrom(qsizetype first);
    void keepRows(const std::vector<quint64> &remove);
    // A row's joined texts as they are now, in up to MaxPieces pieces.
    static constexpr int MaxPieces = 2 * CategoryCount + 2;
    using Pieces = std::array<QUtf8StringView, MaxPieces>;
    int joinedPieces(qsizetype i, Pieces &pieces) const;
    static int piecesOf(QUtf8StringView stored, const RowBatch::AssignedIds &ids, const std::vector<QByteArray> &values,
        Pieces &pieces);
    RowBatch::AssignedIds assignedIds(qsizetype i) const;
    static qsizetype piecesLength(const Pieces &pieces, int count);
    static void writePieces(const Pieces &pieces, int count, char *out);
    void mergeBack(const std::vector<qsizetype> &positions, const std::vector<Row> &rows);
    void compactIfWasteful();
    bool wouldCompact(qsizetype moreUnusedBytes) const;
    RowBatch sharedRows(const QList<qsizetype> &positions) const;
    RowBatch copiedRows(const QList<qsizetype> &positions, qsizetype bytes) const;
    void writeRow(qsizetype i, RowBatch &batch) const;
    void assignIds(qsizetype i, const RowBatch::AssignedIds &ids, const std::vector<quint32> &idOfBatchValue);

    TextArena m_text;
    std::vector<Row, LargeAllocator<Row>> m_rows;
    std::vector<qint32, LargeAllocator<qint32>> m_positionOfKey; // by key: position, or -1 once removed
    std::array<ValueColumn, CategoryCount> m_assigned; // empty until first used
    std::vector<QByteArray> m_values; // UTF-8
    QHash<QByteArray, quint32> m_valueIds;
    std::array<quint64, CatalogItem::FieldCount> m_versions {};
    qsizetype m_unusedBytes = 0; // arena bytes of removed or replaced texts
    qint64 m_nextRowKey = 0;
};
