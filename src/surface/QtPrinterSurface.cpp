#include "surface/QtPrinterSurface.h"

#include <QColor>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include "surface/CupsQueue.h"
#include "surface/PdfJobFile.h"
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
    layout_ = pageLayoutFor(job->destination);
    job->spool = createSpoolFile(job->destination.isPdf() ? job->destination.pdfDirectory
                                                          : QDir::tempPath());
    configure(job->printer);
    job->printer.setOutputFileName(job->spool->fileName());
    job->printer.setPageLayout(sheetLayout());
    job->printer.setColorMode(colorMode_ == 1 ? QPrinter::GrayScale : QPrinter::Color);
    if (!job->painter.begin(&job->printer)) throw jobError(QStringLiteral("cannot start the job"));
    job_ = std::move(job);
}

void QtPrinterSurface::readySheet() {
    if (!job_) {
        startJob();
    } else if (pagePending_) {
        job_->printer.setPageLayout(sheetLayout());
        if (!job_->printer.newPage()) throw jobError(QStringLiteral("cannot start a new sheet"));
    }
    pagePending_ = false;
}

void QtPrinterSurface::paint(const std::function<void(QPainter&)>& draw) {
    readySheet();
    job_->painter.save();
    draw(job_->painter);
    job_->painter.restore();
    sheetWritten_ = true;
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
}

void QtPrinterSurface::NewPage() {
    resetPosition();
    if (job_ && sheetWritten_) pagePending_ = true;
    sheetWritten_ = false;
}

void QtPrinterSurface::EndDoc() {
    leaveJob();
    if (!job_) return;
    const std::unique_ptr<Job> job = std::move(job_);
    job->painter.end();
    refreshLayout();
    if (job->destination.isPdf()) {
        endedJob_ = publishPdfJob(job->spool->fileName(), job->destination.pdfDirectory);
    } else {
        const int id = cups::submitPdf(job->destination.queue, job->spool->fileName());
        endedJob_ = QStringLiteral("%1 job %2").arg(job->destination.queue).arg(id);
    }
}

void QtPrinterSurface::KillDoc() {
    leaveJob();
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
