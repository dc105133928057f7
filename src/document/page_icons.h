#pragma once
// The images of the tab image list (ILTab) and the tree image list
// (ILTreeView). Stand-ins drawn here until the program's own icon set is in;
// every caller goes through these two functions, so switching is one place.

#include <QIcon>

// 0: the page is not modified, 1: it is modified.
QIcon TabImageIcon(int index);
// 0 table with children, 1 table without children, 2 table selected, 3 value, 4 value selected.
QIcon TreeImageIcon(int index);
