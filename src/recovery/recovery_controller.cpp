// Recovery files of modified pages, and the questions that offer them back.

#include "recovery/recovery_controller.h"

#include "document/busy_state.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "platform/file_names.h"
#include "ui/dialogs.h"
#include "ui/feedback.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QTabWidget>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace {
QPair<qint64, QDateTime> SizeAndTime(const QString &path) {
    const QFileInfo info(path);
    return {info.size(), info.lastModified()};
}
} // namespace

RecoveryController::RecoveryController(const Parts &parts, QObject *parent)
    : QObject(parent), m_pc(parts.PC), m_documents(parts.documents), m_feedback(parts.feedback),
      m_dialogs(parts.dialogs), m_converterPath(parts.converterPath), m_busy(parts.busy) {
    // One writer: a removal never overtakes the write before it.
    m_pool.setMaxThreadCount(1);
    DocumentController *documents = &m_documents;
    connect(documents, &DocumentController::pageCreated, this, [this](Page *page) { track(page); });
    // Operations that hold a page let events run, so a timer often fires inside one; retried on a
    // timer alone, a write could land inside the next one again as long as the typing goes on.
    // Made from the event loop, not inside the guard that ends: its owner may go on with the page
    // (a close destroys it, a save reports it) before the write could look at it.
    connect(&m_busy, &BusyState::becameIdle, this, [this] {
        // Every caret sync ends so: nothing is posted unless a write waits.
        if (m_idleWritePosted || std::none_of(m_pages.cbegin(), m_pages.cend(),
                                              [](const Tracked &tracked) { return tracked.waitingForIdle; }))
            return;
        m_idleWritePosted = true;
        QMetaObject::invokeMethod(
            this, [this] { writeWaiting(); }, Qt::QueuedConnection);
    });
    connect(documents, &DocumentController::textFileWritten, this,
            [this](const QString &textPath) { m_written.insert(textPath, SizeAndTime(textPath)); });
    connect(documents, &DocumentController::pageSaved, this, [this](Page *page) {
        // Letters typed while the converter ran are not saved: they are written again instead.
        if (page->editor()->isModified())
            WritePage(page);
        else
            dropFile(page, false);
    });
    connect(documents, &DocumentController::pageClosing, this, [this](Page *page) { dropFile(page, false); });
    connect(documents, &DocumentController::pageReloaded, this, [this](Page *page) { dropFile(page, true); });
    m_documents.BeforeTextConversion = [this](const QString &rbfPath, Page *page) {
        return beforeConversion(rbfPath, page);
    };
    m_documents.BeforeRbfRewrite = [this](Page *page) { return backUp(page); };
}

RecoveryController::~RecoveryController() {
    m_pool.waitForDone();
}

