#include "windows/frmOk.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>

#include "general/NotInVb5.h"
#include "general/SettingsStore.h"
#include "geometry/mdlPrint.h"
#include "variant/Variant.h"
#include "windows/ApiSpecials.h"
#include "windows/HandlerGuard.h"
#include "windows/OuterFrame.h"
#include "windows/PrintWindows.h"
#include "windows/Questions.h"
#include "windows/ScreenUnits.h"
#include "windows/frmPrint.h"

namespace zel {

namespace {

const QString Section = QStringLiteral("Main");

// Kept apart from frmPrint's placement, which is stored under the title alone.
QString placementApp() {
    return AppTitle() + QStringLiteral("Ok");
}

// Measures are stored as the text of the single-precision value.
QString measureText(float twips) {
    return Variant::Single(twips).toString();
}

// Busy for the lifetime of the scope, also when the layout or the load fails half-way, so that
// a failure does not leave the window deaf to its scroll bars for good.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
};

// One measure of a control, in twips, relative to its container.
enum class Side { Left, Top, Width, Height };

float measure(const QWidget& control, Side side) {
    const QRect g = control.geometry();
    switch (side) {
        case Side::Left:
            return g.x() * TwipsPerPixelX();
        case Side::Top:
            return g.y() * TwipsPerPixelY();
        case Side::Width:
            return g.width() * TwipsPerPixelX();
        case Side::Height:
            return g.height() * TwipsPerPixelY();
    }
    return 0;
}

void setMeasure(QWidget& control, Side side, float twips) {
    QRect g = control.geometry();
    switch (side) {
        case Side::Left:
            g.moveLeft(PixelsX(twips));
            break;
        case Side::Top:
            g.moveTop(PixelsY(twips));
            break;
        case Side::Width:
            g.setWidth(std::max(0, PixelsX(twips)));
            break;
        case Side::Height:
            g.setHeight(std::max(0, PixelsY(twips)));
            break;
    }
    control.setGeometry(g);
}

// One assignment of the layout; the value is computed when its turn comes, so it sees the
// measures the assignments before it have set.
struct Assignment {
    QWidget* control;
    Side side;
    std::function<float()> twips;
};

template <size_t N>
void assign(const Assignment (&steps)[N]) {
    for (const Assignment& step : steps) setMeasure(*step.control, step.side, step.twips());
}

float maxOf(float a, float b) {
    return NotInVb5::MaxOf(Variant::Single(a), Variant::Single(b)).toSingle();
}

// The large step: the visible share of the page in percent, at least 1 (the scroll bar refuses
// a step of 0); a page of no size has nothing to pan, so one step covers it all.
int largeStep(float visible, int32_t page) {
    if (page == 0) return 100;
    const Variant share = Variant::Single(visible) / Variant::Long(page) * Variant::Long(100);
    return std::max<int32_t>(1, Int(NotInVb5::MinOf(share, Variant::Long(100))).toLong());
}

// What the view can pan over: the part of the page beyond the view; none when the page fits,
// so that a page smaller than the view stays at its start instead of moving off it.
double panRange(int32_t page, float visible) {
    return std::max(0.0, double(page) - double(visible));
}

// The pan position of the view in percent of its range, 0 to 100 (its whole part). An origin
// set from a value reads back as that value: the slack absorbs the origin's rounding to a
// single, which would otherwise lose the step at every redraw.
int panPercent(float origin, int32_t page, float visible) {
    const double range = panRange(page, visible);
    if (range == 0) return 0;
    const double percent = double(origin) / range * 100 + 1e-3;
    return int(std::floor(std::clamp(percent, 0.0, 100.0)));
}

// The view origin that a scroll value asks for: 0 shows the page's start, 100 its end.
float panOrigin(int32_t page, float visible, int value) {
    return float(panRange(page, visible) * value / 100);
}

// Keys that pan the page from the keyboard, as the scroll bars' own steps.
struct PanKey {
    int key;
    bool vertical;
    QAbstractSlider::SliderAction action;
};
constexpr PanKey PanKeys[] = {
    {Qt::Key_Up, true, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_Down, true, QAbstractSlider::SliderSingleStepAdd},
    {Qt::Key_PageUp, true, QAbstractSlider::SliderPageStepSub},
    {Qt::Key_PageDown, true, QAbstractSlider::SliderPageStepAdd},
    {Qt::Key_Left, false, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_Right, false, QAbstractSlider::SliderSingleStepAdd},
};

// A window the desktop activates as it maps it, before anybody could have seen it, was not
// chosen by the user: the keys typed then were meant for another window.
constexpr int UnseenMilliseconds = 300;

// The caption is never drawn smaller than this, however narrow the frame.
constexpr qreal SmallestCaptionPoints = 6.0;
// Room the style takes beside the caption (its indent and the frame line).
constexpr int CaptionSlack = 16;  // pixels

}  // namespace

