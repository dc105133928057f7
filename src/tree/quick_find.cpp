#include "tree/quick_find.h"

#include "document/page_context.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"
#include "tree/tree_sync.h"
#include "ui/dialogs.h"

QuickFind::QuickFind(const PageContext &context, const QStringList &rememberedNodePath, Dialogs &dialogs)
    : m_context(context), m_remembered(rememberedNodePath), m_dialogs(dialogs) {
    // The user's locale, letter case ignored.
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
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

void QuickFind::SearchSimilarNode(const PageTree *tree, int node) {
    TreeSync::NodePathOf(tree, node, m_scratch);
    if (samePath(m_scratch)) {
        m_found = node;
        return;
    }
    if (m_scratch.size() > m_remembered.size())
        return; // deeper than the remembered node: its children cannot match either
    const StructureTree &structure = tree->structure();
    const int children = structure.childCount(node);
    for (int row = 0; row < children && m_found < 0; ++row)
        SearchSimilarNode(tree, structure.child(node, row));
}

void QuickFind::TBQuickWizardClick() {
    if (!m_context.CurrentSheet)
        return;
    PageTree *tree = m_context.CurrentTree;
    if (m_remembered.isEmpty() || !tree || tree->structure().nodeCount() == 0)
        return;
    const StructureTree &structure = tree->structure();
    m_found = -1;
    for (int row = 0; row < structure.topLevelCount() && m_found < 0; ++row)
        SearchSimilarNode(tree, structure.topLevel(row));
    m_scratch.clear();
    if (m_found >= 0)
        tree->selectNode(m_found);
    else
        m_dialogs.ShowInfo(QStringLiteral("No similiar tree item"));
}
