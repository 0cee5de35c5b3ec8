#include "surface/QtPrinterSurface.h"

#include <QDir>
#include <QTemporaryFile>
#include <cstdio>

#include "general/SettingsStore.h"
#include "surface/CupsQueue.h"
#include "surface/PdfDocument.h"
#include "surface/PdfJobFile.h"
#include "surface/PrintJobs.h"
#include "surface/PrinterDestination.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// A job that CUPS did not take is kept as a PDF file in the default folder, so that nothing is
// lost; returns its path. The spool file may be on another file system: it is copied.
QString keepJob(const QString& spoolPath) {
    const QString directory = defaultPdfDirectory();
    std::unique_ptr<QTemporaryFile> kept = createSpoolFile(directory);
    QFile spool(spoolPath);
    if (!spool.open(QIODevice::ReadOnly))
        throw VbError(VbErr::PrinterError, QStringLiteral("Printer error: %1: %2")
                                               .arg(shownInError(spoolPath), spool.errorString()));
    while (!spool.atEnd())
        if (kept->write(spool.read(1 << 16)) < 0) break;
    kept->flush();
    requireCompleteSpool(kept->fileName());
    return publishPdfJob(kept->fileName(), directory);
}

// Options a PDF file cannot carry are said once, when its job starts.
void sayIgnored(const PrinterDestination& destination) {
    const QStringList ignored = optionsPdfIgnores(destination.options);
    if (ignored.isEmpty()) return;
    std::fprintf(stderr, "zelprint: %s: a PDF file cannot carry %s: ignored\n",
                 qPrintable(destination.text()), qPrintable(ignored.join(QStringLiteral(", "))));
}

constexpr int Dpi = 600;
constexpr double TwipsPerPoint = 20.0;
constexpr Rgb White{255, 255, 255};

}  // namespace

// One job in progress: written to a PDF spool file, handed to its destination at EndDoc.
struct QtPrinterSurface::Job {
    PrinterDestination destination;
    PageLayout paper;    // portrait
    int owner = 0;       // the caller whose output started the job (PrintJobs)
    int32_t sheets = 0;  // sheets finished so far
    std::unique_ptr<QTemporaryFile> spool;
    std::unique_ptr<PdfDocument> pdf;
};

QtPrinterSurface::QtPrinterSurface(PrintJobs& jobs) : jobs_(jobs) {}

QtPrinterSurface::~QtPrinterSurface() = default;

const QtPrinterSurface::NextJob& QtPrinterSurface::nextJob() const {
    const QString choice = destinationChoice(jobs_.callerDestination(), jobs_.callerOptions());
    if (next_ && next_->choice == choice) return *next_;
    NextJob next{choice, currentDestination(jobs_.callerDestination(), jobs_.callerOptions()), {}};
    try {
        next.paper = pageLayoutFor(next.destination);
        next.paperKnown = true;
    } catch (const VbError&) {
        // A queue that CUPS does not know fails when the job starts; until then the system's
        // paper gives the area.
        next.paper = pageLayoutFor(PrinterDestination::parse(QStringLiteral("pdf:")));
    }
    next_ = std::move(next);
    return *next_;
}

const JobOptions& QtPrinterSurface::optionsInForce() const {
    return job_ ? job_->destination.options : nextJob().destination.options;
}

PageLayout QtPrinterSurface::sheetOf(PageLayout paper, const JobOptions& options) const {
    const bool landscape = orientation_ ? *orientation_ == 2 : landscapeAsked(options);
    paper.setOrientation(landscape ? PageLayout::Orientation::Landscape
                                   : PageLayout::Orientation::Portrait);
    return paper;
}

PageLayout QtPrinterSurface::sheetLayout() const {
    if (job_) return sheetOf(job_->paper, job_->destination.options);
    const NextJob& next = nextJob();
    return sheetOf(next.paper, next.destination.options);
}

