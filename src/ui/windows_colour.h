#pragma once
// Colours in the encoding the settings file stores (that of the Windows program): an explicit
// colour holds red, green and blue in its three low bytes (red lowest) and zero in the top byte;
// a value with the top bit set names a system colour by the index in its low byte (8, window
// text, is the default of a font).

#include <QColor>

class QPalette;
class QWidget;

constexpr int WindowTextColour = static_cast<int>(0x80000008u);

// The colour a value stands for; system colours are taken from the palette's matching role.
QColor ColourFromWindowsValue(int value, const QPalette &palette);
// Makes the value the text colour of the widget and of the children that inherit its palette.
// The default (window text) leaves the palette as it is, following the application's.
void SetTextColour(QWidget *widget, int value);
