// The page editor's own duties that other tests do not reach: a large file goes in piece by piece
// while events run and nothing may edit the half-loaded text, and every way of editing reports
// edited() (the widget itself is told only that a change is coming).

#include "editor/page_editor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestPageEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void largeLoadLetsEventsRunButRefusesEdits();
    void failedLoadKeepsTheText();
    void lettersThatGrowInUtf8OutgrowTheBufferAndLoadWhole();
    void everyWayOfEditingReportsEdited();
};

void TestPageEditor::largeLoadLetsEventsRunButRefusesEdits() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    QByteArray bytes;
    for (int i = 0; bytes.size() < (6 << 20); ++i)
        bytes += "| key" + QByteArray::number(i) + ": \"\xe9t\xe9 \x80\";\r\n";
    QVERIFY(WriteFile(path, bytes));

    PageEditor editor;
    editor.show();
    editor.setText8(QStringLiteral("old text"));
    // Tries to edit whenever events run during the load; a slow machine may run them seldom,
    // so the pieces come in slowly too.
    int tries = 0;
    QTimer timer;
    timer.setInterval(0);
    connect(&timer, &QTimer::timeout, this, [&] {
        ++tries;
        editor.insert(QStringLiteral("X"));
        QTest::qSleep(25);
    });
    QSignalSpy edited(&editor, &PageEditor::edited);
    timer.start();
    QVERIFY(editor.loadFile(path));
    timer.stop();
    QVERIFY2(tries >= 2, "events did not run during the load");
    QCOMPARE(editor.bytes8(), bytes);
    QCOMPARE(edited.count(), 1);
    QCOMPARE(editor.SendScintilla(PageEditor::SCI_GETREADONLY), 0L);
    QVERIFY(!editor.isUndoAvailable());
    editor.insert(QStringLiteral("Y"));
    QVERIFY(editor.text8().startsWith(QLatin1Char('Y')));
}

void TestPageEditor::failedLoadKeepsTheText() {
    QTemporaryDir dir;
    PageEditor editor;
    editor.setText8(QStringLiteral("kept"));
    QString error;
    QVERIFY(!editor.loadFile(dir.filePath(QStringLiteral("missing.txt")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!editor.loadFile(dir.path(), &error)); // a folder
    QCOMPARE(editor.text8(), QStringLiteral("kept"));
}

// The widget's buffer is sized for a text of few code-page letters; a text of nothing else is half
// again as long in UTF-8 and must still come in whole, into an empty editor (which takes the
// pieces as they are read) and into one that holds a text.
void TestPageEditor::lettersThatGrowInUtf8OutgrowTheBufferAndLoadWhole() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("letters.txt"));
    QByteArray bytes;
    for (int i = 0; bytes.size() < (3 << 20); ++i)
        bytes += "| \xe4\xf6\xfc" + QByteArray::number(i) + ": \"\x80\x9c\xe9\xe8\xff\";\r\n";
    QVERIFY(WriteFile(path, bytes));

    PageEditor empty;
    QVERIFY(empty.loadFile(path));
    QCOMPARE(empty.bytes8(), bytes);
    QCOMPARE(empty.LineCount(), static_cast<int>(bytes.count("\r\n")));

    PageEditor holding;
    holding.setText8(QStringLiteral("old text"));
    QVERIFY(holding.loadFile(path));
    QCOMPARE(holding.bytes8(), bytes);
}

void TestPageEditor::everyWayOfEditingReportsEdited() {
    PageEditor editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setFocus();
    QSignalSpy edited(&editor, &PageEditor::edited);
    const auto count = [&edited] { return static_cast<int>(edited.count()); };

    editor.setText8(QStringLiteral("alpha\nbeta\n"));
    QCOMPARE(count(), 1);
    editor.setCaret(0, 1);
    QCOMPARE(count(), 1); // a caret move is no edit
    editor.replaceSelection(QStringLiteral("new "));
    QCOMPARE(count(), 2);
    QTest::keyClick(&editor, Qt::Key_X);
    QCOMPARE(count(), 3);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QCOMPARE(count(), 4);
    editor.undo();
    QCOMPARE(count(), 5);
    editor.redo();
    QCOMPARE(count(), 6);
    editor.setSelectionStart(0);
    editor.setSelectionLength(5);
    editor.cut();
    QCOMPARE(count(), 7);
    editor.paste();
    QCOMPARE(count(), 8);
    QCOMPARE(editor.text8(), QStringLiteral("alpha\nnew beta\n"));
    // A message sent to the widget directly: reported when events next run, once for several.
    editor.SendScintilla(PageEditor::SCI_INSERTTEXT, 0UL, "1");
    editor.SendScintilla(PageEditor::SCI_INSERTTEXT, 0UL, "2");
    QCOMPARE(count(), 8);
    QTRY_COMPARE(count(), 9);
    QTest::qWait(20);
    QCOMPARE(count(), 9);
    QCOMPARE(editor.changeCount(), quint64(9));
    QCOMPARE(editor.text8(), QStringLiteral("21alpha\nnew beta\n"));
}

QTEST_MAIN(TestPageEditor)
#include "page_editor_test.moc"
