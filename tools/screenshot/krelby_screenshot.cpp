// krelby-screenshot RECORDING OUT.png [DIALOGS_PREFIX]
// Imports RECORDING into a temporary program folder through the Import menu command, shows
// its longest flight with nine data items through the Flight command, and saves the whole
// window as OUT.png; beside it the chart printed to print.pdf (as the print preview prints
// it, on A4 landscape) and the window after a wheel notch over the chart, with the mouse's
// readout, as zoomed.png; a span marked with its table as span.png (printed to span-print.pdf)
// and F1's sheet as shortcuts.png; then with the track pane shown and the mouse over the chart,
// as track.png, the pane alone with the mouse over its altitude profile as profile.png, and over map tiles from a tile server of its own as map.png; then strips.png,
// sixteen items on eleven axes in the strip view at the window's first size (780x612); and
// exceedances.png, the Engine pane's Exceedances with CHT and EGT limits.
// Then the Logbook on its Trends tab over four months of generated flights of an engine that
// slowly wears (oil pressure sagging, CHTs creeping up), as trends.png. Last a 10-hour flight
// of four engine monitors with sixteen items in the strip view and the single chart, at the
// first size and maximised: strips-long.png, strips-long-max.png, single-long.png and
// single-long-max.png. Then engine.png, the Lean test of a flight with a sweep on two monitors.
// With DIALOGS_PREFIX also pictures of the two dialogs' pages.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QSettings>
#include <QWheelEvent>
#include <qcustomplot.h>
#include <QTreeWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "app/application.h"
#include "base/program_folder.h"
#include "chart/chart_widget.h"
#include "chart/track_view.h"
#include "app/data_selection_dialog.h"
#include "app/engine_pane.h"
#include "app/exceedances_pane.h"
#include "app/limits_dialog.h"
#include "app/logbook_window.h"
#include "app/options_dialog.h"
#include "app/scripted_prompter.h"
#include "app/trends_view.h"
#include "format/datetime.h"
#include "gen/generator.h"
#include "logbook/columns.h"
#include "shots.h"

