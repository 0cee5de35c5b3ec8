#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "general/Clock.h"
#include "print/PrintContext.h"
#include "support/ErrorOf.h"
#include "surface/PrinterSurface.h"
#include "windows/PrintWindows.h"
#include "windows/frmOk.h"
#include "windows/frmPrint.h"

namespace zel::testing {

// The real printer, printing PDF files into a private folder, with the clock pinned.
class RealPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toUtf8());
        qputenv("ZELPRINT_PRINTER", ("pdf:" + dir_.path()).toUtf8());
        // The real printer, with the destination above.
        context_ = std::make_shared<PrintContext>();
        Clock::pin(QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
    }
    void TearDown() override {
        context_.reset();
        Clock::unpin();
    }

    // The context's windows, made (not loaded) for the test to reach them.
    PrintWindows& windows() { return static_cast<PrintWindows&>(context_->windows().loaded()); }
    mdlPrint& geometry() { return context_->geometry(); }
    PrinterSurface& printer() { return context_->printer(); }

    // The job files printed so far, oldest first, as full paths.
    QStringList jobs() const {
        QStringList paths;
        for (const QString& name : QDir(dir_.path()).entryList({"job-*.pdf"}, QDir::Files))
            paths << dir_.path() + "/" + name;
        return paths;
    }

    QTemporaryDir dir_;
    std::shared_ptr<PrintContext> context_;
};

}  // namespace zel::testing
