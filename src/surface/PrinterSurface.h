#pragma once

#include <memory>

#include "surface/DrawingSurface.h"

namespace zel {

// The printer: a print job starts with the first output on it, NewPage moves to a new sheet,
// EndDoc hands the job to its destination, KillDoc discards it. ScaleWidth/ScaleHeight are the
// printable area of the current paper and orientation.
class PrinterSurface : public DrawingSurface {
public:
    virtual void NewPage() = 0;
    // 482 (with the reason) when the destination does not take the job, or refused its start
    // or a sheet of it earlier: the part that did print is delivered first.
    virtual void EndDoc() = 0;
    virtual void KillDoc() = 0;
    // True once the destination refused the job in progress (its start or a new sheet failed),
    // until EndDoc reports it or KillDoc drops it. Drawing tries the destination again each
    // time, and raises the refusal each time it fails.
    virtual bool JobRefused() const = 0;

    virtual int32_t FillColor() const = 0;
    virtual void setFillColor(int32_t colour) = 0;
    // Fills the whole printable area with the colour. On a sheet that holds output it is drawn
    // at once, over that output; on a sheet without output it is kept and drawn beneath the
    // sheet's first output, so a background alone never makes a sheet count as written on,
    // nor becomes a page or a job.
    virtual void PaintBackground(int32_t colour) = 0;
    virtual bool FontTransparent() const = 0;
    virtual void setFontTransparent(bool transparent) = 0;
    // 1 portrait, 2 landscape; 396 while the current sheet holds output, 380 for other codes.
    virtual int16_t Orientation() const = 0;
    virtual void setOrientation(int16_t orientation) = 0;
    // 1 monochrome, 2 colour.
    virtual int16_t ColorMode() const = 0;
    virtual void setColorMode(int16_t mode) = 0;
    // Text background mode of the device context: transparent (what SetBkMode 1 does).
    virtual void setBackgroundTransparent() = 0;

    // True once anything was drawn on the current sheet; page changes and job ends clear it.
    // Tests of "the sheet has been written on" read this, not CurrentY, so that a sheet that
    // holds only output that restores the position (a watermark, a frame) is not reused.
    virtual bool SheetWrittenOn() const = 0;
};

}  // namespace zel
