#pragma once

namespace zel {

// What every subcommand that prints sets up around its print objects.

// Picks the display platform before the application object exists: offscreen when forced or
// when there is no display; otherwise Wayland where a Wayland display is there, then X, falling
// back to offscreen when neither can be opened.
void choosePlatform(bool forceOffscreen);
// Loads fontconfig's configuration and fonts as fontconfig itself would, without also reading
// every file of its template folder (descriptions for fc-conflist, a third of its start). Call
// before anything asks fontconfig; where the configuration cannot be loaded so, fontconfig's
// own set-up runs, with its fallbacks.
void setUpFontconfig();
// The two halves of it, for a process that loads the configuration only when a font question
// needs it: the release is registered before any font set is kept, the loading comes later.
void loadFontconfig();
void releaseFontconfigAtExit();
// Names the application (a process with the GUI: makeGuiApplication).
void setUpApplication();

// For a process that must outlive every failed write: SIGPIPE and SIGXFSZ are ignored (a reader
// of standard error that has gone, or a file past the size limit, fails that write, not every
// open job), a closed standard descriptor is reopened on /dev/null (so that no job file takes its
// number and receives the log), and the soft limit on open files is raised to the hard one.
void setUpLongRunningProcess();

}  // namespace zel
