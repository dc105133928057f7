#include "app/hand_over.h"

#include "app/hand_over_message.h"
#include "app/main_window.h"
#include "ui/folder_tree.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

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
    if (message.hasPath && QDir::isAbsolutePath(message.path))
        m_queue.append(message.path);
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
    if (OpenFilesBusy)
        return;
    OpenFilesBusy = true;
    const ClearOnExit clearBusy{OpenFilesBusy};
    if (m_queue.isEmpty())
        return;
    const QStringList entries = m_queue.take();
    m_window.TimerOpenFiles->stop();
    RestoreIfMinimized(m_window);
    QStringList items;
    for (const QString &entry : entries) {
        if (!IsExistingFile(entry))
            continue;
        m_window.SLV->selectPath(entry);
        const QString selected = m_window.SLV->selectedPath();
        if (!selected.isEmpty())
            items << selected;
    }
    m_window.SLV->selectPaths(items);
    m_window.click(QStringLiteral("TBOpen"));
    m_window.SLV->clearSelectedItems();
}

void HandOver::OpenCommandLineFile() {
    const QStringList &arguments = m_window.arguments();
    if (arguments.size() < 2 || !IsExistingFile(arguments.at(1)))
        return;
    m_window.SLV->selectPath(QFileInfo(arguments.at(1)).absoluteFilePath());
    m_window.click(QStringLiteral("TBOpen"));
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
