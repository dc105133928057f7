#pragma once
// Turns the small part of RTF that our readme uses into a QTextDocument: groups,
// \par, \line, \tab, \b, \i, \ul, \fs, \f with a font table, \cf with a colour
// table, paragraph alignment, spacing and indents, \'hh (code page 1252) and
// \uN with \ucN. Qt reads HTML and Markdown, not RTF, and Debian offers no
// maintained RTF reader for Qt; the subset is small enough to read here.
// Anything else is skipped: unknown control words and destinations, malformed
// escapes, unbalanced braces and binary data never stop the reading.

#include <QByteArray>

class QTextDocument;

// Replaces the document's content with the text of rtf, as one change: the
// document tells its views once (one contentsChange), so the work is linear in
// the length of rtf however many runs of different style it has.
void ReadRtf(const QByteArray &rtf, QTextDocument *document);
