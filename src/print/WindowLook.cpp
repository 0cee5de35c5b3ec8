#include "print/WindowLook.h"

#include "surface/Fonts.h"

namespace zel {

void WindowLook::setFontName(const QString& name) {
    resolveFont(name);
    fontName_ = name;
}

void WindowLook::setFontSize(float points) {
    checkFontSize(points);
    fontSize_ = points;
}

}  // namespace zel
