// Saving a text with characters that code page 1252 cannot hold: the user is asked before they
// reach the file as "?".

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "editor/page_editor.h"

#include <QFile>
#include <QTabWidget>
#include <QTest>

namespace {

// Types text at a line and column of a page's editor, an ordinary edit.
void TypeAt(PageEditor *editor, int line, int column, const QString &text) {
    editor->setCaret(column, line);
    editor->replaceSelection(text);
}

} // namespace

class TestSaveEncoding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noKeepsThePageAndPutsTheCaretOnTheFirstCharacter();
    void yesSavesThemAsQuestionMarks();
    void charactersOfTheCodePageSaveWithoutAQuestion();
    void closeAnsweredNoKeepsThePageOpen();
};

void TestSaveEncoding::noKeepsThePageAndPutsTheCaretOnTheFirstCharacter() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    PageEditor *editor = f.editor(0);
    // A character outside the Basic Multilingual Plane on line 4, then Cyrillic Zhe further on.
    TypeAt(editor, 3, 5, QString::fromUcs4(U"\U0001F600"));
    TypeAt(editor, 7, 2, QStringLiteral("\u0416"));
    f.dialogs().clear();
    const int runs = f.converterRuns().size();
    f.window().click(QStringLiteral("TBSave"));

    const QStringList asked = f.dialogs().texts(QStringLiteral("yesno"));
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().startsWith(rbf), qPrintable(asked.first()));
    QVERIFY2(asked.first().contains(QString::fromUcs4(U"\"\U0001F600\" (U+1F600) on line 4")),
             qPrintable(asked.first()));
    QVERIFY(asked.first().endsWith(QStringLiteral("Save them as \"?\" ?")));
    QCOMPARE(f.dialogs().calls.size(), 1);
    // Nothing was written or converted; the page is still modified, with the caret on the character.
    QCOMPARE(f.converterRuns().size(), runs);
    QCOMPARE(DocumentFixture::read(rbf), SampleText());
    QVERIFY(editor->isModified());
    QCOMPARE(f.page(0)->TabImage, 1);
    QCOMPARE(editor->caretLine(), 3);
    QCOMPARE(editor->caretColumn(), 5);
    QCOMPARE(editor->selectionLength(), 0);

    // Once the first is gone, the next is named.
    editor->setSelectionLength(1);
    editor->replaceSelection(QStringLiteral("!"));
    f.dialogs().clear();
    QVERIFY(!f.documents().SavePage(0));
    QVERIFY2(f.dialogs()
                 .texts(QStringLiteral("yesno"))
                 .value(0)
                 .contains(QStringLiteral("\"\u0416\" (U+0416) on line 8")),
             qPrintable(f.dialogs().texts(QStringLiteral("yesno")).value(0)));
    QCOMPARE(editor->caretLine(), 7);
    QCOMPARE(editor->caretColumn(), 2);
}

void TestSaveEncoding::yesSavesThemAsQuestionMarks() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    TypeAt(f.editor(0), 0, 0, QString::fromUcs4(U"\u4E2D\U0001F600 "));
    f.dialogs().yesNo.enqueue(true);
    QVERIFY(f.documents().SavePage(0));
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 1);
    QCOMPARE(DocumentFixture::read(rbf), QByteArray("?? ") + SampleText());
    QVERIFY(!f.editor(0)->isModified());
}

void TestSaveEncoding::charactersOfTheCodePageSaveWithoutAQuestion() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    // The euro sign, e acute, and a character of one of the five bytes the code page leaves undefined.
    TypeAt(f.editor(0), 0, 0, QStringLiteral("\u20AC\u00E9\u0081"));
    QVERIFY(f.documents().SavePage(0));
    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(DocumentFixture::read(rbf), QByteArray("\x80\xE9\x81") + SampleText());
}

void TestSaveEncoding::closeAnsweredNoKeepsThePageOpen() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    TypeAt(f.editor(0), 2, 0, QStringLiteral("\u0416"));
    f.dialogs().clear();
    f.dialogs().yesNo.enqueue(true);  // "Save %s ?"
    f.dialogs().yesNo.enqueue(false); // not as "?"
    f.window().click(QStringLiteral("TBClose"));
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 2);
    QCOMPARE(f.pageCount(), 1);
    QVERIFY(f.editor(0)->isModified());
    QCOMPARE(DocumentFixture::read(rbf), SampleText());
    QCOMPARE(f.editor(0)->caretLine(), 2);
}

QTEST_MAIN(TestSaveEncoding)
#include "tst_save_encoding.moc"
