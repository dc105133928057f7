#pragma once
// UCS string tables: the game's localised strings, one "number TAB text" per
// line, stored as UTF-16 little-endian after a two-byte byte-order mark.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <bitset>
#include <functional>

// The file's lines as the program holds them: code page 1252 text (see
// platform/cp1252.h), characters the code page lacks replaced by "?". The
// first two bytes are skipped unexamined; the text ends at the end of the data
// or at the first code unit 0; an odd last byte is the low byte of a last code
// unit. CR LF, a lone CR and a lone LF end a line; a break at the very end
// adds no empty line.
QStringList DecodeUcsText(const QByteArray &fileBytes);

// The same decoding fed piece by piece, for a file read in pieces: the lines
// equal DecodeUcsText of all the pieces together, however the data is cut, and
// only the line being read and the piece at hand are held besides them.
class UcsDecoder {
public:
    UcsDecoder();
    // The next bytes of the file, its first two (the mark) included.
    void feed(const char *data, qsizetype size);
    // No more bytes come: the last line is complete.
    void finish();
    // The lines completed so far, handed over (the decoder keeps none of them).
    QStringList takeLines();
    // A code unit 0 was met: the text has ended, later bytes are not looked at.
    bool ended() const { return m_ended; }

private:
    void feedStep(const char *data, qsizetype size);
    void endLine(QStringView rest);

    const std::bitset<0x10000> &m_inCodePage;
    int m_markLeft = 2;         // bytes of the mark still to skip
    int m_oddByte = -1;         // the low byte of a unit whose high byte is in the next piece
    char16_t m_pendingHigh = 0; // a high surrogate whose partner may be in the next unit
    bool m_afterCr = false;     // the previous unit was a CR, so an LF now only completes that break
    bool m_ended = false;
    QString m_line; // the line being read
    QStringList m_lines;
};

// True when every character is an ASCII digit; true for an empty text.
bool IsAllDigits(const QString &text);

// The text after the first TAB of the first line whose key (the text before
// its first TAB) equals number exactly; found is false when no line matches.
// Lines without a TAB never match. afterLine(n) is called for every line n
// scanned without a match (the window lets events run there every 100 lines).
QString LookupNumber(const QStringList &lines, const QString &number, bool &found,
                     const std::function<void(int)> &afterLine = {});
