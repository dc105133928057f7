#include "tree/quick_find.h"

#include "document/page_context.h"
#include "tree/page_tree.h"
#include "ui/dialogs.h"

QuickFind::QuickFind(const PageContext &context, const QStringList &rememberedNodePath, Dialogs &dialogs)
    : m_context(context), m_remembered(rememberedNodePath), m_dialogs(dialogs) {
    // The user's locale, letter case ignored.
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void QuickFind::PathOf(const QModelIndex &node, QStringList &path) {
    path.clear();
    for (QModelIndex at = node; at.isValid(); at = at.parent())
        path.append(at.data(Qt::DisplayRole).toString());
}

bool QuickFind::samePath(const QStringList &path) const {
    // Entry by entry rather than as one joined text: a collation may ignore the line breaks that
    // would separate the entries, and "ab" must not match "a" under "b".
    if (path.size() != m_remembered.size())
        return false;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i].compare(m_remembered[i], Qt::CaseInsensitive) != 0 &&
            m_collator.compare(path[i], m_remembered[i]) != 0)
            return false;
    }
    return true;
}

void QuickFind::SearchSimilarNode(const QModelIndex &node) {
    PathOf(node, m_scratch);
    if (samePath(m_scratch)) {
        m_found = node;
        return;
    }
    if (m_scratch.size() > m_remembered.size())
        return; // deeper than the remembered node: its children cannot match either
    const QAbstractItemModel *model = node.model();
    const int children = model->rowCount(node);
    for (int row = 0; row < children && !m_found.isValid(); ++row)
        SearchSimilarNode(model->index(row, 0, node));
}

void QuickFind::TBQuickWizardClick() {
    if (!m_context.CurrentSheet)
        return;
    PageTree *tree = m_context.CurrentTree;
    const QAbstractItemModel *model = tree ? tree->model() : nullptr;
    if (m_remembered.isEmpty() || !model || model->rowCount() == 0)
        return;
    m_found = QModelIndex();
    for (int row = 0; row < model->rowCount() && !m_found.isValid(); ++row)
        SearchSimilarNode(model->index(row, 0));
    if (m_found.isValid())
        tree->setCurrentIndex(m_found);
    else
        m_dialogs.ShowInfo(QStringLiteral("No similiar tree item"));
    m_found = QModelIndex();
    m_scratch.clear();
}
