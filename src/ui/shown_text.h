#pragma once
// Texts shown in a widget are cut to a bounded length: one line of converted text can hold
// megabytes, and measuring, eliding or wrapping such a text on every paint or resize costs
// seconds. What is shown is cut; what the program works with keeps the whole text.

#include <QString>

// The longest text shown as it is (characters); a longer one shows its start and an ellipsis.
constexpr qsizetype ShownTextLimit = 2000;

// text, or its first limit characters followed by "…" (a character outside the Basic Multilingual
// Plane is never split).
QString ShownText(const QString &text, qsizetype limit = ShownTextLimit);
