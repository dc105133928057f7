// Opening documents, the page context handlers and the tab captions.

#include "document/document_controller.h"

#include "converter/run_converter.h"
#include "converter/wine_command.h"
#include "document/busy_state.h"
#include "document/file_fingerprint.h"
#include "document/page.h"
#include "document/page_context.h"
#include "document/page_icons.h"
#include "editor/page_editor.h"
#include "platform/file_names.h"
#include "tree/page_tree.h"
#include "tree/tree_build_ahead.h"
#include "tree/tree_sync.h"
#include "ui/dialogs.h"
#include "ui/event_pump.h"
#include "ui/feedback.h"
#include "ui/folder_tree.h"
#include "ui/status_progress.h"

#include <QCursor>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <exception>

DocumentController::DocumentController(const Parts &parts, QObject *parent)
    : QObject(parent), m_window(parts.window), m_pc(parts.PC), m_readme(parts.REReadme), m_slv(parts.SLV),
      m_pmRichEdit(parts.PMRichEdit), m_context(parts.context), m_feedback(parts.feedback),
      m_dialogs(parts.dialogs), m_converterPath(parts.converterPath), m_treeSync(parts.treeSync),
      m_busy(parts.busy), m_watcher(new QFileSystemWatcher(this)) {
    connect(&m_busy, &BusyState::becameIdle, this, [this] { whenIdle(); });
    // The context follows the page that shows, also when the focus stays outside the pages (a
    // tab clicked while the folder tree or a tool bar holds the focus).
    connect(m_pc, &QTabWidget::currentChanged, this, [this](int index) {
        if (Page *shown = page(index))
            PageEnter(shown);
    });
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this,
            [this](const QString &path) { RbfFileChanged(path); });
}

bool DocumentController::refusedAsBusy(Page *page) {
    if (!page || !page->isBusy())
        return false;
    m_feedback.SetStatusText(BusyMessage(page->RbfPath));
    return true;
}

void DocumentController::watch(Page *page) {
    page->RbfPrint = TakeFingerprint(page->RbfPath);
    // A file replaced by a rename is a new file to the watcher: it is watched again each time.
    if (page->RbfPrint.exists && !m_watcher->files().contains(page->RbfPath))
        m_watcher->addPath(page->RbfPath);
}

void DocumentController::RbfFileChanged(const QString &path) {
    if (QFileInfo::exists(path) && !m_watcher->files().contains(path))
        m_watcher->addPath(path);
    for (int i = 0; i < m_pc->count(); ++i) {
        Page *p = page(i);
        // A page's own save changes its file; the save takes the new fingerprint when it is done.
        if (!p || p->Saving || p->RbfPath != path)
            continue;
        if (TakeFingerprint(path) != p->RbfPrint)
            m_feedback.SetStatusText(QStringLiteral("%1 has changed on disk").arg(path));
        return;
    }
}

Page *DocumentController::page(int index) const {
    return qobject_cast<Page *>(m_pc->widget(index));
}

bool DocumentController::reselect(Page *page) {
    return SelectPageContext(m_context, m_pc, m_pc->indexOf(page));
}

void DocumentController::showReadmeWhenNoPage() {
    if (m_readme)
        m_readme->setVisible(m_pc->count() == 0);
}

void DocumentController::TBOpenClick() {
    TBOpenClick(m_slv ? m_slv->selectedPaths() : QStringList());
}

void DocumentController::TBOpenClick(const QStringList &paths) {
    const int count = static_cast<int>(paths.size());
    for (int i = 0; i < count; ++i)
        openFile(paths.at(i));
    showReadmeWhenNoPage();
}

bool DocumentController::IsAlreadyOpen(const QString &path) {
    bool found = false;
    for (int i = 0; i < m_pc->count(); ++i) {
        Page *p = page(i);
        if (p && p->RbfPath.compare(path, Qt::CaseInsensitive) == 0) {
            m_dialogs.ShowWarning(path + QStringLiteral(" is already opened!"));
            m_pc->setCurrentIndex(i);
            found = true;
        }
    }
    return found;
}

