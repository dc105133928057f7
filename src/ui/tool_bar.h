#pragma once
// Flat tool bars with buttons of one fixed size and 8-pixel separators, as the
// window's bands hold them.

#include <QSize>
#include <QWidget>

class QAction;
class QToolBar;
class QToolButton;

// A separator 8 pixels wide (QToolBar's own takes its width from the style).
class ToolSeparator : public QWidget {
    Q_OBJECT
public:
    explicit ToolSeparator(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Flat, 16 x 16 images, no handle, no gaps or margins between the items.
void SetUpToolBar(QToolBar *bar);
// Adds a button for action with the given size; the button is named as the action.
QToolButton *AddToolButton(QToolBar *bar, QAction *action, QSize size);
void AddToolSeparator(QToolBar *bar);
