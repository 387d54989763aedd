#include "CategoryLists.h"

#include "DataFolder.h"
#include "EntryText.h"
#include "TextFile.h"

#include <QDir>

namespace {

QString listPath(const QString &folder, int k)
{
    return QDir(folder).filePath(DataFiles::categoryFile(k));
}

QString unreadableReason()
{
    return QStringLiteral("起動時に読み込めなかったファイルなので、上書きしません");
}

} // namespace

QStringList ReadCategoryList(QByteArrayView fileBytes)
{
    QStringList values = TextFile::decodeLines(fileBytes).lines;
    for (QString &value : values) {
        if (!EntryText::isCleanField(value))
            value = EntryText::normalizeField(value);
    }
    return values;
}

QByteArray CategoryListBytes(const QStringList &values)
{
    return TextFile::encodeLines(values);
}

FileResult LoadCategoryLists(const QString &folder, CategoryLists &lists)
{
    FileResult first = FileResult::success(QString());
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        const QString path = listPath(folder, k);
        const TextFile::Bytes file = TextFile::read(path);
        if (!file.found)
            continue;
        lists.setUnreadable(k, !file.ok);
        if (!file.ok) {
            if (first.ok)
                first = FileResult::readFailure(DataFiles::categoryFile(k), file.error);
            continue;
        }
        lists.list(k).append(ReadCategoryList(file.bytes));
    }
    return first;
}

FileResult SaveCategoryLists(const QString &folder, const CategoryLists &lists)
{
    FileResult refused = FileResult::success(DataFiles::categoryFile(CategoryLists::Count));
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        if (lists.isUnreadable(k)) {
            if (refused.ok)
                refused = FileResult::failure(DataFiles::categoryFile(k), unreadableReason());
            continue;
        }
        const FileResult result = TextFile::replace(listPath(folder, k), CategoryListBytes(lists.list(k)));
        if (!result.ok)
            return refused.ok ? result : refused;
    }
    return refused;
}
