#include "ui/tool_bar.h"

#include <QAction>
#include <QLayout>
#include <QPainter>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

ToolSeparator::ToolSeparator(QWidget *parent) : QWidget(parent) {
    setFixedWidth(8);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void ToolSeparator::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.state |= QStyle::State_Horizontal;
    style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
}

void SetUpToolBar(QToolBar *bar) {
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setSpacing(0);
}

QToolButton *AddToolButton(QToolBar *bar, QAction *action, QSize size) {
    bar->addAction(action);
    auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
    if (button) {
        button->setObjectName(action->objectName());
        button->setAutoRaise(true);
        button->setFixedSize(size);
    }
    return button;
}

void AddToolSeparator(QToolBar *bar) {
    bar->addWidget(new ToolSeparator(bar));
}
