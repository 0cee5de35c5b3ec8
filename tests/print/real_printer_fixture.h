#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "general/Clock.h"
#include "print/mdlPrint.h"
#include "support/ErrorOf.h"
#include "surface/PrinterSurface.h"
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
        shutdownPrinter();  // the next use makes the real printer, with the destination above
        mdlPrint::ResetForTests();
        Clock::pin(QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
    }
    void TearDown() override {
        if (frmOk::Loaded()) frmOk::Unload();
        frmPrint::Unload();
        shutdownPrinter();
        Clock::unpin();
    }

    // The job files printed so far, oldest first, as full paths.
    QStringList jobs() const {
        QStringList paths;
        for (const QString& name : QDir(dir_.path()).entryList({"job-*.pdf"}, QDir::Files))
            paths << dir_.path() + "/" + name;
        return paths;
    }

    QTemporaryDir dir_;
};

}  // namespace zel::testing
