#pragma once

#include <functional>

#include "print/ContextScreen.h"

namespace zel {

class frmPrint;
class PrintWindows;

// The main window as a print context reaches it: every member runs on the GUI thread, which
// owns the widgets, and the calling thread waits for it; on the GUI thread it calls straight
// through. The window is loaded (hidden) by the first member that needs it.
class ScreenWindow : public ContextScreen {
public:
    explicit ScreenWindow(PrintWindows& windows) : windows_(windows) {}

    // ContextScreen
    void show() override;
    bool Tekenen() const override;
    void setTekenen(bool value) override;
    bool Annuleer() const override;
    void setAnnuleer(bool value) override;
    bool OkCancel() const override;  // true while the confirmation's question is open
    void setWaiting(bool waiting) override;
    void refreshWaiting() override;

    // WindowSurface
    float CurrentX() const override;
    void setCurrentX(float twips) override;
    float CurrentY() const override;
    void setCurrentY(float twips) override;
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    float TextWidth(const QString& text) override;
    float TextHeight(const QString& text) override;
    void Line(int flags, float x1, float y1, float x2, float y2, int32_t colour) override;
    void Print(const QString& text, bool lineEnd) override;
    int32_t ForeColor() const override;
    void setForeColor(int32_t colour) override;
    int16_t DrawWidth() const override;
    void setDrawWidth(int16_t pixels) override;
    int16_t DrawMode() const override;
    void setDrawMode(int16_t mode) override;
    QString FontName() const override;
    void setFontName(const QString& name) override;
    float FontSize() const override;
    void setFontSize(float points) override;
    bool FontBold() const override;
    void setFontBold(bool bold) override;
    void Cls() override;
    int32_t BackColor() const override;
    void setBackColor(int32_t colour) override;
    float Width() const override;
    void setWidth(float twips) override;
    float Height() const override;
    void setHeight(float twips) override;
    float Top() const override;
    void setTop(float twips) override;
    float Left() const override;
    void setLeft(float twips) override;
    float ScaleLeft() const override;
    void setScaleLeft(float twips) override;
    float ScaleTop() const override;
    void setScaleTop(float twips) override;
    int WindowState() const override;
    void setWindowState(int state) override;

private:
    template <class Action>
    auto on(Action action) const;

    PrintWindows& windows_;
};

}  // namespace zel