void frmOk::Unload(frmOk* window) {
    // The window goes whatever its unload handler meets; unloading usually happens inside one
    // of the window's own handlers, so it is deleted once that has returned.
    struct Release {
        frmOk* window;
        ~Release() {
            window->windows_ = nullptr;
            window->hide();
            window->deleteLater();
        }
    } release{window};
    window->Form_Unload();
}

void frmOk::unloadSelf() {
    if (windows_ && windows_->okLoaded() && &windows_->ok() == this) windows_->unloadOk();
}

frmOk::frmOk(PrintWindows& windows)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint),
      windows_(&windows),
      fraCommand_(new QGroupBox(QStringLiteral("Einde blad, Wilt u nu verder gaan?"), this)),
      cmdOk_(new QPushButton(QStringLiteral("Ja"), fraCommand_)),
      cmdAnnuleer_(new QPushButton(QStringLiteral("Afbreken"), fraCommand_)),
      HScroll1_(new QScrollBar(Qt::Horizontal, this)),
      VScroll1_(new QScrollBar(Qt::Vertical, this)),
      frame_(new OuterFrame(*this)) {
    // Showing it leaves the focus where it was; a user who clicks it or switches to it answers
    // from the keyboard: the focus starts on "Ja", Tab goes to "Afbreken", Space or Return
    // presses the button that has the focus, the arrow and page keys pan the page. Where the
    // desktop gives it the focus all the same, keys are taken only once the user has chosen it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Afdrukken bevestigen"));
    fraCommand_->setObjectName(QStringLiteral("fraCommand"));
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdAnnuleer_->setObjectName(QStringLiteral("cmdAnnuleer"));
    HScroll1_->setObjectName(QStringLiteral("HScroll1"));
    VScroll1_->setObjectName(QStringLiteral("VScroll1"));

    // The buttons keep the normal font when the caption is made smaller to fit.
    for (QPushButton* button : {cmdOk_, cmdAnnuleer_}) {
        QFont normal = QApplication::font(button);
        if (normal.pointSizeF() > 0) normal.setPointSizeF(normal.pointSizeF());
        button->setFont(normal);
        button->setAutoDefault(true);
    }
    cmdOk_->setFocus();
    // A change is taken when the user lets go of the slider, not at every step of a drag: each
    // change redraws the page and asks again.
    for (QScrollBar* bar : {HScroll1_, VScroll1_}) {
        bar->setRange(0, 100);
        bar->setTracking(false);
    }
    for (QObject* watched : std::initializer_list<QObject*>{this, fraCommand_, cmdOk_, cmdAnnuleer_,
                                                            HScroll1_, VScroll1_})
        watched->installEventFilter(this);
    // The native window exists from the start, so the frame is known (where the platform knows
    // it before mapping) when the placement is restored.
    winId();

    connect(cmdOk_, &QPushButton::clicked, this,
            [this] { runHandler("cmdOk_Click", [this] { cmdOk_Click(); }); });
    connect(cmdAnnuleer_, &QPushButton::clicked, this,
            [this] { runHandler("cmdAnnuleer_Click", [this] { cmdAnnuleer_Click(); }); });
    connect(HScroll1_, &QScrollBar::valueChanged, this,
            [this] { runHandler("HScroll1_Change", [this] { HScroll1_Change(); }); });
    connect(VScroll1_, &QScrollBar::valueChanged, this,
            [this] { runHandler("VScroll1_Change", [this] { VScroll1_Change(); }); });
}