float QtPrinterSurface::ScaleWidth() const {
    measured_ = sheetLayout().paintRect().size();
    return float(measured_.width() * TwipsPerPoint);
}

float QtPrinterSurface::ScaleHeight() const {
    measured_ = sheetLayout().paintRect().size();
    return float(measured_.height() * TwipsPerPoint);
}

void QtPrinterSurface::startJob() {
    const NextJob& next = nextJob();
    auto job = std::make_unique<Job>();
    job->destination = next.destination;
    job->owner = jobs_.caller();
    // A destination that could not say its paper says why now.
    job->paper = next.paperKnown ? next.paper : pageLayoutFor(next.destination);
    JobOptions& options = job->destination.options;
    // The program's colour mode goes over the destination's, not over what the caller asked.
    const QString colourOption = QStringLiteral("print-color-mode");
    if (colorMode_ && !jobs_.callerOptions().contains(colourOption))
        options.set(colourOption,
                    *colorMode_ == 1 ? QStringLiteral("monochrome") : QStringLiteral("color"));
    if (job->destination.isPdf())
        sayIgnored(job->destination);
    else
        cups::checkOptions(job->destination.queue, options);
    job->spool = createSpoolFile(job->destination.isPdf() ? job->destination.pdfDirectory
                                                          : QDir::tempPath());
    job->pdf = std::make_unique<PdfDocument>(*job->spool, monochromeAsked(options));
    job->pdf->setTitle(options.title.isEmpty() ? AppTitle() : options.title);
    const PageLayout sheet = sheetOf(job->paper, options);
    job->pdf->beginPage(sheet);
    job_ = std::move(job);
    // Another sheet than the one measured (the user chose another printer or paper meanwhile,
    // or another caller's destination measured last): the grid is measured again.
    if (measured_.isValid() && measured_ != sheet.paintRect().size()) Q_EMIT jobs_.sheetChanged();
}

PdfDocument& QtPrinterSurface::readySheet() {
    try {
        if (!job_)
            startJob();
        else if (pagePending_)
            job_->pdf->beginPage(sheetLayout());
    } catch (const VbError& error) {
        // Kept for EndDoc: output that never reached the destination must not end as a job
        // reported printed.
        if (!refusal_) refusal_ = error;
        throw;
    }
    pagePending_ = false;
    if (pendingBackground_) {
        fillSheet(*job_->pdf, *pendingBackground_);
        pendingBackground_.reset();
    }
    sheetWritten_ = true;
    return *job_->pdf;
}

void QtPrinterSurface::drawText(const QPointF& at, const LaidOutText& text) {
    PdfDocument& pdf = readySheet();
    const FontMetrics& measured = metrics();
    if (!backgroundTransparent_)
        pdf.fill(
            QRectF(at, QSizeF(text.width() / twipsPerPixel(), measured.ascent + measured.descent)),
            White);
    pdf.text(QPointF(at.x(), at.y() + measured.ascent), text, Rgb::fromVb(ForeColor()));
}

void QtPrinterSurface::drawLine(int flags, const QPointF& from, const QPointF& to, Rgb pen) {
    PdfDocument& pdf = readySheet();
    const QRectF box = QRectF(from, to).normalized();
    if (flags & LineFilledBox)
        pdf.fill(box.adjusted(0, 0, 1, 1), pen);  // both corners belong to the box
    else if (flags & LineBox)
        pdf.box(box, pen, DrawWidth());
    else
        pdf.line(from, to, pen, DrawWidth());
}

void QtPrinterSurface::fillSheet(PdfDocument& pdf, int32_t colour) const {
    // One pixel beyond the area on each far edge, as a filled box includes both corners.
    pdf.fill(QRectF(0, 0, ScaleWidth() / twipsPerPixel() + 1, ScaleHeight() / twipsPerPixel() + 1),
             Rgb::fromVb(colour));
}

