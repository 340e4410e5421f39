#include "logbook/cooling.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <memory>

#if defined(__SSE2__) && !defined(KRELBY_NO_SIMD)
#include <emmintrin.h>
#endif

#include "logbook/cruise.h"

namespace krelby {
namespace {

// With SSE2 (every x86-64) the inputs go through vector registers; elsewhere, or built with
// KRELBY_NO_SIMD (to test it), the same arithmetic one input at a time.
#if defined(__SSE2__) && !defined(KRELBY_NO_SIMD)
// The 12 inputs of a message in two vector registers (inputs 1-8, inputs 9-12 and four lanes
// at the lowest value), read as the message's 24 bytes were written, 16 and 8.
struct Lanes {
    __m128i lo, hi;
    static Lanes Lowest() { return {_mm_set1_epi16(INT16_MIN), _mm_set1_epi16(INT16_MIN)}; }
    static Lanes Of(const std::array<int16_t, 12>& tc) {
        const auto* p = reinterpret_cast<const __m128i*>(tc.data());
        return {_mm_loadu_si128(p), _mm_unpacklo_epi64(_mm_loadl_epi64(p + 1), _mm_set1_epi16(INT16_MIN))};
    }
    void RaiseTo(const Lanes& o) {
        lo = _mm_max_epi16(lo, o.lo);
        hi = _mm_max_epi16(hi, o.hi);
    }
    int16_t At(size_t k) const {
        alignas(16) int16_t v[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(v), lo);
        _mm_store_si128(reinterpret_cast<__m128i*>(v + 8), hi);
        return v[k];
    }
};

// Each input's fastest cooling so far, as a fraction drop / span (none: -1 / 0, which any
// rate beats), compared for all inputs at once without branches. The products are formed in
// floats, exactly: a drop (at most 65535) times a span (at most 60 s) is below 2^24.
struct Fastest {
    __m128 drop[3], span[3];
    __m128i at[3];
    Fastest() {
        for (int q = 0; q < 3; ++q) drop[q] = _mm_set1_ps(-1), span[q] = _mm_setzero_ps(), at[q] = _mm_setzero_si128();
    }
    static __m128i Widen(__m128i v, bool upper) {  // four int16 lanes to int32
        const __m128i w = upper ? _mm_unpackhi_epi16(v, v) : _mm_unpacklo_epi16(v, v);
        return _mm_srai_epi32(w, 16);
    }
    // Only for the inputs of the groups of four set in `quads`.
    void Take(const Lanes& high, const Lanes& now, int32_t s, int32_t index, unsigned quads) {
        const __m128 fs = _mm_set1_ps(float(s));
        const __m128i at4 = _mm_set1_epi32(index);
        const __m128i h[3] = {Widen(high.lo, false), Widen(high.lo, true), Widen(high.hi, false)};
        const __m128i n[3] = {Widen(now.lo, false), Widen(now.lo, true), Widen(now.hi, false)};
        for (int q = 0; q < 3; ++q) {
            if (!((quads >> q) & 1)) continue;
            const __m128 d = _mm_cvtepi32_ps(_mm_sub_epi32(h[q], n[q]));
            const __m128 faster = _mm_cmpgt_ps(_mm_mul_ps(d, span[q]), _mm_mul_ps(drop[q], fs));
            drop[q] = _mm_or_ps(_mm_and_ps(faster, d), _mm_andnot_ps(faster, drop[q]));
            span[q] = _mm_or_ps(_mm_and_ps(faster, fs), _mm_andnot_ps(faster, span[q]));
            const __m128i m = _mm_castps_si128(faster);
            at[q] = _mm_or_si128(_mm_and_si128(m, at4), _mm_andnot_si128(m, at[q]));
        }
    }
    // Input k's drop, span and message (span 0: no rate yet).
    void Get(size_t k, int32_t& d, int32_t& sp, int32_t& index) const {
        alignas(16) float df[12], sf[12];
        alignas(16) int32_t ix[12];
        for (int q = 0; q < 3; ++q) {
            _mm_store_ps(df + 4 * q, drop[q]);
            _mm_store_ps(sf + 4 * q, span[q]);
            _mm_store_si128(reinterpret_cast<__m128i*>(ix + 4 * q), at[q]);
        }
        d = int32_t(df[k]), sp = int32_t(sf[k]), index = ix[k];
    }
};
#else
struct Lanes {
    std::array<int16_t, 12> v;
    static Lanes Lowest() {
        Lanes l;
        l.v.fill(INT16_MIN);
        return l;
    }
    static Lanes Of(const std::array<int16_t, 12>& tc) { return {tc}; }
    void RaiseTo(const Lanes& o) {
        for (size_t k = 0; k < 12; ++k) v[k] = std::max(v[k], o.v[k]);
    }
    int16_t At(size_t k) const { return v[k]; }
};

struct Fastest {
    std::array<int64_t, 12> drop, span;
    std::array<int32_t, 12> at{};
    Fastest() { drop.fill(-1), span.fill(0); }
    void Take(const Lanes& high, const Lanes& now, int32_t s, int32_t index, unsigned quads) {
        for (size_t k = 0; k < 12; ++k) {
            if (!((quads >> (k / 4)) & 1)) continue;
            const int64_t d = int64_t{high.v[k]} - now.v[k];
            if (d * span[k] > drop[k] * s) drop[k] = d, span[k] = s, at[k] = index;
        }
    }
    void Get(size_t k, int32_t& d, int32_t& sp, int32_t& index) const {
        d = int32_t(drop[k]), sp = int32_t(span[k]), index = at[k];
    }
};
#endif

// The messages of the last minute, with the highest value of every input: a queue made of two
// stacks, the older one holding the highest value from each message to the oldest, so that
// each message costs a few comparisons of all inputs at once.
class Window {
public:
    void Push(int64_t t, const Lanes& v) {
        newer_.push_back({t, v});
        newerMax_.RaiseTo(v);
    }
    // Drops the messages before `from`.
    void Expire(int64_t from) {
        for (;;) {
            if (older_.empty()) {
                if (newer_.empty() || newer_.front().t >= from) return;
                Lanes high = Lanes::Lowest();
                for (size_t i = newer_.size(); i-- > 0;) {
                    high.RaiseTo(newer_[i].v);
                    older_.push_back({newer_[i].t, high});
                }
                newer_.clear();
                newerMax_ = Lanes::Lowest();
            }
            if (older_.back().t >= from) return;
            older_.pop_back();
        }
    }
    int64_t Oldest() const { return older_.empty() ? newer_.front().t : older_.back().t; }
    Lanes Highest() const {
        Lanes h = newerMax_;
        if (!older_.empty()) h.RaiseTo(older_.back().v);
        return h;
    }

private:
    struct Entry {
        int64_t t;
        Lanes v;  // older stack: the highest from here to the oldest
    };
    std::vector<Entry> newer_, older_;
    Lanes newerMax_ = Lanes::Lowest();
};

}  // namespace

void ForEachCoolingRate(const std::vector<EnginePoint>& points, int n,
                        const std::function<void(const CoolingRate&)>& each) {
    std::vector<size_t> order;  // the messages holding the input, by time
    for (size_t i = 0; i < points.size(); ++i)
        if (points[i].HasInput(n)) order.push_back(i);
    const auto earlier = [&](size_t a, size_t b) { return points[a].t < points[b].t; };
    if (!std::is_sorted(order.begin(), order.end(), earlier)) std::stable_sort(order.begin(), order.end(), earlier);
    const auto time = [&](size_t k) { return points[order[k]].t; };
    const auto value = [&](size_t k) { return points[order[k]].tc[size_t(n - 1)]; };
    // The window's highest value: a queue of positions whose values fall from front to back.
    std::deque<size_t> highest;
    size_t left = 0;  // the window's earliest message
    for (size_t i = 0; i < order.size();) {
        const int64_t t = time(i);
        size_t j = i;  // messages of the same time are all in each other's window
        for (; j < order.size() && time(j) == t; ++j) {
            while (!highest.empty() && value(highest.back()) <= value(j)) highest.pop_back();
            highest.push_back(j);
        }
        while (time(left) < t - kCoolingWindowS) ++left;
        while (highest.front() < left) highest.pop_front();
        const int64_t span = t - time(left);
        if (span >= kCoolingMinSpanS)
            for (size_t k = i; k < j; ++k) each({n, value(highest.front()) - value(k), span, t, order[k]});
        i = j;
    }
}

std::vector<CoolingRate> GreatestCoolingRates(const std::vector<EnginePoint>& points,
                                              const ThermocoupleKinds& kinds, int monitor) {
    std::vector<CoolingRate> out;
    for (int n = 1; n <= 12; ++n) {
        if (KindOf(kinds, monitor, n) != CHT) continue;
        std::optional<CoolingRate> best;
        ForEachCoolingRate(points, n, [&](const CoolingRate& r) {
            if (!best || r.FasterThan(*best)) best = r;
        });
        if (best) out.push_back(*best);
    }
    return out;
}

// The tracker's state: the messages of the time being gathered, the last minute's window,
// each input's fastest cooling and greatest reading.
struct EngineTracker::State {
    bool usable = true;  // in the order of their times, each with all 12 inputs
    int64_t time = INT64_MIN;
    size_t first = 0;          // the index of the time's first message
    std::vector<Lanes> group;  // its messages
    Window window;
    Fastest fastest;
    Lanes greatest = Lanes::Lowest();
    bool any = false;
    uint16_t rated = 0xFFF;  // the inputs whose rates are wanted, a bit each
    unsigned quads = 7;      // their groups of four inputs

