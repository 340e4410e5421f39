#include "logbook/exceedances.h"

#include <algorithm>
#include <bit>
#include <cstdint>
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

// Tracks 0 to 7 are the limits on a single field, in the table's order; then the 12 inputs,
// then the spread.
constexpr int kFieldTracks = [] {
    int n = 0;
    for (const LimitKeyInfo& k : kLimitKeys) n += k.on == LimitOn::Field;
    return n;
}();
constexpr auto kFieldKeys = [] {
    std::array<LimitKey, kFieldTracks> keys{};
    size_t n = 0;
    for (const LimitKeyInfo& k : kLimitKeys)
        if (k.on == LimitOn::Field) keys[n++] = k.key;
    return keys;
}();
constexpr LimitKey kSpreadKey = [] {
    for (const LimitKeyInfo& k : kLimitKeys)
        if (k.on == LimitOn::EgtSpread) return k.key;
    return LimitKey::EgtSpreadMax;
}();
constexpr int kSpreadTrack = kFieldTracks + kThermocoupleInputs;
static_assert(kSpreadTrack + 1 == ExceedanceSink::kTracks);

// The first raw value in [lo, hi] whose value is beyond the limit (hi + 1 for none): the
// rule's own comparison of doubles, looked up once instead of made for every message.
template <typename Beyond>
int32_t FirstBeyond(int32_t lo, int32_t hi, Beyond beyond) {
    int64_t a = lo, b = int64_t{hi} + 1;  // beyond(b - 1) ... is the answer's side
    while (a < b) {
        const int64_t mid = a + (b - a) / 2;
        if (beyond(static_cast<int32_t>(mid))) b = mid;
        else a = mid + 1;
    }
    return static_cast<int32_t>(a);
}

// Above a maximum from the returned raw value up; for a minimum, below it.
int32_t Threshold(double limit, bool minimum, bool bar, bool signed16) {
    const int32_t lo = signed16 ? INT16_MIN : 0, hi = signed16 ? INT16_MAX : UINT16_MAX;
    const auto value = [bar](int32_t raw) { return bar ? raw / kRawPerBar : double(raw); };
    if (minimum) return FirstBeyond(lo, hi, [&](int32_t raw) { return !(value(raw) < limit); });
    return FirstBeyond(lo, hi, [&](int32_t raw) { return value(raw) > limit; });
}

// The data item of a single field on `monitor`: its series' title and its raw type.
const DataItem& FieldItem(int monitor, size_t offset) {
    for (const DataItem& item : EngineItems()[size_t(monitor - 1)].quantities)
        if (item.offset == offset) return item;
    static const DataItem none{};
    return none;
}

}  // namespace

ExceedanceSink::ExceedanceSink(const ThermocoupleKinds& kinds, const Limits& limits, ExceedanceOutput& out)
    : kinds_(kinds), limits_(limits), out_(out) {}

void ExceedanceSink::OnBegin() {
    tracks_ = {};
    merged_ = {};
    openTracks_ = {};
    pendingFlight_ = nullptr;
    haveTime_ = false;
    steppedBack_ = false;
    seconds_ = 0;
    time_ = 0;
    begun_ = 0;
    mergeSeconds_ = limits_.mergeSeconds.value;
    minSeconds_ = limits_.minSeconds.value;
    cooling_.Begin(kinds_, limits_[LimitKey::ChtCoolingMax]);
    // Only the limits set are looked at, message after message.
    checks_.clear();
    for (int k = 0; k < kFieldTracks; ++k) {
        const LimitKeyInfo& f = InfoOf(kFieldKeys[size_t(k)]);
        const bool signed16 = FieldItem(1, f.field).raw == Raw::I16;
        if (const std::optional<double>& limit = limits_[f.key])
            checks_.push_back({uint8_t(k), f.field, signed16, f.minimum, f.rpmRule,
                               Threshold(*limit, f.minimum, InBar(f), signed16)});
    }
    spreadBeyond_.reset();
    if (const std::optional<double>& limit = limits_[kSpreadKey])
        spreadBeyond_ = Threshold(*limit, false, false, false);  // 0 to 65535: two i16 apart
    for (size_t m = 0; m < inputs_.size(); ++m) {
        const int monitor = int(m) + 1;
        Inputs& in = inputs_[m];
        in.any = spreadBeyond_.has_value();
        for (size_t n = 0; n < kThermocoupleInputs; ++n) {
            const uint8_t kind = kinds_[ThermocoupleIndex(monitor, int(n))];
            const std::optional<LimitKey> key = InputLimitOf(kind);
            const std::optional<double> limit = key ? limits_[*key] : std::nullopt;
            // An input without a limit is never beyond one.
            in.beyond[n] = limit ? Threshold(*limit, false, false, true) : INT32_MAX;
            in.egt[n] = kind == EGT;
            in.any = in.any || limit.has_value();
        }
        for (int k = 0; k < kFieldTracks; ++k)
            items_[m][size_t(k)] = std::string(FieldItem(monitor, InfoOf(kFieldKeys[size_t(k)]).field).title);
        for (size_t n = 0; n < kThermocoupleInputs; ++n)
            items_[m][kFieldTracks + n] = std::string(
                EngineItems()[m]
                    .thermocouples[n]
                    .byKind[size_t(ThermocoupleKindIndex(kinds_[ThermocoupleIndex(monitor, int(n))]))]
                    .title);
        items_[m][kSpreadTrack] = std::string(InfoOf(kSpreadKey).stem) + "_" + std::to_string(monitor);
    }
}

