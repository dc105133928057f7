#include "document/page.h"

#include "editor/page_editor.h"
#include "tree/page_tree.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QSplitter>

Page::Page(const QString &rbfPath, QWidget *parent) : QWidget(parent), RbfPath(rbfPath) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("PageSplitter"));
    m_splitter->setHandleWidth(4);
    m_splitter->setChildrenCollapsible(false);
    m_tree = new PageTree(m_splitter);
    m_editor = new PageEditor(m_splitter);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_editor);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter);
    setFocusPolicy(Qt::StrongFocus);
    installEventFilter(this);
    m_tree->installEventFilter(this);
    m_editor->installEventFilter(this);
}

int Page::treeWidth() const {
    return m_splitter->sizes().value(0);
}

void Page::setTreeWidth(int width) {
    const int total = m_splitter->width() - m_splitter->handleWidth();
    m_splitter->setSizes({width, qMax(0, total - width)});
}

bool Page::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn)
        Q_EMIT entered(this);
    return QWidget::eventFilter(watched, event);
}
