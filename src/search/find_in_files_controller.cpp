#include "search/find_in_files_controller.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "search/file_walk.h"
#include "search/find_in_files.h"
#include "search/find_in_files_dialog.h"
#include "search/search_results_model.h"
#include "search/search_results_panel.h"
#include "search/text_cache.h"
#include "ui/event_hook.h"
#include "ui/event_pump.h"
#include "ui/folder_tree.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QTabWidget>
#include <QTreeView>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

FindInFilesController::FindInFilesController(const Parts &parts, QObject *parent)
    : QObject(parent), m_window(parts.window), m_pc(parts.PC), m_slv(parts.SLV), m_documents(parts.documents),
      m_converterPath(parts.converterPath), m_cacheFolder(TextCache::defaultFolder()) {
    m_dialog = new FindInFilesDialog(m_window);
    m_model = new SearchResultsModel(this);
    m_panel = new SearchResultsPanel(m_model, m_window);
    m_window->addDockWidget(Qt::BottomDockWidgetArea, m_panel);
    m_panel->hide();
    m_batch = new QTimer(this);
    m_batch->setSingleShot(true);
    m_batch->setInterval(100);
    connect(m_batch, &QTimer::timeout, this, [this] { showArrived(); });
    connect(m_dialog, &FindInFilesDialog::findRequested, this, [this] { FindInFilesDFind(); });
    connect(m_panel, &SearchResultsPanel::cancelRequested, this, [this] { cancel(); });
    // Opening a file converts it and lets events run: not from inside the view's input event.
    connect(m_panel, &SearchResultsPanel::hitActivated, this,
            [this](const QString &path, int line, int column, int length) {
                EventPump::afterInput(
                    this, [this, path, line, column, length] { GoToHit(path, line, column, length); });
            });
    // A closed panel stops its search: nobody would see the rest. A panel that shows takes the
    // height it had; the user's resizing is kept for the settings file.
    connect(m_panel, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            m_window->resizeDocks({m_panel}, {m_panelHeight}, Qt::Vertical);
        else if (m_panel->isHidden())
            cancel();
    });
    OnResize(m_panel, [this] {
        if (m_panel->isVisible() && m_panel->height() > 0)
            m_panelHeight = m_panel->height();
    });
}

FindInFilesController::~FindInFilesController() {
    dropListing();
    // A search still running ends here, without telling a panel that may be gone.
    if (m_search)
        m_search->disconnect(this);
    delete m_search;
}

bool FindInFilesController::running() const {
    return m_listing || (m_search && m_search->running());
}

void FindInFilesController::TBFindInFilesClick() {
    QString selected = m_slv->selectedPath();
    if (selected.isEmpty() && m_dialog->scope().folder.isEmpty())
        selected = LastFolder;
    if (!selected.isEmpty()) {
        const QFileInfo info(selected);
        m_dialog->setFolder(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    }
    m_dialog->showOrRaise();
}

void FindInFilesController::setCacheFolder(const QString &folder) {
    m_cacheFolder = folder;
    m_cache.reset();
}

void FindInFilesController::FindInFilesDFind() {
    dropListing();
    cancel();
    const SearchScope scope = m_dialog->scope();
    m_arrived.clear();
    m_model->clear();
    m_panel->show();
    m_panel->raise();
    if (scope.folder.isEmpty()) {
        m_panel->setStatus(QStringLiteral("Choose a folder to search in."));
        return;
    }
    if (!QFileInfo(scope.folder).isDir()) {
        m_panel->setStatus(
            QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(scope.folder)));
        return;
    }
    FindInFiles::Request request;
    request.query = m_dialog->query();
    request.converterPath = m_converterPath;
    m_panel->setRunning(true);
    m_panel->setStatus(QStringLiteral("Listing the files of %1").arg(QDir::toNativeSeparators(scope.folder)));
    // The walk of a large folder takes long: on a worker, and the window goes on meanwhile.
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_listingStop = stop;
    m_listing = new QFutureWatcher<QStringList>(this);
    connect(m_listing, &QFutureWatcher<QStringList>::finished, this, [this, request] {
        const QStringList files = m_listing->result();
        m_listing->deleteLater();
        m_listing = nullptr;
        m_listingStop.reset();
        startSearch(request, files);
    });
    m_listing->setFuture(QtConcurrent::run([scope, stop] { return ListSearchFiles(scope, stop.get()); }));
}

