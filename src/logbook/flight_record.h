// The few fields the engine analysis reads, kept message by message from one replay: every
// good FlightMessage with a date, and each monitor's good EngineMessages after the first of
// them, each at the time of the latest FlightMessage before it. Small rows (about 50 bytes
// an EngineMessage), so a ten-hour flight of four monitors takes a few MB.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "format/messages.h"
#include "replay/sink.h"

namespace krelby {

struct FlightPoint {
    int64_t t;      // seconds since 1970-01-01 on the display's clock
    int32_t palt;   // ft
    int16_t vsi;    // ft/min
    uint16_t asi;   // 0.1 km/h
};

struct EnginePoint {
    int64_t t;  // of the latest good FlightMessage before it
    uint16_t rpm, map, ff, oilp;  // rpm, 1/10000 bar, 1/100 l/h, 1/10000 bar
    int16_t oilt;                 // °C
    std::array<int16_t, 12> tc;   // °C
    uint8_t end;                  // the Frame's data area ends before this frame offset
    // Whether the Frame holds the two bytes at `offset` (its data area may be short).
    bool Has(size_t offset) const { return offset + 2 <= end; }
    bool HasInput(int n) const { return Has(EngineMessage::TcOffset(n)); }  // n = 1..12
};

struct FlightRecord {
    std::vector<FlightPoint> flight;
    std::array<std::vector<EnginePoint>, 4> engines;  // monitor 1 to 4
    // Whether a monitor's messages come in the order of their times (as a clock that never
    // goes back gives them).
    std::array<bool, 4> inTimeOrder{true, true, true, true};
    // The logbook's takeoff and landing: the first and the last FlightMessage at 30 kt or more.
    std::optional<size_t> takeoff, landing;  // indices into `flight`
};

// Fills a FlightRecord from a replay's messages.
class FlightRecordSink : public ReplaySink {
public:
    void OnBegin() override;
    bool ReadsMessages() const override { return true; }
    bool TakesItems() const override { return false; }
    bool TakesGps() const override { return false; }
    unsigned MessageTypes() const override { return FrameTypeBit(FrameType::Flight) | FrameTypeBit(FrameType::Engine); }
    void OnMessage(FrameType type, const uint8_t* frame, size_t size) override;
    void OnFlightTime(double time) override;
    // Room for the rows of a flight file of `bytes`, taken as each kind of row first comes: no
    // growing and copying of ten-hour flights.
    void ReserveFor(uint64_t bytes) { reserve_ = size_t(bytes / kBytesPerSecondAtLeast); }
    const FlightRecord& Record() const { return r_; }
    FlightRecord& Record() { return r_; }

private:
    void Engine(const uint8_t* frame);

protected:
    // Each EngineMessage kept, as row `index` of `monitor` (1 to 4), right after it is kept.
    virtual void OnEngineRow(int /*monitor*/, const EnginePoint& /*row*/, size_t /*index*/) {}
    // Every second of a recording holds at least a FlightMessage, a GpsMessage, an
    // AttitudeMessage and an EngineMessage (44 + 56 + 40 + 76 bytes) and rarely fewer others.
    static constexpr uint64_t kBytesPerSecondAtLeast = 250;

private:
    FlightRecord r_;
    size_t reserve_ = 0;
    const uint8_t* pendingFlight_ = nullptr;
    bool timed_ = false;
    int64_t now_ = 0;
};

}  // namespace krelby
