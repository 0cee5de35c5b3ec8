#include "windows/ScreenWindow.h"

#include "general/GuiThread.h"
#include "windows/PrintWindows.h"
#include "windows/frmPrint.h"

namespace zel {

template <class Action>
auto ScreenWindow::on(Action action) const {
    return onGui([&] { return action(windows_.frm()); });
}

void ScreenWindow::show() {
    on([](frmPrint& frm) { frm.show(); });
}

bool ScreenWindow::Tekenen() const {
    return on([](frmPrint& frm) { return frm.Tekenen; });
}

void ScreenWindow::setTekenen(bool value) {
    on([value](frmPrint& frm) { frm.Tekenen = value; });
}

bool ScreenWindow::Annuleer() const {
    return on([](frmPrint& frm) { return frm.Annuleer; });
}

void ScreenWindow::setAnnuleer(bool value) {
    on([value](frmPrint& frm) { frm.Annuleer = value; });
}

bool ScreenWindow::OkCancel() const {
    return on([](frmPrint& frm) { return frm.OkCancel; });
}

void ScreenWindow::setWaiting(bool waiting) {
    on([waiting](frmPrint& frm) { frm.setWaiting(waiting); });
}

void ScreenWindow::refreshWaiting() {
    on([](frmPrint& frm) { frm.refreshWaiting(); });
}

float ScreenWindow::CurrentX() const {
    return on([](frmPrint& frm) { return frm.CurrentX(); });
}

void ScreenWindow::setCurrentX(float twips) {
    on([&](frmPrint& frm) { frm.setCurrentX(twips); });
}

float ScreenWindow::CurrentY() const {
    return on([](frmPrint& frm) { return frm.CurrentY(); });
}

void ScreenWindow::setCurrentY(float twips) {
    on([&](frmPrint& frm) { frm.setCurrentY(twips); });
}

float ScreenWindow::ScaleWidth() const {
    return on([](frmPrint& frm) { return frm.ScaleWidth(); });
}

float ScreenWindow::ScaleHeight() const {
    return on([](frmPrint& frm) { return frm.ScaleHeight(); });
}

float ScreenWindow::TextWidth(const QString& text) {
    return on([&](frmPrint& frm) { return frm.TextWidth(text); });
}

float ScreenWindow::TextHeight(const QString& text) {
    return on([&](frmPrint& frm) { return frm.TextHeight(text); });
}

void ScreenWindow::Line(int flags, float x1, float y1, float x2, float y2, int32_t colour) {
    on([&](frmPrint& frm) { frm.Line(flags, x1, y1, x2, y2, colour); });
}

void ScreenWindow::Print(const QString& text, bool lineEnd) {
    on([&](frmPrint& frm) { frm.Print(text, lineEnd); });
}

int32_t ScreenWindow::ForeColor() const {
    return on([](frmPrint& frm) { return frm.ForeColor(); });
}

void ScreenWindow::setForeColor(int32_t colour) {
    on([&](frmPrint& frm) { frm.setForeColor(colour); });
}

int16_t ScreenWindow::DrawWidth() const {
    return on([](frmPrint& frm) { return frm.DrawWidth(); });
}

void ScreenWindow::setDrawWidth(int16_t pixels) {
    on([&](frmPrint& frm) { frm.setDrawWidth(pixels); });
}

int16_t ScreenWindow::DrawMode() const {
    return on([](frmPrint& frm) { return frm.DrawMode(); });
}

void ScreenWindow::setDrawMode(int16_t mode) {
    on([&](frmPrint& frm) { frm.setDrawMode(mode); });
}

QString ScreenWindow::FontName() const {
    return on([](frmPrint& frm) { return frm.FontName(); });
}

void ScreenWindow::setFontName(const QString& name) {
    on([&](frmPrint& frm) { frm.setFontName(name); });
}

float ScreenWindow::FontSize() const {
    return on([](frmPrint& frm) { return frm.FontSize(); });
}

void ScreenWindow::setFontSize(float points) {
    on([&](frmPrint& frm) { frm.setFontSize(points); });
}

bool ScreenWindow::FontBold() const {
    return on([](frmPrint& frm) { return frm.FontBold(); });
}

void ScreenWindow::setFontBold(bool bold) {
    on([&](frmPrint& frm) { frm.setFontBold(bold); });
}

void ScreenWindow::Cls() {
    on([](frmPrint& frm) { frm.Cls(); });
}

int32_t ScreenWindow::BackColor() const {
    return on([](frmPrint& frm) { return frm.BackColor(); });
}

void ScreenWindow::setBackColor(int32_t colour) {
    on([&](frmPrint& frm) { frm.setBackColor(colour); });
}

float ScreenWindow::Width() const {
    return on([](frmPrint& frm) { return frm.Width(); });
}

void ScreenWindow::setWidth(float twips) {
    on([&](frmPrint& frm) { frm.setWidth(twips); });
}

float ScreenWindow::Height() const {
    return on([](frmPrint& frm) { return frm.Height(); });
}

void ScreenWindow::setHeight(float twips) {
    on([&](frmPrint& frm) { frm.setHeight(twips); });
}

float ScreenWindow::Top() const {
    return on([](frmPrint& frm) { return frm.Top(); });
}

void ScreenWindow::setTop(float twips) {
    on([&](frmPrint& frm) { frm.setTop(twips); });
}

float ScreenWindow::Left() const {
    return on([](frmPrint& frm) { return frm.Left(); });
}

void ScreenWindow::setLeft(float twips) {
    on([&](frmPrint& frm) { frm.setLeft(twips); });
}

float ScreenWindow::ScaleLeft() const {
    return on([](frmPrint& frm) { return frm.ScaleLeft(); });
}

void ScreenWindow::setScaleLeft(float twips) {
    on([&](frmPrint& frm) { frm.setScaleLeft(twips); });
}

float ScreenWindow::ScaleTop() const {
    return on([](frmPrint& frm) { return frm.ScaleTop(); });
}

void ScreenWindow::setScaleTop(float twips) {
    on([&](frmPrint& frm) { frm.setScaleTop(twips); });
}

int ScreenWindow::WindowState() const {
    return on([](frmPrint& frm) { return frm.WindowState(); });
}

void ScreenWindow::setWindowState(int state) {
    on([&](frmPrint& frm) { frm.setWindowState(state); });
}

}  // namespace zel