QString RecoveryController::RestoreQuestion(const RecoveryRecord &record) {
    QString text = QStringLiteral("Unsaved changes to %1 from %2 were found. Restore them?")
                       .arg(record.rbfPath,
                            record.written.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (record.rbfChangedSince())
        text += QStringLiteral("\nThe file has changed on disk since.");
    return text;
}

void RecoveryController::track(Page *page) {
    Tracked &tracked = m_pages[page];
    tracked.page = page;
    tracked.pause = new QTimer(this);
    tracked.pause->setSingleShot(true);
    tracked.longest = new QTimer(this);
    tracked.longest->setSingleShot(true);
    connect(tracked.pause, &QTimer::timeout, this, [this, page] { WritePage(page); });
    connect(tracked.longest, &QTimer::timeout, this, [this, page] { WritePage(page); });
    connect(page->editor(), &PageEditor::edited, this, [this, page] { edited(page); });
    // A page that goes without closing (the window ends with it open) keeps its file.
    connect(page, &QObject::destroyed, this, [this, page] {
        const Tracked gone = m_pages.take(page);
        delete gone.pause;
        delete gone.longest;
    });
}

void RecoveryController::edited(Page *page) {
    const auto it = m_pages.find(page);
    if (it == m_pages.end())
        return;
    it->pause->start(PauseMs);
    if (!it->longest->isActive())
        it->longest->start(LongestMs);
}

QString RecoveryController::recoveryFileOf(Page *page) const {
    return m_pages.value(page).file;
}

void RecoveryController::WritePage(Page *page) {
    const auto it = m_pages.find(page);
    if (it == m_pages.end() || !it->page)
        return;
    // A load, a save or a tree update holds the page (status texts let timers run inside them):
    // its text may be half replaced. Soon again, on the timer that typing does not put off.
    if (page->isBusy()) {
        it->waitingForIdle = true;
        it->longest->start(qMin(LongestMs, 250));
        return;
    }
    it->waitingForIdle = false;
    it->pause->stop();
    it->longest->stop();
    PageEditor *editor = page->editor();
    if (!editor->isModified()) {
        dropFile(page, false);
        return;
    }
    RecoveryRecord record;
    record.rbfPath = page->RbfPath;
    if (page->RbfPrint.exists) {
        record.rbfSize = page->RbfPrint.size;
        record.rbfModified = page->RbfPrint.modified.toUTC();
    }
    record.written = QDateTime::currentDateTimeUtc();
    if (it->file.isEmpty())
        it->file = m_folder.newFilePath(page->RbfPath, record.written);
    // The only work on the UI thread: a copy of the editor's buffer. The worker never reads the
    // editor, which may change meanwhile.
    const QByteArrayView buffer = editor->utf8View();
    const QByteArray utf8(buffer.data(), buffer.size());
    const QString file = it->file;
    const RecoveryFolder folder = m_folder;
    submit(page->RbfPath, [folder, file, record, utf8]() -> QString {
        QString error;
        if (!folder.prepare(&error) || !WriteRecoveryFile(file, record, utf8, &error))
            return error;
        return QString();
    });
}

void RecoveryController::writeWaiting() {
    m_idleWritePosted = false;
    // A page closed since is no longer tracked; one held again waits for the next end (or its
    // retry timer). WritePage rechecks that the page is still modified.
    const QList<Page *> pages = m_pages.keys();
    for (Page *page : pages) {
        const auto it = m_pages.constFind(page);
        if (it != m_pages.constEnd() && it->waitingForIdle && it->page && !page->isBusy())
            WritePage(page);
    }
}

void RecoveryController::dropFile(Page *page, bool discard) {
    const auto it = m_pages.find(page);
    if (it == m_pages.end())
        return;
    // A write put off by the operation under way goes too: made after a close or a reload, it
    // would bring back the edits just declined.
    it->waitingForIdle = false;
    it->pause->stop();
    it->longest->stop();
    const QString file = it->file;
    it->file.clear();
    if (file.isEmpty())
        return;
    const RecoveryFolder folder = m_folder;
    submit(page->RbfPath, [folder, file, discard]() -> QString {
        QString error;
        if (!QFileInfo::exists(file))
            return QString();
        if (discard)
            return folder.discard(file, &error) ? QString() : error;
        return QFile::remove(file) ? QString() : QStringLiteral("%1 cannot be removed").arg(file);
    });
}

void RecoveryController::submit(const QString &rbfPath, std::function<QString()> work) {
    auto *watcher = new QFutureWatcher<QString>(this);
    ++m_pending;
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, rbfPath] {
        --m_pending;
        written(rbfPath, watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(&m_pool, std::move(work)));
}

void RecoveryController::written(const QString &rbfPath, const QString &problem) {
    // Said once, not every two seconds while the disk stays full; again after it worked once.
    if (problem.isEmpty()) {
        m_problemShown = false;
    } else if (!m_problemShown) {
        m_problemShown = true;
        m_feedback.SetStatusText(
            QStringLiteral("Unsaved changes to %1 cannot be kept for recovery: %2").arg(rbfPath, problem));
    }
}

void RecoveryController::waitForWrites() {
    m_pool.waitForDone();
    // The watchers report through queued events.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void RecoveryController::WriteAllNow() {
    for (auto it = m_pages.begin(); it != m_pages.end(); ++it) {
        if (it->page && it->page->editor()->isModified())
            WritePage(it->page);
    }
    m_pool.waitForDone();
}

Page *RecoveryController::openPage(const QString &rbfPath) const {
    for (int i = 0; i < m_pc->count(); ++i) {
        Page *page = m_documents.page(i);
        if (page && page->RbfPath == rbfPath)
            return page;
    }
    return nullptr;
}

bool RecoveryController::ownedByPage(const QString &file) const {
    for (const Tracked &tracked : m_pages) {
        if (tracked.file == file)
            return true;
    }
    return false;
}

void RecoveryController::discard(const QString &file) {
    QString error;
    if (!m_folder.discard(file, &error))
        m_dialogs.ShowError(QStringLiteral("%1 stays where it is: %2").arg(file, error));
}

bool RecoveryController::beforeConversion(const QString &rbfPath, Page *page) {
    const QString textPath = ChangeFileExt(rbfPath, QStringLiteral(".txt"));
    const QFileInfo text(textPath);
    const auto mine = m_written.constFind(textPath);
    const bool written = mine != m_written.constEnd() && *mine == SizeAndTime(textPath);
    if (text.isFile() && !written) {
        // The converter would write over it: it may be the only copy of someone's edits.
        QString error;
        if (!m_folder.adoptTextFile(textPath, rbfPath, nullptr, &error)) {
            m_dialogs.ShowError(QStringLiteral("%1 was not converted: %2 could not be moved aside (%3)")
                                    .arg(rbfPath, textPath, error));
            return false;
        }
    }
    // Before the window shows (files of the command line), the start's questions come later.
    if (!m_started)
        return true;
    return !offer(rbfPath, page);
}

bool RecoveryController::offer(const QString &rbfPath, Page *page) {
    QList<RecoveryEntry> entries = m_folder.entries(rbfPath);
    entries.removeIf([this](const RecoveryEntry &entry) { return ownedByPage(entry.file); });
    const QPointer<Page> target(page);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString file = entries.at(i).file;
        if (!m_dialogs.AskYesNo(RestoreQuestion(entries.at(i).record))) {
            discard(file);
            continue;
        }
        RecoveryRecord record;
        QString error;
        if (!ReadRecoveryFile(file, record, true, &error)) {
            m_dialogs.ShowError(QStringLiteral("%1 cannot be read: %2").arg(file, error));
            continue;
        }
        if (page && !target)
            return false;
        Page *restored = target;
        if (restored)
            m_documents.SetPageText(restored, record.text);
        else
            restored = m_documents.OpenWithText(rbfPath, record.text);
        if (!restored || !m_pages.contains(restored))
            return false;
        // The page's text lives in this file from now on; what the page had written before goes.
        Tracked &tracked = m_pages[restored];
        if (!tracked.file.isEmpty() && tracked.file != file)
            discard(tracked.file);
        tracked.file = file;
        tracked.pause->stop();
        tracked.longest->stop();
        // The older ones are of no use beside it; they wait among the discarded ones.
        for (qsizetype j = i + 1; j < entries.size(); ++j)
            discard(entries.at(j).file);
        return true;
    }
    return false;
}

void RecoveryController::OfferAtStart() {
    m_started = true;
    m_folder.purgeDiscarded(QDateTime::currentDateTimeUtc());
    QStringList unreadable;
    QStringList paths;
    for (const RecoveryEntry &entry : m_folder.entries(QString(), &unreadable)) {
        if (!paths.contains(entry.record.rbfPath))
            paths << entry.record.rbfPath;
    }
    if (!unreadable.isEmpty())
        m_feedback.SetStatusText(
            QStringLiteral("Left alone, not recovery files: %1").arg(unreadable.join(QStringLiteral("; "))));
    for (const QString &path : paths) {
        Page *page = openPage(path);
        // Text of a file that is gone waits until the file is back: nothing to save it into.
        if (page || QFileInfo(path).isFile())
            offer(path, page);
    }
}
