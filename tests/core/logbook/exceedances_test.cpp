// The exceedance rule at each of its boundaries, and the order and form of its CSV.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "gen/generator.h"
#include "logbook/analysis.h"
#include "logbook/exceedance_outputs.h"
#include "logbook/exceedance_series.h"
#include "replay/chart_model.h"
#include "replay/series_limits.h"
#include "support/messages.h"
#include "support/temp_folder.h"

using namespace krelby;
using namespace krelby::testing;

namespace {

// A FlightMessage `s` seconds after 10:00:00 on 14 March 2024.
Frame Fm(int s) { return FlightFrame().ClockAt(36000 + s).Date(14, 3, 24).Sealed(); }
Frame Rpm(int monitor, uint16_t rpm) { return EngineOf(monitor).Rpm(rpm).Sealed(); }
Frame OilP(uint16_t rpm, uint16_t oilp) { return EngineOf(1).Rpm(rpm).OilPressure(oilp).Sealed(); }
Frame Tcs(std::vector<int16_t> tcs, uint8_t L = 56) {
    EngineFrame b = EngineOf(1, L);
    for (size_t n = 0; n < tcs.size(); ++n) b.TC(int(n) + 1, tcs[n]);
    return b.Sealed();
}

const std::string kHeader = "item,limit_kind,limit,start,end,duration_s,peak\n";

// Inputs 5 CHT and 9 Other on monitor 1; the rest EGT.
ThermocoupleKinds Kinds() {
    ThermocoupleKinds kinds{};
    kinds[4] = CHT;
    kinds[8] = Other;
    return kinds;
}

// The CSV of the frames as a flight, without its header, times as seconds after 10:00:00.
std::string Rows(const std::vector<Frame>& frames, const Limits& limits) {
    TempFolder folder;
    WriteFrames(folder / "t.FLT", frames);
    std::string csv = ExceedancesCsv(FindExceedances(folder / "t.FLT", Kinds(), limits));
    EXPECT_EQ(csv.substr(0, csv.find('\n') + 1), kHeader);
    csv.erase(0, csv.find('\n') + 1);
    for (size_t at; (at = csv.find("2024-03-14T10:0")) != std::string::npos;)
        csv.replace(at, 19, std::to_string(std::stoi(csv.substr(at + 14, 2)) * 60 + std::stoi(csv.substr(at + 17, 2))));
    return csv;
}

struct Case {
    const char* what;
    std::vector<std::pair<LimitKey, double>> limits;
    std::vector<Frame> frames;
    std::string rows;  // the CSV without its header, times as seconds after 10:00:00
};

}  // namespace