void frmOk::Form_Load() {
    windows_->LoadCount += 1;
    if (windows_->LoadCount >= 11) {
        MsgBox(QStringLiteral("Overloading load"));
        return;
    }
    windows_->frm().OkCancel = true;
    BusyScope busy(Busy);
    restorePlacement();
}

// Height, Width, Top, Left in this order: the default of Left centres the width just restored.
// A stored size in which the buttons cannot show their captions would leave a question nobody
// can answer, and the report waiting for good: the first-use size applies instead.
void frmOk::restorePlacement() {
    const QString app = placementApp();
    const auto stored = [&app](const char* key, float byDefault) {
        const QString text = GetSetting(app, Section, QLatin1String(key), measureText(byDefault));
        return static_cast<float>(LeadingNumber(text));
    };
    const float screenHeight = ScreenHeight();
    const float screenWidth = ScreenWidth();
    const float firstHeight = screenHeight * 0.15f;
    const float firstWidth = FirstUseWidth();
    setHeight(stored("WindowHeight", firstHeight));
    setWidth(stored("WindowWidth", firstWidth));
    if (!questionFits()) {
        setHeight(firstHeight);
        setWidth(firstWidth);
    }
    setTop(stored("WindowTop", screenHeight * 0.8f));
    setLeft(stored("WindowLeft", (screenWidth - Width()) / 2));
}

// A minimised or maximised window keeps the last normal placement in the store, and so does
// a window whose frame is not settled yet.
void frmOk::savePlacement() {
    if (WindowState() != 0 || !FrameSettled(*this)) return;
    const QString app = placementApp();
    SaveSetting(app, Section, QStringLiteral("WindowTop"), measureText(Top()));
    SaveSetting(app, Section, QStringLiteral("WindowLeft"), measureText(Left()));
    SaveSetting(app, Section, QStringLiteral("WindowWidth"), measureText(Width()));
    SaveSetting(app, Section, QStringLiteral("WindowHeight"), measureText(Height()));
}

// Closing the window while the question is open is an abort. That answer reaches the wait even
// when the placement cannot be stored, or the wait would never end.
void frmOk::Form_Unload() {
    std::exception_ptr failure;
    try {
        savePlacement();
    } catch (...) {
        failure = std::current_exception();
    }
    if (windows_->frmLoaded() && windows_->frm().OkCancel) answer(false, true);
    if (failure) std::rethrow_exception(failure);
}

// The page window is its parent on the desktop: compositors keep it with and above its page
// (a tiling one floats it instead of tiling it beside the page).
void frmOk::ShowNonModal() {
    frmPrint* page = windows_->frmLoaded() ? &windows_->frm() : nullptr;
    if (page && page->isVisible() && windowHandle())
        windowHandle()->setTransientParent(page->windowHandle());
    const bool keepKeyboard = page && std::exchange(page->okHadKeyboard, false);
    show();
    if (keepKeyboard) {
        keysChosen_ = true;
        activateWindow();
    }
    answerLater(this);
}

// A fifth of the screen, or as wide as a title bar needs to show the whole title: the title in
// a bold face and room for an icon and three buttons of about a text line each.
float frmOk::FirstUseWidth() const {
    QFont font = QApplication::font(this);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const float title =
        float(metrics.horizontalAdvance(windowTitle()) + 8 * metrics.height()) * TwipsPerPixelX();
    return std::max(ScreenWidth() * 0.2f, title);
}

void frmOk::Resize() {
    if (Busy || !windows_) return;
    int32_t& LoadCount = windows_->LoadCount;
    LoadCount += 1;
    windows_->frm().stbPrintPanel()->setText(QString::number(LoadCount));
    if (LoadCount > 10) {
        MsgBox(QStringLiteral("Overloading resize"));
        return;
    }
    BusyScope busy(Busy);
    SetTopMost(*this);
    layOutControls();
}

