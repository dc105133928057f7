#pragma once
// The item model of a page's structure tree: presentation over a StructureTree
// whose nodes live in one vector in pre-order. A model index's internal id is
// the node's index, so node-by-index and index-by-node are O(1). One model
// reset per build; leaves say they never have children, which keeps Qt's
// persistent-index bookkeeping cheap on trees of many thousand leaves.

#include "tree/structure_tree.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <functional>

class StructureTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit StructureTreeModel(QObject *parent = nullptr);

    // The longest key edited in place: the most a line edit holds.
    static constexpr int kMaxEditableLength = 32767;

    const StructureTree &tree() const { return m_tree; }
    // Replaces every node in one reset.
    void setTree(StructureTree tree);
    void clear() { setTree(StructureTree()); }

    QModelIndex indexOfNode(int node) const;
    // The node of an index, -1 for the invalid index.
    static int nodeOf(const QModelIndex &index);

    // Runs when an in-place edit of a node's text is accepted, while the node
    // still shows its old text; the node takes the new text afterwards. Both
    // happen once the view has finished committing the edit.
    std::function<void(int node, const QString &text)> EditHandler;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    StructureTree m_tree;
    quint64 m_generation = 0;
    // Image and selected image of each node kind, by image index.
    QIcon m_icons[3];
};