TEST(Exceedances, RuleAtItsBoundaries) {
    using K = LimitKey;
    const Case cases[] = {
        {"equal is none, one above is", {{K::RpmMax, 2700}},
         {Fm(0), Rpm(1, 2700), Fm(1), Rpm(1, 2701), Fm(2), Rpm(1, 2700)}, "RPM_1,max,2700,1,1,0,2701\n"},
        {"a minimum counts from 500 rpm", {{K::OilPressureMin, 2.5}},
         {Fm(0), OilP(499, 10000), Fm(1), OilP(500, 24999), Fm(2), OilP(500, 25000), OilP(499, 10000)},
         "OILP_1,min,2.5,1,1,0,2.4999\n"},
        {"499 rpm ends a run", {{K::FuelPressureMin, 0.2}},
         {Fm(0), EngineOf(1).Rpm(600).FuelPressure(1000).Sealed(), Fm(1), EngineOf(1).Rpm(499).FuelPressure(1000).Sealed(),
          Fm(2), EngineOf(1).Rpm(600).FuelPressure(1500).Sealed()},
         "FP_1,min,0.2,0,0,0,0.1000\nFP_1,min,0.2,2,2,0,0.1500\n"},
        {"split by a message within the limit", {{K::RpmMax, 2700}},
         {Fm(0), Rpm(1, 2800), Fm(3), Rpm(1, 2600), Fm(5), Rpm(1, 2900), Fm(9), Rpm(1, 2750)},
         "RPM_1,max,2700,0,0,0,2800\nRPM_1,max,2700,5,9,4,2900\n"},
        {"another monitor does not split", {{K::RpmMax, 2700}},
         {Fm(0), Rpm(1, 2800), Fm(1), Rpm(2, 2600), Fm(2), Rpm(1, 2900)}, "RPM_1,max,2700,0,2,2,2900\n"},
        {"a short message without the field is passed over", {{K::OilTempMax, 100}, {K::EgtMax, 700}},
         {Fm(0), EngineOf(1).OilTemp(110).TC(3, 750).Sealed(), Fm(1), EngineOf(1, 8).Rpm(2000).Sealed(),
          EngineOf(1, 36).OilTemp(105).Sealed(), Fm(2), EngineOf(1).OilTemp(105).TC(3, 720).Sealed()},
         "EGT3_1,max,700,0,2,2,750\nOILT_1,max,100,0,2,2,110\n"},
        {"spread needs two EGT inputs above 0", {{K::EgtSpreadMax, 30}},
         {Fm(0), Tcs({700, 0, 0}), Tcs({700, 660}), Fm(1), Tcs({-5, 710}), Fm(2), Tcs({710, 670, 690}),
          Tcs({700, 675})},
         "EGTSPREAD_1,max,30,0,2,2,40\n"},
        {"before the first good FlightMessage", {{K::RpmMax, 2700}},
         {Rpm(1, 2800), FlightFrame().Day(0).Sealed(), Rpm(1, 2900), Fm(5), Rpm(1, 2800)}, "RPM_1,max,2700,5,5,0,2800\n"},
        {"each input of its kind; Other has no limit", {{K::EgtMax, 735}, {K::ChtMax, 180}},
         {Fm(0), Tcs({740, 0, 0, 0, 190, 0, 0, 0, 900})}, "CHT5_1,max,180,0,0,0,190\nEGT1_1,max,735,0,0,0,740\n"},
        {"same start: max before min; a series' runs of one second are one", {{K::OilPressureMax, 5}, {K::OilPressureMin, 2}, {K::RpmMax, 2700}},
         {Fm(0), OilP(2800, 60000), OilP(600, 10000), OilP(2600, 30000), OilP(2800, 30000)},
         "OILP_1,max,5,0,0,0,6.0000\nOILP_1,min,2,0,0,0,1.0000\nRPM_1,max,2700,0,0,0,2800\n"},
        {"a limit of more decimals is written in full, never as its peak", {{K::RpmMax, 2700.99999}, {K::MapMax, 2.99995}},
         {Fm(0), EngineOf(1).Rpm(2701).ManifoldPressure(30000).Sealed()},
         "MAP_1,max,2.99995,0,0,0,3.0000\nRPM_1,max,2700.99999,0,0,0,2701\n"},
        {"a limit between whole degrees", {{K::ChtMax, 180.5}},
         {Fm(0), Tcs({0, 0, 0, 0, 180}), Fm(1), Tcs({0, 0, 0, 0, 181})}, "CHT5_1,max,180.5,1,1,0,181\n"},
        {"bar fields and temperatures", {{K::MapMax, 1.0132}, {K::FuelPressureMax, 0.35}, {K::CoolantTempMax, -10}},
         {Fm(0), EngineOf(1).ManifoldPressure(10133).FuelPressure(3500).CoolantTemp(-9).Sealed()},
         "COOL_1,max,-10,0,0,0,-9\nMAP_1,max,1.0132,0,0,0,1.0133\n"},
    };
    for (const Case& c : cases) {
        Limits limits;
        for (const auto& [key, value] : c.limits) limits.Set(key, value);
        Limits::Set(limits.mergeSeconds, 0);  // the runs as found, before any is joined
        EXPECT_EQ(Rows(c.frames, limits), c.rows) << c.what;
    }
    TempFolder folder;
    WriteFrames(folder / "t.FLT", {Fm(0), Rpm(1, 2800)});
    EXPECT_EQ(ExceedancesCsv(FindExceedances(folder / "t.FLT", Kinds(), Limits{})), kHeader);
}