// The scroll bars along the bottom and right edges, the frame in what is left with a free band
// of 5 % above and to the left of it, and the two equal buttons side by side in the frame.
// A tiny window never gives the frame or the vertical bar a base below 100 twips.
void frmOk::layOutControls() {
    const auto H = [this] { return ScaleHeight(); };
    const auto W = [this] { return ScaleWidth(); };
    QScrollBar& hs = *HScroll1_;
    QScrollBar& vs = *VScroll1_;
    QGroupBox& fra = *fraCommand_;
    const Assignment bars[] = {
        {&hs, Side::Height, [&] { return H() * 0.17f; }},
        {&hs, Side::Top, [&] { return H() - measure(hs, Side::Height); }},
        {&hs, Side::Width, [&] { return W(); }},
        {&hs, Side::Left, [] { return 0.0f; }},
        {&vs, Side::Width, [&] { return W() * 0.05f; }},
        {&vs, Side::Height, [&] { return maxOf(H() - measure(hs, Side::Height), 100); }},
        {&vs, Side::Top, [] { return 0.0f; }},
        {&vs, Side::Left, [&] { return W() - measure(vs, Side::Width); }},
    };
    assign(bars);
    setScrollBars();
    const auto HS = [&] { return measure(hs, Side::Height); };
    const auto VW = [&] { return measure(vs, Side::Width); };
    const Assignment frame[] = {
        {&fra, Side::Top, [&] { return (H() - HS()) * 0.05f; }},
        {&fra, Side::Height, [&] { return maxOf(H() - HS(), 100) * 0.85f; }},
        {&fra, Side::Left, [&] { return (W() - VW()) * 0.05f; }},
        {&fra, Side::Width, [&] { return maxOf(W() - VW(), 100) * 0.9f; }},
    };
    assign(frame);
    const auto FW = [&] { return measure(fra, Side::Width); };
    const auto FH = [&] { return measure(fra, Side::Height); };
    const Assignment buttons[] = {
        {cmdOk_, Side::Left, [&] { return FW() * 0.06f; }},
        {cmdOk_, Side::Width, [&] { return FW() * 0.41f; }},
        {cmdOk_, Side::Top, [&] { return FH() * 0.35f; }},
        {cmdOk_, Side::Height, [&] { return FH() * 0.5f; }},
        {cmdAnnuleer_, Side::Left, [&] { return FW() * 0.53f; }},
        {cmdAnnuleer_, Side::Width, [&] { return FW() * 0.41f; }},
        {cmdAnnuleer_, Side::Top, [&] { return FH() * 0.35f; }},
        {cmdAnnuleer_, Side::Height, [&] { return FH() * 0.5f; }},
    };
    assign(buttons);
    fitCaption();
}

// Lays the controls out for the size the window has now and tells whether each button then
// has room for its caption.
bool frmOk::questionFits() {
    layOutControls();
    for (const QPushButton* button : {cmdOk_, cmdAnnuleer_}) {
        const QFontMetrics metrics(button->font());
        if (button->width() < metrics.horizontalAdvance(button->text()) ||
            button->height() < metrics.height())
            return false;
    }
    return true;
}

// The scroll bars show where frmPrint's view is; Busy keeps these changes from panning.
void frmOk::setScrollBars() {
    const frmPrint& frm = windows_->frm();
    const mdlPrint& grid = windows_->geometry();
    HScroll1_->setPageStep(largeStep(frm.ScaleWidth(), grid.PageWidthScreen));
    VScroll1_->setPageStep(largeStep(frm.ScaleHeight(), grid.PageHeightScreen));
    HScroll1_->setValue(panPercent(frm.ScaleLeft(), grid.PageWidthScreen, frm.ScaleWidth()));
    VScroll1_->setValue(panPercent(frm.ScaleTop(), grid.PageHeightScreen, frm.ScaleHeight()));
    // A page that fits the view in a direction has nothing to pan there.
    HScroll1_->setEnabled(panRange(grid.PageWidthScreen, frm.ScaleWidth()) > 0);
    VScroll1_->setEnabled(panRange(grid.PageHeightScreen, frm.ScaleHeight()) > 0);
}

