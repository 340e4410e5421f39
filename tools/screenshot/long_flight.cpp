// The long flight's pictures: what a pilot sees of ten hours on four engine monitors.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>

#include "app/application.h"
#include "app/scripted_prompter.h"
#include "base/program_folder.h"
#include "gen/generator.h"
#include "shots.h"

namespace krelby::shots {
namespace {

// Maximised: where no window manager does it, the screen's free area by hand.
void Maximise(QWidget& window) {
    window.showMaximized();
    Settle();
    const QSize free = window.screen()->availableGeometry().size();
    if (window.frameGeometry().size() != free) {
        window.showNormal();
        window.setGeometry(window.screen()->availableGeometry());
    }
    Settle();
}

}  // namespace

bool SaveLongFlight(const QString& beside) {
    QTemporaryDir folder;
    ScriptedPrompter prompter;
    Application app((folder.path() + "/").toStdString(), &prompter);
    MainWindow& window = app.window();
    gen::RecordingOptions o;
    o.seed = 25;
    o.flights = 1;
    o.secondsPerFlight = 10 * 3600;
    o.engineMonitors = 4;
    const QString recording = folder.path() + "/ZelvoBB.DAT";
    gen::WriteRecording(recording.toStdString(), o);
    // Altitude, two speeds, vertical speed, OAT; RPM and oil pressure of all four monitors;
    // oil temperature, fuel flow and MAP of the first.
    for (int item : {1, 3, 35, 6, 9, 11, 122, 145, 168, 12, 123, 146, 169, 15, 18, 19})
        app.session().settings.selection.Set(item, true);
    window.resize(780, 612);
    window.show();
    Settle();
    prompter.answers.enqueue(recording);
    window.ImportInternal();
    const QFileInfoList flights =
        QDir(folder.path() + "/" + kInternalFlightsFolder).entryInfoList({"*.FLT"}, QDir::Files, QDir::Size);
    if (flights.isEmpty()) {
        std::fprintf(stderr, "long flight: nothing imported\n");
        return false;
    }
    window.StripsBox()->setChecked(true);
    window.ShowFlight(flights.first().absoluteFilePath());
    bool ok = Save(window, beside + "strips-long.png");
    window.StripsBox()->setChecked(false);
    ok = Save(window, beside + "single-long.png") && ok;
    Maximise(window);
    ok = Save(window, beside + "single-long-max.png") && ok;
    window.StripsBox()->setChecked(true);
    ok = Save(window, beside + "strips-long-max.png") && ok;
    window.StripsBox()->setChecked(false);
    for (const QString& e : prompter.errors) std::printf("error: %s\n", qPrintable(e));
    window.hide();
    return ok && prompter.errors.isEmpty();
}

}  // namespace krelby::shots
