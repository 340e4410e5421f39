// The Engine pane's picture: a generated flight with a mixture sweep on each of two monitors,
// its Lean test tab with the first sweep chosen (the chart zoomed to it), as engine.png. With
// a prefix also its other tabs, as PREFIX-engine-TAB.png.
#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "app/application.h"
#include "app/engine_pane.h"
#include "app/lean_test_tab.h"
#include "app/scripted_prompter.h"
#include "base/program_folder.h"
#include "gen/generator.h"
#include "shots.h"

namespace krelby::shots {

bool SaveEngine(const QString& beside, const QString& prefix) {
    QTemporaryDir folder;
    ScriptedPrompter prompter;
    Application app((folder.path() + "/").toStdString(), &prompter);
    MainWindow& window = app.window();
    gen::RecordingOptions o;
    o.seed = 7;
    o.flights = 1;
    o.secondsPerFlight = 1800;
    o.engineMonitors = 2;
    o.sweepMonitors = 2;
    o.egtNoise = 3;
    const QString recording = folder.path() + "/ZelvoBB.DAT";
    gen::WriteRecording(recording.toStdString(), o);
    Settings& settings = app.session().settings;
    for (size_t k = 0; k < settings.thermocouples.size(); ++k)
        settings.thermocouples[k] = k % 12 < 4 ? EGT : k % 12 < 8 ? CHT : Other;
    // Pressure altitude, RPM, fuel flow and the four EGTs of the first monitor.
    for (int item : {1, 11, 18, 20, 21, 22, 23}) settings.selection.Set(item, true);
    window.resize(1100, 760);
    window.show();
    Settle();
    prompter.answers.enqueue(recording);
    window.ImportInternal();
    const QFileInfoList flights =
        QDir(folder.path() + "/" + kInternalFlightsFolder).entryInfoList({"*.FLT"}, QDir::Files);
    if (flights.isEmpty()) {
        std::fprintf(stderr, "engine: nothing imported\n");
        return false;
    }
    window.ShowFlight(flights.first().absoluteFilePath());
    window.Search()->Wait();
    EnginePane* pane = window.Engine();
    bool ok = true;
    if (!prefix.isEmpty()) {
        const char* names[] = {"exceedances", "cylinders", "takeoff", "lean"};
        for (int tab = 0; tab < pane->Tabs()->count(); ++tab) {
            pane->Tabs()->setCurrentIndex(tab);
            ok = Save(window, prefix + "-engine-" + names[tab] + ".png") && ok;
        }
    }
    pane->Tabs()->setCurrentIndex(EnginePane::kLeanTestTab);
    QListWidget* sweeps = pane->LeanTest()->List();
    if (sweeps->count() > 0) emit sweeps->itemClicked(sweeps->item(0));
    ok = Save(window, beside + "engine.png") && ok;
    for (const QString& e : prompter.errors) std::printf("error: %s\n", qPrintable(e));
    window.hide();
    return ok && prompter.errors.isEmpty();
}

}  // namespace krelby::shots
