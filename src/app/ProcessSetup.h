#pragma once

namespace zel {

// What every subcommand that prints sets up around its print objects.

// Picks the display platform before the application object exists: offscreen when forced or
// when there is no display; otherwise Wayland where a Wayland display is there, then X, falling
// back to offscreen when neither can be opened.
void choosePlatform(bool forceOffscreen);
// Names the application and, offscreen, installs the answers for when nobody can see a
// question (a wait without end would hang the caller).
void setUpApplication();

}  // namespace zel
