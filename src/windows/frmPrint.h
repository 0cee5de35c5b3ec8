#pragma once

#include <QMainWindow>

#include "surface/WindowSurface.h"

class QStatusBar;
class QAction;
class QDialog;
class QLabel;

namespace zel {

class ImageSurface;
class OuterFrame;
class PrintCanvas;
class PrintWindows;

// The main window: the screen output surface, the "Printer" menu, the status bar and the four
// flags through which the confirmation window and the page flow talk. One per print context,
// loaded hidden on first reference and unloaded on request by PrintWindows.
// Its drawing members are those of WindowSurface, on a backing image that survives exposure.
class frmPrint : public QMainWindow, public WindowSurface {
    Q_OBJECT
public:
    // Flags of the confirmation (all start false).
    bool Tekenen = false;
    bool Annuleer = false;
    bool Resizing = false;
    bool OkCancel = false;
    // The user panned with the keyboard of the confirmation window: the next showing takes the
    // keyboard again, so the user can go on panning.
    bool okHadKeyboard = false;

    // The waiting state while the confirmation is open: only the drawing area stops taking
    // input; the page stays visible and the menu usable.
    void setWaiting(bool waiting);
    bool waiting() const;
    void refreshWaiting();  // the no-argument window operation of the waiting state

    QStatusBar* stbPrint() const;
    QLabel* stbPrintPanel() const;  // the first panel: frmOk's layout writes LoadCount there
    QAction* mnuSelecteerPrinter() const;
    QAction* mnuActiveer() const;

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

    // The backing image of the drawing area, as it is shown.
    const QImage& image() const;

    // Showing returns once the desktop has placed the window (a second at most), so that the
    // page is drawn at the size the window really has.
    void setVisible(bool visible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class PrintWindows;
    explicit frmPrint(PrintWindows& windows);
    static void Unload(frmPrint* window);
    void Form_Load();
    void Form_Resize();
    void awaitPlacement();
    void storePlacement();
    void mnuSelecteerPrinter_Click();
    void mnuActiveer_Click();
    ImageSurface& area() const;  // sized to the drawing area as it is laid out now

    PrintWindows& windows_;
    PrintCanvas* canvas_;
    OuterFrame* frame_;
    QLabel* stbPrintPanel_;
    QAction* mnuSelecteerPrinter_;
    QAction* mnuActiveer_;
    bool waiting_ = false;
    // The modal dialog the window's menu has open; an Unload meanwhile ends it and leaves the
    // window to be deleted once the menu handler has returned.
    QDialog* openDialog_ = nullptr;
    bool unloadWhenClosed_ = false;
    // The size the hidden window's layout was last brought up to date for.
    mutable QSize laidOutSize_;
};

}  // namespace zel
