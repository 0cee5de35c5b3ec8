#include "windows/frmPrint.h"

#include <cups/cups.h>

#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "surface/PrinterDestination.h"
#include "surface/PrinterSurface.h"
#include "windows/HandlerGuard.h"
#include "windows/OuterFrame.h"
#include "windows/PrintCanvas.h"
#include "windows/PrintWindows.h"
#include "windows/Questions.h"

namespace zel {

namespace {

// The destination text of a printer chosen in the dialog: the queue name, or "pdf:DIR" for
// PDF files in the folder of the chosen file; empty when the choice names neither.
QString destinationOf(const QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::PdfFormat) return printer.printerName();
    if (printer.outputFileName().isEmpty()) return QString();
    return QStringLiteral("pdf:") + QFileInfo(printer.outputFileName()).absolutePath();
}

// The dialog's copies, duplex, paper and colour as CUPS options, kept with the destination; a
// PDF file carries only its paper.
JobOptions optionsOf(const QPrinter& printer, bool pdf) {
    JobOptions options;
    // The printer's own settings from the dialog's properties page (PPD options such as
    // ColorModel or PageSize), as Qt itself would send them to CUPS.
    // Qt keeps them under a key of its CUPS support that it does not publish (PPK_CupsOptions).
    const auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    const QStringList cupsOptions = printer.printEngine()->property(CupsOptionsKey).toStringList();
    if (!pdf)
        for (qsizetype i = 0; i + 1 < cupsOptions.size(); i += 2)
            options.set(cupsOptions[i], cupsOptions[i + 1]);
    const QSizeF paper = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
    if (pwg_media_t* media =
            pwgMediaForSize(qRound(paper.width() * 100), qRound(paper.height() * 100)))
        options.set(QStringLiteral("media"), QString::fromUtf8(media->pwg));
    if (pdf) return options;
    options.set(QStringLiteral("copies"), QString::number(printer.copyCount()));
    const QPrinter::DuplexMode duplex = printer.duplex();
    options.set(QStringLiteral("sides"),
                duplex == QPrinter::DuplexNone        ? QStringLiteral("one-sided")
                : duplex == QPrinter::DuplexShortSide ? QStringLiteral("two-sided-short-edge")
                                                      : QStringLiteral("two-sided-long-edge"));
    options.set(QStringLiteral("print-color-mode"), printer.colorMode() == QPrinter::GrayScale
                                                        ? QStringLiteral("monochrome")
                                                        : QStringLiteral("color"));
    return options;
}

}  // namespace

void frmPrint::Unload(frmPrint* window) {
    if (window->openDialog_) {
        // The dialog's event loop runs inside this window's menu handler, which must not lose
        // its window under it (a client's release can arrive there).
        window->unloadWhenClosed_ = true;
        window->Resizing = true;  // its handlers no longer reach the context
        window->hide();
        window->openDialog_->reject();
        return;
    }
    delete window;
}

frmPrint::frmPrint(PrintWindows& windows)
    : windows_(windows),
      canvas_(new PrintCanvas(this)),
      frame_(new OuterFrame(*this)),
      stbPrintPanel_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Afdrukken"));
    setCentralWidget(canvas_);

    QMenu* mnuPrinter = menuBar()->addMenu(QStringLiteral("Printer"));
    mnuPrinter->setObjectName(QStringLiteral("mnuPrinter"));
    mnuSelecteerPrinter_ = mnuPrinter->addAction(QStringLiteral("Selecteer Printer"));
    mnuSelecteerPrinter_->setObjectName(QStringLiteral("mnuSelecteerPrinter"));
    connect(mnuSelecteerPrinter_, &QAction::triggered, this, [this] {
        runHandler("mnuSelecteerPrinter_Click", [this] { mnuSelecteerPrinter_Click(); });
    });
    mnuActiveer_ = mnuPrinter->addAction(QStringLiteral("Toon 'OK' scherm"));
    mnuActiveer_->setObjectName(QStringLiteral("mnuActiveer"));
    mnuActiveer_->setEnabled(false);
    connect(mnuActiveer_, &QAction::triggered, this,
            [this] { runHandler("mnuActiveer_Click", [this] { mnuActiveer_Click(); }); });

    statusBar()->setObjectName(QStringLiteral("stbPrint"));
    statusBar()->addWidget(stbPrintPanel_, 1);

    // From here on the window has its minimum size, which any placement respects: its bars,
    // and the width of its menu, so that a window placed at zero size still offers the menu.
    layout()->activate();
    setMinimumSize(minimumSize().expandedTo(QSize(menuBar()->sizeHint().width(), 0)));
}

