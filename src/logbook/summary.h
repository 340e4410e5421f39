// A flight at a glance: its times, distance, extremes and engine figures, from one pass over
// its flight file through the replay (the Frames the replay accepts with checksums tested).
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "replay/sink.h"
#include "settings/records.h"

namespace krelby {

struct EngineSummary {
    std::optional<int32_t> rpmMax;
    std::optional<int32_t> oilTempMax;         // °C
    std::optional<double> oilPressureMin;      // bar, while turning at kRpmRuleMin (500) rpm or more
    std::optional<int32_t> chtMax, egtMax;     // °C, over the inputs of that kind
    std::optional<int32_t> egtSpreadMax;       // °C, hottest minus coldest EGT above 0 °C
    // From the engine analysis, rounded as it is shown: the greatest RPM, manifold pressure
    // (bar) and fuel flow (l/h) around takeoff, the mean fuel flow in the cruise, the fastest
    // cooling of a CHT (°C/min), and the spread of the last mixture sweep (l/h).
    std::optional<int32_t> toRpmMax;
    std::optional<double> toMapMaxBar, toFfMaxLph, cruiseFfLph, chtCoolMaxCMin, sweepSpreadLph;
    bool present = false;                      // any EngineMessage of this monitor
};

struct FlightSummary {
    // Seconds since 1970-01-01 on the display's clock (no time zone).
    std::optional<int64_t> start, end, takeoff, landing;
    std::optional<int64_t> durationS, airborneS;
    std::optional<double> distanceNm;  // none without a single position
    std::optional<int32_t> maxPaltFt;
    std::optional<double> maxIasKt, maxGsKt;
    std::optional<int32_t> maxVsiFpm, minVsiFpm;
    std::optional<double> maxG, minG;
    std::optional<double> fuelUsedL;
    std::optional<int64_t> exceedances;  // of the pilot's limits; none when no limit is set
    // The cruise of the engine analysis: its length, mean pressure altitude (whole ft) and
    // airspeed (kt, 0.1); none without one.
    std::optional<int64_t> cruiseS;
    std::optional<double> cruisePaltFt, cruiseIasKt;
    std::array<EngineSummary, kEngineMonitors> engines;
    int64_t frames = 0;  // good Frames: a file without any holds no flight
    // Its dated FlightMessages, which tell copies of one flight from other flights: how many,
    // the digest of their Frames in order, and that of the first.
    int64_t flightMessages = 0;
    uint64_t messagesDigest = 0, openerDigest = 0;
};

// The digest of one FlightMessage Frame (44 bytes), and of a run of them in order.
uint64_t FlightMessageDigest(const uint8_t* frame);
inline uint64_t ChainDigest(uint64_t chain, uint64_t message) {
    chain = (chain ^ message) * 0x9E3779B97F4A7C15ull;
    return chain ^ (chain >> 29);
}

// Airspeed (0.1 km/h) from which a FlightMessage counts as flying: 55.6 km/h, 30 kt.
constexpr int kAirborneAsi = 556;
// Consecutive FlightMessages further apart than this are not summed into the airborne time.
constexpr int64_t kAirborneGapS = 60;
constexpr double kEarthRadiusNm = 3440.065;

// Builds a summary from the messages of one replay.
class SummarySink : public ReplaySink {
public:
    explicit SummarySink(const ThermocoupleKinds& kinds) : kinds_(kinds) {}
    void OnBegin() override;
    bool ReadsMessages() const override { return true; }
    bool TakesItems() const override { return false; }
    bool TakesGps() const override { return false; }  // it reads their Frames
    void OnMessage(FrameType type, const uint8_t* frame, size_t size) override;
    void OnFlightTime(double time) override;
    const FlightSummary& Summary() const { return s_; }

private:
    void OnGpsFrame(const uint8_t* frame);
    void OnEngineFrame(const uint8_t* frame);
    void OnFuelFrame(const uint8_t* frame);

    const ThermocoupleKinds& kinds_;
    FlightSummary s_;
    const uint8_t* pendingFlight_ = nullptr;  // the FlightMessage whose time comes next
    std::optional<int64_t> previousTime_;
    bool previousAirborne_ = false;
    bool havePosition_ = false;
    double lastLat_ = 0, lastLon_ = 0;  // radians
    std::optional<double> firstFuel_, lastFuel_;
};

// The summary of a flight file, with its exceedances of `limits` counted and its engine
// analysed in the same pass; throws krelby::Error when it cannot be opened or read.
FlightSummary SummarizeFlight(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits = {});

class FlightMessage;
// Seconds since 1970-01-01 of a FlightMessage whose date the calendar accepted.
int64_t FlightSeconds(const FlightMessage& m);

}  // namespace krelby
