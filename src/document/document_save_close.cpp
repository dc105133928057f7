// Saving, reopening and closing pages, and the window's close query.

#include "converter/run_converter.h"
#include "converter/wine_command.h"
#include "document/busy_state.h"
#include "document/document_controller.h"
#include "document/file_fingerprint.h"
#include "document/page.h"
#include "document/page_context.h"
#include "document/save_verification.h"
#include "document/unencodable_check.h"
#include "editor/page_editor.h"
#include "platform/file_names.h"
#include "tree/page_tree.h"
#include "tree/tree_sync.h"
#include "ui/dialogs.h"
#include "ui/feedback.h"
#include "ui/status_progress.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTabWidget>
#include <algorithm>

bool DocumentController::SavePage(int index) {
    if (!SelectPageContext(m_context, m_pc, index))
        return false;
    if (refusedAsBusy(m_context.CurrentSheet))
        return false;
    return savePage(m_context.CurrentSheet);
}

bool DocumentController::maySave(Page *page) {
    const QString rbfPath = page->RbfPath;
    const QString refusal = WineRefusal(m_converterPath, QFileInfo(rbfPath).absoluteFilePath());
    if (!refusal.isEmpty()) {
        m_dialogs.ShowError(refusal);
        return false;
    }
    // The converter would replace the file all the same (a rename ignores the file's mode). A
    // file without any write permission is read-only also to a user who could write it anyway.
    const QFileInfo rbf(rbfPath);
    const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (rbf.exists() && (!rbf.isWritable() || !(rbf.permissions() & anyWrite))) {
        m_dialogs.ShowError(QStringLiteral("%1 is read-only").arg(rbfPath));
        return false;
    }
    if (TakeFingerprint(rbfPath) != page->RbfPrint) {
        const QPointer<Page> alive(page);
        const bool anyway = m_dialogs.AskYesNo(
            QStringLiteral("%1 has changed on disk since it was opened. Save anyway?").arg(rbfPath));
        reselect(page);
        return anyway && alive;
    }
    return true;
}

// Converts the saved RBF file back and compares; false (after saying where) when they differ.
bool DocumentController::verifySaved(Page *page, const QString &textPath) {
    const QString rbfPath = page->RbfPath;
    m_feedback.SetStatusText(QStringLiteral("Checking %1").arg(rbfPath));
    SaveVerification check;
    {
        const StatusProgress progress(m_feedback);
        check = VerifySavedFile(m_converterPath, rbfPath, textPath);
    }
    reselect(page);
    switch (check.outcome) {
    case SaveVerification::Outcome::Same:
        return true;
    case SaveVerification::Outcome::Differs:
        m_dialogs.ShowError(
            QStringLiteral("%1: line %2 differs after conversion").arg(rbfPath).arg(check.line));
        return false;
    case SaveVerification::Outcome::NotChecked:
        break;
    }
    showConverterFailure(
        QStringLiteral("%1 could not be converted back to check the save: %2").arg(rbfPath, check.problem),
        check.run);
    return false;
}

// Saves a page that is not busy with another operation; the context names the page afterwards.
bool DocumentController::savePage(Page *page) {
    const BusyGuard guard(m_busy, page);
    reselect(page);
    if (!ConfirmUnencodableCharacters(page->editor(), page->RbfPath, m_dialogs))
        return false;
    reselect(page);
    const QString rbfPath = page->RbfPath;
    const QString textPath = ChangeFileExt(rbfPath, QStringLiteral(".txt"));
    PageEditor *editor = page->editor();
    if (!maySave(page))
        return false;
    m_feedback.SetStatusText(QStringLiteral("Saving %1").arg(rbfPath));

    const quint64 savedText = editor->changeCount();
    QString error;
    if (!editor->saveFile(textPath, &error)) {
        reselect(page);
        m_dialogs.ShowError(QStringLiteral("Unable to save: %1").arg(textPath));
        return false;
    }
    Q_EMIT textFileWritten(textPath);
    const QString backupProblem = BeforeRbfRewrite ? BeforeRbfRewrite(page) : QString();
    // Only a converter run that ended well and rewrote the RBF file saves: one that failed (it
    // may have written part of the file) or left the old file in place must not clear the
    // modified mark or delete the text file.
    const FileFingerprint before = TakeFingerprint(rbfPath);
    page->Saving = true;
    ConverterRun run;
    {
        const StatusProgress progress(m_feedback);
        run = RunConverterProcess(m_converterPath, textPath);
    }
    page->Saving = false;
    // The wait let events run (another page may have been entered): back to this page.
    reselect(page);
    if (!run.started()) {
        m_dialogs.ShowError(QStringLiteral("Unable to save: %1").arg(rbfPath));
        return false;
    }
    const ConversionOutput output = JudgeConversionOutput(before, rbfPath);
    // Whatever the run left is the file on disk now: a later save must not take it for a change
    // by another program.
    watch(page);
    if (!run.succeeded()) {
        showSaveFailure(
            page, QStringLiteral("%1 was not rewritten, check it again!\n%2").arg(rbfPath, run.endText()),
            run);
        return false;
    }
    switch (output) {
    case ConversionOutput::Empty:
        showSaveFailure(page, QStringLiteral("%1 returned size is 0, check it again!").arg(rbfPath), run);
        return false;
    case ConversionOutput::Unchanged:
        showSaveFailure(page, QStringLiteral("%1 was not rewritten, check it again!").arg(rbfPath), run);
        return false;
    case ConversionOutput::Written:
        break;
    }
    if (VerifySave && !verifySaved(page, textPath))
        return false;
    const QString saved = QStringLiteral("%1 saved").arg(rbfPath);
    m_feedback.SetStatusText(backupProblem.isEmpty() ? saved : saved + QStringLiteral("; ") + backupProblem);
    reselect(page);
    // Edits typed while the converter ran are not in the RBF file: the page stays modified then.
    if (editor->changeCount() == savedText)
        editor->setModified(false);
    UpdateTabCaption(m_context.CurrentPageIndex, editor->isModified());
    DeleteConvertedText();
    Q_EMIT pageSaved(page);
    return true;
}

