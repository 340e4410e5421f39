// The Frame stream of a recording, second by second and flight by flight, with faults
// injected per Frame, handed on to a byte sink as it is made.
#pragma once
#include <cstdint>
#include <vector>

#include "format/frame.h"
#include "generator.h"
#include "rng.h"

namespace krelby::gen {

class FlightModel;
struct CivilTime;

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Put(const uint8_t* p, size_t n) = 0;
};

// Where a FlightMessage of the newest flight lies in the stream, and whether a scanner sees it.
struct FlightMessageRecord {
    uint64_t start;
    int second;             // of its flight
    bool sound;             // neither truncated nor of a wrong CRC-32
    int64_t swallowedFrom;  // stream offset of the truncated Frame that hides it, or -1
};

// A jump of the clock inside one flight: from `fromSecond` on its times run `seconds` later.
struct ClockSkip {
    int flight = -1, fromSecond = 0, seconds = 0;
};

class StreamGenerator {
public:
    // `sink` may be null: then only offsets are kept (to plan a wrap).
    StreamGenerator(const RecordingOptions& options, ByteSink* sink, RecordingStats& stats);
    // The skip changes FlightMessage times only, never sizes, so a second run with a skip
    // lays every Frame at the same offset as a run without.
    void Run(const ClockSkip& skip);
    // Ends a run at the first second that starts at or after this stream offset.
    void StopAt(uint64_t offset) { stopAt_ = offset; }

    uint64_t Offset() const { return offset_; }
    int Flights() const { return flights_; }
    uint64_t LastFlightStart() const { return lastFlightStart_; }
    const std::vector<FlightMessageRecord>& LastFlightMessages() const { return lastFlight_; }

private:
    void EmitSecond(const FlightModel& model, const CivilTime& t, int second);
    void Emit(uint8_t* frame, size_t n, FrameType type, int second);
    void Junk();
    void Put(const uint8_t* p, size_t n) {
        offset_ += n;
        if (sink_) sink_->Put(p, n);
    }

    const RecordingOptions& o_;
    ByteSink* sink_;
    RecordingStats& stats_;
    Rng faultRng_;
    bool anyFaults_;
    uint64_t offset_ = 0, stopAt_ = UINT64_MAX;
    int flights_ = 0;
    uint64_t lastFlightStart_ = 0;
    uint64_t swallowUntil_ = 0;
    int64_t swallowFrom_ = -1;
    std::vector<FlightMessageRecord> lastFlight_;
};

}  // namespace krelby::gen
