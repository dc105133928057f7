#pragma once
// The receiving side of the hand-over: paths handed over by later starts are
// queued, and a 200 ms timer opens them in batches when the window is
// activated and no modal dialog is open. Also opens the first instance's own
// command-line files, once the window shows.

#include "app/open_files_queue.h"

#include <QObject>

struct HandOverMessage;
class TFormMain;

class HandOver : public QObject {
    Q_OBJECT
public:
    explicit HandOver(TFormMain &window);

    // True while a batch is being opened (ticks that come meanwhile return at once).
    bool OpenFilesBusy = false;

    // A later start's message: queue its paths, attach AEIdle, bring this instance to the front.
    // Only absolute paths are queued: a relative one would be resolved against this
    // instance's folder, not the sender's.
    void receive(const HandOverMessage &message);
    // The one-shot idle step after a hand-over: turns TimerOpenFiles on.
    void AEIdle();
    void TimerOpenFilesTimer();
    // Last step of the window's creation: every file of the command line that exists (folders
    // and missing paths are passed over) opens as soon as the window has shown, and at once when
    // it shows already; the status line tells meanwhile. The open waits for a modal dialog.
    void OpenCommandLineFile();
    // True from the creation until the command-line files that wait for the window are opened.
    bool commandLineOpenPending() const { return m_commandLinePending; }
    // The status text while command-line files wait for the window to show.
    static QString OpeningText(const QStringList &files);

    // The open modal dialog or message box, else the main window, restored and activated.
    // activationEnv is the later start's desktop activation token ("NAME=value").
    void BringToFront(const QByteArray &activationEnv);
    // The main window accepts input: no modal dialog is open and it is enabled.
    bool MainWindowEnabled() const;
    bool idleAttached() const { return m_idleAttached; }

Q_SIGNALS:
    // The command-line files that waited for the window have been opened.
    void commandLineFilesOpened();

private:
    // Opens files as the command line's open does, once no dialog and no other open is in the way.
    void openCommandLineFiles(const QStringList &files);
    // Selects exactly those of paths that name existing files in the folder tree.
    void SelectExistingFiles(const QStringList &paths);

    TFormMain &m_window;
    OpenFilesQueue m_queue;
    bool m_idleAttached = false;
    bool m_commandLinePending = false;
    QStringList m_commandLineSelection; // the folder tree's selection made for them at creation
};
