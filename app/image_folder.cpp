#include "app/image_folder.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

bool IsImageFileName(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString extension = fileName.mid(dot + 1).toLower();
    return extension == u"jpg" || extension == u"jpeg" || extension == u"png" || extension == u"bmp";
}

namespace {

bool NameOrder(const QFileInfo& a, const QFileInfo& b)
{
    const QString nameA = a.fileName();
    const QString nameB = b.fileName();
    const int folded = nameA.compare(nameB, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : nameA.compare(nameB, Qt::CaseSensitive) < 0;
}

} // namespace

void ScanImageFolder(const QString& folder, std::vector<QString>& paths, bool recursive)
{
    if (folder.isEmpty())
        return; // QDir would read an empty name as the current folder
    const QDir dir(folder);
    QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
    std::sort(entries.begin(), entries.end(), NameOrder);

    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            if (recursive && !entry.isSymLink())
                ScanImageFolder(entry.filePath(), paths, recursive);
        } else if (entry.isFile() && IsImageFileName(entry.fileName())) {
            paths.push_back(entry.filePath());
        }
    }
}