void DocumentController::openFile(const QString &path) {
    if (IsAlreadyOpen(path))
        return;
    if (ExtractFileExt(path) != QLatin1String(".rbf"))
        return;
    // Opened by a command that is still waiting for its conversion: that one makes the page.
    if (m_converting.contains(path, Qt::CaseInsensitive))
        return;
    try {
        const QString textPath = ChangeFileExt(path, QStringLiteral(".txt"));
        const QString refusal = WineRefusal(m_converterPath, QFileInfo(path).absoluteFilePath());
        if (!refusal.isEmpty()) {
            m_dialogs.ShowError(refusal);
            return;
        }
        if (BeforeTextConversion && !BeforeTextConversion(path, nullptr))
            return;
        ConverterRun run;
        FileFingerprint before;
        {
            const BusyGuard guard(m_busy, nullptr, path);
            m_converting << path;
            m_feedback.SetStatusText(QStringLiteral("Creating %1").arg(textPath));
            // A text file left from before (perhaps a crashed session's edits) is not taken for
            // this run's output: only a file that the converter wrote now counts.
            before = TakeFingerprint(textPath);
            const StatusProgress progress(m_feedback);
            run = RunConverterProcess(m_converterPath, path);
            m_converting.removeAll(path);
        }
        // Whatever text file there is now, this program's converter run wrote it.
        if (run.started())
            Q_EMIT textFileWritten(textPath);
        if (!run.started()) {
            m_dialogs.ShowError(QStringLiteral("Unable to create: %1").arg(textPath));
            return;
        }
        if (run.end == ConverterRun::End::Stopped) {
            m_feedback.SetStatusText(QStringLiteral("%1 was not opened: %2").arg(path, run.endText()));
            return;
        }
        // A converter that failed may have written part of the text: a page of it would lose the
        // rest at the next save.
        if (!run.succeeded()) {
            showConverterFailure(QStringLiteral("Unable to open: %1\n%2").arg(path, run.endText()), run);
            m_feedback.SetStatusText(QString());
            return;
        }
        if (JudgeConversionOutput(before, textPath) != ConversionOutput::Written) {
            showConverterFailure(QStringLiteral("Unable to open: %1").arg(path), run);
            m_feedback.SetStatusText(QString());
            return;
        }
        makePage(path, textPath, nullptr);
    } catch (const std::exception &) {
        m_converting.removeAll(path);
        m_dialogs.ShowError(QStringLiteral("Unable to open: %1").arg(path));
    }
}

Page *DocumentController::makePage(const QString &path, const QString &textPath, const QByteArray *text) {
    if (m_readme)
        m_readme->hide();

    auto *page = new Page(path);
    const BusyGuard guard(m_busy, page);
    connect(page, &Page::entered, this, [this](Page *entered) { PageEnter(entered); });
    m_pc->setCurrentIndex(m_pc->addTab(page, TabImageIcon(0), ExtractFileName(path)));
    page->setInitialTreeWidth();

    PageEditor *editor = page->editor();
    // The tree is built from the pieces of the load as they come, on a thread of its own.
    TreeBuildAhead ahead;
    if (text) {
        editor->setBytes8(*text);
    } else {
        bool loaded = false;
        {
            StatusProgress progress(m_feedback);
            loaded = editor->loadFile(textPath, nullptr,
                                      [&ahead, &progress](const QByteArray &utf8, qint64 done, qint64 total) {
                                          ahead.add(utf8);
                                          progress.setProgress(done, total);
                                      });
        }
        ahead.textVersion = editor->changeCount();
        if (!loaded) {
            m_dialogs.ShowError(QStringLiteral("Unable to load: %1").arg(textPath));
            destroyPage(page);
            m_feedback.SetStatusText(QString());
            return nullptr;
        }
    }
    watch(page);
    connect(editor, &PageEditor::edited, this, [this] { EditorChange(); });
    connect(editor, &QWidget::customContextMenuRequested, this, [this] {
        if (m_pmRichEdit)
            m_pmRichEdit->popup(QCursor::pos());
    });
    m_treeSync.attach(page);
    Q_EMIT pageCreated(page);
    editor->setModified(text != nullptr);

    const int index = m_pc->indexOf(page);
    if (!SelectPageContext(m_context, m_pc, index)) {
        m_dialogs.ShowError(QStringLiteral("Cannot change to \"Tab %1\"").arg(index));
        destroyPage(page);
        m_feedback.SetStatusText(QString());
        return nullptr;
    }
    if (text)
        UpdateTabCaption(index, true);
    page->tree()->TreeState = PageTree::FirstBuild;
    m_treeSync.RebuildStructureTree(page->tree(), editor, text ? nullptr : &ahead);
    m_feedback.SetStatusText(path);
    return page;
}

