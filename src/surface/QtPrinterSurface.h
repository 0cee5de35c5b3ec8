#pragma once

#include <QSizeF>
#include <memory>
#include <optional>

#include "surface/PageLayout.h"
#include "surface/PainterSurface.h"
#include "surface/PrinterDestination.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"

namespace zel {

class PdfDocument;
class PrintJobs;

// The real printer at a fixed 600 dpi (one pixel of DrawWidth is 2.4 twips): fonts are measured
// as Qt print support measures them, and each job is written as a PDF file of its own
// (PdfDocument), which goes to a PDF folder or to a CUPS queue. A job starts with the first
// output, on the destination chosen at that moment (see PrinterDestination); page changes are
// issued only before the next output, so a sheet without output never becomes a page. The area
// is the printable area in twips of the sheet in use: the job's, else the one the next job would
// get for the current caller, in the orientation in force. Orientation and colour mode follow
// the job's options (landscape, orientation-requested, print-color-mode) until the program sets
// them.
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
    int16_t Orientation() const override;
    void setOrientation(int16_t orientation) override;
    // Applies from the next job, as print-color-mode unless the caller's options name one.
    int16_t ColorMode() const override;
    void setColorMode(int16_t mode) override;
    void setBackgroundTransparent() override { backgroundTransparent_ = true; }
    bool SheetWrittenOn() const override { return sheetWritten_; }

protected:
    // With a white cell behind it unless the background is transparent.
    void drawText(const QPointF& at, const LaidOutText& text) override;
    // Every DrawMode draws as 13 (the pen as it is): paper cannot combine with what is under it.
    void drawLine(int flags, const QPointF& from, const QPointF& to, Rgb pen) override;
    FontMetrics measureFont(const QString& family, bool bold, double points) const override;
    double twipsPerPixel() const override;

private:
    struct Job;
    // The destination and paper of the job that the next output starts, as they stand.
    struct NextJob {
        QString choice;  // what they were found for (destinationChoice)
        PrinterDestination destination;
        PageLayout paper;         // portrait; the system's paper when the destination cannot say
        bool paperKnown = false;  // false: the job's start raises why
    };

    // Found again when the caller or the user's choice changed, and after each job: a queue's
    // paper takes a call to CUPS.
    const NextJob& nextJob() const;
    const JobOptions& optionsInForce() const;  // the job's, else the next job's
    PageLayout sheetOf(PageLayout paper, const JobOptions& options) const;
    PageLayout sheetLayout() const;  // the sheet in use, in the orientation in force
    void startJob();
    // The job's document with its current sheet started; the sheet counts as written on.
    PdfDocument& readySheet();
    void leaveJob();
    void fillSheet(PdfDocument& pdf, int32_t colour) const;
    void finishSheet();  // counts and reports the job's current sheet as finished

    PrintJobs& jobs_;
    std::unique_ptr<Job> job_;
    std::optional<VbError> refusal_;            // the first refusal of the job in progress
    std::optional<int32_t> pendingBackground_;  // for the current sheet's first output
    mutable std::optional<NextJob> next_;
    mutable QSizeF measured_;  // the area ScaleWidth and ScaleHeight last gave, in points
    int32_t fillColor_ = 0;
    std::optional<int16_t> orientation_;  // as the program set it
    std::optional<int16_t> colorMode_;    // as the program set it
    bool fontTransparent_ = true;
    bool backgroundTransparent_ = true;
    bool sheetWritten_ = false;
    bool pagePending_ = false;
};

}  // namespace zel
