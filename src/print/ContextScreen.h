#pragma once

#include "surface/WindowSurface.h"

namespace zel {

// The main window "Afdrukken" as the print objects reach it: its drawing area and the flags
// through which the confirmation answers the page flow. The widgets behind it are the windows
// library's (ScreenWindow).
class ContextScreen : public WindowSurface {
public:
    virtual void show() = 0;
    virtual bool Tekenen() const = 0;
    virtual void setTekenen(bool value) = 0;
    virtual bool Annuleer() const = 0;
    virtual void setAnnuleer(bool value) = 0;
    virtual bool OkCancel() const = 0;  // true while the confirmation's question is open
    virtual void setWaiting(bool waiting) = 0;
    virtual void refreshWaiting() = 0;
};

}  // namespace zel
