// The hottest reading of every EGT and CHT input of each engine monitor in a flight: what an
// owner compares cylinder by cylinder.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "replay/sink.h"
#include "settings/records.h"

namespace krelby {

struct CylinderInput {
    int input = 0;     // 1 to 12
    uint8_t kind = 0;  // EGT or CHT
    int max = 0;       // °C
};

// Read from the good EngineMessages after the first good FlightMessage, as the exceedances
// are; an input a monitor never reported is left out.
class CylinderSink : public ReplaySink {
public:
    explicit CylinderSink(const ThermocoupleKinds& kinds) : kinds_(kinds) {}
    void OnBegin() override;
    bool ReadsMessages() const override { return true; }
    bool TakesItems() const override { return false; }
    bool TakesGps() const override { return false; }
    unsigned MessageTypes() const override { return FrameTypeBit(FrameType::Flight) | FrameTypeBit(FrameType::Engine); }
    void OnMessage(FrameType type, const uint8_t* frame, size_t size) override;
    void OnFlightTime(double) override { timed_ = true; }
    // Monitor 1 to 4 at index 0 to 3, each input in input order.
    std::array<std::vector<CylinderInput>, kEngineMonitors> Result() const;

private:
    const ThermocoupleKinds& kinds_;
    std::array<std::array<int, kThermocoupleInputs>, kEngineMonitors> max_{};
    std::array<std::array<bool, kThermocoupleInputs>, kEngineMonitors> seen_{};
    bool timed_ = false;
};

}  // namespace krelby