// The runs of a series are joined while the next begins at most ExceedanceMergeSeconds after
// the end so far; then the short ones are dropped. The clock may step back: an end is the
// latest time reached, and no duration is negative.
TEST(Exceedances, MergeRuleAtItsBoundaries) {
    struct MergeCase {
        const char* what;
        std::optional<int64_t> merge, min;  // none: the default
        std::vector<Frame> frames;
        std::string rows;
    };
    const Frame hi = Rpm(1, 2800), higher = Rpm(1, 2900), low = Rpm(1, 2600);
    const MergeCase cases[] = {
        {"a gap equal to the key joins", 5, {}, {Fm(0), hi, Fm(1), low, Fm(5), higher, Fm(6), low},
         "RPM_1,max,2700,0,5,5,2900\n"},
        {"one over does not", 4, {}, {Fm(0), hi, Fm(1), low, Fm(5), higher, Fm(6), low},
         "RPM_1,max,2700,0,0,0,2800\nRPM_1,max,2700,5,5,0,2900\n"},
        {"by default 10 s joins", {}, {}, {Fm(0), hi, Fm(1), low, Fm(10), hi, Fm(11), low, Fm(22), hi},
         "RPM_1,max,2700,0,10,10,2800\nRPM_1,max,2700,22,22,0,2800\n"},
        {"a duration equal to the minimum stays", 5, 5, {Fm(0), hi, Fm(1), low, Fm(5), hi, Fm(6), low},
         "RPM_1,max,2700,0,5,5,2800\n"},
        {"one below is dropped", 5, 6, {Fm(0), hi, Fm(1), low, Fm(5), hi, Fm(6), low, Fm(20), hi, Fm(26), hi},
         "RPM_1,max,2700,20,26,6,2800\n"},
        {"each series on its own", 10, {},
         {Fm(0), hi, Rpm(2, 2800), Fm(1), low, Rpm(2, 2600), Fm(3), OilP(2800, 60000), Fm(4), hi},
         "RPM_1,max,2700,0,4,4,2800\nRPM_2,max,2700,0,0,0,2800\nOILP_1,max,5,3,3,0,6.0000\n"},
        {"a step back ends no run before its start", 0, {}, {Fm(100), hi, Fm(60), hi, Fm(61), low},
         "RPM_1,max,2700,100,100,0,2800\n"},
        {"the end is the latest time reached in the run", 0, {}, {Fm(0), hi, Fm(30), Rpm(2, 2600), Fm(5), hi, Fm(6), low},
         "RPM_1,max,2700,0,30,30,2800\n"},
        {"a run begun before the end so far joins, keeping the later end", 10, {},
         {Fm(10), higher, Fm(20), hi, Fm(21), low, Fm(15), hi, Fm(16), low},
         "RPM_1,max,2700,10,20,10,2900\n"},
    };
    for (const MergeCase& c : cases) {
        Limits limits;
        limits.Set(LimitKey::RpmMax, 2700);
        limits.Set(LimitKey::OilPressureMax, 5);
        if (c.merge) Limits::Set(limits.mergeSeconds, *c.merge);
        if (c.min) Limits::Set(limits.minSeconds, *c.min);
        EXPECT_EQ(Rows(c.frames, limits), c.rows) << c.what;
    }
}

// The cooling rate of a CHT input (the highest value of the last 60 s minus the value now,
// per minute of the span, at least 10 s) beyond ChtCoolingMax, in runs as the other limits'.
TEST(Exceedances, CoolingRateAtItsBoundaries) {
    const auto cht = [](int16_t v, int16_t egt = 0) { return Tcs({egt, 0, 0, 0, v}); };
    const struct {
        const char* what;
        double limit;
        int64_t merge;
        std::vector<Frame> frames;
        std::string rows;
    } cases[] = {
        {"a rate equal to the limit is none", 6, 0, {Fm(0), cht(200), Fm(10), cht(199)}, ""},
        {"just over is", 5.99, 0, {Fm(0), cht(200), Fm(10), cht(199)}, "CHT5COOL_1,max,5.99,10,10,0,6.0\n"},
        {"a span under 10 s has no rate", 1, 0, {Fm(0), cht(200), Fm(9), cht(150), Fm(10), cht(150)},
         "CHT5COOL_1,max,1,10,10,0,300.0\n"},
        {"the messages of a time share one window", 40, 0, {Fm(0), cht(190), Fm(10), cht(185), cht(200)},
         "CHT5COOL_1,max,40,10,10,0,90.0\n"},
        {"only CHT inputs; one without the input is passed over", 40, 0,
         {Fm(0), cht(200, 900), Fm(10), cht(190, 700), Fm(11), EngineOf(1, 36).Sealed(), Fm(12), cht(190, 700)},
         "CHT5COOL_1,max,40,10,12,2,60.0\n"},
        {"a gap equal to the merge key joins", 40, 15,
         {Fm(0), cht(200), Fm(10), cht(190), Fm(15), cht(190), Fm(25), cht(180)}, "CHT5COOL_1,max,40,10,25,15,60.0\n"},
        {"one over does not", 40, 14, {Fm(0), cht(200), Fm(10), cht(190), Fm(15), cht(190), Fm(25), cht(180)},
         "CHT5COOL_1,max,40,10,10,0,60.0\nCHT5COOL_1,max,40,25,25,0,48.0\n"},
        {"a step back: a message later in the file is in the window", 50, 0,
         {Fm(0), cht(180), Fm(20), cht(170), Fm(15), cht(200)}, "CHT5COOL_1,max,50,20,20,0,90.0\n"},
    };
    for (const auto& c : cases) {
        Limits limits;
        limits.Set(LimitKey::ChtCoolingMax, c.limit);
        Limits::Set(limits.mergeSeconds, c.merge);
        EXPECT_EQ(Rows(c.frames, limits), c.rows) << c.what;
    }
}

