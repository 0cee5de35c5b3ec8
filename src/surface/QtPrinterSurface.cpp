#include "surface/QtPrinterSurface.h"

#include <QColor>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include "surface/CupsQueue.h"
#include "surface/PdfJobFile.h"
#include "surface/PrintJobs.h"
#include "surface/PrinterDestination.h"
#include "variant/VbError.h"

namespace zel {

namespace {

constexpr int Dpi = 600;
constexpr double TwipsPerPoint = 20.0;

void configure(QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(Dpi);
    printer.setFullPage(false);  // the origin is the printable area's corner
    printer.setDocName(QStringLiteral("ZelPrintDemo"));
    printer.setCreator(QStringLiteral("ZelPrintDemo"));
}

VbError jobError(const QString& reason) {
    return VbError(VbErr::PrinterError, QStringLiteral("Printer error: %1").arg(reason));
}

}  // namespace

// One job in progress: rendered to a PDF spool file, handed to its destination at EndDoc.
struct QtPrinterSurface::Job {
    PrinterDestination destination;
    int owner = 0;       // the caller whose output started the job (PrintJobs)
    int32_t sheets = 0;  // sheets finished so far
    std::unique_ptr<QTemporaryFile> spool;
    QPrinter printer{QPrinter::HighResolution};
    QPainter painter;
};

QtPrinterSurface::QtPrinterSurface() : metrics_(std::make_unique<QPrinter>()) {
    configure(*metrics_);
    refreshLayout();
}

QtPrinterSurface::~QtPrinterSurface() {
    if (job_) job_->painter.end();
}

QPageLayout QtPrinterSurface::sheetLayout() const {
    QPageLayout layout = layout_;
    layout.setOrientation(orientation_ == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout;
}

float QtPrinterSurface::ScaleWidth() const {
    return float(sheetLayout().paintRect(QPageLayout::Point).width() * TwipsPerPoint);
}

float QtPrinterSurface::ScaleHeight() const {
    return float(sheetLayout().paintRect(QPageLayout::Point).height() * TwipsPerPoint);
}

void QtPrinterSurface::refreshLayout() {
    try {
        layout_ = pageLayoutFor(currentDestination());
    } catch (const VbError&) {
        // A queue that CUPS does not know fails when the job starts; until then the system's
        // paper gives the area.
        layout_ = pageLayoutFor(PrinterDestination::parse(QStringLiteral("pdf:")));
    }
}

void QtPrinterSurface::startJob() {
    auto job = std::make_unique<Job>();
    job->destination = currentDestination();
    job->owner = PrintJobs::instance().caller();
    layout_ = pageLayoutFor(job->destination);
    job->spool = createSpoolFile(job->destination.isPdf() ? job->destination.pdfDirectory
                                                          : QDir::tempPath());
    configure(job->printer);
    job->printer.setOutputFileName(job->spool->fileName());
    job->printer.setPageLayout(sheetLayout());
    job->printer.setColorMode(colorMode_ == 1 ? QPrinter::GrayScale : QPrinter::Color);
    if (!job->painter.begin(&job->printer)) throw jobError(QStringLiteral("cannot start the job"));
    // The PDF engine learns the pen only from a change of it: a first line in the painter's
    // starting pen (black, 1 pixel) would come out as a filled outline a tenth that wide.
    job->painter.setPen(Qt::NoPen);
    job_ = std::move(job);
}

void QtPrinterSurface::readySheet() {
    try {
        if (!job_) {
            startJob();
        } else if (pagePending_) {
            job_->printer.setPageLayout(sheetLayout());
            if (!job_->printer.newPage())
                throw jobError(QStringLiteral("cannot start a new sheet"));
        }
    } catch (const VbError& error) {
        // Kept for EndDoc: output that never reached the destination must not end as a job
        // reported printed.
        if (!refusal_) refusal_ = error;
        throw;
    }
    pagePending_ = false;
}

void QtPrinterSurface::paint(const std::function<void(QPainter&)>& draw) {
    readySheet();
    QPainter& painter = job_->painter;
    if (pendingBackground_) {
        fillSheet(painter, *pendingBackground_);
        pendingBackground_.reset();
    }
    painter.save();
    draw(painter);
    painter.restore();
    sheetWritten_ = true;
}

void QtPrinterSurface::fillSheet(QPainter& painter, int32_t colour) const {
    // One pixel beyond the area on each far edge, as a filled box includes both corners.
    const QRectF area(0, 0, ScaleWidth() / twipsPerPixel() + 1,
                      ScaleHeight() / twipsPerPixel() + 1);
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(area, colourFromVb(colour));
    painter.restore();
}

void QtPrinterSurface::PaintBackground(int32_t colour) {
    if (!sheetWritten_) {
        pendingBackground_ = colour;
        return;
    }
    paint([&](QPainter& painter) { fillSheet(painter, colour); });
}

const QPaintDevice* QtPrinterSurface::metricsDevice() const {
    return metrics_.get();
}

double QtPrinterSurface::twipsPerPixel() const {
    return 1440.0 / Dpi;
}

std::optional<QColor> QtPrinterSurface::textBackground() const {
    if (backgroundTransparent_) return std::nullopt;
    return QColor(Qt::white);
}

void QtPrinterSurface::leaveJob() {
    resetPosition();
    sheetWritten_ = false;
    pagePending_ = false;
    pendingBackground_.reset();
}

void QtPrinterSurface::finishSheet() {
    job_->sheets += 1;
    Q_EMIT PrintJobs::instance().sheetFinished(job_->owner, job_->sheets);
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
        const bool ended = job->painter.end();
        refreshLayout();
        if (!ended) throw jobError(QStringLiteral("the job could not be finished"));
        requireCompleteSpool(job->spool->fileName());
        EndedJob report{job->destination.text(), {}, job->sheets};
        if (job->destination.isPdf())
            report.document = publishPdfJob(job->spool->fileName(), job->destination.pdfDirectory);
        else
            report.document =
                QString::number(cups::submitPdf(job->destination.queue, job->spool->fileName()));
        // A job that lost output is answered with its error, not reported as printed.
        if (!refusal) Q_EMIT PrintJobs::instance().jobEnded(job->owner, report);
    }
    if (refusal) throw *refusal;
}

void QtPrinterSurface::KillDoc() {
    leaveJob();
    refusal_.reset();
    if (!job_) return;
    job_->printer.abort();
    job_->painter.end();
    job_.reset();
    refreshLayout();
}

void QtPrinterSurface::setFontTransparent(bool transparent) {
    fontTransparent_ = transparent;
    backgroundTransparent_ = transparent;
}

void QtPrinterSurface::setOrientation(int16_t orientation) {
    if (orientation != 1 && orientation != 2) throw VbError(VbErr::InvalidPropertyValue);
    if (sheetWritten_) throw VbError(VbErr::PropertyCannotBeSetWithinPage);
    orientation_ = orientation;
}

void QtPrinterSurface::setColorMode(int16_t mode) {
    if (mode != 1 && mode != 2) throw VbError(VbErr::InvalidPropertyValue);
    colorMode_ = mode;
}

}  // namespace zel
