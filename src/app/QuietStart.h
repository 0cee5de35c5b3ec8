#pragma once

namespace zel {

// Keeps Qt's notes that concern nobody who runs the program off standard error: run without a
// login session (ssh, cron, a container), Qt says on every start that XDG_RUNTIME_DIR is not
// set and then uses a folder of its own, which is all this program needs. Every other message
// goes on as before. Call first, before any Qt object exists.
void quietenQtNotes();

}  // namespace zel