// Under a limit every rate is beyond, each input's greatest peak is the analysis' greatest
// rate of that input, found another way (all inputs at once, as the replay goes).
TEST(Exceedances, CoolingPeaksAreTheAnalysisGreatestRates) {
    gen::RecordingOptions o;
    o.flights = 1;
    o.secondsPerFlight = 1200;
    o.engineWear = 0.5;
    TempFolder folder;
    WriteFile(folder / "g.FLT", gen::FrameStream(o));
    Settings settings;
    for (size_t k = 0; k < settings.thermocouples.size(); ++k) settings.thermocouples[k] = uint8_t(k % 12 / 4);
    settings.limits.Set(LimitKey::ChtCoolingMax, -1);
    std::map<std::string, double> peaks;
    for (const Exceedance& e : FindExceedances(folder / "g.FLT", settings.thermocouples, settings.limits))
        peaks[e.item] = std::max(peaks[e.item], e.peak);
    std::map<std::string, double> greatest;
    const Analysis a = AnalyzeFlight(folder / "g.FLT", settings).analysis;
    for (int m = 1; m <= 2; ++m)
        for (const CoolingRate& r : a.monitors[size_t(m - 1)].cooling)
            greatest["CHT" + std::to_string(r.input) + "COOL_" + std::to_string(m)] = r.CPerMin();
    EXPECT_EQ(greatest.size(), 8u);
    EXPECT_EQ(peaks, greatest);
}

// Rows become final out of the CSV's order (a long run ends after many short ones begun
// later, the clock steps back); written a few at a time, over several replays, or as they
// become final where the clock never steps back, they come out as the whole list does; so do
// the window's first few and each series' sums.
TEST(Exceedances, CsvInBatchesIsTheWholeList) {
    Limits limits;
    limits.Set(LimitKey::RpmMax, 2700);
    limits.Set(LimitKey::OilTempMax, 100);
    limits.Set(LimitKey::ChtCoolingMax, 40);  // its runs are found at the end of the replay
    Limits::Set(limits.mergeSeconds, 1);
    TempFolder folder;
    std::string whole;
    for (const int back : {0, 40}) {
        std::vector<Frame> frames;
        for (int s = 0; s < 300; ++s) {
            frames.push_back(Fm(s < 150 ? s : s - back));  // back half way, or not
            frames.push_back(EngineOf(1).Rpm(s % 3 ? 2600 : 2800).OilTemp(120).TC(5, s % 4 ? 200 : 150).Sealed());
            frames.push_back(EngineOf(2).Rpm(s % 5 ? 2600 : 2800).OilTemp(s % 7 ? 90 : 120).Sealed());
        }
        WriteFrames(folder / "t.FLT", frames);
        whole = ExceedancesCsv(FindExceedances(folder / "t.FLT", Kinds(), limits));
        ASSERT_GT(std::count(whole.begin(), whole.end(), '\n'), 100);
        for (size_t batch : {1, 7, 64, 100000}) {
            std::string got;
            WriteExceedancesCsv(folder / "t.FLT", Kinds(), limits, [&](std::string_view t) { got += t; }, batch);
            EXPECT_EQ(got, whole) << batch << " back " << back;
        }
    }
    // The window's list: the first ones, and how many there are.
    FirstExceedances first(5);
    for (const Exceedance& e : FindExceedances(folder / "t.FLT", Kinds(), limits)) first.Take(e);
    EXPECT_EQ(first.Count(), std::count(whole.begin(), whole.end(), '\n') - 1);
    EXPECT_TRUE(first.LeftOut());
    std::vector<Exceedance> five = first.Sorted();
    ASSERT_EQ(five.size(), 5u);
    size_t sixth = 0;
    for (int line = 0; line < 6; ++line) sixth = whole.find('\n', sixth) + 1;
    EXPECT_EQ(ExceedancesCsv(five), whole.substr(0, sixth));
    // Each series' sums, whatever order the runs come in, against the whole sorted list.
    const std::vector<Exceedance> all = FindExceedances(folder / "t.FLT", Kinds(), limits);
    ExceedanceSeriesTotals totals(3);
    for (auto e = all.rbegin(); e != all.rend(); ++e) totals.Take(*e);
    const std::vector<ExceedanceSeries> series = totals.Sorted();
    ASSERT_GT(series.size(), 2u);
    int64_t runs = 0;
    for (size_t k = 0; k < series.size(); ++k) {
        const ExceedanceSeries& got = series[k];
        std::vector<Exceedance> mine;
        for (const Exceedance& e : all)
            if (e.item == got.first.item && e.limit == got.first.limit && e.minimum == got.first.minimum) mine.push_back(e);
        int64_t seconds = 0;
        const Exceedance* extreme = &mine.front();
        for (const Exceedance& e : mine) {
            seconds += e.DurationS();
            if (e.minimum ? e.peak < extreme->peak : e.peak > extreme->peak) extreme = &e;
        }
        EXPECT_EQ(got.count, int64_t(mine.size())) << got.first.item;
        EXPECT_EQ(got.seconds, seconds) << got.first.item;
        EXPECT_EQ(got.first.order, mine.front().order) << got.first.item;
        EXPECT_EQ(got.extreme.order, extreme->order) << got.first.item;
        mine.resize(std::min<size_t>(mine.size(), 3));
        EXPECT_EQ(ExceedancesCsv(got.runs), ExceedancesCsv(mine)) << got.first.item;
        if (k > 0) EXPECT_TRUE(ExceedanceBefore(series[k - 1].first, got.first));
        runs += got.count;
    }
    EXPECT_EQ(runs, int64_t(all.size()));
}

