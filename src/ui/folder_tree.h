#pragma once
// The folder tree: the whole file system with hidden items, several items
// selectable with Ctrl and Shift, selection by path and a refresh that keeps
// expanded, selected and top items.
//
// QFileSystemModel reads folders in a worker thread: an index for a path exists
// at once, but the folder's other rows and their sorting arrive later and move
// the row, also after the folders on the way have loaded (a folder above with
// many entries may still be filling). So the item of a selection by path, and
// the top item restored by a refresh, are kept at the top of the view whenever
// rows come or go, until the user works the tree (a click, the wheel, a key, the
// scroll bar). "Settled" is when every folder that was asked for has loaded.

#include <QPersistentModelIndex>
#include <QSet>
#include <QStringList>
#include <QTimer>
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
    void wheelEvent(QWheelEvent *event) override;

private:
    void setUpModel();
    void requestOpen();
    void trackSelection();
    // Expands every folder above index and waits for each of them to load.
    void openWayTo(const QModelIndex &index);
    void awaitLoad(const QModelIndex &folder);
    void onDirectoryLoaded(const QString &path);
    // Scrolls the followed item to the top again (its row moves as folders load).
    void follow();
    // Keeps item at the top of the view until the user takes over.
    void startFollowing(const QModelIndex &item);
    void stopFollowing() { m_followed = QPersistentModelIndex(); }
    void followSoon();

    QFileSystemModel *m_model = nullptr;
    QSet<QString> m_loaded;
    QSet<QString> m_waiting;
    QList<QPersistentModelIndex> m_order;
    QPersistentModelIndex m_followed;
    QTimer m_followTimer;
    // An Enter key went down in this tree and has not come up yet.
    bool m_enterPressed = false;
};
