// The folder tree over the real file system: selection by path through folders
// that load in the background, selection order, and a refresh that keeps state.

#include "ui/folder_tree.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

class TestFolderTree : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString root() const { return m_dir.path(); }

    void touch(const QString &relative) {
        const QString path = root() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }

    // True when the item is inside the visible part of the view.
    static bool shown(FolderTree &tree, const QString &path) {
        const QRect rect = tree.visualRect(tree.fileModel()->index(path));
        return rect.isValid() && tree.viewport()->rect().contains(rect.center());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // Enough siblings that the target is far down once its folder has loaded and sorted.
        for (int i = 0; i < 60; ++i)
            touch(QStringLiteral("deep/a/b/file%1.rbf").arg(i, 2, 10, QLatin1Char('0')));
        touch(QStringLiteral("deep/a/b/zz last.rbf"));
        touch(QStringLiteral("deep/a/.hidden.rbf"));
        for (int i = 0; i < 40; ++i)
            QDir().mkpath(root() + QStringLiteral("/deep/folder%1").arg(i, 2, 10, QLatin1Char('0')));
    }

    void settings() {
        FolderTree tree;
        QVERIFY(tree.fileModel()->rootPath().isEmpty() || tree.fileModel()->rootPath() == QLatin1String("/"));
        QVERIFY(tree.fileModel()->filter() & QDir::Hidden);
        QVERIFY(tree.fileModel()->testOption(QFileSystemModel::DontWatchForChanges));
        QCOMPARE(tree.indentation(), 19);
        QVERIFY(tree.isHeaderHidden());
    }

    void selectPathWaitsForEveryFolderOnTheWay() {
        FolderTree tree;
        tree.resize(300, 200);
        tree.show();
        const QString target = root() + QStringLiteral("/deep/a/b/zz last.rbf");
        tree.selectPath(target);
        QVERIFY(tree.waitUntilSettled());
        QCOMPARE(tree.selectedPaths(), QStringList{target});
        QCOMPARE(tree.selectedPath(), target);
        QVERIFY(tree.isExpanded(tree.fileModel()->index(root() + QStringLiteral("/deep/a/b"))));
        QVERIFY(tree.isExpanded(tree.fileModel()->index(root() + QStringLiteral("/deep"))));
        // The last of 61 sorted files: only on screen if the view followed the row after sorting.
        QCoreApplication::processEvents();
        QVERIFY(shown(tree, target));
        // A second selection in folders that have loaded already is settled at once.
        tree.selectPath(root() + QStringLiteral("/deep/a/b/file00.rbf"));
        QVERIFY(tree.isSettled());
        QCOMPARE(tree.selectedPaths(), QStringList{root() + QStringLiteral("/deep/a/b/file00.rbf")});
    }

    // Rows that arrive above the selected item after its folders have loaded (a folder above
    // still filling) leave it at the top of the view, until the user scrolls the tree himself.
    void selectedItemStaysAtTheTopUntilTheUserScrolls() {
        for (int i = 0; i < 30; ++i) {
            touch(QStringLiteral("follow/a/above%1.rbf").arg(i, 2, 10, QLatin1Char('0')));
            touch(QStringLiteral("follow/a2/above%1.rbf").arg(i, 2, 10, QLatin1Char('0')));
            touch(QStringLiteral("follow/b/file%1.rbf").arg(i, 2, 10, QLatin1Char('0')));
        }
        FolderTree tree;
        tree.resize(300, 300);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        const QString target = root() + QStringLiteral("/follow/b/file05.rbf");
        const auto topOfView = [&] { return tree.visualRect(tree.fileModel()->index(target)).top(); };
        const auto expandAndLoad = [&](const QString &folder) {
            const QModelIndex index = tree.fileModel()->index(root() + folder);
            tree.expand(index);
            QTRY_COMPARE(tree.fileModel()->rowCount(index), 30);
            QTest::qWait(20); // the follow-up runs once the burst of rows is in
        };
        tree.selectPath(target);
        QVERIFY(tree.waitUntilSettled());
        QTRY_COMPARE(topOfView(), 0);
        expandAndLoad(QStringLiteral("/follow/a"));
        QCOMPARE(topOfView(), 0);
        QWheelEvent wheel(QPointF(10, 10), tree.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(tree.viewport(), &wheel);
        const int scrolled = topOfView();
        QVERIFY(scrolled != 0);
        expandAndLoad(QStringLiteral("/follow/a2"));
        QCOMPARE(topOfView(), scrolled + 30 * tree.visualRect(tree.fileModel()->index(target)).height());
    }

    // Listing a folder must never read its files (a read of /proc/kmsg or of a file on a hung
    // share never ends): a file whose content says PDF but whose name says nothing is typed by
    // its name.
    void typesComeFromNamesNotContents() {
        const QString file = root() + QStringLiteral("/sniff/report");
        QDir().mkpath(root() + QStringLiteral("/sniff"));
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n");
        pdf.close();
        FolderTree tree;
        tree.selectPath(file);
        QVERIFY(tree.waitUntilSettled());
        const QModelIndex index = tree.fileModel()->index(file);
        QTRY_VERIFY(!tree.fileModel()->type(index).isEmpty());
        QVERIFY2(!tree.fileModel()->type(index).contains(QLatin1String("PDF")),
                 qPrintable(tree.fileModel()->type(index)));
        QCOMPARE(tree.fileModel()->type(tree.fileModel()->index(root() + QStringLiteral("/sniff"))),
                 QStringLiteral("Folder"));
    }

    void hiddenItemsAreListed() {
        FolderTree tree;
        tree.selectPath(root() + QStringLiteral("/deep/a/.hidden.rbf"));
        QVERIFY(tree.waitUntilSettled());
        QCOMPARE(tree.selectedPaths(), QStringList{root() + QStringLiteral("/deep/a/.hidden.rbf")});
        const QModelIndex folder = tree.fileModel()->index(root() + QStringLiteral("/deep/a"));
        QStringList names;
        for (int row = 0; row < tree.fileModel()->rowCount(folder); ++row)
            names << tree.fileModel()->index(row, 0, folder).data().toString();
        QVERIFY(names.contains(QStringLiteral(".hidden.rbf")));
    }

    void missingPathKeepsTheSelection() {
        FolderTree tree;
        const QString file = root() + QStringLiteral("/deep/a/b/file01.rbf");
        tree.selectPath(file);
        tree.selectPath(root() + QStringLiteral("/deep/no such folder/x.rbf"));
        QCOMPARE(tree.selectedPaths(), QStringList{file});
    }

    void selectionOrderIsTheOrderOfClicks() {
        FolderTree tree;
        tree.setSelectionMode(QAbstractItemView::ExtendedSelection); // as the window makes it
        tree.resize(400, 1200);
        tree.show();
        const QString folder = root() + QStringLiteral("/deep/a/b/");
        tree.selectPath(folder + QStringLiteral("file05.rbf"));
        QVERIFY(tree.waitUntilSettled());
        QCoreApplication::processEvents();
        // The selected item is at the top: the user scrolls up to the folder's first files.
        tree.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        auto clickOn = [&](const QString &name, Qt::KeyboardModifiers modifiers) {
            const QRect rect = tree.visualRect(tree.fileModel()->index(folder + name));
            QVERIFY(rect.isValid());
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, modifiers, rect.center());
        };
        clickOn(QStringLiteral("file07.rbf"), Qt::ControlModifier);
        clickOn(QStringLiteral("file03.rbf"), Qt::ControlModifier);
        // Ctrl-click on a selected item deselects it and drops it from the order.
        clickOn(QStringLiteral("file07.rbf"), Qt::ControlModifier);
        clickOn(QStringLiteral("file02.rbf"), Qt::ControlModifier);
        QCOMPARE(tree.selectedPaths(),
                 (QStringList{folder + QStringLiteral("file05.rbf"), folder + QStringLiteral("file03.rbf"),
                              folder + QStringLiteral("file02.rbf")}));
        // Shift-click adds the range from the item clicked last (Qt keeps Ctrl-selected items).
        clickOn(QStringLiteral("file04.rbf"), Qt::ShiftModifier);
        QStringList range = tree.selectedPaths();
        range.sort();
        QCOMPARE(range,
                 (QStringList{folder + QStringLiteral("file02.rbf"), folder + QStringLiteral("file03.rbf"),
                              folder + QStringLiteral("file04.rbf"), folder + QStringLiteral("file05.rbf")}));
        // A right click selects the item under it alone.
        clickOn(QStringLiteral("file09.rbf"), Qt::NoModifier);
        const QRect rect = tree.visualRect(tree.fileModel()->index(folder + QStringLiteral("file11.rbf")));
        QTest::mouseClick(tree.viewport(), Qt::RightButton, Qt::NoModifier, rect.center());
        QCOMPARE(tree.selectedPaths(), QStringList{folder + QStringLiteral("file11.rbf")});
        tree.clearSelectedItems();
        QVERIFY(tree.selectedPaths().isEmpty());
        QVERIFY(tree.selectedPath().isEmpty());
    }

    void selectPathsSelectsExactlyThem() {
        FolderTree tree;
        const QString folder = root() + QStringLiteral("/deep/a/b/");
        tree.selectPath(folder + QStringLiteral("file01.rbf"));
        const QStringList wanted = {folder + QStringLiteral("file09.rbf"),
                                    folder + QStringLiteral("file03.rbf")};
        tree.selectPaths(wanted + QStringList{folder + QStringLiteral("gone.rbf")});
        QCOMPARE(tree.selectedPaths(), wanted);
        QCOMPARE(tree.selectedPath(), wanted.last());
    }

    void refreshKeepsExpandedSelectedAndTop() {
        FolderTree tree;
        tree.resize(300, 200);
        tree.show();
        const QString folder = root() + QStringLiteral("/deep/a/b/");
        tree.selectPath(folder + QStringLiteral("file30.rbf"));
        QVERIFY(tree.waitUntilSettled());
        tree.expand(tree.fileModel()->index(root() + QStringLiteral("/deep/folder05")));
        tree.selectPaths({folder + QStringLiteral("file31.rbf"), folder + QStringLiteral("file30.rbf")});
        QCoreApplication::processEvents();
        tree.scrollTo(tree.fileModel()->index(folder + QStringLiteral("file20.rbf")),
                      QAbstractItemView::PositionAtTop);
        const QString top = tree.topItemPath();
        QCOMPARE(top, folder + QStringLiteral("file20.rbf"));
        const QStringList expanded = tree.expandedPaths();
        QVERIFY(expanded.contains(root() + QStringLiteral("/deep/folder05")));
        QFileSystemModel *before = tree.fileModel();

        // Something changes on disk; the tree does not watch, so only a refresh shows it.
        touch(QStringLiteral("deep/a/b/file20b.rbf"));
        QDir(root() + QStringLiteral("/deep/folder05")).removeRecursively();

        tree.refresh();
        QVERIFY(tree.fileModel() != before);
        QVERIFY(tree.waitUntilSettled());
        QCoreApplication::processEvents();
        QCOMPARE(tree.selectedPaths(),
                 (QStringList{folder + QStringLiteral("file31.rbf"), folder + QStringLiteral("file30.rbf")}));
        QCOMPARE(tree.selectedPath(), folder + QStringLiteral("file30.rbf"));
        QCOMPARE(tree.topItemPath(), top);
        QStringList expect = expanded;
        expect.removeAll(root() + QStringLiteral("/deep/folder05"));
        QCOMPARE(tree.expandedPaths(), expect);
        QVERIFY(tree.fileModel()->index(folder + QStringLiteral("file20b.rbf")).isValid());
        QVERIFY(!tree.fileModel()->index(root() + QStringLiteral("/deep/folder05")).isValid());
    }

    void signalsOpenOnEnterReleaseAndDoubleClick() {
        FolderTree tree;
        tree.resize(300, 400);
        tree.show();
        const QString file = root() + QStringLiteral("/deep/a/b/file01.rbf");
        tree.selectPath(file);
        QVERIFY(tree.waitUntilSettled());
        QCoreApplication::processEvents();
        int opens = 0;
        connect(&tree, &FolderTree::openRequested, this, [&opens] { ++opens; });
        QTest::keyPress(&tree, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(opens, 0); // the release opens, not the press
        QTest::keyRelease(&tree, Qt::Key_Return);
        QCOMPARE(opens, 0);     // not from inside the key handler...
        QTRY_COMPARE(opens, 1); // ...but right after it
        QTest::keyClick(&tree, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        QTRY_COMPARE(opens, 2);
        QTest::keyClick(&tree, Qt::Key_Down);
        const QRect rect = tree.visualRect(tree.fileModel()->index(file));
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QCOMPARE(opens, 2);
        QTRY_COMPARE(opens, 3);
        QTest::qWait(50);
        QCOMPARE(opens, 3); // each once
    }

    // The release of an Enter whose press went elsewhere (it closed a message box) opens nothing;
    // neither does a press that the focus left before its release.
    void enterReleaseWithoutItsPressOpensNothing() {
        FolderTree tree;
        tree.resize(300, 400);
        tree.show();
        tree.selectPath(root() + QStringLiteral("/deep/a/b/file01.rbf"));
        QVERIFY(tree.waitUntilSettled());
        int opens = 0;
        connect(&tree, &FolderTree::openRequested, this, [&opens] { ++opens; });
        QTest::keyRelease(&tree, Qt::Key_Return);
        QTest::keyPress(&tree, Qt::Key_Return);
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(&tree, &out);
        QTest::keyRelease(&tree, Qt::Key_Return);
        // Auto-repeated pairs while the key is held: only the final release counts.
        QTest::keyPress(&tree, Qt::Key_Return);
        QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(&tree, &repeatRelease);
        QTest::qWait(50);
        QCOMPARE(opens, 0);
        QTest::keyRelease(&tree, Qt::Key_Return);
        QTRY_COMPARE(opens, 1);
    }
};

QTEST_MAIN(TestFolderTree)
#include "test_folder_tree.moc"
