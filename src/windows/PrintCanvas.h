#pragma once

#include <QWidget>

#include "screen/ImageSurface.h"

namespace zel {

// The drawing area of frmPrint: shows the backing image, which keeps everything drawn, so an
// exposed, re-shown or shrunk and grown window paints the page again without anyone redrawing
// it. The image grows with the area and never shrinks; the area's measures are the widget's.
class PrintCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PrintCanvas(QWidget* parent);

    // The surface, first grown to cover the area as laid out now (a hidden window gets no
    // resize events, yet its drawing area must have its real size).
    ImageSurface& surface();
    float ScaleWidth() const;   // twips of the widget, which the image may exceed
    float ScaleHeight() const;  // twips

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ImageSurface surface_;
};

}  // namespace zel
