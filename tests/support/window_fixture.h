#pragma once
// A real main window for a test: its own temporary executable folder (settings
// file and readme land there), scripted dialogs, and the built converter.

#include "app/main_window.h"
#include "support/scripted_dialogs.h"

#include <QTemporaryDir>
#include <memory>

class WindowFixture {
public:
    // The settings file, when given, is written into the executable folder before the window starts.
    explicit WindowFixture(const QStringList &arguments = {}, const QByteArray &settings = QByteArray());
    ~WindowFixture();

    TFormMain &window() { return *m_window; }
    ScriptedDialogs dialogs;
    QString exeDir() const { return m_exeDir.path() + QLatin1Char('/'); }
    // A scratch folder for data files of the test.
    QString dataDir() const { return m_dataDir.path() + QLatin1Char('/'); }
    // The window's own state folder ($XDG_STATE_HOME for its life): recovery files and backups of
    // one test never meet another's.
    QString stateHome() const { return m_stateDir.path(); }
    // The stand-in converter built with the program.
    static QString grindlePath();

    // Writes a text file (bytes as given) into the data folder and returns its path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir m_exeDir;
    QTemporaryDir m_dataDir;
    QTemporaryDir m_stateDir;
    QByteArray m_oldStateHome;
    std::unique_ptr<TFormMain> m_window;
};
