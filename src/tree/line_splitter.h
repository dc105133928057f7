#pragma once
// Splits a text held as bytes into lines where the editor splits them: at CR LF, LF or a CR
// alone. Work is linear in the text whatever its break style: the next LF is looked for once and
// remembered while the CRs before it end lines (a text of CR-only breaks would otherwise be
// searched to its end for an LF at every line).

#include <QByteArrayView>

class LineSplitter {
public:
    explicit LineSplitter(QByteArrayView text = {}, qsizetype from = 0) { reset(text, from); }

    // Goes on in text (the same text changed, say) from offset from, a line's start.
    void reset(QByteArrayView text, qsizetype from);
    // The line that starts at the current offset, without its break; false at the end of the text.
    // A break at the very end is followed by no line.
    bool next(QByteArrayView &line);
    qsizetype position() const { return m_pos; }
    // The bytes the searches for line breaks have looked at so far.
    qsizetype bytesExamined() const { return m_examined; }

private:
    QByteArrayView m_text;
    qsizetype m_pos = 0;
    qsizetype m_nextLf = -1; // the first LF at or after m_pos (size when none), -1 when not known
    qsizetype m_examined = 0;
};
