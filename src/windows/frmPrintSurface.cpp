// frmPrint's drawing members: all of them act on the backing image of the drawing area.
#include <QLayout>

#include "windows/PrintCanvas.h"
#include "windows/frmPrint.h"

namespace zel {

ImageSurface& frmPrint::area() const {
    // A hidden window gets no resize events, so its layout is brought up to date here: the
    // drawing area must have its real size before anything is measured or drawn on it.
    if (!isVisible() && laidOutSize_ != size()) {
        layout()->invalidate();
        layout()->activate();
        laidOutSize_ = size();
    }
    return canvas_->surface();
}

const QImage& frmPrint::image() const {
    return area().image();
}

float frmPrint::CurrentX() const {
    return area().CurrentX();
}
void frmPrint::setCurrentX(float twips) {
    area().setCurrentX(twips);
}
float frmPrint::CurrentY() const {
    return area().CurrentY();
}
void frmPrint::setCurrentY(float twips) {
    area().setCurrentY(twips);
}
// The area as laid out now, not the backing image, which keeps what a smaller window cut off.
float frmPrint::ScaleWidth() const {
    area();
    return canvas_->ScaleWidth();
}
float frmPrint::ScaleHeight() const {
    area();
    return canvas_->ScaleHeight();
}
float frmPrint::TextWidth(const QString& text) {
    return area().TextWidth(text);
}
float frmPrint::TextHeight(const QString& text) {
    return area().TextHeight(text);
}

void frmPrint::Line(int flags, float x1, float y1, float x2, float y2, int32_t colour) {
    area().Line(flags, x1, y1, x2, y2, colour);
}

void frmPrint::Print(const QString& text, bool lineEnd) {
    area().Print(text, lineEnd);
}

int32_t frmPrint::ForeColor() const {
    return area().ForeColor();
}
void frmPrint::setForeColor(int32_t colour) {
    area().setForeColor(colour);
}
int16_t frmPrint::DrawWidth() const {
    return area().DrawWidth();
}
void frmPrint::setDrawWidth(int16_t pixels) {
    area().setDrawWidth(pixels);
}
int16_t frmPrint::DrawMode() const {
    return area().DrawMode();
}
void frmPrint::setDrawMode(int16_t mode) {
    area().setDrawMode(mode);
}
QString frmPrint::FontName() const {
    return area().FontName();
}
void frmPrint::setFontName(const QString& name) {
    area().setFontName(name);
}
float frmPrint::FontSize() const {
    return area().FontSize();
}
void frmPrint::setFontSize(float points) {
    area().setFontSize(points);
}
bool frmPrint::FontBold() const {
    return area().FontBold();
}
void frmPrint::setFontBold(bool bold) {
    area().setFontBold(bold);
}

void frmPrint::Cls() {
    area().Cls();
}
int32_t frmPrint::BackColor() const {
    return area().BackColor();
}
void frmPrint::setBackColor(int32_t colour) {
    area().setBackColor(colour);
}
float frmPrint::ScaleLeft() const {
    return area().ScaleLeft();
}
void frmPrint::setScaleLeft(float twips) {
    area().setScaleLeft(twips);
}
float frmPrint::ScaleTop() const {
    return area().ScaleTop();
}
void frmPrint::setScaleTop(float twips) {
    area().setScaleTop(twips);
}

}  // namespace zel
