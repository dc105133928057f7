#pragma once
// The settings file "Kestrelbench.ini" (see platform/settings_location.h): read once while
// the window is created, written once when it closes. Both are silent: a
// missing or broken file gives the current values, a file that cannot be
// written is left as it was.

#include <QFont>

class TFormMain;

void LoadSettings(TFormMain &window);
void SaveSettings(TFormMain &window);

// The font's height as the settings file stores it: negative, the character
// height in pixels (derived from the point size when the font has none).
int FontHeightInPixels(const QFont &font);
// The font's size in points, derived from its pixel size when it has none.
int FontSizeInPoints(const QFont &font);
// Applies a stored height: negative is the character height, positive the
// cell height (character height plus internal leading), 0 keeps the font's.
void ApplyFontHeight(QFont &font, int height);
