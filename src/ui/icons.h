#pragma once
// The program's own 16 x 16 images, painted in code so that they scale with the
// device pixel ratio and need no image files: the tool bar and menu list, the
// structure-tree list and the tab list, at the indices the commands name.

#include <QIcon>
#include <QList>

// Tool bar and menu images (0 refresh, 1 open folder, 2 save, 3 save all, 4 blank page,
// 5 close, 6 font, 7 add list file, 8 reopen, 9 about, 10 remove list file, 11 find,
// 12 replace, 13 rebuild tree, 14 close all, 15 arrange, 16 arrange all, 17 arrange to,
// 18 quick find).
const QList<QIcon> &ILMain();
// Structure-tree images: 0 closed yellow folder, 1 grey folder, 2 open yellow folder,
// 3 value, 4 value with a pencil.
const QList<QIcon> &ILTreeView();
// Tab images: 0 page not modified, 1 page modified.
const QList<QIcon> &ILTab();

// One image of a list; a null icon for an index outside it.
QIcon MainImage(int index);
QIcon TreeImage(int index);
QIcon TabImage(int index);
