// Start-up of the window: the program object, the main window with its chart and both
// dialogs, settings read, the window shown (offscreen). Target: under 0.5 s.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#include "app/application.h"
#include "app/scripted_prompter.h"

namespace {

QApplication& Qt() {
    static int argc = 1;
    static char name[] = "krelby_app_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: Qt crashes tearing an application down from the exit handlers.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void StartOnce(const QTemporaryDir& folder) {
    krelby::ScriptedPrompter prompter;
    krelby::Application app((folder.path() + "/").toStdString(), &prompter);
    app.window().show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(app.window().isVisible());
}

// The first start of a process, with the toolkit itself coming up (fonts, style).
void BM_FirstStartup(benchmark::State& state) {
    QTemporaryDir folder;
    for (auto _ : state) {
        Qt();
        StartOnce(folder);
    }
}
BENCHMARK(BM_FirstStartup)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Startup(benchmark::State& state) {
    Qt();
    QTemporaryDir folder;
    for (auto _ : state) StartOnce(folder);
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond);

}  // namespace
