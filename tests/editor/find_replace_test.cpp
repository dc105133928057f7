// Find and replace against the real window: FindD, RD, F3 and the two running flags.

#include "editor/find_dialog.h"
#include "editor/find_replace.h"
#include "editor/replace_dialog.h"
#include "editor/test_pages.h"
#include "support/window_fixture.h"

#include <QPushButton>
#include <QtTest>

class FindReplaceTest : public QObject {
    Q_OBJECT

private:
    static QPair<int, int> selection(PageEditor *editor) {
        return {editor->selectionStart(), editor->selectionLength()};
    }
    static void select(PageEditor *editor, int start, int length) {
        editor->setSelectionStart(start);
        editor->setSelectionLength(length);
    }

private Q_SLOTS:
    void repeatedFindMovesOnOneCharacterAndWrapsOnce() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("aaaa"))->editor();
        fr.FindD->setFindText(QStringLiteral("aa"));
        const QList<QPair<int, int>> expected = {{0, 2}, {1, 2}, {2, 2}, {0, 2}};
        for (const auto &want : expected) {
            fr.FindDFind();
            QCOMPARE(selection(editor), want);
        }
        QVERIFY(f.dialogs.calls.isEmpty());
        QVERIFY(!fr.FindRunning);
    }

    void theOnlyOccurrenceSelectedStaysSelected() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("xx abc yy"))->editor();
        select(editor, 3, 3);
        fr.FindD->setFindText(QStringLiteral("abc"));
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(3, 3));
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void caretAtTheEndWrapsToTheFirstOccurrence() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("key1\r\nkey2\r\nrest\r\n"))->editor();
        editor->setSelectionStart(editor->textLength());
        fr.FindD->setFindText(QStringLiteral("key"));
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(0, 3));
        // An occurrence that begins at the caret is found (no selection: no step of one).
        editor->setCaret(0, 1);
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(6, 3));
        QCOMPARE(editor->caretLine(), 1);
    }

    void matchCaseAndNotFound() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("one abc two"))->editor();
        editor->setCaret(1, 0);
        fr.FindD->setFindText(QStringLiteral("ABC"));
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(4, 3));
        editor->setCaret(1, 0);
        fr.FindD->setMatchCase(true);
        bool runningInBox = false;
        f.dialogs.onCall = [&](const DialogCall &) { runningInBox = fr.FindRunning; };
        fr.FindDFind();
        QCOMPARE(f.dialogs.texts(QStringLiteral("info")), QStringList{QStringLiteral("\"ABC\" not found!")});
        QVERIFY(runningInBox);
        QVERIFY(!fr.FindRunning);
        QCOMPARE(selection(editor), qMakePair(1, 0));
    }

    void wholeWord() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor =
            AddTextPage(f.window(), QStringLiteral("concatenate\r\nthe cat_s cat;\r\n"))->editor();
        fr.FindD->setFindText(QStringLiteral("cat"));
        fr.FindD->setWholeWord(true);
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(23, 3));
        QCOMPARE(editor->caretLine(), 1);
        editor->setText8(QStringLiteral("concatenate"));
        fr.FindDFind();
        QCOMPARE(f.dialogs.texts(QStringLiteral("info")), QStringList{QStringLiteral("\"cat\" not found!")});
        fr.FindD->setWholeWord(false);
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(3, 3));
    }

    void positionsCountCharactersOfThe8BitText() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        // Characters that take two and three bytes in the widget's buffer.
        PageEditor *editor = AddTextPage(f.window(), QString::fromUtf8("€é\r\nÄbc äbc"))->editor();
        fr.FindD->setFindText(QString::fromUtf8("äBC"));
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(4, 3));
        QCOMPARE(editor->selectedText8(), QString::fromUtf8("Äbc"));
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(8, 3));
    }

    // A character outside the Basic Multilingual Plane is one character of the text, though the
    // find text holds it in two UTF-16 units: the match selects it and nothing after it.
    void aMatchOutsideTheBasicPlaneSelectsExactlyTheMatch() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor =
            AddTextPage(f.window(), QString::fromUcs4(U"a \U0001F600x \U0001D11E\U0001F600\r\nz"))->editor();
        fr.FindD->setFindText(QString::fromUcs4(U"\U0001F600"));
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(2, 1));
        QCOMPARE(editor->selectedText8(), QString::fromUcs4(U"\U0001F600"));
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(6, 1));
        QCOMPARE(editor->selectedText8(), QString::fromUcs4(U"\U0001F600"));
        fr.FindD->setFindText(QString::fromUcs4(U"\U0001D11E\U0001F600"));
        fr.FindDFind();
        QCOMPARE(selection(editor), qMakePair(5, 2));
        QCOMPARE(editor->selectedText8(), QString::fromUcs4(U"\U0001D11E\U0001F600"));
        // The replace dialog's Replace finds the selection equal to its find text and replaces it.
        fr.RD->setFindText(QString::fromUcs4(U"\U0001D11E\U0001F600"));
        fr.RD->setReplaceText(QStringLiteral("!"));
        fr.RDReplace();
        QCOMPARE(editor->text8(), QString::fromUcs4(U"a \U0001F600x !\r\nz"));
    }

    void findRunningWhileTheSelectionMoves() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("1 22 333"))->editor();
        QList<bool> seen;
        connect(editor, &PageEditor::selectionMoved, this, [&] { seen << fr.FindRunning; });
        fr.FindD->setFindText(QStringLiteral("22"));
        fr.FindDFind();
        QVERIFY(!seen.isEmpty());
        QVERIFY(!seen.contains(false));
        QVERIFY(!fr.FindRunning);
    }

    void noPageNoFindNoDialog() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        fr.FindD->setFindText(QStringLiteral("x"));
        f.window().click(QStringLiteral("TBFind"));
        QVERIFY(!fr.FindD->isVisible());
        fr.FindDFind();
        fr.RD->setFindText(QStringLiteral("x"));
        f.window().click(QStringLiteral("TBReplace"));
        QVERIFY(!fr.RD->isVisible());
        fr.RDReplace();
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void ctrlFTakesTheSelectionOrKeepsThePreviousText() {
        WindowFixture f;
        f.window().show();
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("alpha beta"))->editor();
        select(editor, 6, 4);
        QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(fr.FindD->isVisible());
        QCOMPARE(fr.FindD->findText(), QStringLiteral("beta"));
        fr.FindD->close();
        editor->setCaret(0, 0);
        f.window().click(QStringLiteral("TBFind"));
        QVERIFY(fr.FindD->isVisible());
        QCOMPARE(fr.FindD->findText(), QStringLiteral("beta"));
        // Replace: the same with RD.
        select(editor, 0, 5);
        QTest::keyClick(editor, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(fr.RD->isVisible());
        QCOMPARE(fr.RD->findText(), QStringLiteral("alpha"));
    }

    void textsAreCutAt255Characters() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        const QString longText = QString(300, QLatin1Char('x'));
        PageEditor *editor = AddTextPage(f.window(), longText)->editor();
        select(editor, 0, 300);
        f.window().click(QStringLiteral("TBFind"));
        QCOMPARE(fr.FindD->findText().size(), 255);
        f.window().click(QStringLiteral("TBReplace"));
        QCOMPARE(fr.RD->findText().size(), 255);
        fr.RD->setReplaceText(longText);
        QCOMPARE(fr.RD->replaceText().size(), 255);
    }

    void f3RepeatsTheFindWithAnyModifiers() {
        WindowFixture f;
        f.window().show();
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("ab ab ab"))->editor();
        editor->setFocus();
        // Empty find text: nothing happens.
        QTest::keyClick(editor, Qt::Key_F3);
        QCOMPARE(selection(editor), qMakePair(0, 0));
        QVERIFY(f.dialogs.calls.isEmpty());
        fr.FindD->setFindText(QStringLiteral("ab"));
        QTest::keyClick(editor, Qt::Key_F3);
        QCOMPARE(selection(editor), qMakePair(0, 2));
        QTest::keyClick(editor, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(selection(editor), qMakePair(3, 2));
        QTest::keyClick(editor, Qt::Key_F3, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(selection(editor), qMakePair(6, 2));
        // The key still reaches the editor: the text is unchanged and other keys find nothing.
        QTest::keyClick(editor, Qt::Key_F2);
        QCOMPARE(selection(editor), qMakePair(6, 2));
        QCOMPARE(editor->text8(), QStringLiteral("ab ab ab"));
    }

    void f3WorksInPagesAddedLater() {
        WindowFixture f;
        f.window().show();
        FindReplace &fr = f.window().findReplace();
        AddTextPage(f.window(), QStringLiteral("x"), QStringLiteral("/data/a.rbf"));
        PageEditor *second =
            AddTextPage(f.window(), QStringLiteral("y x"), QStringLiteral("/data/b.rbf"))->editor();
        fr.FindD->setFindText(QStringLiteral("x"));
        QTest::keyClick(second, Qt::Key_F3);
        QCOMPARE(selection(second), qMakePair(2, 1));
    }

    void findFromTheReplaceDialogCarriesItsTextAndOptions() {
        WindowFixture f;
        f.window().show();
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("Cat cat concat cat"))->editor();
        fr.FindD->setWholeWord(true);
        fr.RD->setFindText(QStringLiteral("cat"));
        fr.RD->setMatchCase(true);
        QTest::mouseClick(fr.RD->findChild<QPushButton *>(QStringLiteral("FindNext")), Qt::LeftButton);
        QCOMPARE(selection(editor), qMakePair(4, 3));
        QCOMPARE(fr.FindD->findText(), QStringLiteral("cat"));
        QVERIFY(fr.FindD->matchCase());
        QVERIFY(!fr.FindD->wholeWord());
        // F3 repeats that search: without whole word the "cat" of concat comes next.
        QTest::keyClick(editor, Qt::Key_F3);
        QCOMPARE(selection(editor), qMakePair(11, 3));
    }

    void replaceReplacesAMatchingSelectionAndSelectsTheNext() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("abc x ABC y abc"))->editor();
        fr.RD->setFindText(QStringLiteral("ABC"));
        fr.RD->setReplaceText(QStringLiteral("Z"));
        // A selection that does not match: the first press only finds.
        select(editor, 4, 1);
        QTest::mouseClick(fr.RD->findChild<QPushButton *>(QStringLiteral("Replace")), Qt::LeftButton);
        QCOMPARE(editor->text8(), QStringLiteral("abc x ABC y abc"));
        QCOMPARE(selection(editor), qMakePair(6, 3));
        // Then each press replaces the selected occurrence (any case) and selects the next.
        select(editor, 0, 3);
        fr.RDReplace();
        QCOMPARE(editor->text8(), QStringLiteral("Z x ABC y abc"));
        QCOMPARE(selection(editor), qMakePair(4, 3));
        QVERIFY(editor->isModified());
        fr.RD->setMatchCase(true);
        fr.RDReplace();
        QCOMPARE(editor->text8(), QStringLiteral("Z x Z y abc"));
        // With match case the lower-case one is no occurrence: wrap-around to nothing.
        QCOMPARE(f.dialogs.texts(QStringLiteral("info")), QStringList{QStringLiteral("\"ABC\" not found!")});
    }

    void replaceAllReplacesTheSelectionFirst() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("a a"))->editor();
        select(editor, 0, 1);
        fr.RD->setFindText(QStringLiteral("a"));
        fr.RD->setReplaceText(QStringLiteral("ab"));
        QTest::mouseClick(fr.RD->findChild<QPushButton *>(QStringLiteral("ReplaceAll")), Qt::LeftButton);
        QCOMPARE(editor->text8(), QStringLiteral("abb ab"));
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void replaceAllWithoutMatchCaseIgnoresCase() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor =
            AddTextPage(f.window(), QString::fromUtf8("Name: Ärger;\r\nname: ärger;\r\n"))->editor();
        fr.RD->setFindText(QString::fromUtf8("äRGER"));
        fr.RD->setReplaceText(QStringLiteral("x"));
        fr.RD->setMatchCase(false);
        QTest::mouseClick(fr.RD->findChild<QPushButton *>(QStringLiteral("ReplaceAll")), Qt::LeftButton);
        QCOMPARE(editor->text8(), QStringLiteral("Name: x;\r\nname: x;\r\n"));
        fr.RD->setFindText(QStringLiteral("NAME"));
        fr.RD->setMatchCase(true);
        fr.RDReplace();
        QCOMPARE(editor->text8(), QStringLiteral("Name: x;\r\nname: x;\r\n"));
    }

    void replaceAllKeepsTheCaretAndIsOneUndoableEdit() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        QString text;
        for (int i = 0; i < 8; ++i)
            text += QStringLiteral("| key%1: value;\r\n").arg(i);
        PageEditor *editor = AddTextPage(f.window(), text)->editor();
        editor->setCaret(3, 5);
        QList<bool> seen;
        connect(editor, &PageEditor::selectionMoved, this, [&] { seen << fr.ReplaceAllRunning; });
        fr.RD->setFindText(QStringLiteral("value"));
        fr.RD->setReplaceText(QStringLiteral("v"));
        QTest::mouseClick(fr.RD->findChild<QPushButton *>(QStringLiteral("ReplaceAll")), Qt::LeftButton);
        QCOMPARE(editor->Line(7), QStringLiteral("| key7: v;"));
        QCOMPARE(editor->caretLine(), 5);
        QCOMPARE(editor->caretColumn(), 3);
        QCOMPARE(editor->selectionLength(), 0);
        QVERIFY(editor->isModified());
        QVERIFY(!seen.isEmpty());
        QVERIFY(!seen.contains(false));
        QVERIFY(!fr.ReplaceAllRunning);
        editor->undo();
        QCOMPARE(editor->text8(), text);
    }

    void replaceAllWithoutOccurrenceStillCountsAsAnEdit() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        PageEditor *editor =
            AddTextPage(f.window(), QStringLiteral("l0\nl1\nl2\nl3\nl4\nline five\n"))->editor();
        editor->setCaret(3, 5);
        fr.RD->setFindText(QStringLiteral("zzz"));
        fr.RD->setReplaceText(QStringLiteral("y"));
        QTest::mouseClick(fr.RD->findChild<QPushButton *>(QStringLiteral("ReplaceAll")), Qt::LeftButton);
        // The text keeps its own line breaks.
        QCOMPARE(editor->text8(), QStringLiteral("l0\nl1\nl2\nl3\nl4\nline five\n"));
        QVERIFY(editor->isModified());
        QCOMPARE(editor->caretLine(), 5);
        QCOMPARE(editor->caretColumn(), 3);
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void dialogButtonsNeedAFindText() {
        WindowFixture f;
        FindReplace &fr = f.window().findReplace();
        auto *findNext = fr.FindD->findChild<QPushButton *>(QStringLiteral("FindNext"));
        QVERIFY(!findNext->isEnabled());
        fr.FindD->setFindText(QStringLiteral("x"));
        QVERIFY(findNext->isEnabled());
        for (const char *name : {"FindNext", "Replace", "ReplaceAll"})
            QVERIFY(!fr.RD->findChild<QPushButton *>(QString::fromLatin1(name))->isEnabled());
        fr.RD->setFindText(QStringLiteral("x"));
        for (const char *name : {"FindNext", "Replace", "ReplaceAll"})
            QVERIFY(fr.RD->findChild<QPushButton *>(QString::fromLatin1(name))->isEnabled());
    }
};

QTEST_MAIN(FindReplaceTest)
#include "find_replace_test.moc"