void ExceedanceSink::OnMessage(FrameType type, const uint8_t* frame, size_t) {
    if (type == FrameType::Flight) pendingFlight_ = frame;
    else if (type == FrameType::Engine && haveTime_) OnEngineFrame(frame);
}

// Only FlightMessages with a date the calendar accepts reach here, right after their Frame.
void ExceedanceSink::OnFlightTime(double time) {
    if (!pendingFlight_) return;
    const int64_t seconds = FlightSeconds(FlightMessage(pendingFlight_));
    steppedBack_ = steppedBack_ || (haveTime_ && seconds < seconds_);
    seconds_ = seconds;
    time_ = time;
    haveTime_ = true;
    pendingFlight_ = nullptr;
    cooling_.Reach(seconds_, time_);
    // A run's end is the latest time reached while it lasts, whatever the clock does.
    for (size_t m = 0; m < openTracks_.size(); ++m)
        for (uint32_t todo = openTracks_[m]; todo; todo &= todo - 1) {
            Track& t = tracks_[m][size_t(std::countr_zero(todo))];
            if (seconds_ > t.latest) {
                t.latest = seconds_;
                t.latestTime = time_;
            }
        }
}

int64_t ExceedanceSink::Watermark() const {
    int64_t earliest = seconds_;
    for (const auto& monitor : merged_)
        for (const Merged& m : monitor)
            if (m.any) earliest = std::min(earliest, m.start);
    return std::min(earliest, cooling_.Earliest());
}

void ExceedanceSink::OnEnd(const ReplayEnd&) {
    for (int m = 1; m <= kEngineMonitors; ++m)
        for (int k = 0; k < kTracks; ++k) {
            if (tracks_[size_t(m - 1)][size_t(k)].open) Close(m, k);
            if (merged_[size_t(m - 1)][size_t(k)].any) Emit(m, k);
        }
    cooling_.End(mergeSeconds_, minSeconds_, out_, begun_);
}

void ExceedanceSink::OnEngineFrame(const uint8_t* frame) {
    const E m(frame);
    if (!m.HasMonitorNumber()) return;
    const int monitor = m.MonitorNumber();
    if (monitor < 1 || monitor > kEngineMonitors) return;
    cooling_.Add(monitor, frame, seconds_, time_);
    const size_t end = BodyEnd(m.Length());
    const bool turning = E::kRpm + 2 <= end && m.Rpm() >= kRpmRuleMin;
    for (const Check& c : checks_) {
        if (c.offset + 2u > end) continue;  // a Frame without the field
        const int32_t v = c.signed16 ? int32_t{i16le(frame, c.offset)} : int32_t{u16le(frame, c.offset)};
        Step(monitor, c.track, v, c.minimum ? (!c.rpmRule || turning) && v < c.beyond : v >= c.beyond);
    }
    const Inputs& in = inputs_[size_t(monitor - 1)];
    if (!in.any || end < E::TcOffset(1) + 2) return;
    const size_t present = std::min<size_t>(kThermocoupleInputs, (end - E::TcOffset(1)) / 2);  // the first ones
    int hot = 0;
    int32_t hottest = 0, coldest = 0;
    std::array<int32_t, kThermocoupleInputs> values;
    uint32_t beyond = 0;  // inputs beyond their limit, a bit each
    for (size_t n = 0; n < present; ++n) {
        const int32_t v = i16le(frame, E::TcOffset(int(n) + 1));
        values[n] = v;
        beyond |= uint32_t{v >= in.beyond[n]} << n;
        if (in.egt[n] && v > 0) {
            hottest = hot ? std::max(hottest, v) : v;
            coldest = hot ? std::min(coldest, v) : v;
            ++hot;
        }
    }
    // Mostly nothing is beyond and no run is open: then no input has a step to take.
    const uint32_t openInputs = openTracks_[size_t(monitor - 1)] >> kFieldTracks;
    const uint32_t open = (openInputs | beyond) & ((1u << present) - 1);
    for (uint32_t todo = open; todo; todo &= todo - 1) {
        const int n = std::countr_zero(todo);
        Step(monitor, kFieldTracks + n, values[size_t(n)], (beyond >> n) & 1);
    }
    // Fewer than two EGT inputs above 0 °C: no spread, as a Frame without the field.
    if (spreadBeyond_ && hot >= 2) Step(monitor, kSpreadTrack, hottest - coldest, hottest - coldest >= *spreadBeyond_);
}

