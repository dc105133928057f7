#pragma once
// The program's command line: kestrelbench [--help | --version] [--] [FILE...].
//
// --help and --version print and end the start before anything else happens:
// no window, no lock, no hand-over to a running instance. Every other
// argument is a file to open; after "--" even one that starts with "-". An
// unknown option of the long form ("--name") is an error rather than a file,
// so that a mistyped option does not start the window. Single-dash words are
// left alone: Qt takes its own ("-style fusion") from the command line.

#include <QString>
#include <QStringList>

struct ProgramArguments {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QStringList files; // in the order given, as given (relative ones are not resolved)
    QString error;     // Error: what was wrong, for the message
};

// arguments: the whole command line, the program's name first.
ProgramArguments ParseProgramArguments(const QStringList &arguments);

QString ProgramHelpText();
QString ProgramVersionText();
