#pragma once
// The folder tree: the whole file system with hidden items, several items
// selectable with Ctrl and Shift, selection by path and a refresh that keeps
// expanded, selected and top items.

#include <QStringList>
#include <QTreeView>

class QFileSystemModel;

class FolderTree : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget *parent = nullptr);

    // Makes path the selected item (the only one), expanding the folders down to it.
    void selectPath(const QString &path);
    // Full paths of the selected items, in the order in which they were selected.
    QStringList selectedPaths() const;
    // Selects exactly these paths.
    void selectPaths(const QStringList &paths);
    // The path of the current selected item, empty when none.
    QString selectedPath() const;
    void clearSelectedItems();
    // Reloads from the root, keeping expanded items, the selected item and the top item where they exist.
    void refresh();

    QFileSystemModel *fileModel() const { return m_model; }

Q_SIGNALS:
    // Enter released or a double click: open the selection.
    void openRequested();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QFileSystemModel *m_model;
};
