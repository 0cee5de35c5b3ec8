#include "windows/frmOk.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "windows/HandlerGuard.h"
#include "windows/Questions.h"
#include "windows/ScreenUnits.h"
#include "windows/frmPrint.h"

namespace zel {

namespace {

frmOk* instance = nullptr;

// The frame never gets a base below this, so that a tiny window keeps positive sizes.
constexpr float MinimumBase = 100.0f;  // twips

}  // namespace

frmOk& frmOk::Get() {
    if (!instance) {
        instance = new frmOk;
        instance->Form_Load();
    }
    return *instance;
}

bool frmOk::Loaded() {
    return instance != nullptr;
}

void frmOk::Unload() {
    if (!instance) return;
    frmOk* window = instance;
    window->Form_Unload();
    instance = nullptr;
    window->hide();
    // Unloading usually happens inside one of the window's own button handlers.
    window->deleteLater();
}

frmOk::frmOk()
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      fraCommand_(new QGroupBox(QStringLiteral("Einde blad, Wilt u nu verder gaan?"), this)),
      cmdOk_(new QPushButton(QStringLiteral("Ja"), fraCommand_)),
      cmdAnnuleer_(new QPushButton(QStringLiteral("Afbreken"), fraCommand_)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Afdrukken bevestigen"));
    connect(cmdOk_, &QPushButton::clicked, this,
            [this] { runHandler("cmdOk_Click", [this] { cmdOk_Click(); }); });
    connect(cmdAnnuleer_, &QPushButton::clicked, this,
            [this] { runHandler("cmdAnnuleer_Click", [this] { cmdAnnuleer_Click(); }); });
}

void frmOk::Form_Load() {
    LoadCount += 1;
    frmPrint::Get().OkCancel = true;
    Busy = true;
    // A fifth of the screen wide, low on the screen and centred, so the page stays visible.
    const float width = ScreenWidth() * 0.2f;
    resize(PixelsX(width), PixelsY(ScreenHeight() * 0.15f));
    move(PixelsX((ScreenWidth() - width) / 2), PixelsY(ScreenHeight() * 0.8f));
    Busy = false;
}

void frmOk::Form_Unload() {
    // Closed while the question is open: that is an abort.
    if (frmPrint::Loaded() && frmPrint::Get().OkCancel) answer(true);
}

void frmOk::ShowNonModal() {
    show();
    answerLater(this);
}

void frmOk::Resize() {
    if (Busy) return;
    LoadCount += 1;
    frmPrint::Get().stbPrintPanel()->setText(QString::number(LoadCount));
    Busy = true;
    const float twipsX = TwipsPerPixelX();
    const float twipsY = TwipsPerPixelY();
    const float h = height() * twipsY;
    const float w = width() * twipsX;
    fraCommand_->setGeometry(PixelsX(w * 0.05f), PixelsY(h * 0.05f),
                             PixelsX(std::max(w, MinimumBase) * 0.9f),
                             PixelsY(std::max(h, MinimumBase) * 0.85f));
    const float fw = fraCommand_->width() * twipsX;
    const float fh = fraCommand_->height() * twipsY;
    cmdOk_->setGeometry(PixelsX(fw * 0.06f), PixelsY(fh * 0.35f), PixelsX(fw * 0.41f),
                        PixelsY(fh * 0.5f));
    cmdAnnuleer_->setGeometry(PixelsX(fw * 0.53f), PixelsY(fh * 0.35f), PixelsX(fw * 0.41f),
                              PixelsY(fh * 0.5f));
    Busy = false;
}

void frmOk::cmdOk_Click() {
    answer(false);
    Unload();
}

void frmOk::cmdAnnuleer_Click() {
    answer(true);
    Unload();
}

// The wait ends when it sees OkCancel false, so that flag is written last.
void frmOk::answer(bool abort) {
    frmPrint& main = frmPrint::Get();
    main.Tekenen = false;
    main.Annuleer = abort;
    main.OkCancel = false;
}

void frmOk::resizeEvent(QResizeEvent*) {
    runHandler("frmOk Form_Resize", [this] { Resize(); });
}

void frmOk::closeEvent(QCloseEvent* event) {
    runHandler("frmOk Form_Unload", [] { Unload(); });
    event->accept();
}

}  // namespace zel
