#pragma once

namespace zel {

// Gives the system colours (RgbColour) the GUI application's palette, which follows the
// desktop's theme. Called by a program once its QGuiApplication exists; before that, and in a
// program without one, the system colours are Qt's standard palette.
void useDesktopPalette();

}  // namespace zel
