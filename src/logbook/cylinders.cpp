#include "logbook/cylinders.h"

#include <algorithm>

#include "format/messages.h"

namespace krelby {

void CylinderSink::OnBegin() {
    max_ = {};
    seen_ = {};
    timed_ = false;
}

void CylinderSink::OnMessage(FrameType type, const uint8_t* frame, size_t) {
    if (type != FrameType::Engine || !timed_) return;
    const EngineMessage m(frame);
    if (!m.HasMonitorNumber()) return;
    const int monitor = m.MonitorNumber();
    if (monitor < 1 || monitor > kEngineMonitors) return;
    const size_t end = BodyEnd(m.Length());
    if (end < EngineMessage::TcOffset(1) + 2) return;
    const size_t present = std::min<size_t>(kThermocoupleInputs, (end - EngineMessage::TcOffset(1)) / 2);
    auto& max = max_[size_t(monitor - 1)];
    auto& seen = seen_[size_t(monitor - 1)];
    for (size_t n = 0; n < present; ++n) {
        const uint8_t kind = kinds_[ThermocoupleIndex(monitor, int(n))];
        if (kind != EGT && kind != CHT) continue;
        const int v = i16le(frame, EngineMessage::TcOffset(int(n) + 1));
        max[n] = seen[n] ? std::max(max[n], v) : v;
        seen[n] = true;
    }
}

std::array<std::vector<CylinderInput>, kEngineMonitors> CylinderSink::Result() const {
    std::array<std::vector<CylinderInput>, kEngineMonitors> out;
    for (size_t m = 0; m < out.size(); ++m)
        for (size_t n = 0; n < kThermocoupleInputs; ++n)
            if (seen_[m][n]) out[m].push_back({int(n) + 1, kinds_[ThermocoupleIndex(int(m) + 1, int(n))], max_[m][n]});
    return out;
}

}  // namespace krelby
