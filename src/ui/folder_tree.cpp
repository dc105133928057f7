#include "ui/folder_tree.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

FolderTree::FolderTree(QWidget *parent) : QTreeView(parent), m_model(new QFileSystemModel(this)) {
    m_model->setOption(QFileSystemModel::DontWatchForChanges, true);
    m_model->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System | QDir::AllDirs);
    m_model->setRootPath(QString());
    setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setIndentation(19);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformRowHeights(true);
}

void FolderTree::selectPath(const QString &path) {
    const QModelIndex index = m_model->index(path);
    if (!index.isValid())
        return;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        expand(p);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

QStringList FolderTree::selectedPaths() const {
    QStringList paths;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        paths << m_model->filePath(index);
    return paths;
}

void FolderTree::selectPaths(const QStringList &paths) {
    selectionModel()->clearSelection();
    for (const QString &path : paths) {
        const QModelIndex index = m_model->index(path);
        if (index.isValid())
            selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QString FolderTree::selectedPath() const {
    const QModelIndex index = selectionModel()->currentIndex();
    return index.isValid() && selectionModel()->isSelected(index) ? m_model->filePath(index) : QString();
}

void FolderTree::clearSelectedItems() {
    selectionModel()->clearSelection();
}

void FolderTree::refresh() {}

void FolderTree::keyReleaseEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        Q_EMIT openRequested();
    QTreeView::keyReleaseEvent(event);
}

void FolderTree::mouseDoubleClickEvent(QMouseEvent *event) {
    QTreeView::mouseDoubleClickEvent(event);
    Q_EMIT openRequested();
}

void FolderTree::mousePressEvent(QMouseEvent *event) {
    // A right click selects the item under the mouse.
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
        return;
    }
    QTreeView::mousePressEvent(event);
}
