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
    surface_.setDevicePixelRatio(devicePixelRatioF());
    const QSize covering = surface_.size().expandedTo(size());
    if (surface_.size() != covering) surface_.resize(covering);
    return surface_;
}

float PrintCanvas::ScaleWidth() const {
    return float(width() * surface_.twipsPerPixel());
}

float PrintCanvas::ScaleHeight() const {
    return float(height() * surface_.twipsPerPixel());
}

// The exposed part, taken from the image in its device pixels.
void PrintCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& image = surface().image();
    const QRectF exposed(event->rect());
    const qreal ratio = image.devicePixelRatio();
    painter.drawImage(exposed, image, QRectF(exposed.topLeft() * ratio, exposed.size() * ratio));
}

void PrintCanvas::resizeEvent(QResizeEvent*) {
    surface();
}

}  // namespace zel
