// libFuzzer target: any text as converted text. The line grammar and the tree
// builder must give what the rules say, step by step, on every line:
// - depth, key, value test and split of each line equal a plain reading of the
//   rules (trim, markers, cut at ":" then "}"), and the UTF-8 forms equal the
//   string forms on the decoded line;
// - the tree has one node per marked line with a key, in line order, each with
//   its line's key and kind, nested by the parent rule (depth 1 goes to the top
//   level, a rise descends one level into the last child, a fall climbs one);
// - the tree's child, row, sibling and line look-ups agree with its parents;
// - building from UTF-8 lines gives the same tree as building from strings.
#include "fuzz_check.h"
#include "tree/line_grammar.h"
#include "tree/structure_tree.h"

#include <QByteArrayList>

#include <cstdint>
#include <vector>

namespace {

bool Blank(QChar c) {
    return c.unicode() <= 32;
}

QString Trimmed(const QString &line) {
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && Blank(line.at(begin)))
        ++begin;
    while (end > begin && Blank(line.at(end - 1)))
        --end;
    return line.mid(begin, end - begin);
}

int RuleDepth(const QString &line) {
    QString text = Trimmed(line);
    int depth = 0;
    while (text.startsWith(QLatin1String("| "))) {
        ++depth;
        text.remove(0, 2);
    }
    return depth;
}

QString RuleKey(const QString &line) {
    QString text = Trimmed(line);
    text.remove(QLatin1String("| "));
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        text.truncate(colon);
    const qsizetype brace = text.indexOf(QLatin1Char('}'));
    if (brace >= 0)
        text.truncate(brace);
    return text;
}

bool RuleIsValue(const QString &line) {
    const QString text = Trimmed(line);
    return !text.isEmpty() && text.endsWith(QLatin1Char(';'));
}

KeyValue RuleSplit(const QString &line) {
    QString text = line;
    text.remove(QLatin1String("| "));
    text.remove(QLatin1Char('{'));
    text.remove(QLatin1Char('}'));
    text = Trimmed(text);
    KeyValue result;
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        result.key = text.left(colon);
        result.value = Trimmed(text.mid(colon + 1));
    } else {
        result.value = text;
    }
    result.value.remove(QLatin1Char('"'));
    result.value.remove(QLatin1Char(';'));
    return result;
}

void CheckLine(const QString &line) {
    const int depth = LineDepth(line);
    const QString key = LineKey(line);
    FUZZ_CHECK(depth == RuleDepth(line));
    FUZZ_CHECK(key == RuleKey(line));
    FUZZ_CHECK(IsValueLine(line) == RuleIsValue(line));
    FUZZ_CHECK(TrimBlanks(line) == Trimmed(line));
    FUZZ_CHECK(!key.contains(QLatin1Char(':')) && !key.contains(QLatin1Char('}')));
    // Without a marker inside it, the key stands in the line as written.
    if (!Trimmed(line).mid(2 * depth).contains(QLatin1String("| ")))
        FUZZ_CHECK(line.contains(key));
    const KeyValue split = SplitKeyValue(line);
    const KeyValue rule = RuleSplit(line);
    FUZZ_CHECK(split.key == rule.key && split.value == rule.value);

    const QByteArray utf8 = line.toUtf8();
    FUZZ_CHECK(LineDepthUtf8(utf8) == depth);
    FUZZ_CHECK(IsValueLineUtf8(utf8) == IsValueLine(line));
    QByteArray keyUtf8 = "stale";
    LineKeyUtf8(utf8, keyUtf8);
    FUZZ_CHECK(QString::fromUtf8(keyUtf8) == key);
}

// The tree as the rules build it, with plain lists.
struct RuleNode {
    QString text;
    int parent;
    int line;
    bool isValue;
};

std::vector<RuleNode> RuleTree(const QStringList &lines) {
    std::vector<RuleNode> nodes;
    std::vector<std::vector<int>> children;
    int previousDepth = 0;
    int current = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const int d = RuleDepth(lines.at(i));
        if (d == 0)
            continue;
        const QString key = RuleKey(lines.at(i));
        if (d == 1)
            current = -1;
        else if (d > previousDepth && current >= 0 && !children[static_cast<size_t>(current)].empty())
            current = children[static_cast<size_t>(current)].back();
        else if (d < previousDepth && current >= 0)
            current = nodes[static_cast<size_t>(current)].parent;
        previousDepth = d;
        int added = -1;
        if (!key.isEmpty()) {
            added = static_cast<int>(nodes.size());
            nodes.push_back(RuleNode{key, current, i, RuleIsValue(lines.at(i))});
            children.emplace_back();
            if (current >= 0)
                children[static_cast<size_t>(current)].push_back(added);
        }
        if (current < 0)
            current = added;
    }
    return nodes;
}

