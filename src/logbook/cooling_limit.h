// The limit ChtCoolingMax against a flight: for each CHT input of a monitor, the runs of its
// messages whose cooling rate (logbook/cooling.h) is beyond the limit, by the rule of the
// other limits' runs (ExceedanceSink), reported as CHT3COOL_1 for input 3 of monitor 1.
//
// A message's rate needs the messages of the minute before it, those of its own time that
// follow it, and where the clock steps back, any later one of a time within that minute.
// So the messages of the monitors with a CHT input are kept (about 70 bytes each, only while
// the limit is set) and their runs found at the end of the replay.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "logbook/flight_record.h"
#include "settings/records.h"

namespace krelby {

class ExceedanceOutput;

class CoolingLimit {
public:
    // At the replay's start. With no limit, or no CHT input, nothing is kept.
    void Begin(const ThermocoupleKinds& kinds, std::optional<double> limit);
    // Each good FlightMessage with a date: the time reached.
    void Reach(int64_t seconds, double time);
    // An EngineMessage of `monitor` (1 to 4) after the latest good FlightMessage, at its time.
    void Add(int monitor, const uint8_t* frame, int64_t seconds, double time);
    // No run still to come starts before this.
    int64_t Earliest() const { return earliest_; }
    // At the replay's end: the runs joined and the short ones dropped as ExceedanceSink does,
    // each to `out`, numbered from `order` on.
    void End(int64_t mergeSeconds, int64_t minSeconds, ExceedanceOutput& out, uint64_t& order);

    // Whether a rate of `drop` °C over `spanS` seconds is beyond the limit, compared exactly:
    // a rate equal to the limit is not.
    static bool Beyond(int32_t drop, int64_t spanS, double limit);

private:
    // What a kept message adds to the time base of a run that goes on through it.
    struct Row {
        double time;       // of the latest good FlightMessage before it, as `t`
        int64_t reach;     // the latest time of the FlightMessages since the monitor's message before
        double reachTime;
    };
    struct Monitor {
        uint16_t inputs = 0;  // its CHT inputs, a bit each
        std::vector<EnginePoint> points;
        std::vector<Row> rows;
        bool reached = false;  // a FlightMessage came since its last message
        int64_t reach = 0;
        double reachTime = 0;
    };
    void EndInput(int monitor, int n, int64_t mergeSeconds, int64_t minSeconds, ExceedanceOutput& out,
                  uint64_t& order) const;

    std::optional<double> limit_;
    std::array<Monitor, 4> monitors_;
    int64_t earliest_ = INT64_MAX;
};

}  // namespace krelby
