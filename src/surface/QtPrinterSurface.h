#pragma once

#include <QPageLayout>
#include <memory>
#include <optional>

#include "surface/PainterSurface.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

class QPdfWriter;

namespace zel {

class PdfDocument;
class PrintJobs;

// The real printer at a fixed 600 dpi (one pixel of DrawWidth is 2.4 twips): fonts are measured
// as Qt print support measures them, and each job is written as a PDF file of its own
// (PdfDocument), which goes to a PDF folder or to a CUPS queue. A job starts with the first
// output, on the destination chosen at that moment (see PrinterDestination); page changes are
// issued only before the next output, so a sheet without output never becomes a page. The area
// is the paper's printable area in twips.
class QtPrinterSurface : public PainterSurface<PrinterSurface> {
public:
    // Jobs are started for, and reported to, the callers that jobs names.
    explicit QtPrinterSurface(PrintJobs& jobs);
    ~QtPrinterSurface() override;  // an open job is discarded: call EndDoc to keep it

    float ScaleWidth() const override;
    float ScaleHeight() const override;

    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override;
    bool JobRefused() const override { return refusal_.has_value(); }

    int32_t FillColor() const override { return fillColor_; }
    void setFillColor(int32_t colour) override { fillColor_ = colour; }
    void PaintBackground(int32_t colour) override;
    bool FontTransparent() const override { return fontTransparent_; }
    void setFontTransparent(bool transparent) override;
    int16_t Orientation() const override { return orientation_; }
    void setOrientation(int16_t orientation) override;
    int16_t ColorMode() const override { return colorMode_; }
    void setColorMode(int16_t mode) override;  // applies from the next job
    void setBackgroundTransparent() override { backgroundTransparent_ = true; }
    bool SheetWrittenOn() const override { return sheetWritten_; }

protected:
    // With a white cell behind it unless the background is transparent.
    void drawText(const QPointF& at, const LaidOutText& text) override;
    // Every DrawMode draws as 13 (the pen as it is): paper cannot combine with what is under it.
    void drawLine(int flags, const QPointF& from, const QPointF& to, const QColor& pen) override;
    const QPaintDevice* metricsDevice() const override;
    double twipsPerPixel() const override;

private:
    struct Job;

    QPageLayout sheetLayout() const;
    void startJob();
    // The job's document with its current sheet started; the sheet counts as written on.
    PdfDocument& readySheet();
    void refreshLayout();
    void leaveJob();
    void fillSheet(PdfDocument& pdf, int32_t colour) const;
    void finishSheet();  // counts and reports the job's current sheet as finished

    PrintJobs& jobs_;
    std::unique_ptr<QPdfWriter> metrics_;
    std::unique_ptr<Job> job_;
    std::optional<VbError> refusal_;            // the first refusal of the job in progress
    std::optional<int32_t> pendingBackground_;  // for the current sheet's first output
    QPageLayout layout_;                        // portrait; the orientation is applied per sheet
    int32_t fillColor_ = 0;
    int16_t orientation_ = 1;
    int16_t colorMode_ = 2;
    bool fontTransparent_ = true;
    bool backgroundTransparent_ = true;
    bool sheetWritten_ = false;
    bool pagePending_ = false;
};

}  // namespace zel