// The limits of the engine item a chart series' title names (RPM_1, OILP_2, EGT3_1, CHT5_1,
// ...); none for any other title.
namespace {
std::vector<LimitKey> LimitsOfTitle(std::string_view title) {
    for (const EngineMonitorItems& monitor : EngineItems()) {
        for (const DataItem& item : monitor.quantities)
            if (item.title == title) return LimitsOfItem(item);
        for (const ThermocoupleItems& input : monitor.thermocouples)
            for (const DataItem& item : input.byKind)
                if (item.title == title) return LimitsOfItem(item);
    }
    return {};
}
}  // namespace

// The chart draws a series' limits by its item, which its slot keeps; pulse, fuel flow, "Other"
// inputs and the fields of other messages at an engine field's offset have none.
TEST(Exceedances, LimitsOfASeriesFollowItsItem) {
    using K = LimitKey;
    const std::pair<const char*, std::vector<K>> cases[] = {
        {"RPM_1", {K::RpmMax}},           {"MAP_4", {K::MapMax}},
        {"OILP_2", {K::OilPressureMin, K::OilPressureMax}},
        {"FP_1", {K::FuelPressureMin, K::FuelPressureMax}},
        {"OILT_3", {K::OilTempMax}},      {"COOL_1", {K::CoolantTempMax}},
        {"EGT3_1", {K::EgtMax}},          {"CHT12_2", {K::ChtMax}},
        {"EGTSPREAD_1", {}},              {"TC9_1", {}},
        {"PULSE_1", {}},                  {"FF_1", {}},
        {"PALT", {}},
    };
    for (const auto& [title, keys] : cases) EXPECT_EQ(LimitsOfTitle(title), keys) << title;

    // Every engine item of every monitor and kind: the same by item as by title, each key's
    // stem its title's.
    for (const EngineMonitorItems& monitor : EngineItems()) {
        std::vector<DataItem> items(monitor.quantities.begin(), monitor.quantities.end());
        for (const ThermocoupleItems& input : monitor.thermocouples) items.insert(items.end(), input.byKind.begin(), input.byKind.end());
        for (const DataItem& item : items) {
            EXPECT_EQ(LimitsOfItem(item), LimitsOfTitle(item.title)) << item.title;
            for (K k : LimitsOfItem(item)) EXPECT_EQ(item.title.substr(0, InfoOf(k).stem.size()), InfoOf(k).stem);
        }
    }
    for (const DataItem& item : FlightItems()) EXPECT_EQ(LimitsOfItem(item), std::vector<K>{}) << item.title;

    ChartModel chart;
    chart.OnBegin();
    chart.OnItem(EngineItems()[2].thermocouples[4].byKind[1], 0, {});
    EXPECT_EQ(chart.Slot(0).title, "CHT5_3");
    EXPECT_EQ(LimitsOfItem(chart.Slot(0).item), std::vector<K>{K::ChtMax});
    chart.OnBegin();
    EXPECT_EQ(LimitsOfItem(chart.Slot(0).item), std::vector<K>{});
}
