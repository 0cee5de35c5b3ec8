#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <cstdint>

class QGroupBox;
class QPushButton;
class QScrollBar;

namespace zel {

class OuterFrame;
class PrintWindows;

// The end-of-page confirmation window ("Afdrukken bevestigen"): answers by setting the flags
// of frmPrint and unloading itself; its scroll bars pan frmPrint's page view. It stays on top
// without taking the focus when shown, answers the keyboard once the user activates it, and
// keeps its placement (outer frame, twips) in the settings store.
// One per print context; PrintWindows loads it when needed.
class frmOk : public QWidget {
    Q_OBJECT
public:
    void ShowNonModal();  // shows without making it modal and without taking the focus
    void Resize();        // lays out the controls (public: frmPrint's resize handler calls it)

    // The controls, for whoever answers the question in place of the user.
    QGroupBox* fraCommand() const { return fraCommand_; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdAnnuleer() const { return cmdAnnuleer_; }
    QScrollBar* HScroll1() const { return HScroll1_; }
    QScrollBar* VScroll1() const { return VScroll1_; }

    // The outer frame's measures in twips, and the state (0 normal, 1 minimised, 2 maximised).
    float Height() const;
    void setHeight(float twips);
    float Width() const;
    void setWidth(float twips);
    float Top() const;
    void setTop(float twips);
    float Left() const;
    void setLeft(float twips);
    int WindowState() const;
    // The width of a first use (twips): a fifth of the screen, wider where the title needs it.
    float FirstUseWidth() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PrintWindows;
    explicit frmOk(PrintWindows& windows);
    // Runs the unload handler and leaves the window to be deleted; from then on it answers
    // nothing and reaches nothing of its context.
    static void Unload(frmOk* window);
    // Unloads this window when it is still the loaded one.
    void unloadSelf();
    void Form_Load();
    void Form_Unload();
    void cmdOk_Click();
    void cmdAnnuleer_Click();
    void HScroll1_Change();
    void VScroll1_Change();
    void answer(bool tekenen, bool annuleer);
    void restorePlacement();
    void savePlacement();
    bool questionFits();
    void layOutControls();
    void setScrollBars();
    void fitCaption();
    float ScaleHeight() const;
    float ScaleWidth() const;

    PrintWindows* windows_;  // null once unloaded
    QGroupBox* fraCommand_;
    QPushButton* cmdOk_;
    QPushButton* cmdAnnuleer_;
    QScrollBar* HScroll1_;
    QScrollBar* VScroll1_;
    OuterFrame* frame_;
    bool Busy = false;          // true while loading or laying out: layout and scroll handlers wait
    bool keysChosen_ = false;   // the user clicked or activated the window: keys count
    QElapsedTimer firstPaint_;  // since the window was first drawn on the screen
};

}  // namespace zel
