#pragma once
// The results of a search as a tree: one row per file that had hits or could not be searched,
// with the number of its hits, and below it one row per hit (line number, key path, line text) or
// the reason the file could not be searched. Files are appended as they finish.

#include "search/find_in_files.h"

#include <QAbstractItemModel>
#include <QList>

class SearchResultsModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { LineColumn, KeyPathColumn, TextColumn, ColumnCount };
    enum Role {
        PathRole = Qt::UserRole + 1, // the file of the row (both levels)
        LineRole,                    // the hit's zero-based line; -1 on other rows
        SpansRole,                   // the hit's matches: a QVariantList of QPoint(start column, length)
        ProblemRole,                 // true on a file row that could not be searched, and on its reason row
    };

    explicit SearchResultsModel(QObject *parent = nullptr);

    void clear();
    // Adds the files that had hits or a problem, in one insertion; nothing for the others.
    void add(const QList<FileResult> &results);

    int fileCount() const { return int(m_files.size()); }
    int hitCount() const { return m_hits; }
    int problemCount() const { return m_problems; }
    // The first hit row of the model, or an invalid index.
    QModelIndex firstHit() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QVariant fileData(const FileResult &file, int column, int role) const;
    QVariant hitData(const FileResult &file, int row, int column, int role) const;

    QList<FileResult> m_files;
    int m_hits = 0;
    int m_problems = 0;
};
