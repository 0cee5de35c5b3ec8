#pragma once

#include <QWidget>

#include "surface/ImageSurface.h"

namespace zel {

// The drawing area of frmPrint: shows the backing image, which keeps everything drawn, so an
// exposed or re-shown window paints the page again without anyone redrawing it.
class PrintCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PrintCanvas(QWidget* parent);

    // The surface, first sized to the area as laid out now (a hidden window gets no resize
    // events, yet its drawing area must have its real size).
    ImageSurface& surface();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ImageSurface surface_;
};

}  // namespace zel
