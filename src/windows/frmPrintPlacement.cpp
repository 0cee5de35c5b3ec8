// frmPrint's placement: the outer frame's measures in twips, the load handler that restores
// them from the settings store and the resize handler that stores them again.

#include "general/SettingsStore.h"
#include "geometry/mdlPrint.h"
#include "variant/Variant.h"
#include "windows/ApiSpecials.h"
#include "windows/HandlerGuard.h"
#include "windows/OuterFrame.h"
#include "windows/PrintWindows.h"
#include "windows/ScreenUnits.h"
#include "windows/frmOk.h"
#include "windows/frmPrint.h"

namespace zel {

namespace {

const QString Section = QStringLiteral("Main");

// Measures are stored as the text of the single-precision value.
QString measureText(float twips) {
    return Variant::Single(twips).toString();
}

}  // namespace

void frmPrint::Form_Load() {
    Resizing = true;
    const float screenHeight = ScreenHeight();
    const float screenWidth = ScreenWidth();
    const float height = screenHeight * 4 / 5;
    const float width = screenWidth * 4 / 5;
    const QString app = AppTitle();
    const auto restore = [&](const QString& key, float byDefault, void (frmPrint::*set)(float)) {
        const QString text = GetSetting(app, Section, key, measureText(byDefault));
        (this->*set)(static_cast<float>(LeadingNumber(text)));
    };
    restore(QStringLiteral("WindowHeight"), height, &frmPrint::setHeight);
    restore(QStringLiteral("WindowWidth"), width, &frmPrint::setWidth);
    restore(QStringLiteral("WindowTop"), (screenHeight - height) / 2, &frmPrint::setTop);
    restore(QStringLiteral("WindowLeft"), (screenWidth - width) / 2, &frmPrint::setLeft);
    Resizing = false;
}

// Runs on every change of size or window state. A minimised or maximised window keeps the last
// normal placement in the store (as does one whose frame is not settled); the page geometry follows
// the window in every state.
void frmPrint::Form_Resize() {
    if (Resizing) return;
    windows_.whileHeld(this, [this] {
        runHandler("frmPrint Form_Resize", [this] {
            storePlacement();
            windows_.geometry().CalcScreenMetrics(windows_.printer(), *this);
            if (windows_.okLoaded()) windows_.ok().Resize();
        });
    });
}

void frmPrint::storePlacement() {
    if (WindowState() != 0 || !FrameSettled(*this)) return;
    const QString app = AppTitle();
    SaveSetting(app, Section, QStringLiteral("WindowTop"), measureText(Top()));
    SaveSetting(app, Section, QStringLiteral("WindowLeft"), measureText(Left()));
    SaveSetting(app, Section, QStringLiteral("WindowWidth"), measureText(Width()));
    SaveSetting(app, Section, QStringLiteral("WindowHeight"), measureText(Height()));
}

float frmPrint::Height() const {
    return frame_->get(OuterFrame::Height);
}
void frmPrint::setHeight(float twips) {
    frame_->set(OuterFrame::Height, twips);
}
float frmPrint::Width() const {
    return frame_->get(OuterFrame::Width);
}
void frmPrint::setWidth(float twips) {
    frame_->set(OuterFrame::Width, twips);
}
float frmPrint::Top() const {
    return frame_->get(OuterFrame::Top);
}
void frmPrint::setTop(float twips) {
    frame_->set(OuterFrame::Top, twips);
}
float frmPrint::Left() const {
    return frame_->get(OuterFrame::Left);
}
void frmPrint::setLeft(float twips) {
    frame_->set(OuterFrame::Left, twips);
}

int frmPrint::WindowState() const {
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized) return 1;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) return 2;
    return 0;
}

void frmPrint::setWindowState(int state) {
    static const Qt::WindowState states[] = {Qt::WindowNoState, Qt::WindowMinimized,
                                             Qt::WindowMaximized};
    if (state < 0 || state > 2) throw VbError(VbErr::InvalidPropertyValue);
    QWidget::setWindowState(states[state]);
}

}  // namespace zel