void DocumentController::TBSaveClick() {
    if (m_context.CurrentSheet && SavePage(m_context.CurrentPageIndex))
        m_feedback.ShowHintPopup(QStringLiteral("File saved"), true, 3);
}

void DocumentController::TBSaveAllClick() {
    // The pages at the start, held by pointer: a page closed meanwhile is skipped, not confused
    // with the page that moved into its index.
    QList<QPointer<Page>> pages;
    for (int i = 0; i < m_pc->count(); ++i)
        pages << page(i);
    bool allSaved = true;
    // A page busy with another operation is left for later, not taken for a failed save: the
    // others are saved, and the busy ones are named at the end.
    QStringList busy;
    for (const QPointer<Page> &p : pages) {
        if (!allSaved)
            break;
        if (!p)
            continue;
        if (p->isBusy())
            busy << p->RbfPath;
        else
            allSaved = SavePage(m_pc->indexOf(p));
    }
    SelectActivePageContext(m_context, m_pc);
    if (!busy.isEmpty())
        m_feedback.SetStatusText(BusyMessage(busy.join(QStringLiteral(", "))));
    else if (m_pc->count() > 0 && allSaved)
        m_feedback.ShowHintPopup(QStringLiteral("All files saved"), true, 3);
}

void DocumentController::TBReOpenClick() {
    Page *page = m_context.CurrentSheet;
    if (!page ||
        ExtractFileExt(m_context.CurrentRbfPath).compare(QLatin1String(".rbf"), Qt::CaseInsensitive) != 0)
        return;
    if (refusedAsBusy(page))
        return;
    const BusyGuard guard(m_busy, page);
    const QString rbfPath = page->RbfPath;
    const QString textPath = ChangeFileExt(rbfPath, QStringLiteral(".txt"));
    const QString refusal = WineRefusal(m_converterPath, QFileInfo(rbfPath).absoluteFilePath());
    if (!refusal.isEmpty()) {
        m_dialogs.ShowError(refusal);
        return;
    }
    if (BeforeTextConversion && !BeforeTextConversion(rbfPath, page))
        return;
    m_feedback.AnchorHintAtMouse();
    m_feedback.SetStatusText(QStringLiteral("Creating %1").arg(textPath));
    const FileFingerprint before = TakeFingerprint(textPath);
    ConverterRun run;
    {
        const StatusProgress progress(m_feedback);
        run = RunConverterProcess(m_converterPath, rbfPath);
    }
    reselect(page);
    if (run.started())
        Q_EMIT textFileWritten(textPath);
    if (!run.started()) {
        m_feedback.ShowHintPopup(QString(), true, 0);
        m_dialogs.ShowError(QStringLiteral("Unable to create: %1").arg(textPath));
        return;
    }
    if (run.end == ConverterRun::End::Stopped) {
        m_feedback.SetStatusText(QStringLiteral("%1 was not reopened: %2").arg(rbfPath, run.endText()));
        return;
    }
    if (!run.succeeded()) {
        showConverterFailure(QStringLiteral("Unable to open: %1\n%2").arg(rbfPath, run.endText()), run);
        return;
    }
    if (JudgeConversionOutput(before, textPath) != ConversionOutput::Written) {
        showConverterFailure(QStringLiteral("Unable to open: %1").arg(rbfPath), run);
        return;
    }
    PageEditor *editor = page->editor();
    PageTree *tree = page->tree();
    editor->setUpdatesEnabled(false);
    ++page->SyncSuspended;
    const int line = editor->caretLine();
    const int column = editor->caretColumn();
    QString error;
    if (editor->loadFile(textPath, &error)) {
        watch(page);
        editor->setCaret(column, line);
        editor->setModified(false);
        UpdateTabCaption(m_pc->indexOf(page), false);
        Q_EMIT pageReloaded(page);
        --page->SyncSuspended;
        tree->TreeState = PageTree::Rebuild;
        m_treeSync.RebuildStructureTree(tree, editor);
    } else {
        --page->SyncSuspended;
        m_dialogs.ShowError(QStringLiteral("Unable to load: %1").arg(textPath));
    }
    editor->setUpdatesEnabled(true);
    m_feedback.SetStatusText(rbfPath);
    m_feedback.ShowHintPopup(QStringLiteral("File is reopened"), true, 3);
}

