#include "app/hand_over.h"

#include "app/hand_over_message.h"
#include "app/main_window.h"
#include "app/program_arguments.h"
#include "ui/event_pump.h"
#include "ui/feedback.h"
#include "ui/folder_tree.h"
#include "ui/when_shown.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>

namespace {
bool IsExistingFile(const QString &path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// Clears a flag when the scope ends, also when a step throws.
struct ClearOnExit {
    bool &flag;
    ~ClearOnExit() { flag = false; }
};

void RestoreIfMinimized(QWidget &widget) {
    if (widget.isMinimized())
        widget.setWindowState(widget.windowState() & ~Qt::WindowMinimized);
}
} // namespace

HandOver::HandOver(TFormMain &window) : QObject(&window), m_window(window) {
    connect(m_window.TimerOpenFiles, &QTimer::timeout, this, &HandOver::TimerOpenFilesTimer);
}

void HandOver::receive(const HandOverMessage &message) {
    for (const QString &path : message.paths) {
        if (QDir::isAbsolutePath(path))
            m_queue.append(path);
    }
    // An idle step: a zero timer fires once, as soon as the events pending now
    // have been handled, also inside a modal dialog's loop; like an idle
    // handler it is attached once however many hand-overs come before it runs.
    if (!m_idleAttached) {
        m_idleAttached = true;
        QTimer::singleShot(0, this, &HandOver::AEIdle);
    }
    BringToFront(message.activationEnv);
}

void HandOver::AEIdle() {
    m_idleAttached = false;
    m_window.TimerOpenFiles->start();
}

bool HandOver::MainWindowEnabled() const {
    return QApplication::activeModalWidget() == nullptr && m_window.isEnabled();
}

void HandOver::TimerOpenFilesTimer() {
    if (!m_window.IsActivated || !MainWindowEnabled())
        return;
    // Opening asks questions and takes input while it waits: not inside a pump that excludes input
    // (the timer comes again).
    if (OpenFilesBusy || EventPump::userInputExcluded())
        return;
    OpenFilesBusy = true;
    const ClearOnExit clearBusy{OpenFilesBusy};
    if (m_queue.isEmpty())
        return;
    const QStringList entries = m_queue.take();
    m_window.TimerOpenFiles->stop();
    RestoreIfMinimized(m_window);
    SelectExistingFiles(entries);
    m_window.click(QStringLiteral("TBOpen"));
    m_window.SLV->clearSelectedItems();
}

void HandOver::SelectExistingFiles(const QStringList &paths) {
    QStringList items;
    for (const QString &path : paths) {
        if (!IsExistingFile(path))
            continue;
        m_window.SLV->selectPath(path);
        const QString selected = m_window.SLV->selectedPath();
        if (!selected.isEmpty() && !items.contains(selected))
            items << selected;
    }
    m_window.SLV->selectPaths(items);
}

void HandOver::OpenCommandLineFile() {
    QStringList files;
    for (const QString &file : ParseProgramArguments(m_window.arguments()).files) {
        if (!file.isEmpty())
            files << QFileInfo(file).absoluteFilePath();
    }
    // Nothing to open leaves the tree's selection (LastFolder) as it is.
    if (std::none_of(files.cbegin(), files.cend(), IsExistingFile))
        return;
    if (m_window.isVisible()) {
        openCommandLineFiles(files);
        return;
    }
    // Selected now, as a step of the creation, so that the folder tree shows them from the start;
    // the open itself waits for the window: a large file takes seconds, and the window shows
    // first, empty, and says what is coming.
    SelectExistingFiles(files);
    m_commandLineSelection = m_window.SLV->selectedPaths();
    m_window.feedback().SetStatusText(OpeningText(files));
    m_commandLinePending = true;
    RunWhenShown(&m_window, [this, files] { openCommandLineFiles(files); });
}

QString HandOver::OpeningText(const QStringList &files) {
    QStringList shown;
    for (const QString &file : files) {
        if (IsExistingFile(file))
            shown << QDir::toNativeSeparators(file);
    }
    if (shown.size() <= 1)
        return QStringLiteral("Opening %1").arg(shown.value(0));
    return QStringLiteral("Opening %1 and %2 more").arg(shown.first()).arg(shown.size() - 1);
}

void HandOver::openCommandLineFiles(const QStringList &files) {
    // A question on the screen (the converter's location, say) or a batch of handed-over files
    // being opened comes first; the open waits for them.
    if (!MainWindowEnabled() || OpenFilesBusy || EventPump::userInputExcluded()) {
        QTimer::singleShot(m_window.TimerOpenFiles->interval(), this,
                           [this, files] { openCommandLineFiles(files); });
        return;
    }
    OpenFilesBusy = true;
    {
        const ClearOnExit clearBusy{OpenFilesBusy};
        // Selected again only when something changed the selection meanwhile.
        if (m_commandLineSelection.isEmpty() || m_window.SLV->selectedPaths() != m_commandLineSelection)
            SelectExistingFiles(files);
        m_commandLineSelection.clear();
        m_window.click(QStringLiteral("TBOpen"));
    }
    m_commandLinePending = false;
    Q_EMIT commandLineFilesOpened();
}

void HandOver::BringToFront(const QByteArray &activationEnv) {
    // Nothing to raise while the window is still being created.
    if (!m_window.isVisible())
        return;
    // Desktops only let a program raise itself with the token of the start
    // that asked for it; Qt's Wayland plugin reads it from the environment.
    const qsizetype equals = activationEnv.indexOf('=');
    if (equals > 0) {
        const QByteArray name = activationEnv.left(equals);
        if (name == "XDG_ACTIVATION_TOKEN" || name == "DESKTOP_STARTUP_ID")
            qputenv(name.constData(), activationEnv.mid(equals + 1));
    }
    RestoreIfMinimized(m_window);
    QWidget *target = QApplication::activeModalWidget();
    if (!target)
        target = &m_window;
    RestoreIfMinimized(*target);
    target->raise();
    target->activateWindow();
}
