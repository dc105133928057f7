// A failed save says what the converter said, and takes the user to the line it refused.

#include "converter/run_converter.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "platform/file_names.h"
#include "tree/tree_sync.h"
#include "ui/dialogs.h"

#include <QPointer>
#include <QTabWidget>

void DocumentController::showSaveFailure(Page *page, const QString &text, const ConverterRun &run) {
    const QString details = run.details();
    const QString textName = ExtractFileName(ChangeFileExt(page->RbfPath, QStringLiteral(".txt")));
    const NamedLine named = FindNamedLine(run.outputLines(), textName);
    PageEditor *editor = page->editor();
    // A line the text does not have (the converter speaks of another file, say) is not offered.
    if (named.line < 1 || named.line > editor->LineCount()) {
        showConverterFailure(text, run);
        return;
    }
    const QPointer<Page> alive(page);
    const bool goThere = m_dialogs.AskErrorGoThere(
        text, details, QStringLiteral("Go to line %1 of %2?").arg(named.line).arg(textName));
    if (!goThere || !alive || !reselect(page))
        return;
    m_pc->setCurrentWidget(page);
    const int line = named.line - 1;
    const int column =
        named.column > 0 ? qMin(named.column - 1, static_cast<int>(editor->Line(line).size())) : 0;
    editor->setCaret(column, line);
    editor->scrollCaret();
    editor->setFocus();
    // The page stays modified and its text file stays: the user mends the line and saves again.
    m_treeSync.SyncTreeWithCaret();
}
