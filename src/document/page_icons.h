#pragma once
// The images of the tab image list (ILTab) and the tree image list
// (ILTreeView), from the program's icon set in ui/icons.h.

#include <QIcon>

// 0: the page is not modified, 1: it is modified.
QIcon TabImageIcon(int index);
// 0 table with children (closed folder), 1 table without children (grey folder), 2 table selected
// (open folder), 3 value, 4 value selected (with a pencil).
QIcon TreeImageIcon(int index);
