// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>
#include <QStringView>

#include <array>

// One catalogue row: fifteen stored texts and the row's key.
//
// The fifteen texts are kept in one string, joined by a unit separator
// (U+001F), so that a row costs one allocation. The separator never occurs
// in a field: every text that enters a row passes the entry rule of
// EntryText.h, which replaces control characters.
class CatalogItem
{
public:
    enum Field : int {
        Name,
        FileSize,
        Kind,
        PictureSize,
        PlayTime,
        Codec,
        Modified,
        Registered,
        Genre1,
        Genre2,
        Remarks,
        Other1,
        Other2,
        Spare1,
        Spare2,
        RowKey, // not stored in the list file; the text of rowKey()
    };
    static constexpr int StoredFieldCount = 15;
    static constexpr int FieldCount = 16;
    static constexpr QChar Separator = QChar(0x1F);

    CatalogItem();

    // Builds a row from already normalised texts (no separator inside).
    static CatalogItem fromStoredFields(const std::array<QString, StoredFieldCount> &fields);
    // Builds a row from its fifteen fields already joined by Separator
    // (exactly fourteen of them, no other control character inside).
    static CatalogItem fromJoinedText(QString joined);

    // Field 0..14; RowKey gives an empty view (use rowKeyText()).
    QStringView field(int field) const;
    // Field 0..15; RowKey gives the decimal key text.
    QString text(int field) const;
    // Sets field 0..14 through the entry rule (Name keeps '#').
    void setField(int field, QStringView value);

    qint64 rowKey() const { return m_key; }
    void setRowKey(qint64 key) { m_key = key; }
    QString rowKeyText() const { return QString::number(m_key); }

    // The fifteen stored fields joined by '#', without line end.
    QString toListLine() const;
    // The fifteen stored fields joined by Separator, as held.
    QStringView joinedText() const { return m_text; }

    bool operator==(const CatalogItem &other) const = default;

private:
    explicit CatalogItem(QString joined)
        : m_text(std::move(joined))
    { }

    QString m_text;
    qint64 m_key = -1;
};