namespace krelby::shots {

void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

bool Save(QWidget& widget, const QString& path) {
    Settle();
    if (widget.grab().save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace krelby::shots

namespace {

using krelby::shots::Save;
using krelby::shots::Settle;

// The mouse resting at `at` over `widget`, as a hover.
void HoverAt(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(widget, &move);
}

// The chart printed as the print preview prints it, on A4 landscape, into a PDF file.
void PrintPdf(krelby::ChartWidget& chart, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFileName(path);
    chart.Print(printer);
}

void WaitForLogbook(krelby::LogbookWindow& logbook) {
    for (int i = 0; i < 1000 && logbook.Busy(); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    QApplication::processEvents();
}

int Column(std::string_view name) {
    const auto& columns = krelby::LogbookColumns();
    for (size_t c = 0; c < columns.size(); ++c)
        if (columns[c].name == name) return krelby::LogbookModel::kFirstFigure + int(c);
    return -1;
}

// A flight every nine days or so from February to June, one recording each, imported as a
// pilot would; the engine's wear grows from flight to flight.
bool SaveTrends(const QString& path) {
    QTemporaryDir folder;
    krelby::ScriptedPrompter prompter;
    krelby::Application app((folder.path() + "/").toStdString(), &prompter);
    krelby::ThermocoupleKinds& kinds = app.session().settings.thermocouples;
    for (size_t n = 0; n < 12; ++n) kinds[n] = n < 4 ? krelby::EGT : n < 8 ? krelby::CHT : krelby::Other;
    constexpr int kFlights = 14;
    const int64_t first = krelby::DaysFromCivil(2024, 2, 3);
    for (int f = 0; f < kFlights; ++f) {
        krelby::gen::RecordingOptions o;
        o.seed = uint32_t(40 + f);
        o.flights = 1;
        o.secondsPerFlight = 1500;
        o.engineMonitors = 1;
        krelby::CivilFromDays(first + f * 9 + f % 3, o.startYear, o.startMonth, o.startDay);
        o.startHour = 9 + f % 6;
        o.engineWear = double(f) / (kFlights - 1);
        const QString recording = folder.path() + QString("/ZelvoBB-%1.DAT").arg(f);
        krelby::gen::WriteRecording(recording.toStdString(), o);
        prompter.answers.enqueue(recording);
        app.window().ImportInternal();
    }
    for (const QString& e : prompter.errors) std::printf("error: %s\n", qPrintable(e));
    app.window().LogbookCommand();
    krelby::LogbookWindow* logbook = app.window().Logbook();
    WaitForLogbook(*logbook);
    // As the pilot first sees it: the Logbook at its own first size.
    logbook->Tabs()->setCurrentWidget(logbook->Trends());
    krelby::TrendsView* trends = logbook->Trends();
    trends->Tick(Column("oilp_min_bar_1"), true);
    trends->Tick(Column("cht_max_c_1"), true);
    Settle();
    trends->Rebuild();
    // The mouse on the newest CHT point: the readout names the flight.
    QCustomPlot* plot = trends->Plot();
    if (plot->graphCount() > 1 && !trends->Points()[1].empty()) {
        const auto& p = trends->Points()[1].back();
        const QPoint at(int(plot->xAxis->coordToPixel(p.start)), int(plot->graph(1)->valueAxis()->coordToPixel(p.value)));
        HoverAt(plot, at);
    }
    const bool ok = Save(*logbook, path) && prompter.errors.isEmpty();
    logbook->hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: krelby-screenshot RECORDING OUT.png [DIALOGS_PREFIX]\n");
        return 2;
    }
    QTemporaryDir folder;
    // The user's own window geometry plays no part in the pictures, nor do the user's tiles.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    qputenv("XDG_CACHE_HOME", (folder.path() + "/cache").toUtf8());
    krelby::ScriptedPrompter prompter;
    krelby::Application app((folder.path() + "/").toStdString(), &prompter);
    krelby::MainWindow& window = app.window();
    // Altitudes, speeds, vertical speed, engine speed, oil pressure and temperature, two EGTs.
    for (int item : {1, 3, 35, 6, 11, 12, 15, 20, 21})
        app.session().settings.selection.Set(item, true);
    window.resize(1100, 680);
    window.show();
    Settle();

    prompter.answers.enqueue(QFileInfo(argv[1]).absoluteFilePath());
    window.ImportInternal();
    QFileInfoList flights = QDir(folder.path() + "/" + krelby::kInternalFlightsFolder).entryInfoList({"*.FLT"}, QDir::Files, QDir::Size);
    if (!flights.isEmpty()) {
        prompter.answers.enqueue(flights.first().absoluteFilePath());
        window.FlightCommand();
    }
    for (const QString& m : prompter.messages) std::printf("message: %s\n", qPrintable(m));
    for (const QString& e : prompter.errors) std::printf("error: %s\n", qPrintable(e));
    bool ok = Save(window, argv[2]);
    const QString beside = QFileInfo(argv[2]).absolutePath() + "/";
    PrintPdf(*window.Chart(), beside + "print.pdf");
    {
        QCustomPlot* plot = window.Chart()->Plot();
        const QRect area = plot->axisRect()->rect();
        const QPoint at(area.left() + area.width() / 3, area.center().y());
        QWheelEvent wheel(at, plot->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        const QPoint hover = at + QPoint(area.width() / 5, 0);
        HoverAt(plot, hover);
        ok = Save(window, beside + "zoomed.png") && ok;
    }
    ok = krelby::shots::SaveSpan(window, beside) && ok;
    {
        // The logbook of the imported flights, once its worker is done.
        window.LogbookCommand();
        krelby::LogbookWindow* logbook = window.Logbook();
        for (int i = 0; i < 500 && logbook->Busy(); ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        QApplication::processEvents();
        ok = Save(*logbook, beside + "logbook.png") && ok;
        logbook->hide();
    }
    {
        // The track pane beside the zoomed chart, its marker where the mouse points.
        window.resize(1280, 720);
        window.ViewTrack()->setChecked(true);
        Settle();
        QCustomPlot* plot = window.Chart()->Plot();
        const QRect area = plot->axisRect()->rect();
        const QPoint hover(area.left() + area.width() * 3 / 5, area.center().y());
        HoverAt(plot, hover);
        ok = Save(window, beside + "track.png") && ok;
        // The pane alone, the mouse over its altitude profile: the profile's time and altitude
        // read out, the chart's cursor and the aircraft at that time.
        krelby::TrackView* pane = window.TrackPane();
        const QRect profile = pane->ProfilePlot();
        if (!profile.isEmpty()) {
            HoverAt(pane, QPoint(profile.left() + profile.width() * 2 / 5, profile.center().y()));
            ok = Save(*window.TrackDock(), beside + "profile.png") && ok;
        }
        window.ViewTrack()->setChecked(false);
        Settle();  // the window may be narrower again
        ok = krelby::shots::SaveMap(window, beside + "map.png") && ok;
    }
    if (!flights.isEmpty()) {
        // Altitude, two speeds, vertical speed, OAT, AOA, RPM, oil and fuel pressure, oil and
        // coolant temperature, fuel flow, MAP and three thermocouples.
        for (int item : {1, 3, 35, 6, 9, 5, 11, 12, 13, 15, 14, 18, 19, 20, 21, 22})
            app.session().settings.selection.Set(item, true);
        window.resize(780, 612);
        window.StripsBox()->setChecked(true);
        window.ShowFlight(flights.first().absoluteFilePath());
        Settle();
        QCustomPlot* plot = window.Chart()->Plot();
        const QRect area = plot->axisRect()->rect();
        std::printf("strips: %d strips, plot %dx%d px\n", plot->axisRectCount() - 1, area.width(), area.height());
        const QPoint hover(area.left() + area.width() * 2 / 3, area.top() + 20);
        HoverAt(plot, hover);
        ok = Save(window, beside + "strips.png") && ok;
        PrintPdf(*window.Chart(), beside + "strips-print.pdf");
        window.StripsBox()->setChecked(false);
        // CHTs on inputs 5-8 of both monitors, limited to 180 °C: the pane under the chart,
        // its second run chosen.
        krelby::Settings& settings = app.session().settings;
        for (size_t input : {4, 5, 6, 7, 16, 17, 18, 19}) settings.thermocouples[input] = krelby::CHT;
        settings.limits.Set(krelby::LimitKey::ChtMax, 180);
        settings.limits.Set(krelby::LimitKey::EgtMax, 735);
        window.resize(1100, 680);
        window.ShowFlight(flights.first().absoluteFilePath());
        window.Search()->Wait();
        Settle();
        QTreeWidget* runs = window.Engine()->Exceedances()->Tree();
        if (runs->topLevelItemCount() > 1) runs->setCurrentItem(runs->topLevelItem(1));
        ok = Save(window, beside + "exceedances.png") && ok;
    }
    ok = SaveTrends(beside + "trends.png") && ok;
    ok = krelby::shots::SaveLongFlight(beside) && ok;
    ok = krelby::shots::SaveEngine(beside, argc > 3 ? QString(argv[3]) : QString()) && ok;
    if (argc > 3) {
        const QString prefix = argv[3];
        krelby::DataSelectionDialog* data = window.DataDialog();
        data->Pages()->setCurrentIndex(3);
        data->show();
        ok = Save(*data, prefix + "-data.png") && ok;
        data->Pages()->setCurrentIndex(4);
        ok = Save(*data, prefix + "-data-zeda.png") && ok;
        data->hide();
        window.Options()->show();
        ok = Save(*window.Options(), prefix + "-options.png") && ok;
        auto* pages = window.Options()->findChild<QTabWidget*>();
        pages->setCurrentIndex(1);
        ok = Save(*window.Options(), prefix + "-options-units.png") && ok;
        pages->setCurrentIndex(2);
        ok = Save(*window.Options(), prefix + "-options-zeda.png") && ok;
        window.Options()->hide();
        // The Limits dialog, its cooling limit set, in the units chosen.
        app.session().settings.limits.Set(krelby::LimitKey::ChtCoolingMax, 20);
        window.Limits()->show();
        ok = Save(*window.Limits(), prefix + "-limits.png") && ok;
        window.Limits()->hide();
    }
    return ok && prompter.errors.isEmpty() ? 0 : 1;
}
