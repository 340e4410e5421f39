#include "logbook/flight_record.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "logbook/summary.h"

namespace krelby {

namespace {
constexpr int64_t kUnixEpochSeconds = 25569 * int64_t{86400};  // 1970-01-01 after 1899-12-30
}  // namespace

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
void FlightRecordSink::OnFlightTime(double time) {
    if (!pendingFlight_) return;
    const FlightMessage m(pendingFlight_);
    pendingFlight_ = nullptr;
    // Whole seconds of the same date and time the calendar gave (days since 1899-12-30): a
    // double holds them to a millionth of a second, so rounding finds them exactly.
    now_ = std::llround(time * 86400.0) - kUnixEpochSeconds;
    timed_ = true;
    if (m.ASI() >= kAirborneAsi) {
        if (!r_.takeoff) r_.takeoff = r_.flight.size();
        r_.landing = r_.flight.size();
    }
    if (r_.flight.empty() && reserve_) r_.flight.reserve(reserve_);
    r_.flight.push_back({now_, m.PAltitude(), m.VSI(), m.ASI()});
}

void FlightRecordSink::Engine(const uint8_t* frame) {
    using E = EngineMessage;
    const E m(frame);
    if (!m.HasMonitorNumber()) return;
    const int monitor = m.MonitorNumber();
    if (monitor < 1 || monitor > 4) return;
    // Frames come in place from the file's block: only what lies inside the Frame is read.
    std::vector<EnginePoint>& rows = r_.engines[size_t(monitor - 1)];
    if (rows.empty() && reserve_) rows.reserve(reserve_);
    if (!rows.empty() && rows.back().t > now_) r_.inTimeOrder[size_t(monitor - 1)] = false;
    EnginePoint& p = rows.emplace_back();
    p.t = now_;
    p.end = static_cast<uint8_t>(m.Length() + 16);
    if (p.end >= E::TcOffset(12) + 2) {  // the whole message, as nearly every one is
        p.rpm = u16le(frame, E::kRpm);
        p.map = u16le(frame, E::kManifoldPressure);
        p.ff = u16le(frame, E::kFuelFlow);
        p.oilp = u16le(frame, E::kOilPressure);
        p.oilt = i16le(frame, E::kOilTemp);
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(p.tc.data(), frame + E::TcOffset(1), sizeof p.tc);
        } else {
            for (int n = 1; n <= 12; ++n) p.tc[size_t(n - 1)] = m.TC(n);
        }
        OnEngineRow(monitor, p, rows.size() - 1);
        return;
    }
    const auto u16 = [&](size_t at) { return p.Has(at) ? u16le(frame, at) : uint16_t{0}; };
    p.rpm = u16(E::kRpm);
    p.map = u16(E::kManifoldPressure);
    p.ff = u16(E::kFuelFlow);
    p.oilp = u16(E::kOilPressure);
    p.oilt = static_cast<int16_t>(u16(E::kOilTemp));
    p.tc = {};
    for (int n = 1; n <= 12 && p.HasInput(n); ++n) p.tc[size_t(n - 1)] = m.TC(n);
    OnEngineRow(monitor, p, rows.size() - 1);
}

}  // namespace krelby
