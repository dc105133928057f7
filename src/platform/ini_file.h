#pragma once
// The settings file, read and written with the semantics of the Windows
// profile-file functions, so that a file written by either side reads the same.
//
// Hand-written because QSettings quotes and escapes values, reads "a;b" as a
// list and drops comments and order; none of that may happen to this file.
//
// Reading:
// - section and key names compare without regard to case; blanks, tabs and
//   other white space around names and values are ignored;
// - a value enclosed in a matching pair of double or single quotes reads
//   without them; an unmatched quote stays;
// - of duplicate keys in a section the first counts; of two sections with the
//   same name only the first is read;
// - a value reads as at most 2,047 characters;
// - a line without "=" is no key; lines before the first section belong to no
//   section; ";Top=5" is a key named ";Top" (there are no comment lines);
// - CR LF and LF end lines; the file is UTF-8 when it starts with the UTF-8
//   byte order mark, else code page 1252 (the bytes alone never decide: a path
//   such as "/x/\u00C3\u00A9" in code page 1252 is also valid UTF-8).
// Integers: an optional sign, then decimal digits, or hexadecimal digits after
// "$" or after "0x"/"0X" (when the text is longer than two characters). The
// whole text must be the number, so "12abc" gives the default (as Delphi's
// TIniFile does; GetPrivateProfileInt would read 12). Hexadecimal fills 32 bits
// and wraps to negative above 0x7FFFFFFF ("0xFFFFFFFF" is -1); a number beyond
// that, or a decimal number outside the 32-bit range, gives the default. Booleans are integers,
// non-zero is true.
//
// Writing keeps every other line as it stands: a key's value is replaced on its
// own line (the key keeps its spelling), a new key goes after the last key of
// its section, a new section at the end of the file. Flush writes the whole
// file with CR LF line ends, in code page 1252 when every character fits it,
// else as UTF-8 after a byte order mark (a Linux path with, say, Cyrillic
// letters would otherwise come back as "?").
//
// Size: the text is held once, with one offset per line and one small entry
// per section header; keys are indexed only in the sections that are read or
// written. Writes are recorded beside the text and merged into it by Flush, so
// no write shifts or re-indexes the file: a settings file of hundreds of
// thousands of sections costs a few times its size and one pass per Flush.

#include <QByteArray>
#include <QString>

#include <memory>

// The text of a settings file's bytes, and the bytes of its text, by the rule above.
QString DecodeSettingsText(const QByteArray &bytes);
QByteArray EncodeSettingsText(const QString &text);

class IniFile {
public:
    explicit IniFile(
        const QString &path); // a missing file, or one that is not a regular file, reads as empty
    ~IniFile();
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);
    // Writes the file atomically (QSaveFile); false when it cannot be written, or when something
    // other than a regular file (a FIFO, a device) is in its place.
    bool Flush();

    // Lines looked at so far by loading, indexing and lookups (not by Flush):
    // shows that the work grows with the file, not with the file times the writes.
    qint64 linesExamined() const;

private:
    struct Data;
    std::unique_ptr<Data> d;
};

// The whole text must be an integer in one of the accepted forms; see above.
bool ParseIniInteger(const QString &text, int &value);
