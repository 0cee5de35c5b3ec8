#pragma once

#include <QString>

namespace zel {

// The family a font name resolves to, as fontconfig names it (such as "Liberation Mono" for
// "Courier New", or for "Terminal", which no Linux font carries). VbError 380 when the name
// resolves neither to its own family, to a substitute, nor to a fontconfig alias. The name (or
// its substitute) when no font file is installed at all: the first text then fails naming it.
QString resolveFont(const QString& name);

// A font's ascent and descent in device pixels.
struct FontMetrics {
    double ascent, descent;
};

// The metrics of the family's face (bold or not) at the size and resolution, as Qt's font engine
// measures them: the pixel size rounded to whole pixels, the face's ascender and descender scaled
// to it by FreeType. Needs no font database, so a process without a GUI measures the same.
FontMetrics measureFont(const QString& family, bool bold, double points, int dpi);

// VbError 380 for a font size outside 0 < points <= 2160 (the largest size fonts take); larger
// sizes give the font engine's metrics no meaning (negative heights), which would break the grid.
void checkFontSize(float points);

}  // namespace zel
