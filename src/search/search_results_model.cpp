#include "search/search_results_model.h"

#include <QDir>
#include <QPoint>

namespace {
// Internal id of a file row; a hit row carries its file's row plus one.
constexpr quintptr FileRowId = 0;
} // namespace

SearchResultsModel::SearchResultsModel(QObject *parent) : QAbstractItemModel(parent) {}

void SearchResultsModel::clear() {
    beginResetModel();
    m_files.clear();
    m_hits = 0;
    m_problems = 0;
    endResetModel();
}

void SearchResultsModel::add(const QList<FileResult> &results) {
    QList<const FileResult *> shown;
    for (const FileResult &result : results) {
        if (result.hitCount > 0 || !result.problem.isEmpty())
            shown << &result;
    }
    if (shown.isEmpty())
        return;
    const int row = int(m_files.size());
    beginInsertRows(QModelIndex(), row, row + int(shown.size()) - 1);
    for (const FileResult *result : shown) {
        m_files.append(*result);
        m_hits += result->hitCount;
        m_problems += !result->problem.isEmpty();
    }
    endInsertRows();
}

QModelIndex SearchResultsModel::firstHit() const {
    for (int i = 0; i < m_files.size(); ++i) {
        if (!m_files.at(i).hits.isEmpty())
            return index(0, LineColumn, index(i, 0));
    }
    return QModelIndex();
}

QModelIndex SearchResultsModel::index(int row, int column, const QModelIndex &parent) const {
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    if (!parent.isValid())
        return createIndex(row, column, FileRowId);
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex SearchResultsModel::parent(const QModelIndex &child) const {
    if (!child.isValid() || child.internalId() == FileRowId)
        return QModelIndex();
    return createIndex(int(child.internalId() - 1), 0, FileRowId);
}

int SearchResultsModel::rowCount(const QModelIndex &parent) const {
    if (!parent.isValid())
        return int(m_files.size());
    if (parent.internalId() != FileRowId || parent.column() != 0)
        return 0;
    const FileResult &file = m_files.at(parent.row());
    return file.problem.isEmpty() ? int(file.hits.size()) : 1;
}

int SearchResultsModel::columnCount(const QModelIndex &) const {
    return ColumnCount;
}

QVariant SearchResultsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return QVariant();
    if (index.internalId() == FileRowId)
        return fileData(m_files.at(index.row()), index.column(), role);
    return hitData(m_files.at(int(index.internalId() - 1)), index.row(), index.column(), role);
}

QVariant SearchResultsModel::fileData(const FileResult &file, int column, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        if (column != LineColumn)
            return QVariant();
        if (!file.problem.isEmpty())
            return QStringLiteral("%1 (not searched)").arg(QDir::toNativeSeparators(file.path));
        if (file.hitCount > file.hits.size())
            return QStringLiteral("%1 (%2 hits, the first %3 shown)")
                .arg(QDir::toNativeSeparators(file.path))
                .arg(file.hitCount)
                .arg(file.hits.size());
        return QStringLiteral("%1 (%2 %3)")
            .arg(QDir::toNativeSeparators(file.path))
            .arg(file.hitCount)
            .arg(file.hitCount == 1 ? QStringLiteral("hit") : QStringLiteral("hits"));
    case PathRole:
        return file.path;
    case LineRole:
        return -1;
    case ProblemRole:
        return !file.problem.isEmpty();
    default:
        return QVariant();
    }
}

QVariant SearchResultsModel::hitData(const FileResult &file, int row, int column, int role) const {
    if (!file.problem.isEmpty()) {
        if (role == Qt::DisplayRole && column == TextColumn)
            return file.problem;
        if (role == PathRole)
            return file.path;
        if (role == LineRole)
            return -1;
        if (role == ProblemRole)
            return true;
        return QVariant();
    }
    const SearchHit &hit = file.hits.at(row);
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case LineColumn:
            return hit.line + 1; // shown as the editor's status line counts
        case KeyPathColumn:
            return hit.keyPath;
        case TextColumn:
            return hit.text;
        default:
            return QVariant();
        }
    case Qt::ToolTipRole:
        return column == TextColumn ? QVariant(hit.text) : QVariant();
    case PathRole:
        return file.path;
    case LineRole:
        return hit.line;
    case SpansRole: {
        QVariantList spans;
        for (const MatchSpan &span : hit.spans)
            spans << QPoint(span.start, span.length);
        return spans;
    }
    case ProblemRole:
        return false;
    default:
        return QVariant();
    }
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case LineColumn:
        return QStringLiteral("Line");
    case KeyPathColumn:
        return QStringLiteral("Key path");
    case TextColumn:
        return QStringLiteral("Text");
    default:
        return QVariant();
    }
}

Qt::ItemFlags SearchResultsModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.internalId() != FileRowId)
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}
