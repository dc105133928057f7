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
// - CR LF and LF end lines; the file is code page 1252, or UTF-8 after a UTF-8
//   byte order mark when this program had to store a value that code page 1252
//   cannot hold (a Linux path with, say, Cyrillic letters), which would
//   otherwise come back as "?". Only the mark makes a file UTF-8.
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
// else in UTF-8 with its mark.

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// The text of a settings file's bytes, and the bytes of its text, by the rule above.
QString DecodeSettingsText(const QByteArray &bytes);
QByteArray EncodeSettingsText(const QString &text);

class IniFile {
public:
    explicit IniFile(const QString &path); // a missing file reads as empty
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);
    bool Flush(); // writes the file atomically (QSaveFile); false when it cannot be written

private:
    struct Section {
        int lastKey;              // line index of its last key line, or of its header when it has none
        QHash<QString, int> keys; // folded key name -> line index of its first key line
    };

    void Reindex();
    const Section *FindSection(const QString &section) const;
    int FindKeyLine(const QString &section, const QString &key) const;

    QString m_path;
    QStringList m_lines;
    std::vector<Section> m_sections;    // first section of each name only
    QHash<QString, int> m_sectionIndex; // folded section name -> index into m_sections
};

// The whole text must be an integer in one of the accepted forms; see above.
bool ParseIniInteger(const QString &text, int &value);
