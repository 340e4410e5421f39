#include "app/exceedance_search.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>

#include <exception>
#include <new>

#include "base/error.h"
#include "base/progress.h"
#include "logbook/exceedance_outputs.h"
#include "logbook/exceedance_series.h"
#include "replay/replay.h"

namespace krelby {
namespace {

struct Cancelled {};

// One replay with checksums tested, whatever the chart is told: one rule for the window, the
// command line and the logbook.
ExceedanceSearch::Result Search(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits,
                                const Progress& progress) {
    ExceedanceSearch::Result r;
    InputFile file = OpenFlight(path);
    const Settings nothingTicked;
    const ChecksumOptions tested;
    FirstExceedances first(ExceedanceSearch::kListed);
    ExceedanceSeriesTotals series;
    ExceedanceTee both{&first, &series};
    ExceedanceSink exceedances(kinds, limits, both);
    CylinderSink cylinders(kinds);
    AnalysisSink analysis(kinds);
    analysis.ReserveFor(file.Size());
    SweepCurveSink curves;
    FlightReplay(file, {nothingTicked, tested, &progress},
                 {limits.Any() ? &exceedances : nullptr, &cylinders, &analysis, &curves});
    r.count = first.Count();
    r.first = first.Sorted();
    r.series = series.Sorted();
    r.cylinders = cylinders.Result();
    r.analysis = analysis.Result();
    r.sweeps = curves.Curves(*r.analysis);
    return r;
}

}  // namespace

ExceedanceSearch::ExceedanceSearch(QObject* parent) : QObject(parent) {}

ExceedanceSearch::~ExceedanceSearch() { Cancel(); }

void ExceedanceSearch::Join() {
    if (thread_.joinable()) thread_.join();
}

void ExceedanceSearch::Cancel() {
    if (cancelled_) *cancelled_ = true;
    Join();
    ++generation_;  // a result already on its way is dropped
    running_ = false;
}

void ExceedanceSearch::Start(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits) {
    Cancel();
    auto cancelled = cancelled_ = std::make_shared<std::atomic<bool>>(false);
    const uint64_t generation = generation_;
    running_ = true;
    // Tells the window's thread, unless a newer search or the window's end came first.
    auto tell = [this, generation](std::function<void(ExceedanceSearch*)> what) {
        QMetaObject::invokeMethod(
            this, [this, generation, what = std::move(what)] {
                if (generation == generation_) what(this);
            },
            Qt::QueuedConnection);
    };
    thread_ = std::thread([path, kinds, limits, cancelled, tell] {
        // No exception may leave the thread (that would end the program), nor does any: what
        // went wrong is told as the result.
        try {
            Result r;
            const Progress progress = [&](uint64_t done, uint64_t total) {
                if (*cancelled) throw Cancelled{};
                const int percent = total ? int(done * 100 / total) : 100;
                tell([percent](ExceedanceSearch* s) {
                    if (s->onProgress) s->onProgress(percent);
                });
            };
            try {
                r = Search(path, kinds, limits, progress);
            } catch (const Cancelled&) {
                return;
            } catch (const std::bad_alloc&) {
                // The search's own memory is given back by now; the flight stays shown.
                r = {};
                r.error = "Not enough memory to analyse the engine of " + path;
            } catch (const std::exception& e) {
                r = {};
                r.error = e.what();
            }
            tell([r = std::move(r)](ExceedanceSearch* s) mutable {
                s->running_ = false;
                if (s->onDone) s->onDone(std::move(r));
            });
        } catch (...) {
            // Not even the news could be made: the pane keeps what it shows.
        }
    });
}

void ExceedanceSearch::Wait() {
    Join();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

}  // namespace krelby
