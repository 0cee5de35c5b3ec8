#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "general/Clock.h"
#include "print/PrintContext.h"
#include "print/clsPrint.h"
#include "support/ErrorOf.h"
#include "support/RecordingPrinterSurface.h"
#include "surface/PrinterSurface.h"
#include "variant/VbError.h"
#include "windows/PrintWindows.h"
#include "windows/frmOk.h"
#include "windows/frmPrint.h"

namespace zel::testing {

// A print object on the recording printer, with its settings and output in a private folder.
// The recording printer's cell is 120 x 240 twips and "Terminal" sets margins of 800, so
// position P lies at x = 800 + 120 (P - 1) and page row r at y = 800 + 240 r.
class PrintObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toUtf8());
        qputenv("ZELPRINT_PRINTER", ("pdf:" + dir_.path()).toUtf8());
        auto recording = std::make_unique<RecordingPrinterSurface>();
        printer_ = recording.get();
        context_ = std::make_shared<PrintContext>(std::move(recording));
        print_ = std::make_unique<clsPrint>(context_);
        printer_->clearCalls();
    }

    void TearDown() override {
        print_.reset();
        context_.reset();
        Clock::unpin();
    }

    // The context's windows, made (not loaded) for the test to reach them.
    PrintWindows& windows() { return static_cast<PrintWindows&>(context_->windows().loaded()); }
    mdlPrint& geometry() { return context_->geometry(); }
    PrinterSurface& printer() { return context_->printer(); }

    static constexpr float Margin = 800;
    static float printerX(double positie) { return float(Margin + 120 * (positie - 1)); }
    static float printerY(double row) { return float(Margin + 240 * row); }

    // The calls a print operation made on the printer, from its own start.
    QStringList callsAfter(const std::function<void()>& operation) {
        printer_->clearCalls();
        operation();
        return printer_->calls();
    }

    QTemporaryDir dir_;
    RecordingPrinterSurface* printer_ = nullptr;
    std::shared_ptr<PrintContext> context_;
    std::unique_ptr<clsPrint> print_;
};

inline const Variant kMissing = Variant::Missing();

}  // namespace zel::testing
