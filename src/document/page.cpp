#include "document/page.h"

#include "editor/page_editor.h"
#include "tree/page_tree.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QSplitter>
#include <QTimer>

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
    connect(qApp, &QApplication::focusChanged, this, &Page::focusChanged);
}

Page::~Page() {
    // Focus moves while the children go; the page no longer follows them.
    disconnect(qApp, nullptr, this, nullptr);
}

void Page::focusChanged(QWidget *old, QWidget *now) {
    // The focus enters from another control of the window. Moving between the tree and the
    // editor of one page does not enter it again, and neither does the focus coming back when
    // the window is activated again or a dialog closes.
    const bool inside = now && (now == this || isAncestorOf(now));
    const bool wasInside = old && (old == this || isAncestorOf(old));
    if (inside && !wasInside && old && old->window() == window())
        Q_EMIT entered(this);
}

int Page::treeWidth() const {
    return m_splitter->sizes().value(0);
}

void Page::setTreeWidth(int width) {
    // The splitter may not have been laid out yet in a page that was just added.
    layout()->activate();
    const int total = m_splitter->width() - m_splitter->handleWidth();
    m_splitter->setSizes({width, qMax(0, total - width)});
}

void Page::setInitialTreeWidth() {
    if (isVisible())
        setTreeWidth(defaultTreeWidth());
    else
        m_initialWidthPending = true;
}

void Page::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_initialWidthPending)
        return;
    m_initialWidthPending = false;
    // After the window's layouts have given the page its size.
    QTimer::singleShot(0, this, [this] { setTreeWidth(defaultTreeWidth()); });
}

Page *PageOf(QWidget *widget) {
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *page = qobject_cast<Page *>(w))
            return page;
    }
    return nullptr;
}
