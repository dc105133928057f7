// Quick Find against the real window: pages opened through the test converter, the path of the
// node selected last in one page looked for in another.

#include "document/document_fixture.h"

#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QMenu>
#include <QTabWidget>
#include <QTest>

namespace {

// A converted text from lines of "depth key" or "depth key;" (a value): dots give the depth.
QByteArray Text(const QStringList &nodes) {
    QByteArray text = "root\r\n{\r\n";
    QList<int> open;
    const auto closeTo = [&](int depth) {
        while (!open.isEmpty() && open.last() >= depth) {
            text += QByteArray("| ").repeated(open.last()) + "}\r\n";
            open.removeLast();
        }
    };
    for (const QString &node : nodes) {
        const int depth = static_cast<int>(node.indexOf(QRegularExpression(QStringLiteral("[^.]")))) + 1;
        closeTo(depth);
        const QByteArray key = node.mid(depth - 1).toLatin1();
        if (key.endsWith(';')) {
            text += QByteArray("| ").repeated(depth) + key.chopped(1) + ": 1;\r\n";
        } else {
            text += QByteArray("| ").repeated(depth) + key + ": {\r\n";
            open << depth;
        }
    }
    closeTo(1);
    return text + "}\r\n";
}

QString PathOf(PageTree *tree, int node) {
    QStringList path;
    for (int n = node; n >= 0; n = tree->structure().parent(n))
        path << tree->structure().text(n);
    return path.join(QLatin1Char('/'));
}

class QuickFindFixture : public DocumentFixture {
public:
    // Page 0 holds the remembered node, page 1 is searched.
    QuickFindFixture(const QStringList &from, const QStringList &in) {
        open({writeRbf(QStringLiteral("from"), Text(from)), writeRbf(QStringLiteral("in"), Text(in))});
    }
    // Selects the node with this path in page 0, then makes page 1 the page in use.
    void remember(const QString &path) {
        PageTree *from = tree(0);
        for (int n = 0; n < from->structure().nodeCount(); ++n) {
            if (PathOf(from, n) == path) {
                from->selectNode(-1); // a change of selection also when the node is selected already
                from->selectNode(n);
                break;
            }
        }
        window().PC->setCurrentIndex(1);
        SelectPageContext(window().context(), window().PC, 1);
        dialogs().clear();
    }
    QString found() { return PathOf(tree(1), tree(1)->selectedNode()); }
};

} // namespace

class QuickFindTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstOfEqualSiblingsWinsAndTheEditorFollows() {
        QuickFindFixture f({"unit", ".engine", "..speed;"}, {"other;", "unit", ".engine", "..weight;",
                                                             "..speed;", "..speed;", ".engine", "..speed;"});
        f.remember(QStringLiteral("speed/engine/unit"));
        QCOMPARE(f.window().RememberedNodePath, (QStringList{"speed", "engine", "unit"}));
        QTest::keyClick(f.editor(1), Qt::Key_F4);
        QCOMPARE(f.tree(1)->selectedNode(), 4);
        // The selection change ran as usual: the editor shows the key, the path is recorded again.
        QCOMPARE(f.editor(1)->selectedText8(), QStringLiteral("speed"));
        QCOMPARE(f.editor(1)->caretLine(), f.tree(1)->structure().info(4).LineIndex);
        QVERIFY(f.dialogs().calls.isEmpty());
    }

    void aDifferentParentOrDepthIsNotSimilar() {
        QuickFindFixture f({"unit", ".engine", "..speed;"},
                           {"unit", ".weapon", "..speed;", ".engine", "..inner", "...speed;", "speed;",
                            "engine", ".speed;", "part", ".unit", "..engine", "...speed;"});
        f.remember(QStringLiteral("speed/engine/unit"));
        f.tree(1)->selectNode(1);
        f.window().RememberedNodePath = {"speed", "engine", "unit"};
        f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(f.dialogs().texts(QStringLiteral("info")),
                 QStringList{QStringLiteral("No similiar tree item")});
        QCOMPARE(f.tree(1)->selectedNode(), 1);
        QCOMPARE(f.window().RememberedNodePath, (QStringList{"speed", "engine", "unit"}));
    }

    void letterCaseDoesNotMatter() {
        QuickFindFixture f({"Unit", ".ENGINE", "..Äpfel;"}, {"x;", "UNIT", ".engine", "..äPFEL;"});
        f.remember(QString::fromUtf8("Äpfel/ENGINE/Unit"));
        f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(f.found(), QString::fromUtf8("äPFEL/engine/UNIT"));
        QVERIFY(f.dialogs().calls.isEmpty());
    }

    void inTheRememberedPageTheFirstEqualPathWins() {
        QuickFindFixture f({"a", ".b;", "a", ".b;"}, {"z;"});
        PageTree *tree = f.tree(0);
        tree->selectNode(3); // the second a/b
        f.window().PC->setCurrentIndex(0);
        SelectPageContext(f.window().context(), f.window().PC, 0);
        f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(tree->selectedNode(), 1);
        // Found where it is selected already: nothing changes, nothing is shown.
        f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(tree->selectedNode(), 1);
        QVERIFY(f.dialogs().calls.isEmpty());
    }

    void entriesAreComparedOneByOne() {
        // Joined without separators, "a" under "b" would read like the top-level "ab".
        QuickFindFixture f({"ab;"}, {"b", ".a;", "ab;"});
        f.remember(QStringLiteral("ab"));
        QCOMPARE(f.window().RememberedNodePath, QStringList{QStringLiteral("ab")});
        f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(f.tree(1)->selectedNode(), 2);
    }

    void nothingRememberedOrNoPageDoesNothing() {
        QuickFindFixture f({"unit", ".speed;"}, {"unit", ".speed;"});
        f.remember(QStringLiteral("speed/unit"));
        // A right click on an empty area of a tree clears its selection and the remembered path.
        PageTree *tree = f.tree(1);
        tree->selectNode(0);
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, QPoint(10, tree->viewport()->height() - 5));
        if (f.window().PMTreeView->isVisible())
            f.window().PMTreeView->close();
        QCOMPARE(tree->selectedNode(), -1);
        QVERIFY(f.window().RememberedNodePath.isEmpty());
        f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(tree->selectedNode(), -1);
        QVERIFY(f.dialogs().calls.isEmpty());

        f.window().RememberedNodePath = {"speed", "unit"};
        ClearPageContext(f.window().context());
        f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(tree->selectedNode(), -1);
        QVERIFY(f.dialogs().calls.isEmpty());
    }
};

QTEST_MAIN(QuickFindTest)
#include "quick_find_test.moc"
