#pragma once

#include <QApplication>

// The application object the print object and its windows need, made once per process on the
// offscreen platform (the fuzzer's main and the corpus runner's main know nothing of Qt).
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}
