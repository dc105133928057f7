#pragma once
// The document commands: opening RBF files into pages through the converter,
// the page context handlers, saving, reopening and closing pages, and the
// window's close query. Handlers are named after the control and event
// they serve, so a reader finds each one by name.
//
// Conversions and tree builds let events run, so any command can arrive while
// one is under way. A page under such an operation is busy (BusyState): page
// commands on it are refused with a word in the status line, Save All saves the
// other pages and names the busy ones, and the window's close waits until the
// last operation has ended and then runs. A conversion that hangs can be left
// (ConverterWaits): the command then returns with its page and files as they were.
//
// A save runs only over an RBF file the user may write and that no other program
// changed since it was loaded or saved (or the user agreed), counts only when the
// converter ended well and rewrote the file, and, with VerifySave, only when the
// new file converts back to the saved text.

#include <QObject>
#include <QStringList>
#include <functional>

class BusyState;
class QFileSystemWatcher;
class Dialogs;
class Feedback;
class FolderTree;
class Page;
class QMenu;
class QTabWidget;
class TreeSync;
struct ConverterRun;
struct PageContext;

class DocumentController : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget *window;
        QTabWidget *PC;
        QWidget *REReadme;
        FolderTree *SLV;
        QMenu *PMRichEdit;
        PageContext &context;
        Feedback &feedback;
        Dialogs &dialogs;
        QString &converterPath;
        TreeSync &treeSync;
        BusyState &busy;
    };
    DocumentController(const Parts &parts, QObject *parent = nullptr);

    // True while the editor font is being changed: edits then leave the tab icons alone.
    std::function<bool()> FontChanging;
    // Every save converts the new RBF file back and compares it with the text (setting VerifySave).
    bool VerifySave = true;
    // Called before the converter writes the text file of an RBF file being opened, and of a page
    // being reopened (page set); false stops the open or reopen (the hook said why, or it put
    // the page's text in place itself).
    std::function<bool(const QString &rbfPath, Page *page)> BeforeTextConversion;
    // Called before a save's converter run rewrites the page's RBF file; a text returned says
    // what went wrong on the way (the save runs all the same, the status line tells it after).
    std::function<QString(Page *page)> BeforeRbfRewrite;

    // Opens the files selected in the folder tree, in selection order.
    void TBOpenClick();
    // Opens these files, as if they were the folder tree's selection.
    void TBOpenClick(const QStringList &paths);
    bool IsAlreadyOpen(const QString &path);

    bool SavePage(int index);
    bool ClosePage(int index);
    void TBSaveClick();
    void TBSaveAllClick();
    void TBReOpenClick();
    void TBCloseClick();
    void TBCloseAllClick();
    void FormCloseQuery(bool &canClose);
    void DeleteConvertedText();

    void UpdateTabCaption(int index, bool modified);
    void PageEnter(Page *page);
    void EditorChange();

    Page *page(int index) const;
    // Opens a page for path with this text (code page 1252) instead of converting the file: the
    // page is modified and its tree built from the text. nullptr when no page could be made.
    Page *OpenWithText(const QString &path, const QByteArray &text);
    // Replaces a page's text (one undoable edit), marks it modified and rebuilds its tree.
    void SetPageText(Page *page, const QByteArray &text);
    // Another program changed an open RBF file: says so in the status line.
    void RbfFileChanged(const QString &path);
    // True when a close of the window waits for an operation to end.
    bool closePending() const { return m_closePending; }

Q_SIGNALS:
    // A new page's editor is loaded and connected; other subsystems attach their handlers here.
    void pageCreated(Page *page);
    // This program wrote the text file now (a conversion for an open or reopen, or a save).
    void textFileWritten(const QString &textPath);
    // The page's text went to its RBF file.
    void pageSaved(Page *page);
    // The page was loaded again from its RBF file; its edits are gone.
    void pageReloaded(Page *page);
    // The page is closing with nothing left unsaved (saved, unmodified, or its edits declined).
    void pageClosing(Page *page);

private:
    void openFile(const QString &path);
    // Makes the page of an open: from the text file, or from text when it is given.
    Page *makePage(const QString &path, const QString &textPath, const QByteArray *text);
    bool savePage(Page *page);
    void destroyPage(Page *page);
    bool reselect(Page *page);
    void showReadmeWhenNoPage();
    void whenIdle();
    // Says that the page is busy and returns true when it is; false when the command may run.
    bool refusedAsBusy(Page *page);
    // The checks before a save runs anything; false (after saying why) when it must not.
    bool maySave(Page *page);
    bool verifySaved(Page *page, const QString &textPath);
    void watch(Page *page);
    // A converter run failed: the message text as described, what the converter printed below it.
    void showConverterFailure(const QString &text, const ConverterRun &run);
    // A save's converter run failed: as above, and when the converter named a line of the page's
    // text, offers to go there.
    void showSaveFailure(Page *page, const QString &text, const ConverterRun &run);

    QWidget *m_window;
    QTabWidget *m_pc;
    QWidget *m_readme;
    FolderTree *m_slv;
    QMenu *m_pmRichEdit;
    PageContext &m_context;
    Feedback &m_feedback;
    Dialogs &m_dialogs;
    QString &m_converterPath;
    TreeSync &m_treeSync;
    BusyState &m_busy;
    // RBF files whose conversion for opening is under way.
    QStringList m_converting;
    // The open RBF files, so that a change by another program is noticed.
    QFileSystemWatcher *m_watcher;
    bool m_closePending = false;
};
