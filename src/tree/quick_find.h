#pragma once
// Quick Find: selects, in the current page's tree, the first node whose path
// of keys (its text and its ancestors' texts) equals the path of the node
// selected last in any page, without regard to letter case.

#include <QCollator>
#include <QStringList>

class Dialogs;
class PageTree;
struct PageContext;

class QuickFind {
public:
    QuickFind(const PageContext &context, const QStringList &rememberedNodePath, Dialogs &dialogs);

    void TBQuickWizardClick();
    // Pre-order from node: a node before its children, and the children only of nodes that are not
    // deeper than the remembered node. Sets the run's found node at the first similar one.
    void SearchSimilarNode(const PageTree *tree, int node);

private:
    bool samePath(const QStringList &path) const;

    const PageContext &m_context;
    const QStringList &m_remembered;
    Dialogs &m_dialogs;
    QCollator m_collator;
    QStringList m_scratch;
    int m_found = -1;
};
