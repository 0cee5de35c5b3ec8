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
    if (surface_.image().size() != size()) surface_.resize(size());
    return surface_;
}

void PrintCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), surface().image(), event->rect());
}

void PrintCanvas::resizeEvent(QResizeEvent*) {
    surface();
}

}  // namespace zel
