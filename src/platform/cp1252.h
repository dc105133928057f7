#pragma once
// Windows code page 1252, the program's 8-bit text encoding.
//
// Written by hand because Qt 6 ships no code-page codecs without ICU, and ICU
// maps the five bytes that 1252 leaves undefined to nothing; here they map to
// U+0081, U+008D, U+008F, U+0090 and U+009D and back, so every byte of a file
// survives a load and a save unchanged.

#include <QByteArray>
#include <QString>

QString DecodeCp1252(const QByteArray &bytes);
QString DecodeCp1252(const char *data, qsizetype size);
// Characters outside the code page become '?'.
QByteArray EncodeCp1252(const QString &text);
// True when every character of text has a byte in the code page.
bool FitsCp1252(const QString &text);

// The same conversions between code page 1252 bytes and UTF-8 (the editor's buffer), without a
// QString between them: each appends to out. Decoding gives the UTF-8 of DecodeCp1252; encoding
// gives the bytes of EncodeCp1252 for the decoded text (one '?' per character outside the code
// page, and one per byte that is not part of a valid UTF-8 sequence).
void AppendCp1252AsUtf8(const char *data, qsizetype size, QByteArray &out);
void AppendUtf8AsCp1252(const char *data, qsizetype size, QByteArray &out);

// The first character of a UTF-8 text that the code page cannot hold (a byte that is no part of a
// valid sequence counts as one too), with where it stands; offset is -1 when every character fits.
struct UnencodableCharacter {
    qsizetype offset = -1;  // byte offset of the character in the UTF-8 text
    qsizetype length = 0;   // its UTF-8 bytes
    char32_t character = 0; // U+FFFD for a stray byte
    int line = 0;           // zero-based; lines end at CR LF, LF or a CR alone
    bool found() const { return offset >= 0; }
};
UnencodableCharacter FindFirstUnencodableUtf8(const char *data, qsizetype size);
