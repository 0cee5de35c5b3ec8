#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <ostream>

#include "general/SettingsStore.h"
#include "geometry/mdlPrint.h"
#include "support/RecordingPrinterSurface.h"
#include "windows/PrintWindows.h"
#include "windows/Questions.h"
#include "windows/frmOk.h"
#include "windows/frmPrint.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace zel {

// Each case starts with a fresh pair of windows (none loaded), an empty settings store of its
// own, a recording printer (the resize handler recomputes the page geometry from it) and no
// answerer.
class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        geometry_.LeftSpacing = geometry_.RightSpacing = 800;
        geometry_.TopSpacing = geometry_.BottomSpacing = 800;
        installAnswerer({});
    }

    void TearDown() override {
        installAnswerer({});
        windows_.reset();
        settle();
    }

    PrintWindows& windows() { return *windows_; }
    mdlPrint& geometry() { return geometry_; }
    RecordingPrinterSurface& printer() { return printer_; }

    // Lets posted events (resizes, answers, deferred deletes) run.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // Processes events until the condition holds, as the page flow's wait does; false after
    // the time-out.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return true;
    }

    static QString stored(const QString& key) {
        return GetSetting(AppTitle(), QStringLiteral("Main"), key, QStringLiteral("absent"));
    }

    static void store(const QString& key, const QString& value) {
        SaveSetting(AppTitle(), QStringLiteral("Main"), key, value);
    }

private:
    QTemporaryDir config_;
    mdlPrint geometry_;
    RecordingPrinterSurface printer_;
    std::unique_ptr<PrintWindows> windows_ = std::make_unique<PrintWindows>(geometry_, printer_);
};

}  // namespace zel
