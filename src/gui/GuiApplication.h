#pragma once

#include <QApplication>
#include <memory>

namespace zel {

// The application of a process that may show windows and ask questions (the server, a print job
// in a screen mode or of a template): the display platform chosen first (offscreen when forced
// or when there is no display), and, offscreen, the answers for when nobody can see a question
// (a wait without end would hang the caller).
std::unique_ptr<QApplication> makeGuiApplication(int& argc, char** argv, bool forceOffscreen);

}  // namespace zel
