#pragma once
// The Find in Files command: the dialog, the search in the background, the results panel, and the
// way from a hit to its line: the file is opened as a page (or its page shown), the hit selected in
// the editor and, through the caret, its node in the structure tree.

#include "search/find_in_files.h"
#include "search/search_query.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <memory>

class DocumentController;
class FindInFilesDialog;
class FolderTree;
class QMainWindow;
class QTabWidget;
class SearchResultsModel;
class SearchResultsPanel;
class TextCache;

class FindInFilesController : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QMainWindow *window;
        QTabWidget *PC;
        FolderTree *SLV;
        DocumentController &documents;
        QString &converterPath;
    };
    explicit FindInFilesController(const Parts &parts, QObject *parent = nullptr);
    ~FindInFilesController() override;

    // The folder tree's selection as the settings file gave it: the dialog's folder while the tree
    // has none (it selects a path only once its folders have loaded).
    QString LastFolder;

    // Opens the dialog, its folder the one selected in the folder tree (the folder of a selected
    // file), else LastFolder; a folder typed in the dialog stays while the tree has no selection.
    void TBFindInFilesClick();
    // Runs the dialog's search; a search that still runs is cancelled first.
    void FindInFilesDFind();
    void cancel();
    // Goes to a hit: opens or shows its file's page and selects the match.
    void GoToHit(const QString &path, int line, int column, int length);

    bool running() const;
    FindInFilesDialog *dialog() const { return m_dialog; }
    SearchResultsPanel *panel() const { return m_panel; }
    SearchResultsModel *results() const { return m_model; }
    FindInFiles *search() const { return m_search; }
    // The panel's height, as the settings file keeps it.
    int panelHeight() const;
    void setPanelHeight(int height);
    // The cache of converted texts; its folder may be set before the first search (tests).
    void setCacheFolder(const QString &folder);

Q_SIGNALS:
    // The search ended (finished or cancelled); the model holds its results.
    void searchEnded(bool cancelled);

private:
    // The second step of a search, once the worker has listed the folder's files.
    void startSearch(FindInFiles::Request request, const QStringList &files);
    // Lets a listing still under way end by itself; its result is dropped.
    void dropListing();
    void showProgress(int done, int total, const QString &current);
    void ended(bool cancelled);
    void showArrived();

    QMainWindow *m_window;
    QTabWidget *m_pc;
    FolderTree *m_slv;
    DocumentController &m_documents;
    QString &m_converterPath;
    FindInFilesDialog *m_dialog;
    SearchResultsModel *m_model;
    SearchResultsPanel *m_panel;
    FindInFiles *m_search = nullptr;
    // The listing of the folder's files on a worker, and the flag that stops it.
    QFutureWatcher<QStringList> *m_listing = nullptr;
    std::shared_ptr<std::atomic<bool>> m_listingStop;
    std::shared_ptr<TextCache> m_cache;
    // Results wait here and reach the view a few times a second: one insertion (and one layout of
    // the view) per batch, not per file.
    QList<FileResult> m_arrived;
    QTimer *m_batch;
    QString m_cacheFolder;
    int m_panelHeight = 200;
};
