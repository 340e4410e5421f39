// The logbook's column table as the window reads it: each figure's heading in the units
// chosen, how a figure is converted into them, and the clock text of a duration.
#include <gtest/gtest.h>

#include "logbook/columns.h"

using namespace krelby;

namespace {

const LogbookColumn& Named(std::string_view name) {
    for (const LogbookColumn& c : LogbookColumns())
        if (c.name == name) return c;
    throw std::runtime_error("no column " + std::string(name));
}

}  // namespace

TEST(LogbookColumns, HeadingsNameTheMonitorAndTheUnitShown) {
    UnitSettings metric;
    metric.Altitude = 1;  // m
    metric.Speed = 1;     // km/h
    metric.VSI = 1;       // m/s
    metric.Temp = 1;      // °F
    metric.OilP = 1;      // psi
    metric.LiqQ = 1;      // US gallons
    metric.MAP = 1;       // inHg
    const struct {
        const char* column;
        const char* defaults;  // the units of a file without [Units]
        const char* chosen;    // the units above
    } cases[] = {
        {"start", "Start", "Start"},
        {"duration_s", "Duration", "Duration"},
        {"distance_nm", "Distance (mi)", "Distance (km)"},
        {"max_palt_ft", "Max pressure altitude (ft)", "Max pressure altitude (m)"},
        {"max_gs_kt", "Max ground speed (mph)", "Max ground speed (km/h)"},
        {"min_vsi_fpm", "Max descent (fpm)", "Max descent (m/s)"},
        {"max_g", "Max G (g)", "Max G (g)"},
        {"fuel_used_l", "Fuel used (l)", "Fuel used (gal)"},
        {"exceedances", "Exceedances", "Exceedances"},
        {"rpm_max_3", "Max RPM 3 (rpm)", "Max RPM 3 (rpm)"},
        {"oilp_min_bar_1", "Min oil pressure 1 (bar)", "Min oil pressure 1 (psi)"},
        {"egt_spread_max_c_4", "Max EGT spread 4 (°C)", "Max EGT spread 4 (°F)"},
        {"cruise_s", "Cruise", "Cruise"},
        {"to_map_max_bar_1", "Takeoff max MAP 1 (mbar)", "Takeoff max MAP 1 (inHg)"},
        {"cruise_ff_lph_2", "Cruise fuel flow 2 (l/h)", "Cruise fuel flow 2 (gal/h)"},
        {"cht_cool_max_c_min_1", "Max CHT cooling 1 (°C/min)", "Max CHT cooling 1 (°F/min)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LogbookHeading(Named(c.column), UnitSettings{}), c.defaults) << c.column;
        EXPECT_EQ(LogbookHeading(Named(c.column), metric), c.chosen) << c.column;
    }
    for (const LogbookColumn& c : LogbookColumns()) EXPECT_FALSE(c.title.empty()) << c.name;
}

// A temperature takes the offset of its unit, a spread of two (and a cooling rate) only the
// factor; the manifold pressure kept in bar is shown in millibars.
TEST(LogbookColumns, SpreadsConvertWithoutTheOffset) {
    UnitSettings fahrenheit;
    fahrenheit.Temp = 1;
    const LogbookUnit t = ShownAs(Quantity::Temperature, fahrenheit);
    const LogbookUnit d = ShownAs(Quantity::TemperatureDifference, fahrenheit);
    const LogbookUnit r = ShownAs(Quantity::CoolingRate, fahrenheit);
    EXPECT_DOUBLE_EQ(100 * t.factor + t.offset, 212);
    EXPECT_DOUBLE_EQ(100 * d.factor + d.offset, 180);
    EXPECT_DOUBLE_EQ(10 * r.factor + r.offset, 18);
    const LogbookUnit map = ShownAs(Quantity::ManifoldPressure, UnitSettings{});
    EXPECT_DOUBLE_EQ(1.0132 * map.factor, 1013.2);
    EXPECT_EQ(map.decimals, 1);
    const LogbookUnit psi = ShownAs(Quantity::Pressure, [] { UnitSettings u; u.OilP = 1; return u; }());
    EXPECT_EQ(psi.decimals, 1);
    EXPECT_EQ(ShownAs(Quantity::Pressure, UnitSettings{}).decimals, 2);
}

TEST(LogbookColumns, DurationsReadAsHoursMinutesSeconds) {
    const std::pair<double, const char*> cases[] = {
        {0, "0:00:00"}, {59.9, "0:00:59"}, {3599, "0:59:59"}, {3600, "1:00:00"}, {3669, "1:01:09"},
        {360000, "100:00:00"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(LogbookDuration(seconds), text) << seconds;
}