void QtPrinterSurface::PaintBackground(int32_t colour) {
    if (!sheetWritten_) {
        pendingBackground_ = colour;
        return;
    }
    fillSheet(readySheet(), colour);
}

// Measured as Qt's PDF engine measures at 600 dpi, without its font database: a job without a
// window needs no GUI.
FontMetrics QtPrinterSurface::measureFont(const QString& family, bool bold, double points) const {
    return zel::measureFont(family, bold, points, Dpi);
}

double QtPrinterSurface::twipsPerPixel() const {
    return 1440.0 / Dpi;
}

void QtPrinterSurface::leaveJob() {
    resetPosition();
    sheetWritten_ = false;
    pagePending_ = false;
    pendingBackground_.reset();
}

void QtPrinterSurface::finishSheet() {
    job_->sheets += 1;
    Q_EMIT jobs_.sheetFinished(job_->owner, job_->sheets);
}

void QtPrinterSurface::NewPage() {
    resetPosition();
    if (job_ && sheetWritten_) {
        pagePending_ = true;
        pendingBackground_.reset();  // a sheet that holds nothing keeps its background
        finishSheet();
    }
    sheetWritten_ = false;
}

void QtPrinterSurface::EndDoc() {
    // A sheet already ejected was reported then; a job always holds output on its last sheet.
    if (job_ && sheetWritten_) finishSheet();
    leaveJob();
    std::optional<VbError> refusal = std::move(refusal_);
    refusal_.reset();
    if (job_) {
        const std::unique_ptr<Job> job = std::move(job_);
        next_.reset();
        job->pdf->finish();
        requireCompleteSpool(job->spool->fileName());
        zel::EndedJob report{job->destination.text(), {}, job->sheets};
        if (job->destination.isPdf()) {
            report.document = publishPdfJob(job->spool->fileName(), job->destination.pdfDirectory);
        } else {
            try {
                // The pages are already turned: CUPS turning them again would undo it.
                report.document = QString::number(cups::submitPdf(
                    job->destination.queue, job->spool->fileName(),
                    job->destination.options.without(
                        {QStringLiteral("landscape"), QStringLiteral("orientation-requested")})));
            } catch (const VbError& error) {
                throw VbError(error.number(),
                              QStringLiteral("%1; the job was kept as %2")
                                  .arg(error.description(), keepJob(job->spool->fileName())));
            }
        }
        // A job that lost output is answered with its error, not reported as printed.
        if (!refusal) Q_EMIT jobs_.jobEnded(job->owner, report);
    }
    if (refusal) throw *refusal;
}

void QtPrinterSurface::KillDoc() {
    leaveJob();
    refusal_.reset();
    if (!job_) return;
    job_.reset();
    next_.reset();
}

void QtPrinterSurface::setFontTransparent(bool transparent) {
    fontTransparent_ = transparent;
    backgroundTransparent_ = transparent;
}

int16_t QtPrinterSurface::Orientation() const {
    return orientation_ ? *orientation_ : landscapeAsked(optionsInForce()) ? 2 : 1;
}

void QtPrinterSurface::setOrientation(int16_t orientation) {
    if (orientation != 1 && orientation != 2) throw VbError(VbErr::InvalidPropertyValue);
    // The orientation in force is no change, so it never splits a job.
    if (orientation == Orientation()) {
        orientation_ = orientation;
        return;
    }
    if (sheetWritten_) throw VbError(VbErr::PropertyCannotBeSetWithinPage);
    orientation_ = orientation;
}

int16_t QtPrinterSurface::ColorMode() const {
    return colorMode_ ? *colorMode_ : monochromeAsked(optionsInForce()) ? 1 : 2;
}

void QtPrinterSurface::setColorMode(int16_t mode) {
    if (mode != 1 && mode != 2) throw VbError(VbErr::InvalidPropertyValue);
    colorMode_ = mode;
}

}  // namespace zel
