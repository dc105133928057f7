#pragma once
// What a converter said while it ran, and what of it is shown to the user: the
// captured bytes of one stream, its lines, wine's own diagnostics filtered out,
// the last lines, and the line of the text that a refusal names.

#include <QByteArray>
#include <QString>
#include <QStringList>

// One standard stream of a run, kept to at most Limit bytes, so that a converter that prints
// without end costs no more memory than that. Up to Limit bytes are kept whole; of more, the first
// and the last half of Limit are kept (a refusal is usually said last) and the middle is counted
// and dropped.
struct CapturedStream {
    static constexpr qsizetype Limit = 64 * 1024;
    QByteArray data; // everything, or the first Limit / 2 bytes once some were dropped
    QByteArray tail; // the last Limit / 2 bytes once some were dropped; empty before
    qint64 dropped = 0;

    void append(const QByteArray &bytes);
    // OutputLines of what was kept; once bytes were dropped, the lines of the start, a line that
    // says how many bytes were left out, and the whole lines of the end.
    QStringList lines() const;
};

// The lines of captured output: UTF-8 when the bytes are valid UTF-8, else code page 1252 (so
// every byte shows as some character). LF or CR LF end lines; a last line without a line break
// still counts; control characters other than tabs show as U+FFFD, so a line stays one line.
QStringList OutputLines(const QByteArray &bytes);

// True for a line of wine's own debug channels: a thread id (optionally process id and thread
// id) and then "fixme:", "err:", "warn:" or "trace:" with a channel name ("0024:fixme:ntdll:...").
bool IsWineDiagnostic(const QString &line);
QStringList WithoutWineDiagnostics(const QStringList &lines);

// The last count lines.
QStringList LastLines(const QStringList &lines, int count);

// A position in the text that a converter's message names; line 0 when none. Both count from 1;
// column is 0 when the message names none.
struct NamedLine {
    int line = 0;
    int column = 0;
};

// The line of the text file fileName named by the last output line that names one, in the forms
//   "line N" (optionally ", column M"),
//   "FILE:N:" (optionally "FILE:N:M:"), and
//   "FILE(N)" (optionally "FILE(N,M)"),
// where FILE ends in fileName (any folder before it, "/" or "\", letter case ignored). A form
// naming another file does not count.
NamedLine FindNamedLine(const QStringList &lines, const QString &fileName);
