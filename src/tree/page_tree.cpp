#include "tree/page_tree.h"

PageTree::PageTree(QWidget *parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setUniformRowHeights(true);
}
