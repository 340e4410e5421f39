#include "logbook/summary.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "format/datetime.h"
#include "format/messages.h"
#include "logbook/analysis.h"
#include "logbook/engine_figures.h"
#include "logbook/exceedance_outputs.h"
#include "replay/replay.h"
#include "settings/limits.h"

namespace krelby {
namespace {

template <typename T>
void Max(std::optional<T>& at, T v) {
    if (!at || v > *at) at = v;
}
template <typename T>
void Min(std::optional<T>& at, T v) {
    if (!at || v < *at) at = v;
}

constexpr double kRadiansPerUnit = std::numbers::pi / 180.0 / kPositionUnitsPerDegree;

}  // namespace

int64_t FlightSeconds(const FlightMessage& m) {
    const int second = std::min<int>(m.Second(), 59);
    return DaysFromCivil(m.Year() + 2000, m.Month(), m.Day()) * kSecondsPerDay + m.Hour() * 3600 + m.Minute() * 60 + second;
}

uint64_t FlightMessageDigest(const uint8_t* frame) {
    uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a
    for (size_t i = 0; i < FrameCapacity(FrameType::Flight); ++i) h = (h ^ frame[i]) * 0x100000001b3ull;
    return h;
}

void SummarySink::OnBegin() {
    s_ = {};
    pendingFlight_ = nullptr;
    previousTime_.reset();
    previousAirborne_ = false;
    havePosition_ = false;
    firstFuel_.reset();
    lastFuel_.reset();
}

void SummarySink::OnMessage(FrameType type, const uint8_t* frame, size_t) {
    ++s_.frames;
    switch (type) {
        case FrameType::Flight: pendingFlight_ = frame; break;
        case FrameType::Gps: OnGpsFrame(frame); break;
        case FrameType::Attitude: {
            const AttitudeMessage m(frame);
            if (!m.Has(AttitudeMessage::kGForce, 2)) break;
            Max(s_.maxG, m.GForce() / 100.0);
            Min(s_.minG, m.GForce() / 100.0);
            break;
        }
        case FrameType::Engine: OnEngineFrame(frame); break;
        case FrameType::Fuel: OnFuelFrame(frame); break;
        default: break;
    }
}

// Only FlightMessages with a date the calendar accepts reach here, right after their Frame.
void SummarySink::OnFlightTime(double) {
    if (!pendingFlight_) return;
    const FlightMessage m(pendingFlight_);
    const uint64_t digest = FlightMessageDigest(pendingFlight_);
    pendingFlight_ = nullptr;
    if (s_.flightMessages++ == 0) s_.openerDigest = digest;
    s_.messagesDigest = ChainDigest(s_.messagesDigest, digest);
    const int64_t t = FlightSeconds(m);
    if (!s_.start) {
        s_.start = t;
        s_.airborneS = 0;
    }
    // The end is the latest time reached: a clock that steps back makes no duration negative.
    if (!s_.end || t > *s_.end) s_.end = t;
    s_.durationS = *s_.end - *s_.start;
    if (previousTime_ && previousAirborne_ && t > *previousTime_ && t - *previousTime_ <= kAirborneGapS)
        *s_.airborneS += t - *previousTime_;
    const bool airborne = m.ASI() >= kAirborneAsi;
    if (airborne) {
        if (!s_.takeoff) s_.takeoff = t;
        s_.landing = t;
    }
    previousTime_ = t;
    previousAirborne_ = airborne;
    Max(s_.maxPaltFt, m.PAltitude());
    Max(s_.maxIasKt, m.ASI() * kKnotsPerRawSpeed);
    Max<int32_t>(s_.maxVsiFpm, m.VSI());
    Min<int32_t>(s_.minVsiFpm, m.VSI());
}

void SummarySink::OnGpsFrame(const uint8_t* frame) {
    const GpsMessage m(frame);
    Max(s_.maxGsKt, m.Groundspeed() * kKnotsPerRawSpeed);
    if (!CarriesPosition(m)) return;
    const double phi = m.Latitude() * kRadiansPerUnit, lambda = m.Longitude() * kRadiansPerUnit;
    if (havePosition_ && phi == lastLat_ && lambda == lastLon_) return;  // standing still
    if (havePosition_) {
        const double dphi = phi - lastLat_, dlambda = lambda - lastLon_;
        const double a = std::sin(dphi / 2) * std::sin(dphi / 2) +
                         std::cos(lastLat_) * std::cos(phi) * std::sin(dlambda / 2) * std::sin(dlambda / 2);
        *s_.distanceNm += 2 * kEarthRadiusNm * std::asin(std::min(1.0, std::sqrt(a)));
    } else {
        s_.distanceNm = 0;  // a position: the distance is known from here on
    }
    havePosition_ = true;
    lastLat_ = phi;
    lastLon_ = lambda;
}

void SummarySink::OnEngineFrame(const uint8_t* frame) {
    const EngineMessage m(frame);
    if (!m.HasMonitorNumber()) return;
    const int monitor = m.MonitorNumber();
    if (monitor < 1 || monitor > kEngineMonitors) return;
    EngineSummary& e = s_.engines[monitor - 1];
    e.present = true;
    const bool hasRpm = m.Has(EngineMessage::kRpm, 2);
    if (hasRpm) Max<int32_t>(e.rpmMax, m.Rpm());
    if (m.Has(EngineMessage::kOilTemp, 2)) Max<int32_t>(e.oilTempMax, m.OilTemp());
    if (hasRpm && m.Rpm() >= kRpmRuleMin && m.Has(EngineMessage::kOilPressure, 2))
        Min(e.oilPressureMin, m.OilPressure() / kRawPerBar);
    // The inputs present are the first ones: as many as the Frame's length holds.
    const int present = std::clamp(
        (static_cast<int>(BodyEnd(m.Length())) - static_cast<int>(EngineMessage::TcOffset(1))) / 2, 0,
        kThermocoupleInputs);
    const uint8_t* kinds = kinds_.data() + ThermocoupleIndex(monitor, 0);
    int32_t hottest = INT32_MIN, coldest = INT32_MAX, egtMax = INT32_MIN, chtMax = INT32_MIN;
    int hot = 0;
    for (int n = 0; n < present; ++n) {
        const int32_t v = m.TC(n + 1);
        if (kinds[n] == CHT) chtMax = std::max(chtMax, v);
        if (kinds[n] != EGT) continue;
        egtMax = std::max(egtMax, v);
        if (v <= 0) continue;
        ++hot;
        hottest = std::max(hottest, v);
        coldest = std::min(coldest, v);
    }
    if (chtMax != INT32_MIN) Max(e.chtMax, chtMax);
    if (egtMax != INT32_MIN) Max(e.egtMax, egtMax);
    if (hot >= 2) Max(e.egtSpreadMax, hottest - coldest);
}

void SummarySink::OnFuelFrame(const uint8_t* frame) {
    const FuelMessage m(frame);
    if (!m.HasCount()) return;
    const int32_t count = m.FuelLevelCount();
    // Every level inside the body.
    if (count < 1 || count > 16 || !m.HasLevel(count)) return;
    int64_t sum = 0;
    for (int k = 1; k <= count; ++k) sum += m.FuelLevel(k);
    if (!firstFuel_) firstFuel_ = static_cast<double>(sum);
    lastFuel_ = static_cast<double>(sum);
    s_.fuelUsedL = (*firstFuel_ - *lastFuel_) / kRawPerLitre;
}

FlightSummary SummarizeFlight(const std::string& path, const ThermocoupleKinds& kinds, const Limits& limits) {
    InputFile file = OpenFlight(path);
    const Settings nothingTicked;
    const ChecksumOptions checks;  // tested, whatever the window's option
    SummarySink sink(kinds);
    ExceedanceCount count;  // counted, not kept: memory does not grow with the runs
    ExceedanceSink exceedances(kinds, limits, count);
    AnalysisSink analysis(kinds);
    analysis.ReserveFor(file.Size());
    const bool limited = limits.Any();
    FlightReplay(file, {nothingTicked, checks}, {&sink, limited ? &exceedances : nullptr, &analysis});
    FlightSummary s = sink.Summary();
    if (limited) s.exceedances = count.count;
    AddAnalysisFigures(analysis.Result(), s);
    return s;
}

}  // namespace krelby
