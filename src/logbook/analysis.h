// The engine analysis of a flight, from one replay: takeoff and cruise figures, the fastest
// cooling of each cylinder head, the mixture sweeps with their spreads, and the thermocouple
// kinds the readings suggest. Its sink sits beside the others of a replay (the chart, the
// exceedances), so the window and the command line get it without a second pass.
//
// Units and times: the recording's own (°C, bar as raw / 10000, l/h as FuelFlow / 100, rpm,
// ft, kt as 0.1 km/h / 1.852); a message's time is that of the latest good FlightMessage
// before it; only good EngineMessages after the first good FlightMessage count, and a message
// whose Frame lacks a field is passed over for that field.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "logbook/cooling.h"
#include "logbook/cruise.h"
#include "logbook/exceedances.h"
#include "logbook/flight_record.h"
#include "logbook/kinds_guess.h"
#include "logbook/sweep.h"
#include "settings/records.h"

namespace krelby {

struct MonitorAnalysis {
    bool present = false;  // any EngineMessage of this monitor
    std::optional<TakeoffEngine> takeoff;  // with a takeoff
    std::optional<CruiseEngine> cruise;    // with a cruise
    std::vector<CoolingRate> cooling;      // the greatest rate of each CHT input
    std::vector<Sweep> sweeps;
    bool operator==(const MonitorAnalysis&) const = default;
};

struct Analysis {
    // Seconds since 1970-01-01 on the display's clock: the first and last good FlightMessage,
    // and the logbook's takeoff and landing.
    std::optional<int64_t> start, end, takeoff, landing;
    std::optional<CruiseStretch> cruise;
    std::array<MonitorAnalysis, 4> monitors;
    GreatestReadings greatest;  // for the kinds guess and its warning
    // Exact, doubles to the bit: what the sink gathers while reading changes no figure.
    bool operator==(const Analysis&) const = default;
};

// What the sink gathers of each monitor's messages as they come, for the analysis at the end:
// the one pass over them, where a tracker could follow them, and the lean test's rows.
struct Gathered {
    std::array<std::optional<EnginePass>, 4> passes;
    std::array<std::vector<FlowRow>, 4> flows;
};

// The analysis of a recorded flight under `kinds`; what `gathered` lacks is found in `record`.
Analysis Analyze(const FlightRecord& record, const ThermocoupleKinds& kinds, const Gathered* gathered = nullptr);

// Records a replay and analyses it at its end. `kinds` must outlive the sink.
class AnalysisSink : public FlightRecordSink {
public:
    explicit AnalysisSink(const ThermocoupleKinds& kinds) : kinds_(kinds) {}
    void ReserveFor(uint64_t bytes);
    void OnBegin() override;
    void OnEnd(const ReplayEnd& end) override;
    const Analysis& Result() const { return result_; }

private:
    void OnEngineRow(int monitor, const EnginePoint& row, size_t index) override;

    const ThermocoupleKinds& kinds_;
    std::array<EngineTracker, 4> trackers_;
    Gathered gathered_;
    size_t reserve_ = 0;
    Analysis result_;
};

// A flight file's analysis and its exceedances of the settings' limits, sorted, from one
// replay with the checksums tested; throws krelby::Error when it cannot be opened or read.
struct FlightAnalysis {
    Analysis analysis;
    std::vector<Exceedance> exceedances;
};
FlightAnalysis AnalyzeFlight(const std::string& path, const Settings& settings);

// x rounded half away from zero at its `decimals`-th decimal (on the 18-digit expansion, as
// the CSV texts are): the figures as they are shown.
double Rounded(double x, int decimals);

// The decimals each figure is given to, in the recording's units, wherever it is written or
// shown (JSON, logbook, pane, report): every view converts the same rounded figure.
constexpr int kBarDecimals = 4, kLphDecimals = 2, kKtDecimals = 1, kMeanCDecimals = 1, kRateDecimals = 1;

}  // namespace krelby
