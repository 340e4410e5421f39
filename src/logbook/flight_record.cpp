#include "logbook/flight_record.h"

#include "logbook/summary.h"

namespace krelby {

void FlightRecordSink::OnBegin() {
    r_ = {};
    pendingFlight_ = nullptr;
    timed_ = false;
    now_ = 0;
}

void FlightRecordSink::OnMessage(FrameType type, const uint8_t* frame, size_t) {
    if (type == FrameType::Flight) pendingFlight_ = frame;
    else if (type == FrameType::Engine && timed_) Engine(frame);
}

// Only FlightMessages with a date the calendar accepts reach here, right after their Frame.
void FlightRecordSink::OnFlightTime(double) {
    if (!pendingFlight_) return;
    const FlightMessage m(pendingFlight_);
    pendingFlight_ = nullptr;
    now_ = FlightSeconds(m);
    timed_ = true;
    if (m.ASI() >= kAirborneAsi) {
        if (!r_.takeoff) r_.takeoff = r_.flight.size();
        r_.landing = r_.flight.size();
    }
    r_.flight.push_back({now_, m.PAltitude(), m.VSI(), m.ASI()});
}

void FlightRecordSink::Engine(const uint8_t* frame) {
    using E = EngineMessage;
    const E m(frame);
    if (!m.HasMonitorNumber()) return;
    const int monitor = m.MonitorNumber();
    if (monitor < 1 || monitor > 4) return;
    // Frames come in place from the file's block: only what lies inside the Frame is read.
    EnginePoint p{};
    p.t = now_;
    p.end = static_cast<uint8_t>(m.Length() + 16);
    const auto u16 = [&](size_t at) { return p.Has(at) ? u16le(frame, at) : uint16_t{0}; };
    p.rpm = u16(E::kRpm);
    p.map = u16(E::kManifoldPressure);
    p.ff = u16(E::kFuelFlow);
    p.oilp = u16(E::kOilPressure);
    p.oilt = static_cast<int16_t>(u16(E::kOilTemp));
    for (int n = 1; n <= 12 && p.HasInput(n); ++n) p.tc[size_t(n - 1)] = m.TC(n);
    r_.engines[size_t(monitor - 1)].push_back(p);
}

}  // namespace krelby
