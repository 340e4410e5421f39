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

#include "logbook/cooling_limit.h"
#include "replay/sink.h"
#include "settings/limits.h"
#include "settings/records.h"

namespace krelby {

struct Exceedance {
    LimitKey limit;
    bool minimum = false;  // below the limit (else above)
    int monitor = 0;       // 1 to 4
    int input = 0;         // the thermocouple input (1 to 12) of EgtMax, ChtMax, ChtCoolingMax, else 0
    // The chart's series title (RPM_1, OILP_2, EGT3_1, CHT5_1, EGTSPREAD_1), or for the
    // cooling rate of a CHT input CHT5COOL_1.
    std::string item;
    double limitValue = 0;
    // The latest good FlightMessage before the run's first message, and the latest time
    // reached up to its last: seconds since 1970-01-01 on the display's clock, and the same
    // as the replay's (chart's) time.
    int64_t start = 0, end = 0;
    double startTime = 0, endTime = 0;
    // The highest value of the run (the lowest for a minimum), in the recording's units:
    // rpm, °C, bar (the raw value / kRawPerBar).
    double peak = 0;
    bool bar = false;    // a pressure: its peak is written with 4 decimals
    bool rate = false;   // a cooling rate (°C per minute): its peak is written with 1 decimal
    uint64_t order = 0;  // the order in which the runs began in the file
    int64_t DurationS() const { return end - start; }  // never negative: end is the latest time reached
};

// Where the exceedances of a replay go, each once it is final: when its series begins a run
// beyond the merge gap, or when the flight ends. They come in that order, not the CSV's.
class ExceedanceOutput {
public:
    virtual ~ExceedanceOutput() = default;
    virtual void Take(const Exceedance& e) = 0;
};

// Finds the exceedances in the messages of one replay; beside a SummarySink it costs the
// logbook no second pass over the file. It holds only the run being found and the run being
// merged of each series (monitor, item, limit kind), so its memory does not grow with the
// flight (but for ChtCoolingMax, see CoolingLimit). `kinds` and `limits` are read at each
// OnBegin and must outlive the sink. With no limit set it finds nothing.
//
// The rule: a run is consecutive messages of a monitor beyond a limit; its start is the time
// of the latest good FlightMessage before its first message, its end the latest such time
// reached up to its last message (the display's clock may step back). The runs of a series,
// in the order they began, are joined while one starts at most ExceedanceMergeSeconds after
// the end of the run it would join (the end becomes the later of the two, the peak the more
// extreme); a joined run shorter than ExceedanceMinSeconds is dropped.
class ExceedanceSink : public ReplaySink {
public:
    ExceedanceSink(const ThermocoupleKinds& kinds, const Limits& limits, ExceedanceOutput& out);
    void OnBegin() override;
    bool ReadsMessages() const override { return true; }
    bool TakesItems() const override { return false; }
    bool TakesGps() const override { return false; }
    unsigned MessageTypes() const override { return FrameTypeBit(FrameType::Flight) | FrameTypeBit(FrameType::Engine); }
    void OnMessage(FrameType type, const uint8_t* frame, size_t size) override;
    void OnFlightTime(double time) override;
    void OnEnd(const ReplayEnd& end) override;

    // While the clock has not stepped back, no exceedance still to come can start before
    // this: the time now, or the start of a run not yet final.
    int64_t Watermark() const;
    // Whether a good FlightMessage so far was earlier than the one before it.
    bool ClockSteppedBack() const { return steppedBack_; }

    // The limits on single fields, the 12 inputs, the EGT spread.
    static constexpr int kTracks = [] {
        int n = kThermocoupleInputs + 1;
        for (const LimitKeyInfo& k : kLimitKeys) n += k.on == LimitOn::Field;
        return n;
    }();

private:
    // What changes while a run goes on, kept small for the message loop.
    struct Track {
        bool open = false, minimum = false;
        int32_t peak = 0;  // the raw value
        int64_t end = 0;   // the latest time reached up to the run's last message so far
        double endTime = 0;
        int64_t latest = 0;  // the latest time reached since the run began
        double latestTime = 0;
    };
    // A series' joined run, waiting to learn whether the next run joins it.
    struct Merged {
        bool any = false;
        int32_t peak = 0;
        int64_t start = 0, end = 0;
        double startTime = 0, endTime = 0;
        uint64_t order = 0;
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
        std::array<int32_t, kThermocoupleInputs> beyond;
        std::array<bool, kThermocoupleInputs> egt;
        bool any = false;
    };
    void OnEngineFrame(const uint8_t* frame);
    void Step(int monitor, int track, int32_t value, bool exceeds) {
        Track& t = tracks_[size_t(monitor - 1)][size_t(track)];
        if (exceeds) {
            if (!t.open) Open(monitor, track, value);
            if (t.minimum ? value < t.peak : value > t.peak) t.peak = value;
            t.end = t.latest;
            t.endTime = t.latestTime;
        } else if (t.open) {
            Close(monitor, track);
        }
    }
    void Open(int monitor, int track, int32_t value);
    void Close(int monitor, int track);
    void Emit(int monitor, int track);
    LimitKey KeyOf(int monitor, int track) const;

    const ThermocoupleKinds& kinds_;
    const Limits& limits_;
    ExceedanceOutput& out_;
    std::vector<Check> checks_;
    std::array<Inputs, kEngineMonitors> inputs_;
    std::optional<int32_t> spreadBeyond_;
    std::array<std::array<Track, kTracks>, kEngineMonitors> tracks_;
    std::array<std::array<Merged, kTracks>, kEngineMonitors> merged_;
    std::array<std::array<std::string, kTracks>, kEngineMonitors> items_;  // each series' title
    std::array<uint32_t, kEngineMonitors> openTracks_{};  // each monitor's tracks in a run, a bit each
    const uint8_t* pendingFlight_ = nullptr;
    bool haveTime_ = false;  // a good FlightMessage was seen
    bool steppedBack_ = false;
    int64_t seconds_ = 0;
    double time_ = 0;
    uint64_t begun_ = 0;
    int64_t mergeSeconds_ = 0, minSeconds_ = 0;
    CoolingLimit cooling_;
};

// The CSV's order: by start, then item (byte order), then "max" before "min", then the order
// the runs began.
bool ExceedanceBefore(const Exceedance& a, const Exceedance& b);
void SortExceedances(std::vector<Exceedance>& list);
// The peak as the CSV writes it: bar with 4 decimals, rpm and °C whole, °C/min with 1.
std::string PeakText(const Exceedance& e);
constexpr std::string_view kExceedancesHeader = "item,limit_kind,limit,start,end,duration_s,peak\n";
// One line of the CSV, LF ended, never touched by the process locale.
void AppendExceedanceRow(std::string& out, const Exceedance& e);
// The header and a line per exceedance in the order given.
std::string ExceedancesCsv(const std::vector<Exceedance>& list);

}  // namespace krelby
