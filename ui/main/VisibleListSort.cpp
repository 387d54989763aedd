#include "VisibleListSort.h"

#include "VisibleListModel.h"

#include <algorithm>
#include <numeric>

namespace {

std::vector<QString> foldedTexts(const VisibleListModel &model, int field)
{
    std::vector<QString> texts;
    const int rows = model.rowCount();
    texts.reserve(size_t(rows));
    for (int row = 0; row < rows; ++row) {
        QString text = field == CatalogItem::RowKey ? model.text(row, field) : model.view(row, field).toString();
        texts.push_back(std::move(text).toCaseFolded());
    }
    return texts;
}

} // namespace

std::vector<int> VisibleListSortOrder(const VisibleListModel &model, int field, Qt::SortOrder order)
{
    const std::vector<QString> texts = foldedTexts(model, field);
    std::vector<int> positions(texts.size());
    std::iota(positions.begin(), positions.end(), 0);
    const auto less = [&texts](int a, int b) {
        return QStringView(texts[size_t(a)]).compare(QStringView(texts[size_t(b)]), Qt::CaseSensitive) < 0;
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(positions.begin(), positions.end(), less);
    else
        std::stable_sort(positions.begin(), positions.end(), [&less](int a, int b) { return less(b, a); });
    return positions;
}
