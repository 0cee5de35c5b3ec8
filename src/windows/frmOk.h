#pragma once

#include <QWidget>

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
};

}  // namespace zel
