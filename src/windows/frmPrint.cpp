#include "windows/frmPrint.h"

#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <utility>

#include "surface/PrinterDestination.h"
#include "windows/HandlerGuard.h"
#include "windows/OuterFrame.h"
#include "windows/PrintCanvas.h"
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
    openDialog_ = &dialog;
    const int answer = execQuestion(dialog);
    openDialog_ = nullptr;
    if (unloadWhenClosed_) {
        deleteLater();  // unloaded meanwhile: the next reference loads a new window
        return;
    }
    if (answer != QDialog::Accepted) return;
    const QString destination = destinationOf(printer);
    if (!destination.isEmpty()) saveChosenDestination(destination);
}

void frmPrint::mnuActiveer_Click() {
    OkCancel = false;
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
