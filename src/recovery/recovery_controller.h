#pragma once
// Keeps unsaved edits safe from a crash, a killed program or a lost session,
// and keeps backups of RBF files from a converter that writes a wrong one.
//
// - While a page is modified its text goes to a recovery file (recovery_folder.h):
//   PauseMs after typing pauses, and at least every LongestMs while typing goes
//   on. The text is copied out of the editor on the UI thread (a memory copy);
//   converting and writing it happen on a worker thread, one write after the
//   other, so the window never waits for the disk. A save removes the file, so
//   does closing the page (saved, unmodified, or its edits declined); a reopen
//   moves it to the discarded ones; a failed save and a killed program keep it.
// - After the window shows, and whenever an RBF file with a recovery file is
//   opened, the user is asked whether to restore it; No moves it to "discarded".
// - A text file beside an RBF file that this program did not write in this
//   session (the edits of a failed save, a quit with pages left, a crash) is
//   moved into the recovery folder before the converter could overwrite it, and
//   offered the same way.
// - Before a save rewrites an RBF file, a copy goes to the backups
//   (backup_store.h); "Restore backup..." converts a chosen one into the page.

#include "recovery/backup_store.h"
#include "recovery/recovery_folder.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>

class BusyState;
class Dialogs;
class DocumentController;
class Feedback;
class Page;
class QTabWidget;
class QTimer;
class QWidget;

class RecoveryController : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QTabWidget *PC;
        DocumentController &documents;
        Feedback &feedback;
        Dialogs &dialogs;
        QString &converterPath;
        BusyState &busy;
    };
    RecoveryController(const Parts &parts, QObject *parent = nullptr);
    // Waits for writes under way: they hold the only copy of the newest edits.
    ~RecoveryController() override;

    // How many backups of each RBF file are kept (setting Backups); 0 takes none.
    int Backups = 5;
    // A page's text is written this long after typing pauses, and at least this often while it goes on.
    int PauseMs = 2000;
    int LongestMs = 10000;

    // Offers every recovery file whose RBF file exists; from then on opens ask as well.
    void OfferAtStart();
    // "Restore backup...": the backups of the page at the index, one of them converted into it.
    void RestoreBackup(int pageIndex);
    // Writes every modified page's text now and waits until it is on disk (the window closes
    // with pages left open).
    void WriteAllNow();
    // Copies the page's text and hands it to the writer (no wait); a page that is not modified
    // loses its recovery file instead. What the timers call.
    void WritePage(Page *page);
    // Writes and removals handed to the writer and not yet done.
    int writesUnderWay() const { return m_pending; }
    // Waits until every write and removal under way has ended, and their results are taken.
    void waitForWrites();
    // The recovery file that holds a page's text; empty when there is none.
    QString recoveryFileOf(Page *page) const;
    const RecoveryFolder &folder() const { return m_folder; }
    const BackupStore &backups() const { return m_backups; }

    // The question that offers a recovery file.
    static QString RestoreQuestion(const RecoveryRecord &record);

private:
    struct Tracked {
        QPointer<Page> page;
        QTimer *pause = nullptr;
        QTimer *longest = nullptr;
        QString file;
        // A write found the page busy: it is made when the operation under way ends.
        bool waitingForIdle = false;
    };
    void track(Page *page);
    void edited(Page *page);
    // The writes that found their page busy, made when no operation holds it any more.
    void writeWaiting();
    // Removes the page's recovery file, or moves it to the discarded ones.
    void dropFile(Page *page, bool discard);
    bool beforeConversion(const QString &rbfPath, Page *page);
    // Asks about the recovery files of rbfPath, newest first; true when one was restored, into
    // page or, without one, into a new page.
    bool offer(const QString &rbfPath, Page *page);
    void discard(const QString &file);
    QString backUp(Page *page);
    Page *openPage(const QString &rbfPath) const;
    bool ownedByPage(const QString &file) const;
    // Runs work on the writing thread, after what was handed to it before; its result (a problem,
    // or empty) comes back to the UI thread.
    void submit(const QString &rbfPath, std::function<QString()> work);
    void written(const QString &rbfPath, const QString &problem);

    QTabWidget *m_pc;
    DocumentController &m_documents;
    Feedback &m_feedback;
    Dialogs &m_dialogs;
    QString &m_converterPath;
    BusyState &m_busy;
    RecoveryFolder m_folder;
    BackupStore m_backups;
    QThreadPool m_pool;
    QHash<Page *, Tracked> m_pages;
    // Text files this program wrote in this session, as they were then (size and time).
    QHash<QString, QPair<qint64, QDateTime>> m_written;
    bool m_started = false;
    bool m_problemShown = false;
    bool m_idleWritePosted = false;
    int m_pending = 0;
};
