#include "logbook/exceedances.h"

#include <algorithm>
#include <tuple>

#include "format/datetime.h"
#include "format/messages.h"
#include "logbook/summary.h"
#include "replay/data_items.h"
#include "replay/replay.h"
#include "replay/value_text.h"
#include "settings/limits.h"

namespace krelby {
namespace {

using E = EngineMessage;

// The limits on a single field of the EngineMessage; tracks 0 to 7.
struct FieldLimit {
    LimitKey key;
    size_t offset;
    bool bar;     // u16 in 0.1 mbar, compared in bar
    bool signed16;
    bool rpmRule;  // counted only while turning at 500 rpm or more
};
constexpr FieldLimit kFields[] = {
    {LimitKey::RpmMax, E::kRpm, false, false, false},
    {LimitKey::MapMax, E::kManifoldPressure, true, false, false},
    {LimitKey::OilPressureMin, E::kOilPressure, true, false, true},
    {LimitKey::OilPressureMax, E::kOilPressure, true, false, false},
    {LimitKey::OilTempMax, E::kOilTemp, false, true, false},
    {LimitKey::FuelPressureMin, E::kFuelPressure, true, false, true},
    {LimitKey::FuelPressureMax, E::kFuelPressure, true, false, false},
    {LimitKey::CoolantTempMax, E::kCoolantTemp, false, true, false},
};
constexpr int kFieldTracks = 8;
constexpr int kSpreadTrack = kFieldTracks + 12;
static_assert(std::size(kFields) == kFieldTracks && kSpreadTrack + 1 == ExceedanceSink::kTracks);
constexpr int kMinRpm = 500;

// The chart's title of a single field's series on `monitor`.
std::string FieldTitle(int monitor, size_t offset) {
    for (const DataItem& item : EngineItems()[size_t(monitor - 1)].quantities)
        if (item.offset == offset) return std::string(item.title);
    return {};
}

}  // namespace

ExceedanceSink::ExceedanceSink(const ThermocoupleKinds& kinds, const Limits& limits) : kinds_(kinds), limits_(limits) {}

void ExceedanceSink::OnBegin() {
    tracks_ = {};
    found_.clear();
    pendingFlight_ = nullptr;
    haveTime_ = false;
    seconds_ = 0;
    time_ = 0;
    begun_ = 0;
}

void ExceedanceSink::OnMessage(FrameType type, const uint8_t* frame, size_t) {
    if (type == FrameType::Flight) pendingFlight_ = frame;
    else if (type == FrameType::Engine && haveTime_) Engine(frame);
}

// Only FlightMessages with a date the calendar accepts reach here, right after their Frame.
void ExceedanceSink::OnFlightTime(double time) {
    if (!pendingFlight_) return;
    seconds_ = FlightSeconds(FlightMessage(pendingFlight_));
    time_ = time;
    haveTime_ = true;
    pendingFlight_ = nullptr;
}

void ExceedanceSink::OnEnd(const ReplayEnd&) {
    for (auto& monitor : tracks_)
        for (Track& t : monitor)
            if (t.open) Close(t);
}

void ExceedanceSink::Engine(const uint8_t* frame) {
    const E m(frame);
    if (!m.HasMonitorNumber()) return;
    const int monitor = m.MonitorNumber();
    if (monitor < 1 || monitor > 4) return;
    const bool turning = m.Has(E::kRpm, 2) && m.Rpm() >= kMinRpm;
    for (int k = 0; k < kFieldTracks; ++k) {
        const FieldLimit& f = kFields[k];
        const std::optional<double>& limit = limits_[f.key];
        if (!limit || !m.Has(f.offset, 2)) continue;  // no limit, or a Frame without the field
        const double v = f.bar ? u16le(frame, f.offset) / 10000.0
                               : f.signed16 ? double(i16le(frame, f.offset)) : double(u16le(frame, f.offset));
        Step(monitor, k, v, f.rpmRule ? turning && v < *limit : v > *limit);
    }
    const std::optional<double>& egtMax = limits_[LimitKey::EgtMax];
    const std::optional<double>& chtMax = limits_[LimitKey::ChtMax];
    const std::optional<double>& spreadMax = limits_[LimitKey::EgtSpreadMax];
    if (!egtMax && !chtMax && !spreadMax) return;
    const uint8_t* kinds = kinds_.data() + 12 * (monitor - 1);
    int hot = 0;
    int32_t hottest = 0, coldest = 0;
    for (int n = 1; n <= 12 && m.Has(E::TcOffset(n), 2); ++n) {  // the inputs present are the first ones
        const int32_t v = m.TC(n);
        const uint8_t kind = kinds[n - 1];
        if (kind == EGT && v > 0) {
            hottest = hot ? std::max(hottest, v) : v;
            coldest = hot ? std::min(coldest, v) : v;
            ++hot;
        }
        const std::optional<double>& limit = kind == EGT ? egtMax : kind == CHT ? chtMax : std::nullopt;
        if (limit) Step(monitor, kFieldTracks + n - 1, v, v > *limit);
    }
    // Fewer than two EGT inputs above 0 °C: no spread, as a Frame without the field.
    if (spreadMax && hot >= 2) Step(monitor, kSpreadTrack, hottest - coldest, hottest - coldest > *spreadMax);
}

void ExceedanceSink::Step(int monitor, int track, double value, bool exceeds) {
    Track& t = tracks_[size_t(monitor - 1)][size_t(track)];
    if (!exceeds) {
        if (t.open) Close(t);
        return;
    }
    Exceedance& e = t.run;
    if (!t.open) {
        t.open = true;
        e = {};
        e.monitor = monitor;
        if (track < kFieldTracks) {
            const FieldLimit& f = kFields[track];
            e.limit = f.key;
            e.bar = f.bar;
            e.item = FieldTitle(monitor, f.offset);
        } else if (track < kSpreadTrack) {
            e.input = track - kFieldTracks + 1;
            const uint8_t kind = kinds_[size_t(12 * (monitor - 1) + e.input - 1)];
            e.limit = kind == EGT ? LimitKey::EgtMax : LimitKey::ChtMax;
            e.item = std::string(EngineItems()[size_t(monitor - 1)]
                                     .thermocouples[size_t(e.input - 1)]
                                     .byKind[size_t(ThermocoupleKindIndex(kind))]
                                     .title);
        } else {
            e.limit = LimitKey::EgtSpreadMax;
            e.item = "EGTSPREAD_" + std::to_string(monitor);
        }
        e.minimum = InfoOf(e.limit).minimum;
        e.limitValue = *limits_[e.limit];
        e.start = seconds_;
        e.startTime = time_;
        e.peak = value;
        e.order = begun_++;
    }
    e.peak = e.minimum ? std::min(e.peak, value) : std::max(e.peak, value);
    e.end = seconds_;
    e.endTime = time_;
}

void ExceedanceSink::Close(Track& t) {
    t.open = false;
    found_.push_back(std::move(t.run));
}

std::vector<Exceedance> FindExceedances(const std::string& path, const ThermocoupleKinds& kinds,
                                        const Limits& limits) {
    InputFile file = OpenFlight(path);
    if (!limits.Any()) return {};
    const Settings nothingTicked;
    const ChecksumOptions checks;  // tested, as for the logbook
    ExceedanceSink sink(kinds, limits);
    FlightReplay(file, {nothingTicked, checks}, {&sink});
    std::vector<Exceedance> list = sink.Found();
    SortExceedances(list);
    return list;
}

void SortExceedances(std::vector<Exceedance>& list) {
    std::sort(list.begin(), list.end(), [](const Exceedance& a, const Exceedance& b) {
        return std::tie(a.start, a.item, a.minimum, a.order) < std::tie(b.start, b.item, b.minimum, b.order);
    });
}

std::string PeakText(const Exceedance& e) {
    return e.bar ? DecimalText(e.peak, 4) : IntegerText(static_cast<int64_t>(e.peak));
}

std::string ExceedancesCsv(const std::vector<Exceedance>& list) {
    std::string out = "item,limit_kind,limit,start,end,duration_s,peak\n";
    for (const Exceedance& e : list) {
        out += e.item;
        out += e.minimum ? ",min," : ",max,";
        out += LimitText(e.limitValue);
        out += ',';
        out += IsoText(UnixTimeParts(e.start));
        out += ',';
        out += IsoText(UnixTimeParts(e.end));
        out += ',';
        out += IntegerText(e.DurationS());
        out += ',';
        out += PeakText(e);
        out += '\n';
    }
    return out;
}

}  // namespace krelby
