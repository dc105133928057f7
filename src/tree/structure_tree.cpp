#include "tree/structure_tree.h"

#include "tree/line_grammar.h"

#include <algorithm>

namespace {
// Distinct texts the builder shares. Real texts use a few hundred keys over and over; a text
// with more (every key its own, say) stops being looked up once this many are held.
constexpr qsizetype kMaxShared = 1 << 16;
} // namespace

void StructureTreeBuilder::addLine(int index, const QString &line) {
    const int depth = LineDepth(line);
    if (depth == 0)
        return;
    const QString key = LineKey(line);
    if (key.isEmpty()) {
        addNode(index, depth, -1, false);
        return;
    }
    addNode(index, depth, shared(key), IsValueLine(line));
}

void StructureTreeBuilder::addLineUtf8(int index, QByteArrayView line) {
    const int depth = LineDepthUtf8(line);
    if (depth == 0)
        return;
    LineKeyUtf8(line, m_keyUtf8);
    if (m_keyUtf8.isEmpty()) {
        addNode(index, depth, -1, false);
        return;
    }
    addNode(index, depth, sharedUtf8(m_keyUtf8), IsValueLineUtf8(line));
}

int StructureTreeBuilder::shared(const QString &key) {
    if (m_texts.size() >= kMaxShared)
        return m_tree.addText(key);
    const auto found = m_texts.constFind(key);
    if (found != m_texts.constEnd())
        return found.value();
    const int text = m_tree.addText(key);
    m_texts.insert(key, text);
    return text;
}

int StructureTreeBuilder::sharedUtf8(const QByteArray &key) {
    if (m_textsUtf8.size() >= kMaxShared)
        return m_tree.addText(QString::fromUtf8(key));
    const auto found = m_textsUtf8.constFind(key);
    if (found != m_textsUtf8.constEnd())
        return found.value();
    const int text = m_tree.addText(QString::fromUtf8(key));
    m_textsUtf8.insert(key, text);
    return text;
}

// One marked line; text is -1 for a line whose key is empty. The parent rule climbs one level at most.
void StructureTreeBuilder::addNode(int index, int depth, int text, bool isValue) {
    if (depth == 1) {
        m_current = -1;
    } else if (depth > m_previousDepth && m_current >= 0 &&
               m_lastChild[static_cast<size_t>(m_current)] >= 0) {
        m_current = m_lastChild[static_cast<size_t>(m_current)];
    } else if (depth < m_previousDepth && m_current >= 0) {
        m_current = m_tree.m_parent[static_cast<size_t>(m_current)];
    }
    m_previousDepth = depth;
    int added = -1;
    if (text >= 0) {
        added = m_tree.nodeCount();
        m_tree.m_textOf.push_back(text);
        m_tree.m_parent.push_back(m_current);
        m_tree.m_line.push_back(index);
        m_tree.m_isValue.push_back(isValue);
        m_lastChild.push_back(-1);
        if (m_current >= 0)
            m_lastChild[static_cast<size_t>(m_current)] = added;
    }
    if (m_current < 0)
        m_current = added;
}

StructureTree StructureTreeBuilder::finish() {
    // A load's memory peaks here: the builder's own bookkeeping goes, and the node arrays give up
    // the spare room of their growth, before the finished tree's arrays are made.
    std::vector<int>().swap(m_lastChild);
    m_tree.m_textOf.shrink_to_fit();
    m_tree.m_parent.shrink_to_fit();
    m_tree.m_line.shrink_to_fit();
    m_tree.m_isValue.shrink_to_fit();
    m_tree.finish();
    StructureTree tree = std::move(m_tree);
    *this = StructureTreeBuilder();
    return tree;
}

int StructureTree::addText(const QString &text) {
    m_texts.push_back(text);
    return static_cast<int>(m_texts.size()) - 1;
}

void StructureTree::setText(int node, const QString &text) {
    m_textOf[static_cast<size_t>(node)] = addText(text);
}

void StructureTree::finish() {
    const size_t n = m_textOf.size();
    // Children counted per parent, then placed in index order with m_childStart[p] as the cursor
    // of p, which leaves each start one parent too far: shifted back at the end.
    m_childStart.assign(n + 1, 0);
    m_topLevel.clear();
    for (size_t i = 0; i < n; ++i) {
        const int p = m_parent[i];
        if (p < 0)
            m_topLevel.push_back(static_cast<int>(i));
        else
            ++m_childStart[static_cast<size_t>(p) + 1];
    }
    for (size_t i = 0; i < n; ++i)
        m_childStart[i + 1] += m_childStart[i];
    m_children.assign(static_cast<size_t>(m_childStart[n]), 0);
    for (size_t i = 0; i < n; ++i) {
        const int p = m_parent[i];
        if (p >= 0)
            m_children[static_cast<size_t>(m_childStart[static_cast<size_t>(p)]++)] = static_cast<int>(i);
    }
    for (size_t i = n; i > 0; --i)
        m_childStart[i] = m_childStart[i - 1];
    m_childStart[0] = 0;
}

int StructureTree::row(int node) const {
    const int p = parent(node);
    const auto first = p < 0 ? m_topLevel.begin() : m_children.begin() + m_childStart[static_cast<size_t>(p)];
    const auto last =
        p < 0 ? m_topLevel.end() : m_children.begin() + m_childStart[static_cast<size_t>(p) + 1];
    return static_cast<int>(std::lower_bound(first, last, node) - first);
}

int StructureTree::childCount(int node) const {
    const auto n = static_cast<size_t>(node);
    return m_childStart[n + 1] - m_childStart[n];
}

int StructureTree::child(int node, int row) const {
    return m_children[static_cast<size_t>(m_childStart[static_cast<size_t>(node)] + row)];
}

int StructureTree::nextSibling(int node) const {
    const int p = parent(node);
    const int next = row(node) + 1;
    if (p < 0)
        return next < topLevelCount() ? topLevel(next) : -1;
    return next < childCount(p) ? child(p, next) : -1;
}

int StructureTree::depth(int node) const {
    int d = 0;
    for (int p = parent(node); p >= 0; p = parent(p))
        ++d;
    return d;
}

int StructureTree::imageIndex(int node) const {
    if (!info(node).IsTable)
        return ImageValue;
    return hasChildren(node) ? ImageTableOpen : ImageTableEmpty;
}

int StructureTree::selectedImageIndex(int node) const {
    if (!info(node).IsTable)
        return ImageValueSelected;
    return hasChildren(node) ? ImageTableSelected : ImageTableEmpty;
}

int StructureTree::lastNodeAtOrBefore(int line) const {
    const auto it = std::upper_bound(m_line.begin(), m_line.end(), line);
    if (it == m_line.begin())
        return -1;
    return static_cast<int>(it - m_line.begin()) - 1;
}

int StructureTree::nodeAtLine(int line) const {
    const int node = lastNodeAtOrBefore(line);
    return node >= 0 && info(node).LineIndex == line ? node : -1;
}

StructureTree BuildStructureTree(int lineCount, const std::function<QString(int)> &lineAt,
                                 const std::function<void(int)> &afterLine) {
    StructureTreeBuilder builder;
    for (int i = 0; i < lineCount; ++i) {
        builder.addLine(i, lineAt(i));
        if (afterLine)
            afterLine(i);
    }
    return builder.finish();
}

StructureTree BuildStructureTree(const QStringList &lines) {
    return BuildStructureTree(static_cast<int>(lines.size()), [&lines](int i) { return lines.at(i); });
}
