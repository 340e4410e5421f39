#include "logbook/sweep_curves.h"

#include <algorithm>

#include "format/messages.h"

namespace krelby {

void SweepCurveSink::OnBegin() {
    rows_ = {};
    pendingFlight_ = nullptr;
    timed_ = false;
}

// Only FlightMessages with a date the calendar accepts reach here, right after their Frame:
// from the first of them on, every EngineMessage of a monitor is a row, as in FlightRecord.
void SweepCurveSink::OnFlightTime(double) {
    if (pendingFlight_) timed_ = true;
    pendingFlight_ = nullptr;
}

void SweepCurveSink::OnMessage(FrameType type, const uint8_t* frame, size_t) {
    if (type == FrameType::Flight) pendingFlight_ = frame;
    if (type != FrameType::Engine || !timed_) return;
    using E = EngineMessage;
    const E m(frame);
    if (!m.HasMonitorNumber()) return;
    const int monitor = m.MonitorNumber();
    if (monitor < 1 || monitor > 4) return;
    Row& row = rows_[size_t(monitor - 1)].emplace_back();
    const size_t end = BodyEnd(m.Length());
    row.hasFlow = FieldPresent(E::kFuelFlow, 2, m.Length());
    row.ff = row.hasFlow ? u16le(frame, E::kFuelFlow) : 0;
    const size_t first = E::TcOffset(1);
    row.inputs = uint8_t(end < first + 2 ? 0 : std::min<size_t>(12, (end - first) / 2));
    row.tc = {};
    for (int n = 1; n <= row.inputs; ++n) row.tc[size_t(n - 1)] = m.TC(n);
}

std::vector<SweepCurve> SweepCurveSink::Curves(const Analysis& analysis) {
    std::vector<SweepCurve> out;
    for (size_t m = 0; m < 4; ++m) {
        const std::vector<Row>& rows = rows_[m];
        for (const Sweep& s : analysis.monitors[m].sweeps) {
            SweepCurve c{int(m) + 1, s, {}};
            for (const SweepPeak& p : s.inputs) {
                SweepCurve::Input in{p.input, {}, {}};
                for (size_t i = s.first; i <= s.last && i < rows.size(); ++i) {
                    if (!rows[i].hasFlow || rows[i].inputs < p.input) continue;
                    in.ffLph.push_back(rows[i].ff / 100.0);
                    in.egtC.push_back(rows[i].tc[size_t(p.input - 1)]);
                }
                c.inputs.push_back(std::move(in));
            }
            out.push_back(std::move(c));
        }
    }
    rows_ = {};
    return out;
}

}  // namespace krelby
