#include "platform/file_names.h"

namespace {
int NameStart(const QString &path) {
    for (int i = static_cast<int>(path.size()) - 1; i >= 0; --i) {
        const QChar c = path.at(i);
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            return i + 1;
    }
    return 0;
}

int DotIndex(const QString &path) {
    const int dot = static_cast<int>(path.lastIndexOf(QLatin1Char('.')));
    return dot >= NameStart(path) ? dot : -1;
}
} // namespace

QString ExtractFileName(const QString &path) {
    return path.mid(NameStart(path));
}

QString ExtractFilePath(const QString &path) {
    return path.left(NameStart(path));
}

QString ExtractFileExt(const QString &path) {
    const int dot = DotIndex(path);
    return dot < 0 ? QString() : path.mid(dot);
}

QString ChangeFileExt(const QString &path, const QString &extension) {
    const int dot = DotIndex(path);
    return (dot < 0 ? path : path.left(dot)) + extension;
}
