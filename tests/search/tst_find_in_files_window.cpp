// Find in Files in the real window: open pages are searched as their editors hold them, and Enter
// on a hit opens its file, selects the match and the node of its line.

#include "document/document_controller.h"
#include "document/document_fixture.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "search/find_in_files_controller.h"
#include "search/find_in_files_dialog.h"
#include "search/search_results_model.h"
#include "search/search_results_panel.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

namespace {

QModelIndex FileRow(const SearchResultsModel *model, const QString &path) {
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (index.data(SearchResultsModel::PathRole).toString() == path)
            return index;
    }
    return QModelIndex();
}

} // namespace

class TestFindInFilesWindow : public QObject {
    Q_OBJECT

private:
    // Opens the dialog and fills it for a search of the test's folder.
    FindInFilesController &Prepare(DocumentFixture &f, const QString &text, SearchQuery::Where where) {
        FindInFilesController &search = f.window().findInFiles();
        search.setCacheFolder(f.fixture.dataDir() + QStringLiteral("cache"));
        f.window().click(QStringLiteral("TBFindInFiles"));
        SearchQuery query;
        query.text = text;
        query.where = where;
        search.dialog()->setQuery(query);
        SearchScope scope;
        scope.folder = f.folder();
        search.dialog()->setScope(scope);
        return search;
    }

    // Runs the dialog's search over the test's folder and waits for its end.
    bool Search(DocumentFixture &f, const QString &text, SearchQuery::Where where) {
        FindInFilesController &search = Prepare(f, text, where);
        QSignalSpy ended(&search, &FindInFilesController::searchEnded);
        search.FindInFilesDFind();
        return ended.wait(20000) && !ended.first().first().toBool();
    }

private Q_SLOTS:
    void anOpenModifiedPageIsSearchedInItsEditor() {
        DocumentFixture f;
        const QString open = f.writeRbf(QStringLiteral("open"));
        f.writeRbf(QStringLiteral("closed"));
        f.open(open);
        QCOMPARE(f.pageCount(), 1);
        PageEditor *editor = f.editor(0);
        // An unsaved edit: a new key on line 10, where the file has "| beta: 7;".
        editor->setCaret(0, 10);
        editor->replaceSelection(QStringLiteral("| zeta_unsaved: 1;\r\n"));
        QVERIFY(editor->isModified());
        QVERIFY(Search(f, QStringLiteral("zeta_unsaved"), SearchQuery::Where::Keys));
        const SearchResultsModel *model = f.window().findInFiles().results();
        QCOMPARE(model->rowCount(), 1);
        const QModelIndex file = FileRow(model, open);
        QVERIFY(file.isValid());
        QCOMPARE(model->rowCount(file), 1);
        QCOMPARE(model->index(0, 0, file).data(SearchResultsModel::LineRole).toInt(), 10);
        QVERIFY(f.window().findInFiles().panel()->isVisible());
        // The page's file itself holds no such key.
        QVERIFY(!DocumentFixture::read(open).contains("zeta_unsaved"));
    }

    // The folder is listed on a worker (the root of a file system takes minutes): the command
    // returns at once, and a Cancel while the files are listed ends the search before any converter.
    void cancelWhileTheFilesAreListedEndsBeforeAnyConversion() {
        DocumentFixture f;
        f.writeRbf(QStringLiteral("first"));
        FindInFilesController &search = Prepare(f, QStringLiteral("alpha"), SearchQuery::Where::Both);
        QSignalSpy ended(&search, &FindInFilesController::searchEnded);
        search.FindInFilesDFind();
        QVERIFY(search.running());
        QVERIFY2(search.panel()->statusLabel()->text().startsWith(QLatin1String("Listing the files of")),
                 qPrintable(search.panel()->statusLabel()->text()));
        search.cancel();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toBool(), true);
        QVERIFY(!search.running());
        QTest::qWait(200);
        QCOMPARE(search.search(), nullptr);
        QCOMPARE(search.results()->rowCount(), 0);
        // The next search runs in full.
        QVERIFY(Search(f, QStringLiteral("alpha"), SearchQuery::Where::Keys));
        QCOMPARE(search.results()->rowCount(), 1);
    }

    void enterOnAHitOpensItsFileAndSelectsMatchAndNode() {
        DocumentFixture f;
        f.writeRbf(QStringLiteral("first"));
        QByteArray text = SampleText();
        text.replace("| | deep: 1;", "| | deep: 12101;");
        const QString second = f.writeRbf(QStringLiteral("second"), text);
        QVERIFY(Search(f, QStringLiteral("12101"), SearchQuery::Where::Values));
        FindInFilesController &search = f.window().findInFiles();
        const QModelIndex file = FileRow(search.results(), second);
        QVERIFY(file.isValid());
        const QModelIndex hit = search.results()->index(0, SearchResultsModel::LineColumn, file);
        QCOMPARE(hit.data(SearchResultsModel::LineRole).toInt(), 7);
        QCOMPARE(hit.siblingAtColumn(SearchResultsModel::KeyPathColumn).data().toString(),
                 QStringLiteral("alpha / inner / deep"));
        QCOMPARE(f.pageCount(), 0);

        QTreeView *view = search.panel()->view();
        view->setFocus();
        view->setCurrentIndex(hit);
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_COMPARE(f.pageCount(), 1);
        QCOMPARE(f.page(0)->RbfPath, second);
        QTRY_COMPARE(f.window().PC->currentIndex(), 0);
        PageEditor *editor = f.editor(0);
        QTRY_COMPARE(editor->selectedText8(), QStringLiteral("12101"));
        QCOMPARE(editor->caretLine(), 7);
        PageTree *tree = f.tree(0);
        QTRY_COMPARE(tree->selectedNode(), tree->structure().nodeAtLine(7));
        QVERIFY(tree->selectedNode() >= 0);

        // Again on an open page: it is shown, not opened a second time.
        editor->setCaret(0, 0);
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_COMPARE(editor->selectedText8(), QStringLiteral("12101"));
        QCOMPARE(f.pageCount(), 1);
        QVERIFY(f.dialogs().calls.isEmpty());
    }
};

QTEST_MAIN(TestFindInFilesWindow)
#include "tst_find_in_files_window.moc"
