// The drawing benchmarks' one QApplication, offscreen without a display.
#pragma once
#include <QApplication>

#include <cstdlib>

namespace krelby::bench {

inline QApplication& BenchApp() {
    static int argc = 1;
    static char name[] = "krelby_bench_app";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's teardown after main() returns would lose the ratio lines.
    static QApplication* app = nullptr;
    if (!app) {
        const char* display = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if ((!display || !*display) && (!wayland || !*wayland)) setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app = new QApplication(argc, argv);
    }
    return *app;
}

}  // namespace krelby::bench
