// Quick Find against the real window, over a tree model built in the test.

#include "editor/test_pages.h"
#include "support/window_fixture.h"
#include "tree/page_tree.h"
#include "tree/quick_find.h"

#include <QStandardItemModel>
#include <QtTest>

namespace {

// Records the nodes whose text the search read, to show which nodes it visited.
class RecordingModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;
    mutable QStringList read;
    QVariant data(const QModelIndex &index, int role) const override {
        const QVariant value = QStandardItemModel::data(index, role);
        if (role == Qt::DisplayRole)
            read << value.toString();
        return value;
    }
};

// Builds nodes from lines "depth text" (depth as leading dots) in pre-order.
void fill(QStandardItemModel *model, const QStringList &lines) {
    QList<QStandardItem *> parents;
    for (const QString &line : lines) {
        const int depth = static_cast<int>(line.indexOf(QRegularExpression(QStringLiteral("[^.]"))));
        auto *item = new QStandardItem(line.mid(depth));
        parents.resize(depth);
        (depth == 0 ? model->invisibleRootItem() : parents.last())->appendRow(item);
        parents << item;
    }
}

QString selectedPath(PageTree *tree) {
    QStringList path;
    QuickFind::PathOf(tree->currentIndex(), path);
    return path.join(QLatin1Char('/'));
}

} // namespace

class QuickFindTest : public QObject {
    Q_OBJECT

private:
    struct Setup {
        WindowFixture f;
        RecordingModel *model = nullptr;
        PageTree *tree = nullptr;
        Setup(const QStringList &lines, const QStringList &remembered) {
            Page *page = AddTextPage(f.window(), QString());
            model = new RecordingModel(page);
            fill(model, lines);
            tree = page->tree();
            tree->setModel(model);
            f.window().RememberedNodePath = remembered;
            model->read.clear();
        }
    };

private Q_SLOTS:
    void firstOfEqualSiblingsWins() {
        Setup s({"unit", ".engine", "..speed", "..speed", ".engine", "..speed"}, {"speed", "engine", "unit"});
        s.f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(s.tree->currentIndex(), s.model->index(0, 0, s.model->index(0, 0, s.model->index(0, 0))));
        QVERIFY(s.f.dialogs.calls.isEmpty());
    }

    void aDifferentParentOrDepthIsNotSimilar() {
        Setup s(
            {"unit", ".weapon", "..speed", "..engine", "...speed", "speed", "other", ".engine", "..speed"},
            {"speed", "engine", "unit"});
        const QModelIndex before = s.model->index(1, 0);
        s.tree->setCurrentIndex(before);
        s.f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(s.f.dialogs.texts(QStringLiteral("info")),
                 QStringList{QStringLiteral("No similiar tree item")});
        QCOMPARE(s.tree->currentIndex(), before);
        QCOMPARE(s.f.window().RememberedNodePath, (QStringList{"speed", "engine", "unit"}));
    }

    void letterCaseDoesNotMatter() {
        Setup s({"Unit", ".ENGINE", "..Speed"}, {"speed", "engine", "unit"});
        QSignalSpy changes(s.tree->selectionModel(), &QItemSelectionModel::currentChanged);
        s.f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(selectedPath(s.tree), QStringLiteral("Speed/ENGINE/Unit"));
        QCOMPARE(changes.size(), 1);
        // Found again where it is already selected: no selection change.
        s.f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(changes.size(), 1);
        QVERIFY(s.f.dialogs.calls.isEmpty());
    }

    void entriesAreComparedOneByOne() {
        // Joined without separators "ab" would equal "a" under "b".
        Setup s({"b", ".a", "ab"}, {"ab"});
        s.f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(s.tree->currentIndex(), s.model->index(1, 0));
    }

    void nodesDeeperThanTheRememberedOneAreNotEntered() {
        Setup s({"a", ".a1", "..a11", "...a111", ".a2", "b", ".b1", "..b11", "top"}, {"top"});
        s.f.window().click(QStringLiteral("TBQuickWizard"));
        QCOMPARE(s.tree->currentIndex(), s.model->index(2, 0));
        // Top-level nodes and their children are compared, nothing deeper.
        for (const char *deep : {"a11", "a111", "b11"})
            QVERIFY2(!s.model->read.contains(QLatin1String(deep)), deep);
        QVERIFY(s.model->read.contains(QStringLiteral("a2")));
        QVERIFY(s.model->read.contains(QStringLiteral("b1")));
    }

    void missingPreconditionsDoNothing() {
        {
            Setup s({"a"}, {});
            s.f.window().click(QStringLiteral("TBQuickWizard"));
            QVERIFY(!s.tree->currentIndex().isValid());
            QVERIFY(s.f.dialogs.calls.isEmpty());
        }
        {
            Setup s({}, {"a"});
            s.f.window().click(QStringLiteral("TBQuickWizard"));
            QVERIFY(s.f.dialogs.calls.isEmpty());
        }
        {
            Setup s({"a"}, {"a"});
            ClearPageContext(s.f.window().context());
            QTest::keyClick(&s.f.window(), Qt::Key_F4);
            QVERIFY(!s.tree->currentIndex().isValid());
            QVERIFY(s.f.dialogs.calls.isEmpty());
            SelectPageContext(s.f.window().context(), s.f.window().PC, 0);
            QTest::keyClick(&s.f.window(), Qt::Key_F4);
            QCOMPARE(s.tree->currentIndex(), s.model->index(0, 0));
        }
    }
};

QTEST_MAIN(QuickFindTest)
#include "quick_find_test.moc"