void CheckTreeShape(const StructureTree &tree, int lineCount) {
    int topLevel = 0;
    int children = 0;
    for (int n = 0; n < tree.nodeCount(); ++n) {
        const TNodeInfo &info = tree.info(n);
        FUZZ_CHECK(info.LineIndex >= 0 && info.LineIndex < lineCount);
        FUZZ_CHECK(n == 0 || tree.info(n - 1).LineIndex < info.LineIndex);
        FUZZ_CHECK(info.IsTable != info.IsValue);
        FUZZ_CHECK(tree.nodeAtLine(info.LineIndex) == n);
        FUZZ_CHECK(tree.lastNodeAtOrBefore(info.LineIndex) == n);
        const int p = tree.parent(n);
        FUZZ_CHECK(p >= -1 && p < n);
        if (p < 0) {
            FUZZ_CHECK(tree.topLevel(tree.row(n)) == n);
            FUZZ_CHECK(tree.depth(n) == 0);
            ++topLevel;
        } else {
            FUZZ_CHECK(tree.child(p, tree.row(n)) == n);
            FUZZ_CHECK(tree.depth(n) == tree.depth(p) + 1);
            FUZZ_CHECK(tree.info(p).LineIndex < info.LineIndex);
        }
        children += tree.childCount(n);
        const int next = tree.nextSibling(n);
        if (next >= 0) {
            FUZZ_CHECK(next > n && tree.parent(next) == p && tree.row(next) == tree.row(n) + 1);
        }
        if (tree.hasChildren(n)) {
            FUZZ_CHECK(tree.parent(tree.firstChild(n)) == n && tree.parent(tree.lastChild(n)) == n);
            FUZZ_CHECK(tree.firstChild(n) == n + 1);
        }
        const int image = tree.imageIndex(n);
        FUZZ_CHECK(info.IsValue ? image == ImageValue
                                : image == (tree.hasChildren(n) ? ImageTableOpen : ImageTableEmpty));
    }
    FUZZ_CHECK(topLevel == tree.topLevelCount());
    FUZZ_CHECK(topLevel + children == tree.nodeCount());
}

bool SameTree(const StructureTree &a, const StructureTree &b) {
    if (a.nodeCount() != b.nodeCount())
        return false;
    for (int n = 0; n < a.nodeCount(); ++n) {
        if (a.text(n) != b.text(n) || a.parent(n) != b.parent(n) ||
            a.info(n).LineIndex != b.info(n).LineIndex || a.info(n).IsValue != b.info(n).IsValue)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 64 * 1024)
        return 0; // the rules hold line by line; long inputs only slow the search
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // The editor holds valid text: decode once, so that both forms describe the same lines.
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (const QString &line : lines)
        CheckLine(line);

    const StructureTree tree = BuildStructureTree(lines);
    StructureTreeBuilder builder;
    for (int i = 0; i < lines.size(); ++i)
        builder.addLineUtf8(i, lines.at(i).toUtf8());
    const StructureTree fromUtf8 = builder.finish();
    FUZZ_CHECK(SameTree(tree, fromUtf8));
    CheckTreeShape(tree, static_cast<int>(lines.size()));

    const std::vector<RuleNode> rule = RuleTree(lines);
    FUZZ_CHECK(static_cast<size_t>(tree.nodeCount()) == rule.size());
    for (int n = 0; n < tree.nodeCount(); ++n) {
        const RuleNode &expected = rule[static_cast<size_t>(n)];
        FUZZ_CHECK(tree.text(n) == expected.text);
        FUZZ_CHECK(tree.parent(n) == expected.parent);
        FUZZ_CHECK(tree.info(n).LineIndex == expected.line);
        FUZZ_CHECK(tree.info(n).IsValue == expected.isValue);
    }
    // Every marked line with a key has its node; no other line has one.
    for (int i = 0; i < lines.size(); ++i) {
        const bool hasNode = LineDepth(lines.at(i)) > 0 && !LineKey(lines.at(i)).isEmpty();
        FUZZ_CHECK((tree.nodeAtLine(i) >= 0) == hasNode);
    }
    return 0;
}