void DocumentController::DeleteConvertedText() {
    const QString path = m_context.CurrentTextPath;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return;
    if (!QFile::remove(path))
        m_dialogs.ShowError(path + QStringLiteral(" cannot be deleted!"));
}

bool DocumentController::ClosePage(int index) {
    if (!SelectPageContext(m_context, m_pc, index))
        return false;
    Page *page = m_context.CurrentSheet;
    if (refusedAsBusy(page))
        return false;
    QPointer<Page> previous = qobject_cast<Page *>(m_pc->currentWidget());
    if (previous == page)
        previous = nullptr;
    {
        const BusyGuard guard(m_busy, page);
        // Letters typed while the converter ran are not in the RBF file and leave the page
        // modified: ask again rather than destroy them with the page.
        bool discard = false;
        while (page->editor()->isModified() && !discard) {
            if (m_dialogs.AskYesNo(QStringLiteral("Save %1 ?").arg(page->RbfPath))) {
                if (!savePage(page))
                    return false;
            } else {
                discard = true;
            }
        }
        reselect(page);
        DeleteConvertedText();
        Q_EMIT pageClosing(page);
    }
    m_treeSync.FreeNodeInfos(page->tree());
    // The page after a closed active page becomes active; after the last one, the first.
    const bool wasLast = m_pc->indexOf(page) == m_pc->count() - 1;
    destroyPage(page);
    if (previous)
        m_pc->setCurrentWidget(previous);
    else if (wasLast && m_pc->count() > 0)
        m_pc->setCurrentIndex(0);
    if (m_pc->count() == 0) {
        ClearPageContext(m_context);
        showReadmeWhenNoPage();
    } else {
        SelectActivePageContext(m_context, m_pc);
    }
    return true;
}

void DocumentController::TBCloseClick() {
    if (m_context.CurrentSheet)
        ClosePage(m_context.CurrentPageIndex);
}

void DocumentController::TBCloseAllClick() {
    int i = 0;
    while (i < m_pc->count()) {
        if (!ClosePage(i))
            ++i;
    }
}

void DocumentController::FormCloseQuery(bool &canClose) {
    // Pages under a conversion or a build cannot go now: the close runs when the last such
    // operation has ended.
    if (m_busy.isBusy()) {
        const QString name = m_busy.busyName();
        m_feedback.SetStatusText(
            name.isEmpty() ? QStringLiteral("Busy, the window closes when it is done")
                           : QStringLiteral("%1 is busy, the window closes when it is done").arg(name));
        m_closePending = true;
        canClose = false;
        return;
    }
    // Pages that stay open (their save failed), with their edit count when they were left.
    QList<QPair<QPointer<Page>, quint64>> left;
    int i = 0;
    bool quitAnyway = false;
    while (m_pc->count() > 0 && i < m_pc->count()) {
        const QPointer<Page> p = page(i);
        if (!ClosePage(i)) {
            ++i;
            if (p)
                left.append({p, p->editor()->changeCount()});
            if (!quitAnyway)
                quitAnyway = m_dialogs.AskYesNo(QStringLiteral("Quit any way?"));
        }
    }
    // "Quit any way?" let a page go as it was then: letters typed into it during a later page's
    // save are offered again rather than lost with the program.
    for (bool changed = quitAnyway; changed;) {
        changed = false;
        for (auto &entry : left) {
            if (!entry.first || entry.first->editor()->changeCount() == entry.second)
                continue;
            changed = true;
            if (!ClosePage(m_pc->indexOf(entry.first)) && entry.first)
                entry.second = entry.first->editor()->changeCount();
        }
    }
    const bool anyLeft =
        std::any_of(left.cbegin(), left.cend(), [](const auto &entry) { return !entry.first.isNull(); });
    canClose = !anyLeft || quitAnyway;
}
