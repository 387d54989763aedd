#include "StaleTempFiles.h"

#include "DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int RandomLetters = 6;

QStringList ownFileNames()
{
    QStringList names { DataFiles::CatalogFile, DataFiles::CatalogFile + QStringLiteral(".bak"),
        DataFiles::SettingsFile };
    for (int n = 1; n <= 5; ++n)
        names.append(DataFiles::categoryFile(n));
    return names;
}

bool isRandomSuffix(QStringView suffix)
{
    if (suffix.size() != RandomLetters)
        return false;
    bool upper = false;
    bool lower = false;
    for (QChar c : suffix) {
        const char16_t u = c.unicode();
        upper = upper || (u >= u'A' && u <= u'Z');
        lower = lower || (u >= u'a' && u <= u'z');
        if (!(u >= u'A' && u <= u'Z') && !(u >= u'a' && u <= u'z'))
            return false;
    }
    return upper && lower;
}

} // namespace

bool StaleTempFiles::isTempName(const QString &fileName)
{
    for (const QString &own : ownFileNames()) {
        // Exact case: the saves use the names as they are.
        if (fileName.size() == own.size() + 1 + RandomLetters && fileName.startsWith(own)
            && fileName.at(own.size()) == u'.')
            return isRandomSuffix(QStringView(fileName).sliced(own.size() + 1));
    }
    return false;
}

QStringList StaleTempFiles::find(const QString &folder)
{
    QStringList found;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString &name : entries) {
        const QFileInfo info(dir.filePath(name));
        if (isTempName(name) && info.isFile() && !info.isSymLink())
            found.append(name);
    }
    return found;
}

QStringList StaleTempFiles::removeFrom(const QString &folder)
{
    m_result = FileResult::success(QString());
    QStringList removed;
    const QDir dir(folder);
    for (const QString &name : find(folder)) {
        QFile file(dir.filePath(name));
        if (file.remove())
            removed.append(name);
        else if (m_result.ok)
            m_result = FileResult::failure(name, file.errorString());
    }
    return removed;
}

QString StaleTempFiles::statusText() const
{
    if (m_result.ok)
        return {};
    return m_result.fileName + QStringLiteral(" を削除できませんでした（") + m_result.reason + QStringLiteral("）");
}
