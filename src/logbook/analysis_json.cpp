#include "logbook/analysis_json.h"

#include <nlohmann/json.hpp>

#include "format/datetime.h"
#include "logbook/engine_figures.h"
#include "replay/data_items.h"
#include "replay/units.h"
#include "replay/value_text.h"

namespace krelby {
namespace {

using Json = nlohmann::ordered_json;

Json Time(std::optional<int64_t> t) { return t ? Json(IsoText(UnixTimeParts(*t))) : Json(nullptr); }
Json Number(std::optional<double> x, int decimals) { return x ? Json(Rounded(*x, decimals)) : Json(nullptr); }
// A whole figure (rpm, ft, °C) as a JSON integer.
Json Whole(std::optional<double> x) {
    return x ? Json(static_cast<int64_t>(Rounded(*x, 0))) : Json(nullptr);
}

std::string Title(int monitor, int n, uint8_t kind) {
    return std::string(EngineItems()[size_t(monitor - 1)]
                           .thermocouples[size_t(n - 1)]
                           .byKind[size_t(ThermocoupleKindIndex(kind))]
                           .title);
}

Json Inputs(const std::vector<InputFigure>& figures, int monitor, uint8_t kind, int decimals) {
    Json out = Json::array();
    for (const InputFigure& f : figures)
        out.push_back({{"input", f.input}, {"item", Title(monitor, f.input, kind)},
                       {"value", decimals ? Json(Rounded(f.value, decimals)) : Whole(f.value)}});
    return out;
}

Json Takeoff(const TakeoffEngine& t, int m) {
    return {{"rpm_max", t.rpmMax ? Json(*t.rpmMax) : Json(nullptr)},
            {"map_max_bar", Number(t.mapMaxBar, kBarDecimals)},
            {"ff_max_lph", Number(t.ffMaxLph, kLphDecimals)},
            {"egt_max_c", Inputs(t.egtMax, m, EGT, 0)},
            {"cht_max_c", Inputs(t.chtMax, m, CHT, 0)}};
}

Json Cruise(const CruiseEngine& c, int m) {
    return {{"rpm", Whole(c.rpm)},
            {"map_bar", Number(c.mapBar, kBarDecimals)},
            {"ff_lph", Number(c.ffLph, kLphDecimals)},
            {"oilt_c", Number(c.oilTempC, kMeanCDecimals)},
            {"oilp_bar", Number(c.oilPressureBar, kBarDecimals)},
            {"egt_c", Inputs(c.egt, m, EGT, kMeanCDecimals)},
            {"cht_c", Inputs(c.cht, m, CHT, kMeanCDecimals)}};
}

Json Cooling(const std::vector<CoolingRate>& rates, int m) {
    Json out = Json::array();
    for (const CoolingRate& r : rates)
        out.push_back({{"input", r.input}, {"item", Title(m, r.input, CHT)},
                       {"rate_c_min", Rounded(r.CPerMin(), kRateDecimals)}, {"time", Time(r.time)}});
    return out;
}

Json SweepJson(const Sweep& s, int m, const UnitSettings& units) {
    Json inputs = Json::array();
    for (const SweepPeak& p : s.inputs)
        inputs.push_back({{"input", p.input}, {"item", Title(m, p.input, EGT)}, {"peaked", p.peaked},
                          {"peak_c", p.peaked ? Whole(p.peakC) : Json(nullptr)},
                          {"ff_lph", p.peaked ? Json(Rounded(p.ffLph, kLphDecimals)) : Json(nullptr)},
                          {"time", p.peaked ? Time(p.time) : Json(nullptr)}});
    const std::optional<double> spread = ShownSpreadLph(s);
    const UnitRow& unit = ShownUnit(UnitQuantity::FuelFlow, units);
    return {{"start", Time(s.start)},
            {"end", Time(s.end)},
            {"duration_s", s.end - s.start},
            {"rpm", Whole(s.rpm)},
            {"map_bar", Rounded(s.mapBar, kBarDecimals)},
            {"ff_rich_lph", Rounded(s.richLph, kLphDecimals)},
            {"ff_lean_lph", Rounded(s.leanLph, kLphDecimals)},
            {"inputs", inputs},
            {"first_input", s.firstInput ? Json(*s.firstInput) : Json(nullptr)},
            {"last_input", s.lastInput ? Json(*s.lastInput) : Json(nullptr)},
            {"spread_lph", Number(spread, kLphDecimals)},
            {"spread", spread ? Json(Rounded(*spread * unit.Factor(), 2)) : Json(nullptr)},
            {"spread_unit", std::string(unit.symbol)}};
}

Json KindsGuess(const GreatestReadings& greatest, int m) {
    static const char* const kNames[] = {"EGT", "CHT", "Other"};
    Json out = Json::array();
    for (size_t n = 0; n < 12; ++n) {
        const std::optional<uint8_t> kind = GuessKind(greatest[size_t(m - 1)][n]);
        out.push_back(kind ? Json(kNames[*kind]) : Json(nullptr));
    }
    return out;
}

Json Monitors(const Analysis& a, const Settings& settings) {
    Json out = Json::array();
    for (int m = 1; m <= 4; ++m) {
        const MonitorAnalysis& e = a.monitors[size_t(m - 1)];
        if (!e.present) continue;
        Json sweeps = Json::array();
        for (const Sweep& s : e.sweeps) sweeps.push_back(SweepJson(s, m, settings.units));
        out.push_back({{"monitor", m},
                       {"takeoff", e.takeoff ? Takeoff(*e.takeoff, m) : Json(nullptr)},
                       {"cruise", e.cruise ? Cruise(*e.cruise, m) : Json(nullptr)},
                       {"cooling", Cooling(e.cooling, m)},
                       {"sweeps", sweeps},
                       {"kinds_guess", KindsGuess(a.greatest, m)}});
    }
    return out;
}

Json Exceedances(const std::vector<Exceedance>& list) {
    Json out = Json::array();
    for (const Exceedance& e : list)
        out.push_back({{"item", e.item}, {"limit_kind", e.minimum ? "min" : "max"},
                       {"limit", Rounded(e.limitValue, 4)}, {"start", Time(e.start)}, {"end", Time(e.end)},
                       {"duration_s", e.DurationS()},
                       {"peak", e.bar || e.rate ? Json(Rounded(e.peak, e.bar ? 4 : 1)) : Json(static_cast<int64_t>(e.peak))}});
    return out;
}

}  // namespace

std::string AnalysisJson(const std::string& file, const FlightAnalysis& fa, const Settings& settings) {
    const Analysis& a = fa.analysis;
    const auto span = [](std::optional<int64_t> from, std::optional<int64_t> to) {
        return from && to ? Json(*to - *from) : Json(nullptr);
    };
    Json doc;
    doc["file"] = file;
    doc["flight"] = {{"start", Time(a.start)}, {"end", Time(a.end)}, {"duration_s", span(a.start, a.end)},
                     {"takeoff", Time(a.takeoff)}, {"landing", Time(a.landing)}};
    doc["takeoff"] = a.takeoff ? Json{{"time", Time(a.takeoff)},
                                      {"window_start", Time(*a.takeoff - kTakeoffBeforeS)},
                                      {"window_end", Time(*a.takeoff + kTakeoffAfterS)}}
                               : Json(nullptr);
    doc["cruise"] = a.cruise ? Json{{"start", Time(a.cruise->start)}, {"end", Time(a.cruise->end)},
                                    {"duration_s", a.cruise->DurationS()},
                                    {"palt_ft", Whole(a.cruise->paltFt)},
                                    {"ias_kt", Rounded(a.cruise->iasKt, kKtDecimals)}}
                             : Json(nullptr);
    doc["monitors"] = Monitors(a, settings);
    doc["kind_warnings"] = KindWarnings(a.greatest, settings.thermocouples);
    doc["exceedances"] = settings.limits.Any() ? Exceedances(fa.exceedances) : Json(nullptr);
    // Bytes that are not UTF-8 (a file name in another encoding) become U+FFFD.
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace krelby
