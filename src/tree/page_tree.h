#pragma once
// The structure tree view of a page and its state flag.

#include <QTreeView>

class PageTree : public QTreeView {
    Q_OBJECT
public:
    enum State { Idle = 0, Syncing = 1, Collapsing = 2, FirstBuild = -1, Rebuild = -2 };

    explicit PageTree(QWidget *parent = nullptr);

    // Guards the tree, the editor and a build against each other.
    int TreeState = Idle;
};