QStatusBar* frmPrint::stbPrint() const {
    return statusBar();
}
QLabel* frmPrint::stbPrintPanel() const {
    return stbPrintPanel_;
}
QAction* frmPrint::mnuSelecteerPrinter() const {
    return mnuSelecteerPrinter_;
}
QAction* frmPrint::mnuActiveer() const {
    return mnuActiveer_;
}

// Waiting keeps the finished page on screen and the menu usable: only the drawing area stops
// taking input; its backing image stays as it is.
void frmPrint::setWaiting(bool waiting) {
    waiting_ = waiting;
    canvas_->setEnabled(!waiting);
}

bool frmPrint::waiting() const {
    return waiting_;
}

void frmPrint::refreshWaiting() {
    canvas_->update();
}

// The choice applies from the next print job on; a cancelled dialog changes nothing.
void frmPrint::mnuSelecteerPrinter_Click() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    // Modal to this window only: a server's other clients keep their windows and questions.
    dialog.setWindowModality(Qt::WindowModal);
    openDialog_ = &dialog;
    const int answer = execQuestion(dialog);
    openDialog_ = nullptr;
    if (unloadWhenClosed_) {
        deleteLater();  // unloaded meanwhile: the next reference loads a new window
        return;
    }
    if (answer != QDialog::Accepted) return;
    const QString destination = destinationOf(printer);
    if (destination.isEmpty()) return;
    saveChosenDestination(destination, optionsOf(printer, destination.startsWith("pdf:")));
    // The colour chosen is the printer's colour mode from now on, as a program's would be; the
    // grid is measured on the chosen paper (a job in progress keeps its own).
    const int32_t colourMode = printer.colorMode() == QPrinter::GrayScale ? 1 : 2;
    windows_.whileHeld(this, [this, colourMode] {
        runHandler("frmPrint mnuSelecteerPrinter_Click", [this, colourMode] {
            windows_.printer().setColorMode(colourMode);
            windows_.CalcMetrics();
        });
    });
}

void frmPrint::mnuActiveer_Click() {
    OkCancel = false;
}

void frmPrint::setVisible(bool visible) {
    const bool showing = visible && !isVisible();
    QMainWindow::setVisible(visible);
    if (showing) awaitPlacement();
}

// A compositor may give a new window another size than the one asked for, and a tiling one
// does so only once it has mapped the window, right after its first exposure: a page drawn
// before that would be cut to the size asked for, its watermark centred on that size. So the
// show waits for the first exposure and then for a resize, or a moment without one.
void frmPrint::awaitPlacement() {
    constexpr int MostMilliseconds = 1000;
    constexpr int ResizeMilliseconds = 250;
    QWindow* native = windowHandle();
    if (!native || native->isExposed()) return;
    QEventLoop loop;
    QTimer settle;
    settle.setSingleShot(true);
    connect(&settle, &QTimer::timeout, &loop, &QEventLoop::quit);
    struct Watch : QObject {
        QTimer& settle;
        QEventLoop& loop;
        Watch(QTimer& s, QEventLoop& l) : settle(s), loop(l) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            const auto* window = static_cast<QWindow*>(watched);
            if (event->type() == QEvent::Expose && window->isExposed() && !settle.isActive())
                settle.start(ResizeMilliseconds);
            else if (event->type() == QEvent::Resize && settle.isActive())
                loop.quit();
            return false;
        }
    } watch(settle, loop);
    native->installEventFilter(&watch);
    QTimer::singleShot(MostMilliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    native->removeEventFilter(&watch);
}

void frmPrint::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

// Moving changes the placement as much as resizing does, so it is stored too.
void frmPrint::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!Resizing) runHandler("frmPrint placement", [this] { storePlacement(); });
}

void frmPrint::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

}  // namespace zel
