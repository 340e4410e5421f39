// The pilot's limits against a flight: every run of consecutive EngineMessages of a monitor
// whose value is beyond a limit, one exceedance each. The same rule for the window, the
// command line and the logbook's count.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "replay/sink.h"
#include "settings/records.h"

namespace krelby {

struct Exceedance {
    LimitKey limit;
    bool minimum = false;  // below the limit (else above)
    int monitor = 0;       // 1 to 4
    int input = 0;         // the thermocouple input (1 to 12) of EgtMax and ChtMax, else 0
    std::string item;      // the chart's series title: RPM_1, OILP_2, EGT3_1, CHT5_1, EGTSPREAD_1
    double limitValue = 0;
    // The latest good FlightMessage before the run's first and last message: seconds since
    // 1970-01-01 on the display's clock, and the same as the replay's (chart's) time.
    int64_t start = 0, end = 0;
    double startTime = 0, endTime = 0;
    // The highest value of the run (the lowest for a minimum), in the recording's units:
    // rpm, °C, bar (the raw value / 10000).
    double peak = 0;
    bool bar = false;    // a pressure: its peak is written with 4 decimals
    uint64_t order = 0;  // the order in which the runs began in the file
    int64_t DurationS() const { return end - start; }
};

// Finds the exceedances in the messages of one replay; beside a SummarySink it costs the
// logbook no second pass over the file, and beside the chart (ChartReplay's `more` sinks) it
// gives the window the flight's list in the same replay. `kinds` and `limits` are read at
// each OnBegin and must outlive the sink. With no limit set it finds nothing.
class ExceedanceSink : public ReplaySink {
public:
    ExceedanceSink(const ThermocoupleKinds& kinds, const Limits& limits);
    void OnBegin() override;
    bool ReadsMessages() const override { return true; }
    void OnMessage(FrameType type, const uint8_t* frame, size_t size) override;
    void OnFlightTime(double time) override;
    void OnEnd(const ReplayEnd& end) override;
    // In the order the runs ended (all of them once the replay is over); SortExceedances
    // gives the order of the CSV.
    const std::vector<Exceedance>& Found() const { return found_; }

    static constexpr int kTracks = 21;  // 8 single fields, 12 inputs, the EGT spread

private:
    // What changes while a run goes on, kept small for the message loop; the rest of the
    // run waits in `runs_` until it ends.
    struct Track {
        bool open = false, minimum = false;
        int32_t peak = 0;  // the raw value
        double endTime = 0;
        int64_t end = 0;
    };
    // A single field with a limit set, as the message loop reads it: the limit turned into
    // the first raw value beyond it, so that each message costs integer comparisons alone.
    struct Check {
        uint8_t track, offset;
        bool signed16, minimum, rpmRule;
        int32_t beyond;  // a maximum: exceeded from here up; a minimum: below here
    };
    // A monitor's inputs: the limit of each by its kind, and which count for the spread.
    struct Inputs {
        std::array<int32_t, 12> beyond;
        std::array<bool, 12> egt;
        bool any = false;
    };
    void Engine(const uint8_t* frame);
    void Step(int monitor, int track, int32_t value, bool exceeds) {
        Track& t = tracks_[size_t(monitor - 1)][size_t(track)];
        if (exceeds) {
            if (!t.open) Open(monitor, track, value);
            if (t.minimum ? value < t.peak : value > t.peak) t.peak = value;
            t.end = seconds_;
            t.endTime = time_;
        } else if (t.open) {
            Close(monitor, track);
        }
    }
    void Open(int monitor, int track, int32_t value);
    void Close(int monitor, int track);

    const ThermocoupleKinds& kinds_;
    const Limits& limits_;
    std::vector<Check> checks_;
    std::array<Inputs, 4> inputs_;
    std::optional<int32_t> spreadBeyond_;
    std::array<std::array<Track, kTracks>, 4> tracks_;
    std::array<std::array<Exceedance, kTracks>, 4> runs_;
    std::array<uint32_t, 4> openInputs_{};  // each monitor's inputs in a run, a bit each
    std::vector<Exceedance> found_;
    const uint8_t* pendingFlight_ = nullptr;
    bool haveTime_ = false;  // a good FlightMessage was seen
    int64_t seconds_ = 0;
    double time_ = 0;
    uint64_t begun_ = 0;
};

// The limits that apply to a chart series, by its title (RPM_1, OILP_2, EGT3_1, CHT5_1, ...).
std::vector<LimitKey> LimitsOfSeries(std::string_view title);

// The exceedances of a flight file, sorted; throws krelby::Error when it cannot be read.
std::vector<Exceedance> FindExceedances(const std::string& path, const ThermocoupleKinds& kinds,
                                        const Limits& limits);
// By start, then item (byte order), then "max" before "min", then the order the runs began.
void SortExceedances(std::vector<Exceedance>& list);
// The peak as the CSV writes it: bar with 4 decimals, rpm and °C whole.
std::string PeakText(const Exceedance& e);
// Header "item,limit_kind,limit,start,end,duration_s,peak", a line per exceedance in the
// order given, LF line ends, never touched by the process locale.
std::string ExceedancesCsv(const std::vector<Exceedance>& list);

}  // namespace krelby
