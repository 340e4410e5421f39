#include "stream.h"

#include <algorithm>

#include "clock.h"
#include "flight_model.h"
#include "frames.h"
#include "import/blocks.h"

namespace krelby::gen {
namespace {
constexpr int64_t kUnixSeconds2000 = 10957 * 86400;  // 2000-01-01 after 1970-01-01
constexpr uint64_t kPurposeFaults = 2, kPurposeClock = 3, kPurposeFlight = 1000, kPurposeSweep = 3000000;
}  // namespace

StreamGenerator::StreamGenerator(const RecordingOptions& options, ByteSink* sink, RecordingStats& stats)
    : o_(options),
      sink_(sink),
      stats_(stats),
      faultRng_(Rng::Derived(options.seed, kPurposeFaults)),
      anyFaults_(options.faults.junkBytes > 0 || options.faults.badCrc > 0 ||
                 options.faults.truncated > 0 || options.faults.oversizedLength > 0) {}

void StreamGenerator::Run(const ClockSkip& skip) {
    Rng clockRng = Rng::Derived(o_.seed, kPurposeClock);
    int64_t clock = SecondsSince2000({o_.startYear, o_.startMonth, o_.startDay, o_.startHour, o_.startMinute, 0}) +
                    clockRng.Int(0, 59);
    FuelState fuel;
    const int seconds = o_.secondsPerFlight;
    for (int f = 0;; ++f) {
        if (f >= o_.flights) {
            if (o_.targetBytes == 0) break;
            // A wrapped file ends inside its newest flight, so count only what lies before it.
            const uint64_t basis = o_.wrap ? lastFlightStart_ : offset_;
            if (f > 0 && basis * kBlockSize / kBlockPayloadSize >= o_.targetBytes) break;
        }
        Rng rng = Rng::Derived(o_.seed, kPurposeFlight + static_cast<uint64_t>(f));
        FlightPlan plan = MakePlan(rng, seconds);
        plan.engineWear = o_.engineWear;
        FlightModel model(plan, o_.engineMonitors, fuel, rng);
        const int sweeps = std::min(o_.sweepMonitors, o_.engineMonitors);
        if (sweeps > 0 || o_.egtNoise > 0) {
            Rng sweepRng = Rng::Derived(o_.seed, kPurposeSweep + static_cast<uint64_t>(f));
            std::vector<SweepPlan> plans = PlanSweeps(sweepRng, sweeps, model.CruiseBegin(), model.CruiseEnd(), o_.sweepsRichOfPeak);
            model.AddSweeps(std::move(plans), o_.egtNoise, sweepRng);
        }
        lastFlightStart_ = offset_;
        lastFlight_.clear();
        const int jump = f == skip.flight ? skip.seconds : 0;
        for (int s = 0; s < seconds; ++s) {
            if (offset_ >= stopAt_) return;
            model.Step();
            EmitSecond(model, CivilFromSeconds(clock + s + (s >= skip.fromSecond ? jump : 0)), s);
        }
        for (const SweepPlan& p : model.Sweeps()) {
            const auto at = [&](int s) { return clock + s + (s >= skip.fromSecond ? jump : 0) + kUnixSeconds2000; };
            SweepTruth t{f, p.monitor, at(p.start), at(p.start + p.ramp), p.rich, p.rich - p.drop, {}, p.steps > 0,
                         p.endsAtPeak};
            for (size_t k = 0; k < 4; ++k) t.peakLph[k] = p.rich - p.peakBelowRich[k];
            stats_.sweeps.push_back(t);
        }
        clock += seconds + jump + clockRng.Int(40 * 60, 20 * 3600);
        // Light aircraft fly by day: a start after dusk waits for the next morning.
        const int hour = CivilFromSeconds(clock).hour;
        if (hour < 7 || hour >= 19) {
            const int64_t day = clock - clock % 86400 + (hour >= 19 ? 86400 : 0);
            clock = day + 7 * 3600 + clockRng.Int(0, 4 * 3600);
        }
        ++flights_;
    }
}

void StreamGenerator::EmitSecond(const FlightModel& model, const CivilTime& t, int second) {
    // A realistic mix: air data, position and attitude every second, each engine monitor
    // every second, fuel every fifth second, inputs and navigation on alternate seconds.
    uint8_t f[kMaxFrameCapacity];
    Emit(f, EncodeFlight(f, model.State(), t), FrameType::Flight, second);
    Emit(f, EncodeGps(f, model), FrameType::Gps, second);
    Emit(f, EncodeAttitude(f, model), FrameType::Attitude, second);
    const int monitors = std::clamp(o_.engineMonitors, 0, 4);
    for (int m = 1; m <= monitors; ++m) Emit(f, EncodeEngine(f, model, m), FrameType::Engine, second);
    if (monitors > 0 && second % 5 == 2) Emit(f, EncodeFuel(f, model, monitors), FrameType::Fuel, second);
    if (second % 2 == 0) Emit(f, EncodeInputs(f, model), FrameType::Inputs, second);
    else Emit(f, EncodeNavigation(f, model), FrameType::Navigation, second);
}

void StreamGenerator::Junk() {
    uint8_t junk[24];
    const int n = faultRng_.Int(1, 24);
    for (int i = 0; i < n; ++i) {
        junk[i] = static_cast<uint8_t>(faultRng_.Next());
        if (junk[i] == kSync1) junk[i] = 0x55;  // a stray sync byte could hide the next Frame
    }
    Put(junk, static_cast<size_t>(n));
    ++stats_.junkRuns;
}

void StreamGenerator::Emit(uint8_t* frame, size_t n, FrameType type, int second) {
    const auto ti = static_cast<size_t>(FrameTypeIndex(type));
    ++stats_.frames[ti];
    bool badCrc = false, truncated = false, oversized = false;
    size_t length = n;
    if (anyFaults_) {
        if (faultRng_.Chance(o_.faults.junkBytes)) Junk();
        badCrc = faultRng_.Chance(o_.faults.badCrc);
        truncated = faultRng_.Chance(o_.faults.truncated);
        const bool variable = type == FrameType::Inputs || type == FrameType::Engine || type == FrameType::Fuel;
        oversized = faultRng_.Chance(o_.faults.oversizedLength) && variable && !truncated;
        if (truncated) {
            length = static_cast<size_t>(faultRng_.Int(1, static_cast<int>(n) - 1));
            ++stats_.truncated;
        } else if (oversized) {
            const int L = faultRng_.Int(static_cast<int>(FrameCapacity(type)) - 19, 255);
            frame[2] = static_cast<uint8_t>(L);
            frame[3] = static_cast<uint8_t>(L ^ 0xFF);
            ++stats_.oversized;
        }
        if (badCrc) {
            frame[n - 1] ^= 0x5A;
            ++stats_.badCrc;
        }
    }
    const uint64_t start = offset_;
    const bool swallowed = start < swallowUntil_;
    // A FuelMessage is never checksum-tested, so a cut one is still handed on, with the bytes
    // that follow it as its tail.
    const bool handedOn = !swallowed && !oversized &&
                          (type == FrameType::Fuel ? !truncated || length >= 5 : !truncated && !badCrc);
    if (handedOn) ++stats_.intact[ti];
    if (truncated && !swallowed) {
        // A complete header makes the scanner gather the whole length from what follows;
        // a partial one eats at most the next Frame's first bytes.
        swallowUntil_ = length >= 5 ? start + n : start + length + 1;
        swallowFrom_ = static_cast<int64_t>(start);
    }
    if (type == FrameType::Flight)
        lastFlight_.push_back({start, second, !badCrc && !truncated,
                               swallowed ? swallowFrom_ : -1});
    Put(frame, length);
}

}  // namespace krelby::gen
