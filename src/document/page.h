#pragma once
// One tab page per open RBF file: its structure tree, a splitter and its editor.

#include "document/file_fingerprint.h"

#include <QString>
#include <QWidget>

class PageEditor;
class PageTree;
class QSplitter;

class Page : public QWidget {
    Q_OBJECT
public:
    explicit Page(const QString &rbfPath, QWidget *parent = nullptr);
    ~Page() override;

    const QString RbfPath;
    // The editor's modified flag while the editor font changes.
    bool SavedModified = false;
    // The tab image shown for the page: 0 not modified, 1 modified.
    int TabImage = 0;
    // The RBF file as it was when the page was loaded or last saved: a save over a file that
    // another program changed since asks first.
    FileFingerprint RbfPrint;
    // A save of the page is rewriting its RBF file: changes on disk are its own.
    bool Saving = false;

    // Operations under way that let events run while they hold references into
    // the page (a conversion wait, a tree build, a synchronisation). Page commands
    // that would close, reload, save or rebuild the page are refused meanwhile.
    int BusyCount = 0;
    bool isBusy() const { return BusyCount > 0; }
    // A build of the tree is under way: a second one is refused.
    bool TreeBuilding = false;
    // While above 0 (a reload or a build), caret moves leave the tree alone.
    int SyncSuspended = 0;

    PageTree *tree() const { return m_tree; }
    PageEditor *editor() const { return m_editor; }
    QSplitter *splitter() const { return m_splitter; }

    int treeWidth() const;
    void setTreeWidth(int width);
    // The smaller of 300 and a third of the page's width.
    int defaultTreeWidth() const { return qMin(300, width() / 3); }
    // Gives the tree its default width now, or once the page is first shown when it is hidden
    // (a page opened before the window shows has no width of its own yet).
    void setInitialTreeWidth();

protected:
    void showEvent(QShowEvent *event) override;

Q_SIGNALS:
    // The focus entered the page (or one of its controls) from outside it.
    void entered(Page *page);

private:
    void focusChanged(QWidget *old, QWidget *now);

    PageTree *m_tree;
    QSplitter *m_splitter;
    PageEditor *m_editor;
    bool m_initialWidthPending = false;
};

// The page that holds widget, or nullptr.
Page *PageOf(QWidget *widget);
