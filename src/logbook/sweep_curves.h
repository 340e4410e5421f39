// The lean test's curves, for its chart: each EGT input's readings against the fuel flow
// over each mixture sweep found. Gathered in the replay that finds the sweeps (a light row per
// EngineMessage, counted as the analysis counts a monitor's messages), cut to the sweeps at
// its end.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "logbook/analysis.h"
#include "replay/sink.h"

namespace krelby {

struct SweepCurve {
    int monitor = 0;  // 1 to 4
    Sweep sweep;
    struct Input {
        int input = 0;                    // 1 to 12, as in sweep.inputs
        std::vector<double> ffLph, egtC;  // each message of the sweep holding both, in file order
    };
    std::vector<Input> inputs;  // in the order of sweep.inputs
};

class SweepCurveSink : public ReplaySink {
public:
    void OnBegin() override;
    bool ReadsMessages() const override { return true; }
    bool TakesItems() const override { return false; }
    bool TakesGps() const override { return false; }
    unsigned MessageTypes() const override { return FrameTypeBit(FrameType::Flight) | FrameTypeBit(FrameType::Engine); }
    void OnMessage(FrameType type, const uint8_t* frame, size_t size) override;
    void OnFlightTime(double time) override;
    // The curves of every sweep `analysis` found, by monitor, then in time order. The rows are
    // given back.
    std::vector<SweepCurve> Curves(const Analysis& analysis);

private:
    struct Row {
        uint16_t ff;         // 1/100 l/h
        uint8_t inputs;      // how many of the inputs the Frame holds (the first ones)
        bool hasFlow;        // the Frame holds the fuel flow
        std::array<int16_t, 12> tc;
    };
    std::array<std::vector<Row>, 4> rows_;
    const uint8_t* pendingFlight_ = nullptr;
    bool timed_ = false;
};

}  // namespace krelby
