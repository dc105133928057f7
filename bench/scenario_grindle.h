#pragma once
// The scenario's figures of the converter itself: grindle run as the window runs it, on the
// 1,000,000-line text and its RBF file, for its speed both ways and its peak memory.

#include <QString>

// text is the scenario's text, rbf its conversion by grindle; both are only read. dir is a
// scratch folder.
void MeasureGrindle(const QString &text, const QString &rbf, const QString &dir);
