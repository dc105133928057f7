#pragma once
// Scroll bars that fill their own background. Qt paints a widget that may be partly transparent
// together with everything beneath it: each time a view's scroll bar moved (a node selection moves
// both the tree's and the editor's), the window's background, the page control's frame and the
// view's frame were painted again under its strip first. Filled with the colour beneath them, the
// bars look the same and are painted alone.

#include <QAbstractScrollArea>
#include <QScrollBar>

inline void PaintScrollBarsAlone(QAbstractScrollArea *area) {
    area->verticalScrollBar()->setAutoFillBackground(true);
    area->horizontalScrollBar()->setAutoFillBackground(true);
}
