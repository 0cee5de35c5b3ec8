#pragma once

#include <QWidget>

class QGroupBox;
class QPushButton;

namespace zel {

// The end-of-page confirmation window ("Afdrukken bevestigen"): answers by setting the flags
// of frmPrint and unloading itself. One per process; Show loads it when needed.
class frmOk : public QWidget {
    Q_OBJECT
public:
    static frmOk& Get();  // loads the window (not shown) when it is not loaded
    static bool Loaded();
    static void Unload();  // runs the unload handler (an unanswered close is an abort)

    // Survives unloading, as the page flow resets it before each showing.
    static inline int32_t LoadCount = 0;

    void ShowNonModal();  // shows without making it modal and without taking the focus
    void Resize();        // fits the controls to the window (public: frmPrint calls it)

    // The controls, for whoever answers the question in place of the user.
    QGroupBox* fraCommand() const { return fraCommand_; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdAnnuleer() const { return cmdAnnuleer_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmOk();
    void Form_Load();
    void Form_Unload();
    void cmdOk_Click();
    void cmdAnnuleer_Click();
    void answer(bool abort);

    QGroupBox* fraCommand_;
    QPushButton* cmdOk_;
    QPushButton* cmdAnnuleer_;
    bool Busy = false;  // true while loading or laying out: the layout does nothing then
};

}  // namespace zel