LimitKey ExceedanceSink::KeyOf(int monitor, int track) const {
    if (track < kFieldTracks) return kFieldKeys[size_t(track)];
    if (track == kSpreadTrack) return kSpreadKey;
    // Only an input with a limit opens a run.
    return InputLimitOf(kinds_[ThermocoupleIndex(monitor, track - kFieldTracks)]).value_or(LimitKey::ChtMax);
}

// A run begins: it joins its series' run if that ended close enough before, else that one is
// final and this one begins a run of its own.
void ExceedanceSink::Open(int monitor, int track, int32_t value) {
    Merged& joined = merged_[size_t(monitor - 1)][size_t(track)];
    if (joined.any && seconds_ - joined.end > mergeSeconds_) Emit(monitor, track);
    if (!joined.any) joined = {true, value, seconds_, seconds_, time_, time_, begun_};
    ++begun_;
    const bool minimum = InfoOf(KeyOf(monitor, track)).minimum;
    tracks_[size_t(monitor - 1)][size_t(track)] = {true, minimum, value, seconds_, time_, seconds_, time_};
    openTracks_[size_t(monitor - 1)] |= 1u << track;
}

void ExceedanceSink::Close(int monitor, int track) {
    Track& t = tracks_[size_t(monitor - 1)][size_t(track)];
    Merged& joined = merged_[size_t(monitor - 1)][size_t(track)];
    t.open = false;
    openTracks_[size_t(monitor - 1)] &= ~(1u << track);
    if (t.minimum ? t.peak < joined.peak : t.peak > joined.peak) joined.peak = t.peak;
    if (t.end > joined.end) {
        joined.end = t.end;
        joined.endTime = t.endTime;
    }
}

void ExceedanceSink::Emit(int monitor, int track) {
    Merged& joined = merged_[size_t(monitor - 1)][size_t(track)];
    joined.any = false;
    if (joined.end - joined.start < minSeconds_) return;
    Exceedance e;
    e.monitor = monitor;
    e.limit = KeyOf(monitor, track);
    e.minimum = InfoOf(e.limit).minimum;
    e.bar = track < kFieldTracks && InBar(InfoOf(e.limit));
    e.input = track >= kFieldTracks && track < kSpreadTrack ? track - kFieldTracks + 1 : 0;
    e.item = items_[size_t(monitor - 1)][size_t(track)];
    e.limitValue = *limits_[e.limit];
    e.start = joined.start;
    e.startTime = joined.startTime;
    e.end = joined.end;
    e.endTime = joined.endTime;
    e.peak = e.bar ? joined.peak / kRawPerBar : double(joined.peak);
    e.order = joined.order;
    out_.Take(e);
}

bool ExceedanceBefore(const Exceedance& a, const Exceedance& b) {
    return std::tie(a.start, a.item, a.minimum, a.order) < std::tie(b.start, b.item, b.minimum, b.order);
}

void SortExceedances(std::vector<Exceedance>& list) { std::sort(list.begin(), list.end(), ExceedanceBefore); }

std::string PeakText(const Exceedance& e) {
    if (e.rate) return DecimalText(e.peak, 1);
    return e.bar ? DecimalText(e.peak, 4) : IntegerText(static_cast<int64_t>(e.peak));
}

void AppendExceedanceRow(std::string& out, const Exceedance& e) {
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

std::string ExceedancesCsv(const std::vector<Exceedance>& list) {
    std::string out(kExceedancesHeader);
    for (const Exceedance& e : list) AppendExceedanceRow(out, e);
    return out;
}

}  // namespace krelby
