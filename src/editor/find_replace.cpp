#include "editor/find_replace.h"

#include "document/page.h"
#include "document/page_context.h"
#include "editor/find_dialog.h"
#include "editor/page_editor.h"
#include "editor/page_watch.h"
#include "editor/replace_dialog.h"
#include "ui/dialogs.h"

#include <QKeyEvent>

FindReplace::FindReplace(QWidget *window, PageContext &context, QTabWidget *pages, Dialogs &dialogs)
    : QObject(window), m_context(context), m_dialogs(dialogs) {
    FindD = new FindDialog(window);
    RD = new ReplaceDialog(window);
    connect(FindD, &FindDialog::findNext, this, [this] { FindDFind(); });
    connect(RD, &ReplaceDialog::findNext, this, [this] { RDFind(); });
    connect(RD, &ReplaceDialog::replace, this, [this] { RDReplace(); });
    WatchPageAdditions(pages, this, [this](Page *page) { attachEditor(page->editor()); });
}

void FindReplace::attachEditor(PageEditor *editor) {
    if (editor)
        editor->installEventFilter(this);
}

bool FindReplace::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<PageEditor *>(watched)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        EditorKeyDown(key->key(), key->modifiers());
    }
    // The key goes on to the editor either way.
    return QObject::eventFilter(watched, event);
}

void FindReplace::TBFindClick() {
    if (!m_context.CurrentSheet)
        return;
    const QString selected = m_context.CurrentEditor->selectedText8();
    if (!selected.isEmpty())
        FindD->setFindText(selected);
    FindD->showOrRaise();
}

void FindReplace::TBReplaceClick() {
    if (!m_context.CurrentSheet)
        return;
    const QString selected = m_context.CurrentEditor->selectedText8();
    if (!selected.isEmpty())
        RD->setFindText(selected);
    RD->showOrRaise();
}

void FindReplace::FindDFind() {
    if (!m_context.CurrentSheet)
        return;
    FindRunning = true;
    PageEditor *editor = m_context.CurrentEditor;
    // From the start of a selected occurrence plus one, so that a repeated find moves on, while an
    // occurrence that begins exactly at the caret is found.
    const int start = editor->selectionStart() + (editor->selectionLength() > 0 ? 1 : 0);
    const QString text = FindD->findText();
    const bool matchCase = FindD->matchCase();
    const bool wholeWord = FindD->wholeWord();
    int found = editor->findText8(text, start, matchCase, wholeWord);
    if (found < 0)
        found = editor->findText8(text, 0, matchCase, wholeWord); // one wrap-around
    if (found >= 0)
        SelectMatch(found);
    else
        m_dialogs.ShowInfo(QStringLiteral("\"%1\" not found!").arg(text));
    FindRunning = false;
}

void FindReplace::EditorKeyDown(int key, Qt::KeyboardModifiers shift) {
    Q_UNUSED(shift); // F3 repeats the find with any of Shift, Ctrl and Alt
    if (key == Qt::Key_F3 && !FindD->findText().isEmpty())
        FindDFind();
}

void FindReplace::SelectMatch(int position) {
    PageEditor *editor = m_context.CurrentEditor;
    editor->setSelectionStart(position);
    editor->setSelectionLength(PageEditor::charCount(FindD->findText()));
    ScrollCaretIntoView();
}

void FindReplace::ScrollCaretIntoView() {
    if (m_context.CurrentEditor)
        m_context.CurrentEditor->scrollCaret();
}

void FindReplace::RDFind() {
    FindD->setFindText(RD->findText());
    FindD->setMatchCase(RD->matchCase());
    FindD->setWholeWord(false);
    FindDFind();
}

void FindReplace::RDReplace() {
    if (!m_context.CurrentSheet)
        return;
    PageEditor *editor = m_context.CurrentEditor;
    const QString findText = RD->findText();
    const QString replaceText = RD->replaceText();
    const QString selected = editor->selectedText8();
    const bool matchCase = RD->matchCase();
    if (matchCase ? selected == findText : selected.compare(findText, Qt::CaseInsensitive) == 0)
        editor->replaceSelection(replaceText);
    if (RD->replaceAll()) {
        ReplaceAllRunning = true;
        const int column = editor->caretColumn();
        const int line = editor->caretLine();
        editor->replaceAll8(findText, replaceText, matchCase);
        editor->setCaret(column, line);
        ReplaceAllRunning = false;
    } else {
        RDFind();
    }
}