void FindInFilesController::dropListing() {
    if (!m_listing)
        return;
    m_listingStop->store(true);
    m_listing->disconnect(this);
    // The worker owns its copy of the flag and ends at its next file.
    m_listing->deleteLater();
    m_listing = nullptr;
    m_listingStop.reset();
}

void FindInFilesController::startSearch(FindInFiles::Request request, const QStringList &files) {
    request.files = files;
    if (!m_cache)
        m_cache = std::make_shared<TextCache>(m_cacheFolder);
    request.cache = m_cache;
    // Open pages are searched as the editor holds them, unsaved edits and all.
    for (int i = 0; i < m_pc->count(); ++i) {
        const Page *page = qobject_cast<Page *>(m_pc->widget(i));
        if (page && page->editor())
            request.pageTexts.insert(QFileInfo(page->RbfPath).absoluteFilePath(), page->editor()->bytes8());
    }
    delete m_search;
    m_search = new FindInFiles(this);
    connect(m_search, &FindInFiles::fileSearched, this, [this](const FileResult &result) {
        m_arrived << result;
        if (!m_batch->isActive())
            m_batch->start();
    });
    connect(m_search, &FindInFiles::progress, this, &FindInFilesController::showProgress);
    connect(m_search, &FindInFiles::finished, this, &FindInFilesController::ended);
    if (!m_search->start(request)) {
        m_panel->setRunning(false);
        m_panel->setStatus(m_search->problem());
        return;
    }
    showProgress(0, int(request.files.size()), QString());
}

void FindInFilesController::cancel() {
    if (m_listing) {
        dropListing();
        m_panel->setRunning(false);
        m_panel->setStatus(QStringLiteral("Cancelled while the files were listed"));
        Q_EMIT searchEnded(true);
        return;
    }
    if (running())
        m_search->cancel();
}

void FindInFilesController::showProgress(int done, int total, const QString &current) {
    QString text =
        QStringLiteral("Searching: %1 of %2 files, %3 hits").arg(done).arg(total).arg(m_model->hitCount());
    if (!current.isEmpty())
        text += QStringLiteral(" - ") + QDir::toNativeSeparators(current);
    m_panel->setStatus(text);
}

void FindInFilesController::showArrived() {
    m_batch->stop();
    const QList<FileResult> arrived = std::exchange(m_arrived, {});
    m_model->add(arrived);
}

void FindInFilesController::ended(bool cancelled) {
    showArrived();
    m_panel->setRunning(false);
    const int searched = m_search ? m_search->done() : 0;
    const int total = m_search ? m_search->total() : 0;
    const int hits = m_model->hitCount();
    QString text = QStringLiteral("%1 %2 in %3 of %4 files")
                       .arg(hits)
                       .arg(hits == 1 ? QStringLiteral("hit") : QStringLiteral("hits"))
                       .arg(m_model->fileCount() - m_model->problemCount())
                       .arg(total);
    if (m_model->problemCount() > 0)
        text += QStringLiteral("; %1 files could not be searched").arg(m_model->problemCount());
    if (cancelled)
        text += QStringLiteral("; cancelled after %1 files").arg(searched);
    m_panel->setStatus(text);
    Q_EMIT searchEnded(cancelled);
}

void FindInFilesController::GoToHit(const QString &path, int line, int column, int length) {
    const auto findPage = [this, &path]() -> int {
        for (int i = 0; i < m_pc->count(); ++i) {
            const Page *page = qobject_cast<Page *>(m_pc->widget(i));
            if (page && QFileInfo(page->RbfPath).absoluteFilePath().compare(path, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    };
    int index = findPage();
    if (index < 0) {
        m_documents.TBOpenClick(QStringList{path});
        index = findPage();
        if (index < 0)
            return; // the open said why
    }
    m_pc->setCurrentIndex(index);
    Page *page = qobject_cast<Page *>(m_pc->widget(index));
    PageEditor *editor = page->editor();
    // The editor's text may have changed since the search: keep inside it.
    const int safeLine = qBound(0, line, qMax(0, editor->LineCount() - 1));
    editor->setFocus();
    editor->setCaret(column, safeLine);
    editor->setSelectionLength(length);
    editor->scrollCaret();
}

int FindInFilesController::panelHeight() const {
    return m_panelHeight;
}

void FindInFilesController::setPanelHeight(int height) {
    if (height <= 0)
        return;
    m_panelHeight = height;
    if (m_panel->isVisible())
        m_window->resizeDocks({m_panel}, {height}, Qt::Vertical);
}
