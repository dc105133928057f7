// AEShortCut: the window's command keys, sent as real key events to a focused
// control, whatever the modifiers where the rules say so; every other key
// reaches the control. Also the folder tree's Enter and double click.

#include "app/command_table.h"
#include "editor/page_editor.h"
#include "ui/feedback.h"
#include "ui/folder_tree.h"
#include "ui/hint_popup.h"
#include "window_test_helpers.h"

#include <QFile>
#include <QFileSystemModel>
#include <QKeySequence>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A focusable control inside the window that records the keys it receives.
class KeyTarget : public QWidget {
public:
    explicit KeyTarget(QWidget *parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    QList<QKeyCombination> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override {
        // QTest presses the modifier keys on their own before the key itself.
        static const QList<int> modifiers = {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Meta};
        if (!modifiers.contains(event->key()))
            keys << event->keyCombination();
    }
};

QStringList AllCommands() {
    QStringList names;
    for (const CommandSpec &command : CommandTable())
        names << QString::fromLatin1(command.name);
    return names;
}

const QList<Qt::KeyboardModifiers> kAnyModifiers = {
    Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier,
    Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier};

} // namespace

class TestShortcuts : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> m_fixture;
    KeyTarget *m_target = nullptr;
    std::unique_ptr<ActionSpies> m_spies;

    TFormMain &window() { return m_fixture->window(); }

    // Sends the key to the control and returns the commands it ran.
    QStringList press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        m_spies->reset();
        m_target->keys.clear();
        QTest::keyClick(m_target, key, modifiers);
        return m_spies->fired();
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<WindowFixture>();
        GiveConverter(*m_fixture);
        m_target = new KeyTarget(window().PanelEdit);
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        m_target->setFocus();
        m_spies = std::make_unique<ActionSpies>(window(), AllCommands());
    }

    void cleanup() {
        m_spies.reset();
        m_fixture.reset();
    }

    void functionKeysWhateverTheModifiers() {
        const QList<QPair<Qt::Key, QString>> keys = {{Qt::Key_F1, "TBRebuildTree"},
                                                     {Qt::Key_F2, "TBArrange"},
                                                     {Qt::Key_F4, "TBQuickWizard"},
                                                     {Qt::Key_F5, "TBRefresh"}};
        for (const auto &key : keys) {
            for (Qt::KeyboardModifiers modifiers : kAnyModifiers) {
                QCOMPARE(press(key.first, modifiers), QStringList{key.second});
                QVERIFY(m_target->keys.isEmpty());
            }
        }
    }

    void ctrlLettersWhateverShiftAndAlt() {
        const QList<QPair<Qt::Key, QString>> keys = {
            {Qt::Key_F, "TBFind"}, {Qt::Key_H, "TBReplace"}, {Qt::Key_R, "TBReplace"}, {Qt::Key_S, "TBSave"}};
        const QList<Qt::KeyboardModifiers> modifiers = {
            Qt::ControlModifier, Qt::ControlModifier | Qt::ShiftModifier,
            Qt::ControlModifier | Qt::AltModifier, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier};
        for (const auto &key : keys) {
            for (Qt::KeyboardModifiers modifier : modifiers) {
                QCOMPARE(press(key.first, modifier), QStringList{key.second});
                QVERIFY(m_target->keys.isEmpty());
            }
        }
    }

    void otherKeysReachTheFocusedControl() {
        const QList<QPair<Qt::Key, Qt::KeyboardModifiers>> keys = {
            {Qt::Key_F3, Qt::NoModifier},     {Qt::Key_F6, Qt::ControlModifier},
            {Qt::Key_F12, Qt::NoModifier},    {Qt::Key_F, Qt::NoModifier},
            {Qt::Key_S, Qt::ShiftModifier},   {Qt::Key_S, Qt::AltModifier},
            {Qt::Key_H, Qt::AltModifier},     {Qt::Key_C, Qt::ControlModifier},
            {Qt::Key_V, Qt::ControlModifier}, {Qt::Key_X, Qt::ControlModifier},
            {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_A, Qt::ControlModifier},
            {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Escape, Qt::NoModifier},
            {Qt::Key_G, Qt::ControlModifier}};
        for (const auto &key : keys) {
            QVERIFY(press(key.first, key.second).isEmpty());
            QCOMPARE(m_target->keys.size(), 1);
            QCOMPARE(m_target->keys.first().key(), key.first);
        }
    }

    void theCommandTableNamesTheKeysThatWork() {
        int checked = 0;
        for (const CommandSpec &command : CommandTable()) {
            for (const QString &text :
                 QString::fromLatin1(command.keys).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const QKeyCombination key = QKeySequence(text)[0];
                QCOMPARE(press(key.key(), key.keyboardModifiers()),
                         QStringList{QString::fromLatin1(command.name)});
                ++checked;
            }
        }
        QCOMPARE(checked, 9);
    }

    void editorKeysStillWork() {
        Page *page = AddPage(window(), QStringLiteral("a"));
        QVERIFY(SelectPageContext(window().context(), window().PC, 0));
        PageEditor *editor = page->editor();
        editor->setFocus();
        QTest::keyClicks(editor, QStringLiteral("key"));
        QCOMPARE(editor->text8(), QStringLiteral("key"));
        m_spies->reset();
        QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_spies->fired(), QStringList{"TBSave"});
        QCOMPARE(editor->text8(), QStringLiteral("key"));
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(editor->selectedText8(), QStringLiteral("key"));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(editor->text8() != QLatin1String("key"));
        QVERIFY(m_spies->fired() == QStringList{"TBSave"});
    }

    void folderTreeEnterAndDoubleClickOpen() {
        QTemporaryDir data;
        QStringList files;
        for (const char *name : {"a.rbf", "b.rbf", "c.rbf"}) {
            QFile file(data.path() + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            files << file.fileName();
        }
        FolderTree *tree = window().SLV;
        tree->selectPath(files[0]);
        QVERIFY(tree->waitUntilSettled());
        tree->selectPaths(files);
        tree->setFocus();
        QCOMPARE(tree->selectedPaths(), files);
        m_spies->reset();
        // Three files selected, one Enter: one Open, which reads all three.
        QTest::keyPress(tree, Qt::Key_Return);
        QVERIFY(m_spies->fired().isEmpty());
        QTest::keyRelease(tree, Qt::Key_Return);
        // Right after the key event, not from inside it.
        QVERIFY(m_spies->fired().isEmpty());
        QTRY_COMPARE(m_spies->fired(), QStringList{"TBOpen"});
        QTest::keyClick(tree, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QTRY_COMPARE(m_spies->count("TBOpen"), 2);
        QTest::keyClick(tree, Qt::Key_Space);
        QCoreApplication::processEvents();
        QCOMPARE(m_spies->count("TBOpen"), 2);
        QCoreApplication::processEvents();
        const QRect item = tree->visualRect(tree->fileModel()->index(files[1]));
        QVERIFY(item.isValid());
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
        QTRY_COMPARE(m_spies->count("TBOpen"), 3);
    }

    void f5InTheFolderTreeRefreshesWhereTheMouseWas() {
        window().SLV->setFocus();
        QCursor::setPos(250, 260);
        QTest::keyClick(window().SLV, Qt::Key_F5, Qt::ShiftModifier);
        HintPopup *hint = window().feedback().hintWindow();
        QVERIFY(hint);
        QCOMPARE(hint->text(), QStringLiteral("Directory tree refreshed"));
        QCOMPARE(hint->requestedTopLeft(), QPoint(266, 260));
        QCOMPARE(window().feedback().TimerHideHint()->interval(), 3000);
    }
};

QTEST_MAIN(TestShortcuts)
#include "test_shortcuts.moc"
