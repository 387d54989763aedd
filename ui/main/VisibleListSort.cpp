#include "VisibleListSort.h"

#include "VisibleListModel.h"

#include <algorithm>

namespace {

bool isFolded(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 ? (u >= 'A' && u <= 'Z') : (c.isSurrogate() || c.toCaseFolded() != c))
            return false;
    }
    return true;
}

// The folded texts of the column. Texts that folding leaves as they are
// (most of them) are read in place; the others are kept in `storage`.
std::vector<QStringView> foldedTexts(const VisibleListModel &model, int field, std::vector<QString> &storage)
{
    if (field == CatalogItem::RowKey) {
        storage.reserve(size_t(model.rowCount()));
        for (int row = 0; row < model.rowCount(); ++row)
            storage.push_back(model.text(row, field));
        return { storage.begin(), storage.end() };
    }
    std::vector<QStringView> texts = model.columnViews(field);
    for (QStringView &text : texts) {
        if (!isFolded(text)) {
            storage.push_back(text.toString().toCaseFolded());
            text = storage.back(); // a QString's characters stay put when the vector grows
        }
    }
    return texts;
}

// Four UTF-16 units from `from`, padded with 0 (a shorter text comes
// first), so that most comparisons are integer comparisons in the entries
// and never reach the rows' texts.
quint64 unitsAt(QStringView text, qsizetype from)
{
    quint64 units = 0;
    for (qsizetype i = from; i < from + 4; ++i)
        units = (units << 16) | (i < text.size() ? text[i].unicode() : 0u);
    return units;
}

struct Entry
{
    quint64 units[3]; // units 0..11
    int row;
};

} // namespace

std::vector<int> VisibleListSortOrder(const VisibleListModel &model, int field, Qt::SortOrder order)
{
    std::vector<QString> storage;
    const std::vector<QStringView> texts = foldedTexts(model, field, storage);
    std::vector<Entry> entries(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        entries[i] = { { unitsAt(texts[i], 0), unitsAt(texts[i], 4), unitsAt(texts[i], 8) }, int(i) };
    // -1, 0, 1 by the texts alone.
    const auto compareTexts = [&texts](const Entry &a, const Entry &b) {
        for (int w = 0; w < 3; ++w) {
            if (a.units[w] != b.units[w])
                return a.units[w] < b.units[w] ? -1 : 1;
        }
        const QStringView ta = texts[size_t(a.row)];
        const QStringView tb = texts[size_t(b.row)];
        if (ta.size() <= 12 && tb.size() <= 12)
            return 0;
        return ta.compare(tb, Qt::CaseSensitive);
    };
    // Equal texts keep their order: the row before the sort decides, in
    // both directions, which makes the order total and the sort stable.
    const bool ascending = order == Qt::AscendingOrder;
    std::sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        const int c = compareTexts(a, b);
        if (c != 0)
            return ascending ? c < 0 : c > 0;
        return a.row < b.row;
    });
    std::vector<int> positions(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        positions[i] = entries[i].row;
    return positions;
}
