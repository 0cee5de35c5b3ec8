#pragma once

namespace zel {

// The primary screen in twips (1/1440 inch): one pixel is 1440 / logical DPI twips.
float TwipsPerPixelX();
float TwipsPerPixelY();
float ScreenWidth();   // twips
float ScreenHeight();  // twips

// Twips to whole pixels, to the nearest one (halves to the even neighbour).
int PixelsX(float twips);
int PixelsY(float twips);

}  // namespace zel
