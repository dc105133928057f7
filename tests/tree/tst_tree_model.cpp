// The item model over a structure tree.

#include "tree/structure_tree.h"
#include "tree/structure_tree_model.h"

#include <QAbstractItemModelTester>
#include <QIcon>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList Lines() {
    return {
        QStringLiteral("unit"),         QStringLiteral("| alpha: {"),     QStringLiteral("| | speed: 2.5;"),
        QStringLiteral("| | inner: {"), QStringLiteral("| | | deep: 1;"), QStringLiteral("| | }"),
        QStringLiteral("| }"),          QStringLiteral("| beta: 7;"),     QStringLiteral("| gamma: {"),
        QStringLiteral("| }"),          QStringLiteral("| | lost: 1;")};
}

} // namespace

class TestTreeModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void passesTheModelTester();
    void presentsNodes();
    void leavesNeverHaveChildren();
    void oneResetPerTree();
    void editRenamesAfterTheHandler();
};

void TestTreeModel::passesTheModelTester() {
    StructureTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setTree(BuildStructureTree(Lines()));
    model.setData(model.indexOfNode(1), QStringLiteral("renamed"));
    model.clear();
    model.setTree(BuildStructureTree(Lines()));
    QCOMPARE(model.rowCount(), 4);
}

void TestTreeModel::presentsNodes() {
    StructureTreeModel model;
    model.setTree(BuildStructureTree(Lines()));
    const StructureTree &tree = model.tree();
    QCOMPARE(tree.nodeCount(), 7);
    for (int node = 0; node < tree.nodeCount(); ++node) {
        const QModelIndex index = model.indexOfNode(node);
        QCOMPARE(StructureTreeModel::nodeOf(index), node);
        QCOMPARE(index.data().toString(), tree.text(node));
        QCOMPARE(index.row(), tree.row(node));
        QCOMPARE(StructureTreeModel::nodeOf(index.parent()), tree.parent(node));
        QVERIFY(!index.data(Qt::DecorationRole).value<QIcon>().isNull());
    }
    // The depth-2 line after the depth-1 closing line is a top-level node.
    QCOMPARE(model.index(3, 0).data().toString(), QStringLiteral("lost"));
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("alpha"));
    QCOMPARE(model.rowCount(model.index(0, 0)), 2);
    QVERIFY(!model.indexOfNode(-1).isValid());
    QVERIFY(!model.indexOfNode(7).isValid());
    QCOMPARE(StructureTreeModel::nodeOf(QModelIndex()), -1);
}

void TestTreeModel::leavesNeverHaveChildren() {
    StructureTreeModel model;
    model.setTree(BuildStructureTree(Lines()));
    const StructureTree &tree = model.tree();
    for (int node = 0; node < tree.nodeCount(); ++node) {
        const Qt::ItemFlags flags = model.flags(model.indexOfNode(node));
        QCOMPARE(bool(flags & Qt::ItemNeverHasChildren), !tree.hasChildren(node));
        QVERIFY(flags & Qt::ItemIsEditable);
        QVERIFY(flags & Qt::ItemIsSelectable);
    }
}

void TestTreeModel::oneResetPerTree() {
    StructureTreeModel model;
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    model.setTree(BuildStructureTree(Lines()));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(inserts.count(), 0);
}

void TestTreeModel::editRenamesAfterTheHandler() {
    StructureTreeModel model;
    model.setTree(BuildStructureTree(Lines()));
    QStringList seen;
    model.EditHandler = [&](int node, const QString &text) {
        // While the handler runs the node still has its old text.
        seen << model.tree().text(node) << text;
    };
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.indexOfNode(1), QStringLiteral("velocity")));
    // Nothing happens inside the view's commit.
    QVERIFY(seen.isEmpty());
    QCOMPARE(model.tree().text(1), QStringLiteral("speed"));
    QTRY_COMPARE(changed.count(), 1);
    QCOMPARE(seen, (QStringList{QStringLiteral("speed"), QStringLiteral("velocity")}));
    QCOMPARE(model.tree().text(1), QStringLiteral("velocity"));
    // Only the text changes: the node keeps its line and place.
    QCOMPARE(model.tree().info(1).LineIndex, 2);
    QCOMPARE(model.tree().nodeCount(), 7);

    // A handler that replaces the tree (events ran in it) leaves the new tree alone.
    bool replaced = false;
    model.EditHandler = [&](int, const QString &) {
        model.setTree(BuildStructureTree(Lines()));
        replaced = true;
    };
    QVERIFY(model.setData(model.indexOfNode(1), QStringLiteral("other")));
    QTRY_VERIFY(replaced);
    QCOMPARE(model.tree().text(1), QStringLiteral("speed"));
    // An edit committed before a new tree came does not reach the new tree.
    model.EditHandler = [&](int, const QString &) { QFAIL("handler of an old tree"); };
    QVERIFY(model.setData(model.indexOfNode(1), QStringLiteral("stale")));
    model.setTree(BuildStructureTree(Lines()));
    QTest::qWait(10);
    QCOMPARE(model.tree().text(1), QStringLiteral("speed"));
    QVERIFY(!model.setData(model.indexOfNode(1), QStringLiteral("x"), Qt::DisplayRole));
}

QTEST_MAIN(TestTreeModel)
#include "tst_tree_model.moc"
