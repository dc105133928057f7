#pragma once
// The folder tree: the whole file system with hidden items, several items
// selectable with Ctrl and Shift, selection by path and a refresh that keeps
// expanded, selected and top items.
//
// QFileSystemModel reads folders in a worker thread: an index for a path exists
// at once, but the folder's other rows and their sorting arrive later and move
// the row. So a selection by path, and the state restored by a refresh, are
// followed up each time a folder on the way finishes loading, until every folder
// that was asked for has loaded ("settled").

#include <QPersistentModelIndex>
#include <QSet>
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
    // Selects exactly these paths, in this order; the last one becomes the current item.
    void selectPaths(const QStringList &paths);
    // The path of the current selected item, empty when none.
    QString selectedPath() const;
    void clearSelectedItems();
    // Reloads from the root, keeping expanded items, the selected items and the top item where
    // they still exist.
    void refresh();

    // The paths of the expanded folders, parents before children.
    QStringList expandedPaths() const;
    // The path of the item at the top of the view, empty when the view is empty.
    QString topItemPath() const;

    // True when every folder that a selection by path or a refresh waits for has loaded.
    bool isSettled() const { return m_waiting.isEmpty(); }
    // Lets events run until settled or until timeoutMs has passed; true when settled.
    bool waitUntilSettled(int timeoutMs = 10000);

    QFileSystemModel *fileModel() const { return m_model; }

Q_SIGNALS:
    // Enter pressed and released here, or a double click: open the selection. Raised after the
    // key or mouse event, never from inside it.
    void openRequested();
    // Every folder waited for has loaded.
    void settled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setUpModel();
    void requestOpen();
    void trackSelection();
    // Expands every folder above index and waits for each of them to load.
    void openWayTo(const QModelIndex &index);
    void awaitLoad(const QModelIndex &folder);
    void onDirectoryLoaded(const QString &path);
    // Scrolls to the followed item again (its row moves as folders load).
    void follow();

    QFileSystemModel *m_model = nullptr;
    QSet<QString> m_loaded;
    QSet<QString> m_waiting;
    QList<QPersistentModelIndex> m_order;
    QPersistentModelIndex m_followed;
    ScrollHint m_followHint = EnsureVisible;
    // An Enter key went down in this tree and has not come up yet.
    bool m_enterPressed = false;
};
