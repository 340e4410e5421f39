// What the Engine pane shows of the flight shown, found in one replay on a thread of its own:
// its exceedances, its hottest inputs, and the engine analysis with the lean test's curves. On
// a flight of millions of runs the window stays responsive, and closes at once. It keeps only
// the first exceedances, as many as the pane lists, and counts the rest. A newer search, or
// the end of the window, cancels the one running.
#pragma once
#include <QObject>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/recorded_units.h"
#include "logbook/cylinders.h"
#include "logbook/exceedance_series.h"
#include "logbook/exceedances.h"
#include "logbook/sweep_curves.h"
#include "settings/records.h"

namespace krelby {

class ExceedanceSearch : public QObject {
    Q_OBJECT
public:
    static constexpr size_t kListed = 10000;
    struct Result {
        std::vector<Exceedance> first;  // at most kListed, in the CSV's order
        int64_t count = 0;              // all of them
        std::vector<ExceedanceSeries> series;  // each series' sums of all its runs
        std::array<std::vector<CylinderInput>, kEngineMonitors> cylinders;
        std::optional<Analysis> analysis;  // none when the flight could not be read
        std::vector<SweepCurve> sweeps;     // the lean test's curves of analysis' sweeps
        std::string error;  // why none could be found (the file, the memory)
    };

    explicit ExceedanceSearch(QObject* parent = nullptr);
    ~ExceedanceSearch() override;  // cancels and waits for the thread

    // Told on the window's thread: the result of the latest search, and its progress.
    std::function<void(Result)> onDone;
    std::function<void(int percent)> onProgress;

    // Cancels the search running, then searches `path` under copies of the kinds and limits.
    void Start(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits);
    // Cancels the search running; nothing more is told of it.
    void Cancel();
    bool Running() const { return running_; }
    // Waits for the search running and tells its result now (tests, screenshots).
    void Wait();

private:
    void Join();

    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    uint64_t generation_ = 0;
    bool running_ = false;
};

}  // namespace krelby