// The question is the window's point: its caption gets the largest size up to the normal one
// at which it fits the frame's width.
void frmOk::fitCaption() {
    QFont font = QApplication::font(fraCommand_);
    if (font.pointSizeF() <= 0) return;
    const QString caption = fraCommand_->title();
    const int room = fraCommand_->width() - CaptionSlack;
    while (font.pointSizeF() > SmallestCaptionPoints &&
           QFontMetrics(font).horizontalAdvance(caption) > room)
        font.setPointSizeF(std::max(SmallestCaptionPoints, font.pointSizeF() - 0.5));
    if (font != fraCommand_->font()) fraCommand_->setFont(font);
}

void frmOk::HScroll1_Change() {
    if (Busy || !windows_) return;
    frmPrint& frm = windows_->frm();
    frm.setScaleLeft(
        panOrigin(windows_->geometry().PageWidthScreen, frm.ScaleWidth(), HScroll1_->value()));
    frm.okHadKeyboard = isActiveWindow() && keysChosen_;
    answer(true, false);
    unloadSelf();
}

void frmOk::VScroll1_Change() {
    if (Busy || !windows_) return;
    frmPrint& frm = windows_->frm();
    frm.setScaleTop(
        panOrigin(windows_->geometry().PageHeightScreen, frm.ScaleHeight(), VScroll1_->value()));
    frm.okHadKeyboard = isActiveWindow() && keysChosen_;
    answer(true, false);
    unloadSelf();
}

void frmOk::cmdOk_Click() {
    if (!windows_) return;
    answer(false, false);
    unloadSelf();
}

void frmOk::cmdAnnuleer_Click() {
    if (!windows_) return;
    answer(false, true);
    unloadSelf();
}

// The wait ends when it sees OkCancel false, so that flag is written last.
void frmOk::answer(bool tekenen, bool annuleer) {
    frmPrint& main = windows_->frm();
    main.Tekenen = tekenen;
    main.Annuleer = annuleer;
    main.OkCancel = false;
}

float frmOk::ScaleHeight() const {
    return height() * TwipsPerPixelY();
}
float frmOk::ScaleWidth() const {
    return width() * TwipsPerPixelX();
}

float frmOk::Height() const {
    return frame_->get(OuterFrame::Height);
}
void frmOk::setHeight(float twips) {
    frame_->set(OuterFrame::Height, twips);
}
float frmOk::Width() const {
    return frame_->get(OuterFrame::Width);
}
void frmOk::setWidth(float twips) {
    frame_->set(OuterFrame::Width, twips);
}
float frmOk::Top() const {
    return frame_->get(OuterFrame::Top);
}
void frmOk::setTop(float twips) {
    frame_->set(OuterFrame::Top, twips);
}
float frmOk::Left() const {
    return frame_->get(OuterFrame::Left);
}
void frmOk::setLeft(float twips) {
    frame_->set(OuterFrame::Left, twips);
}

int frmOk::WindowState() const {
    if (isMinimized()) return 1;
    if (isMaximized() || isFullScreen()) return 2;
    return 0;
}

void frmOk::resizeEvent(QResizeEvent*) {
    runHandler("frmOk Form_Resize", [this] { Resize(); });
}

void frmOk::paintEvent(QPaintEvent* event) {
    if (!firstPaint_.isValid()) firstPaint_.start();
    QWidget::paintEvent(event);
}

// Activated by the user, not by the desktop as it mapped the window.
void frmOk::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && firstPaint_.isValid() &&
        firstPaint_.elapsed() >= UnseenMilliseconds)
        keysChosen_ = true;
    QWidget::changeEvent(event);
}

// A click anywhere in the window chooses it; keys count only once it is chosen, and the arrow
// and page keys pan the page.
bool frmOk::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress) keysChosen_ = true;
    const bool key =
        type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride;
    if (key && !keysChosen_) return true;
    if (type == QEvent::KeyPress) {
        const int pressed = static_cast<QKeyEvent*>(event)->key();
        for (const PanKey& pan : PanKeys) {
            if (pan.key != pressed) continue;
            QScrollBar* bar = pan.vertical ? VScroll1_ : HScroll1_;
            if (bar->isEnabled()) bar->triggerAction(pan.action);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmOk::closeEvent(QCloseEvent* event) {
    // Only the loaded window answers; one already unloaded (waiting for deletion) has no say.
    runHandler("frmOk Form_Unload", [this] { unloadSelf(); });
    event->accept();
}

}  // namespace zel