    // Every message of a time is in the others' windows: their rates wait for the next time.
    void CloseGroup() {
        if (group.empty()) return;
        window.Expire(time - kCoolingWindowS);
        const int64_t s = time - window.Oldest();
        if (s >= kCoolingMinSpanS) {
            const Lanes high = window.Highest();
            for (size_t k = 0; k < group.size(); ++k) fastest.Take(high, group[k], int32_t(s), int32_t(first + k), quads);
        }
        group.clear();
    }
};

EngineTracker::EngineTracker() : s_(std::make_unique<State>()) {}
EngineTracker::~EngineTracker() = default;
EngineTracker::EngineTracker(EngineTracker&&) noexcept = default;
EngineTracker& EngineTracker::operator=(EngineTracker&&) noexcept = default;

void EngineTracker::RateOnly(uint16_t inputs) {
    s_->rated = inputs;
    s_->quads = (inputs & 0xF ? 1u : 0u) | (inputs & 0xF0 ? 2u : 0u) | (inputs & 0xF00 ? 4u : 0u);
}

void EngineTracker::Add(const EnginePoint& p, size_t index) {
    State& s = *s_;
    if (!s.usable) return;
    if (!p.HasInput(12) || p.t < s.time || index > size_t(INT32_MAX)) {
        s.usable = false;  // the general way, one input at a time, will do
        return;
    }
    if (p.t != s.time) {
        s.CloseGroup();
        s.time = p.t;
        s.first = index;
    }
    s.group.push_back(Lanes::Of(p.tc));
    s.window.Push(p.t, s.group.back());
    s.greatest.RaiseTo(s.group.back());
    s.any = true;
}

std::optional<EnginePass> EngineTracker::End(const std::vector<EnginePoint>& points) {
    State& s = *s_;
    if (!s.usable) return std::nullopt;
    s.CloseGroup();
    EnginePass out;
    for (size_t lane = 0; lane < 12; ++lane) {
        if (s.any) out.greatest[lane] = s.greatest.At(lane);
        int32_t drop, span, at;
        s.fastest.Get(lane, drop, span, at);
        if (span > 0 && ((s.rated >> lane) & 1)) out.fastest[lane] = CoolingRate{int(lane) + 1, drop, span, points[size_t(at)].t, size_t(at)};
    }
    return out;
}

std::vector<CoolingRate> CoolingOfKind(const EnginePass& pass, const ThermocoupleKinds& kinds, int monitor) {
    std::vector<CoolingRate> out;
    for (int n = 1; n <= 12; ++n)
        if (KindOf(kinds, monitor, n) == CHT && pass.fastest[size_t(n - 1)]) out.push_back(*pass.fastest[size_t(n - 1)]);
    return out;
}

}  // namespace krelby
