#pragma once
// Quick Find: selects, in the current page's tree, the first node whose path
// of keys (its text and its ancestors' texts) equals the path of the node
// selected last in any page, without regard to letter case.

#include <QCollator>
#include <QModelIndex>
#include <QStringList>

class Dialogs;
struct PageContext;

class QuickFind {
public:
    QuickFind(const PageContext &context, const QStringList &rememberedNodePath, Dialogs &dialogs);

    void TBQuickWizardClick();
    // Pre-order from node: a node before its children, and the children only of nodes that are not
    // deeper than the remembered node. Sets the run's found node at the first similar one.
    void SearchSimilarNode(const QModelIndex &node);

    // The texts of node and its ancestors, nearest first, as the tree shows them.
    static void PathOf(const QModelIndex &node, QStringList &path);

private:
    bool samePath(const QStringList &path) const;

    const PageContext &m_context;
    const QStringList &m_remembered;
    Dialogs &m_dialogs;
    QCollator m_collator;
    QStringList m_scratch;
    QModelIndex m_found;
};
