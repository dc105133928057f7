#include "ui/windows_colour.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace {

// The palette role of a system colour index; the text colour for those without a counterpart.
QPalette::ColorRole RoleOf(int index) {
    switch (index) {
    case 4:  // menu
    case 15: // button face
        return QPalette::Button;
    case 5: // window
        return QPalette::Base;
    case 6:  // window frame
    case 21: // 3D dark shadow
        return QPalette::Shadow;
    case 7: // menu text
        return QPalette::WindowText;
    case 13: // highlight
    case 29: // menu highlight
        return QPalette::Highlight;
    case 9:  // caption text
    case 14: // highlight text
        return QPalette::HighlightedText;
    case 12: // application workspace
    case 16: // button shadow
        return QPalette::Dark;
    case 17: // grey text
        return QPalette::PlaceholderText;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 22: // 3D light
        return QPalette::Midlight;
    case 23: // tooltip text
        return QPalette::ToolTipText;
    case 24: // tooltip background
        return QPalette::ToolTipBase;
    case 26: // hot-tracked item
        return QPalette::Link;
    default:
        return QPalette::Text;
    }
}

} // namespace

QColor ColourFromWindowsValue(int value, const QPalette &palette) {
    const auto bits = static_cast<quint32>(value);
    if (bits & 0x80000000u)
        return palette.color(QPalette::Active, RoleOf(static_cast<int>(bits & 0xFF)));
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

void SetTextColour(QWidget *widget, int value) {
    if (value == WindowTextColour)
        return;
    QPalette palette = widget->palette();
    const QColor colour = ColourFromWindowsValue(value, QApplication::palette());
    // Disabled text stays grey, as in a disabled control.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::Text, colour);
    widget->setPalette(palette);
}
