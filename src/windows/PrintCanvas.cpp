#include "windows/PrintCanvas.h"

#include <QPaintEvent>
#include <QPainter>

#include "windows/HandlerGuard.h"

namespace zel {

PrintCanvas::PrintCanvas(QWidget* parent) : QWidget(parent) {
    // The image covers the whole area: nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.setChangeHandler([this] { update(); });
}

ImageSurface& PrintCanvas::surface() {
    const QSize covering = surface_.image().size().expandedTo(size());
    if (surface_.image().size() != covering) surface_.resize(covering);
    return surface_;
}

float PrintCanvas::ScaleWidth() const {
    return float(width() * surface_.twipsPerPixel());
}

float PrintCanvas::ScaleHeight() const {
    return float(height() * surface_.twipsPerPixel());
}

void PrintCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), surface().image(), event->rect());
}

void PrintCanvas::resizeEvent(QResizeEvent*) {
    surface();
}

}  // namespace zel
