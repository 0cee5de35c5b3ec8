#include <QGuiApplication>
#include <QPalette>
#include <array>

#include "print/SystemColours.h"

namespace zel {

namespace {

struct PaletteEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The desktop elements by their platform index (scroll bar 0 up to menu bar 30), each as the
// palette colour that plays its part in Qt's widgets. Index 25 names no element.
constexpr QPalette::ColorGroup Active = QPalette::Active;
constexpr QPalette::ColorGroup Inactive = QPalette::Inactive;
constexpr QPalette::ColorGroup Disabled = QPalette::Disabled;
constexpr std::array<PaletteEntry, 31> Elements = {{
    {Active, QPalette::Button},             // 0 scroll bar
    {Active, QPalette::Dark},               // 1 desktop
    {Active, QPalette::Highlight},          // 2 active title bar
    {Inactive, QPalette::Highlight},        // 3 inactive title bar
    {Active, QPalette::Window},             // 4 menu
    {Active, QPalette::Base},               // 5 window background
    {Active, QPalette::Shadow},             // 6 window frame
    {Active, QPalette::WindowText},         // 7 menu text
    {Active, QPalette::Text},               // 8 window text
    {Active, QPalette::HighlightedText},    // 9 title bar text
    {Active, QPalette::Button},             // 10 active border
    {Inactive, QPalette::Button},           // 11 inactive border
    {Active, QPalette::Mid},                // 12 application workspace
    {Active, QPalette::Highlight},          // 13 highlight
    {Active, QPalette::HighlightedText},    // 14 highlighted text
    {Active, QPalette::Button},             // 15 button face
    {Active, QPalette::Dark},               // 16 button shadow
    {Disabled, QPalette::Text},             // 17 grey text
    {Active, QPalette::ButtonText},         // 18 button text
    {Inactive, QPalette::HighlightedText},  // 19 inactive title bar text
    {Active, QPalette::Light},              // 20 button highlight
    {Active, QPalette::Shadow},             // 21 dark 3D shadow
    {Active, QPalette::Midlight},           // 22 3D light
    {Active, QPalette::ToolTipText},        // 23 tooltip text
    {Active, QPalette::ToolTipBase},        // 24 tooltip background
    {Active, QPalette::NoRole},             // 25 none
    {Active, QPalette::Link},               // 26 hot-tracked item
    {Active, QPalette::Highlight},          // 27 active title bar gradient
    {Inactive, QPalette::Highlight},        // 28 inactive title bar gradient
    {Active, QPalette::Highlight},          // 29 highlighted menu item
    {Active, QPalette::Window},             // 30 menu bar
}};

}  // namespace

int32_t desktopColour(int element) {
    // Qt's application palette, asked for without a GUI application, reads the core application
    // as one and crashes.
    if (!qobject_cast<const QGuiApplication*>(QCoreApplication::instance())) return -1;
    const PaletteEntry& entry = Elements[size_t(element)];
    const QColor c = QGuiApplication::palette().color(entry.group, entry.role);
    return c.red() | c.green() << 8 | c.blue() << 16;
}

}  // namespace zel