Page *DocumentController::OpenWithText(const QString &path, const QByteArray &text) {
    Page *page = nullptr;
    try {
        page = makePage(path, ChangeFileExt(path, QStringLiteral(".txt")), &text);
    } catch (const std::exception &) {
        m_dialogs.ShowError(QStringLiteral("Unable to open: %1").arg(path));
    }
    showReadmeWhenNoPage();
    return page;
}

void DocumentController::SetPageText(Page *page, const QByteArray &text) {
    const BusyGuard guard(m_busy, page);
    PageEditor *editor = page->editor();
    ++page->SyncSuspended;
    editor->setBytes8(text, true);
    editor->setModified(true);
    --page->SyncSuspended;
    UpdateTabCaption(m_pc->indexOf(page), true);
    reselect(page);
    page->tree()->TreeState = PageTree::Rebuild;
    m_treeSync.RebuildStructureTree(page->tree(), editor);
}

void DocumentController::showConverterFailure(const QString &text, const ConverterRun &run) {
    const QString details = run.details();
    if (details.isEmpty())
        m_dialogs.ShowError(text);
    else
        m_dialogs.ShowErrorDetails(text, details);
}

void DocumentController::destroyPage(Page *page) {
    if (!page->RbfPath.isEmpty())
        m_watcher->removePath(page->RbfPath);
    const int index = m_pc->indexOf(page);
    if (index >= 0)
        m_pc->removeTab(index);
    delete page;
}

void DocumentController::UpdateTabCaption(int index, bool modified) {
    Page *p = page(index);
    if (!p)
        return;
    // Every keystroke comes here: caption and icon are only set again when they change (setting
    // even the same caption lays out the page control and repaints all of it).
    const QString caption = ExtractFileName(p->RbfPath);
    if (m_pc->tabText(index) != caption)
        m_pc->setTabText(index, caption);
    const int image = modified ? 1 : 0;
    if (p->TabImage != image || m_pc->tabIcon(index).isNull()) {
        p->TabImage = image;
        m_pc->setTabIcon(index, TabImageIcon(image));
    }
}

void DocumentController::PageEnter(Page *page) {
    if (!SelectPageContext(m_context, m_pc, m_pc->indexOf(page)))
        return;
    // The status text lets events run while focus handling for this page is on the stack.
    const BusyGuard guard(m_busy, page);
    const QString rbfPath = m_context.CurrentRbfPath;
    m_feedback.ShowHintPopup(QString(), true, 0);
    m_feedback.UpdateCaretStatus();
    m_feedback.SetStatusText(rbfPath);
}

void DocumentController::EditorChange() {
    if ((FontChanging && FontChanging()) || !m_context.CurrentEditor)
        return;
    UpdateTabCaption(m_context.CurrentPageIndex, m_context.CurrentEditor->isModified());
}

void DocumentController::whenIdle() {
    if (!m_closePending)
        return;
    m_closePending = false;
    // The close asks questions: never from inside a handler that let events run.
    EventPump::afterInput(m_window, [window = m_window] {
        if (window->isVisible())
            window->close();
    });
}
