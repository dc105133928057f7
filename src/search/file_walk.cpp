#include "search/file_walk.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

QStringList ListSearchFiles(const SearchScope &scope, const std::atomic<bool> *stop) {
    QStringList patterns;
    for (const QString &part : scope.pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty())
            patterns << pattern;
    }
    if (patterns.isEmpty())
        patterns << QStringLiteral("*");
    QStringList files;
    if (scope.folder.isEmpty() || !QFileInfo(scope.folder).isDir())
        return files;
    QDirIterator it(scope.folder, patterns, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    scope.subfolders ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        if (stop && stop->load(std::memory_order_relaxed))
            return {};
        files << QFileInfo(it.next()).absoluteFilePath();
    }
    std::sort(files.begin(), files.end());
    return files;
}
