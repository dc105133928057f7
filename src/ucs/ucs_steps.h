#pragma once
// Decoding a big UCS file in steps, so that the window can let events run in
// between: half a million lines take a few hundred milliseconds in one go.

#include <QByteArray>
#include <QStringList>

#include <functional>

// The lines DecodeUcsText(fileBytes) gives, decoded piece by piece: the text is cut just after a
// line feed once a piece holds stepBytes bytes, and between() runs after every piece but the last.
QStringList DecodeUcsTextInSteps(const QByteArray &fileBytes, const std::function<void()> &between,
                                 qsizetype stepBytes = qsizetype(1) << 21);
