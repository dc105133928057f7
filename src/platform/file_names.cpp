#include "platform/file_names.h"

namespace {

// Length of the folder part: everything up to and including the last separator or drive colon.
qsizetype FolderLength(const QString &path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path.at(i);
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return i + 1;
    }
    // "C:name" has a drive colon but no separator.
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).unicode() < 128 &&
        path.at(0).isLetter())
        return 2;
    return 0;
}

// Index of the dot that starts the extension, or -1.
qsizetype ExtDot(const QString &path) {
    const qsizetype folder = FolderLength(path);
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot >= folder ? dot : -1;
}

} // namespace

QString ExtractFileName(const QString &path) {
    return path.mid(FolderLength(path));
}

QString ExtractFileExt(const QString &path) {
    const qsizetype dot = ExtDot(path);
    return dot < 0 ? QString() : path.mid(dot);
}

QString ChangeFileExt(const QString &path, const QString &ext) {
    const qsizetype dot = ExtDot(path);
    return (dot < 0 ? path : path.left(dot)) + ext;
}

QString ExtractFilePath(const QString &path) {
    return path.left(FolderLength(path));
}
