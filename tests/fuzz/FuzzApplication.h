#pragma once

#include <QApplication>

// The application object the print object and its windows need, made once per process on the
// offscreen platform (the fuzzer's main and the corpus runner's main know nothing of Qt). It is
// never destroyed: at exit, the windows a target left open would be torn down after the
// thread-local data Qt needs for that is gone.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}
