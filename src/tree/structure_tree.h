#pragma once
// The structure tree of a converted text: one node per marked line with a key,
// nested by depth markers. Nodes live in one vector in pre-order, so a node's
// index is its place in index order and LineIndex strictly increases with it.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct TNodeInfo {
    bool IsTable;
    bool IsValue;
    int LineIndex;
};

// Images of the tree image list by node kind.
enum TreeImage {
    ImageTableOpen = 0,
    ImageTableEmpty = 1,
    ImageTableSelected = 2,
    ImageValue = 3,
    ImageValueSelected = 4
};

class StructureTree {
public:
    int nodeCount() const { return static_cast<int>(m_textOf.size()); }
    const QString &text(int node) const {
        return m_texts[static_cast<size_t>(m_textOf[static_cast<size_t>(node)])];
    }
    int parent(int node) const { return m_parent[static_cast<size_t>(node)]; }
    TNodeInfo info(int node) const {
        const bool isValue = m_isValue[static_cast<size_t>(node)];
        return TNodeInfo{!isValue, isValue, m_line[static_cast<size_t>(node)]};
    }
    int imageIndex(int node) const;
    int selectedImageIndex(int node) const;

    int childCount(int node) const;
    int child(int node, int row) const;
    bool hasChildren(int node) const { return childCount(node) > 0; }
    int firstChild(int node) const { return hasChildren(node) ? child(node, 0) : -1; }
    int lastChild(int node) const { return hasChildren(node) ? child(node, childCount(node) - 1) : -1; }
    int nextSibling(int node) const;
    // Position of a node among its parent's children (or among the top-level nodes).
    int row(int node) const;
    int depth(int node) const;

    int topLevelCount() const { return static_cast<int>(m_topLevel.size()); }
    int topLevel(int row) const { return m_topLevel[static_cast<size_t>(row)]; }

    // The node whose LineIndex equals line, or -1. Binary search: LineIndex increases with the index.
    int nodeAtLine(int line) const;
    // The last node whose LineIndex is at most line, or -1 when every node lies after it.
    int lastNodeAtOrBefore(int line) const;

    // Replaces the text a node shows (an in-place key edit); the structure stays.
    void setText(int node, const QString &text);

private:
    friend class StructureTreeBuilder;
    void finish();
    // A new entry of m_texts; its index.
    int addText(const QString &text);

    // Each node's text is an index into m_texts, where a key that many nodes show is held once:
    // a million nodes are then 4 bytes each instead of a string each.
    std::vector<int> m_textOf;
    std::vector<QString> m_texts;
    std::vector<int> m_parent;
    // A node's record is made from these when asked for: a million nodes then take 4 bytes and
    // a bit each, not a padded record of 8 bytes. A node is a table exactly when it is no value.
    std::vector<int> m_line;
    std::vector<bool> m_isValue;
    // Rows are not stored but found among the parent's children, which are in index order.
    // Children of node n are m_children[m_childStart[n] .. m_childStart[n + 1]).
    std::vector<int> m_childStart;
    std::vector<int> m_children;
    std::vector<int> m_topLevel;
};

// Builds a tree one line after the other, in line order, from 0 on (the window's build lets events
// run between lines). Node texts are shared: a key that occurs many times is held once.
class StructureTreeBuilder {
public:
    void addLine(int index, const QString &line);
    // The same for a line held as UTF-8 bytes; the tree is the one of the decoded line.
    void addLineUtf8(int index, QByteArrayView line);
    // The tree of the lines added so far; the builder starts empty again.
    StructureTree finish();

private:
    // text: an index into the tree's texts, -1 for none.
    void addNode(int index, int depth, int text, bool isValue);
    int shared(const QString &key);
    int sharedUtf8(const QByteArray &key);

    StructureTree m_tree;
    std::vector<int> m_lastChild;
    int m_previousDepth = 0;
    int m_current = -1;
    // The tree's texts seen so far, by content; no longer filled past kMaxShared distinct keys.
    QHash<QString, int> m_texts;
    QHash<QByteArray, int> m_textsUtf8;
    QByteArray m_keyUtf8;
};

// Builds the tree from the lines of an editor. afterLine, when given, is called
// with every line index once that line is done (the window pumps events there).
StructureTree BuildStructureTree(int lineCount, const std::function<QString(int)> &lineAt,
                                 const std::function<void(int)> &afterLine = {});
StructureTree BuildStructureTree(const QStringList &lines);
