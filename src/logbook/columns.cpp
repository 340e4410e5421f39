#include "logbook/columns.h"

#include <cmath>

#include "base/error.h"
#include "base/recorded_units.h"
#include "format/output_guard.h"
#include "base/file.h"
#include "format/datetime.h"
#include "replay/units.h"
#include "replay/value_text.h"

namespace krelby {
namespace {

template <typename T>
std::optional<double> AsDouble(const std::optional<T>& v) {
    return v ? std::optional<double>(static_cast<double>(*v)) : std::nullopt;
}
template <typename T>
void FromDouble(std::optional<T>& at, std::optional<double> v) {
    at = v ? std::optional<T>(static_cast<T>(*v)) : std::nullopt;
}

// A column of a FlightSummary member; an engine member of monitor M.
#define KRELBY_FIGURE(NAME, TITLE, QUANTITY, DECIMALS, MEMBER)                                     \
    LogbookColumn {                                                                                \
        NAME, TITLE, Quantity::QUANTITY, DECIMALS, 0,                                              \
            [](const FlightSummary& s) { return AsDouble(s.MEMBER); },                             \
            [](FlightSummary& s, std::optional<double> v) { FromDouble(s.MEMBER, v); }             \
    }
#define KRELBY_ENGINE(NAME, TITLE, QUANTITY, DECIMALS, MEMBER, M)                                            \
    LogbookColumn {                                                                                        \
        NAME, TITLE, Quantity::QUANTITY, DECIMALS, M + 1,                                                  \
            [](const FlightSummary& s) { return AsDouble(s.engines[M].MEMBER); },                          \
            [](FlightSummary& s, std::optional<double> v) {                                                \
                FromDouble(s.engines[M].MEMBER, v);                                                        \
                if (v) s.engines[M].present = true;                                                        \
            }                                                                                              \
    }
#define KRELBY_MONITOR(M)                                                                                   \
    KRELBY_ENGINE("rpm_max_" #M, "Max RPM", Rpm, 0, rpmMax, M - 1),                                         \
    KRELBY_ENGINE("oilt_max_c_" #M, "Max oil temp", Temperature, 0, oilTempMax, M - 1),                     \
    KRELBY_ENGINE("oilp_min_bar_" #M, "Min oil pressure", Pressure, 2, oilPressureMin, M - 1),              \
    KRELBY_ENGINE("cht_max_c_" #M, "Max CHT", Temperature, 0, chtMax, M - 1),                               \
    KRELBY_ENGINE("egt_max_c_" #M, "Max EGT", Temperature, 0, egtMax, M - 1),                               \
    KRELBY_ENGINE("egt_spread_max_c_" #M, "Max EGT spread", TemperatureDifference, 0, egtSpreadMax, M - 1)
// A monitor's figures of the engine analysis.
#define KRELBY_ANALYSED(M)                                                                                  \
    KRELBY_ENGINE("to_rpm_max_" #M, "Takeoff max RPM", Rpm, 0, toRpmMax, M - 1),                             \
    KRELBY_ENGINE("to_map_max_bar_" #M, "Takeoff max MAP", ManifoldPressure, 4, toMapMaxBar, M - 1),         \
    KRELBY_ENGINE("to_ff_max_lph_" #M, "Takeoff max fuel flow", FuelFlow, 2, toFfMaxLph, M - 1),             \
    KRELBY_ENGINE("cruise_ff_lph_" #M, "Cruise fuel flow", FuelFlow, 2, cruiseFfLph, M - 1),                 \
    KRELBY_ENGINE("cht_cool_max_c_min_" #M, "Max CHT cooling", CoolingRate, 1, chtCoolMaxCMin, M - 1),       \
    KRELBY_ENGINE("sweep_spread_lph_" #M, "Lean test spread", FuelFlow, 2, sweepSpreadLph, M - 1)

const std::vector<LogbookColumn> kColumns = {
    KRELBY_FIGURE("start", "Start", Time, -1, start),
    KRELBY_FIGURE("end", "End", Time, -1, end),
    KRELBY_FIGURE("duration_s", "Duration", Duration, 0, durationS),
    KRELBY_FIGURE("takeoff", "Takeoff", Time, -1, takeoff),
    KRELBY_FIGURE("landing", "Landing", Time, -1, landing),
    KRELBY_FIGURE("airborne_s", "Airborne", Duration, 0, airborneS),
    KRELBY_FIGURE("distance_nm", "Distance", Distance, 1, distanceNm),
    KRELBY_FIGURE("max_palt_ft", "Max pressure altitude", Altitude, 0, maxPaltFt),
    KRELBY_FIGURE("max_ias_kt", "Max IAS", Speed, 1, maxIasKt),
    KRELBY_FIGURE("max_gs_kt", "Max ground speed", Speed, 1, maxGsKt),
    KRELBY_FIGURE("max_vsi_fpm", "Max climb", VerticalSpeed, 0, maxVsiFpm),
    KRELBY_FIGURE("min_vsi_fpm", "Max descent", VerticalSpeed, 0, minVsiFpm),
    KRELBY_FIGURE("max_g", "Max G", Acceleration, 2, maxG),
    KRELBY_FIGURE("min_g", "Min G", Acceleration, 2, minG),
    KRELBY_FIGURE("fuel_used_l", "Fuel used", Fuel, 1, fuelUsedL),
    KRELBY_FIGURE("exceedances", "Exceedances", Count, 0, exceedances),
    KRELBY_MONITOR(1),
    KRELBY_MONITOR(2),
    KRELBY_MONITOR(3),
    KRELBY_MONITOR(4),
    // The engine analysis' figures follow every column there was before them, so that each
    // earlier column keeps its place in the CSV.
    KRELBY_FIGURE("cruise_s", "Cruise", Duration, 0, cruiseS),
    KRELBY_FIGURE("cruise_palt_ft", "Cruise pressure altitude", Altitude, 0, cruisePaltFt),
    KRELBY_FIGURE("cruise_ias_kt", "Cruise IAS", Speed, 1, cruiseIasKt),
    KRELBY_ANALYSED(1),
    KRELBY_ANALYSED(2),
    KRELBY_ANALYSED(3),
    KRELBY_ANALYSED(4),
};

// A difference of two values (a spread) takes the factor without the offset.
LogbookUnit ShownIn(UnitQuantity q, const UnitSettings& u, bool difference = false) {
    const UnitRow& r = ShownUnit(q, u);
    return {r.symbol, r.Factor(), difference ? 0.0 : r.offset, r.decimals};
}

}  // namespace

const std::vector<LogbookColumn>& LogbookColumns() { return kColumns; }

std::string LogbookTitle(const LogbookColumn& column) {
    std::string title(column.title);
    if (column.monitor) {
        title += ' ';
        title += std::to_string(column.monitor);
    }
    return title;
}

LogbookUnit ShownAs(Quantity quantity, const UnitSettings& u) {
    switch (quantity) {
        case Quantity::Altitude: return ShownIn(UnitQuantity::Altitude, u);
        case Quantity::Speed: return ShownIn(UnitQuantity::LogbookSpeed, u);
        case Quantity::VerticalSpeed: return ShownIn(UnitQuantity::LogbookVerticalSpeed, u);
        case Quantity::Temperature: return ShownIn(UnitQuantity::Temperature, u);
        case Quantity::TemperatureDifference: return ShownIn(UnitQuantity::Temperature, u, true);
        case Quantity::Pressure: return ShownIn(UnitQuantity::LogbookPressure, u);
        case Quantity::Fuel: return ShownIn(UnitQuantity::LiquidQuantity, u);
        case Quantity::Distance: return ShownIn(UnitQuantity::LogbookDistance, u);
        case Quantity::ManifoldPressure: {
            // The MAP unit's row converts the raw 1/10000 bar.
            const UnitRow& r = ShownUnit(UnitQuantity::ManifoldPressure, u);
            return {r.symbol, r.Factor() * kRawPerBar, 0, r.decimals};
        }
        case Quantity::FuelFlow: {
            const UnitRow& r = ShownUnit(UnitQuantity::FuelFlow, u);
            return {r.symbol, r.Factor(), 0, 2};
        }
        case Quantity::CoolingRate: {
            const LogbookUnit t = ShownIn(UnitQuantity::Temperature, u, true);
            return {t.symbol == "°F" ? "°F/min" : "°C/min", t.factor, 0, 1};
        }
        case Quantity::Acceleration: return {"g", 1, 0, 2};
        case Quantity::Rpm: return {"rpm"};
        default: return {};
    }
}

std::string LogbookHeading(const LogbookColumn& column, const UnitSettings& units) {
    const std::string_view unit = ShownAs(column.quantity, units).symbol;
    return unit.empty() ? LogbookTitle(column) : LogbookTitle(column) + " (" + std::string(unit) + ")";
}

std::string LogbookDuration(double seconds) {
    const int64_t s = static_cast<int64_t>(seconds);
    // Minutes and seconds in two characters at least, a minus sign (never met) among them.
    const auto two = [](int64_t v) {
        std::string text = v < 0 ? "-" : v < 10 ? "0" : "";
        text += std::to_string(v < 0 ? -v : v);
        return text;
    };
    return std::to_string(s / 3600) + ":" + two(s / 60 % 60) + ":" + two(s % 60);
}

std::string LogbookText(const LogbookColumn& column, const FlightSummary& summary) {
    const std::optional<double> v = column.get(summary);
    if (!v) return {};
    if (column.quantity == Quantity::Time) return IsoText(UnixTimeParts(static_cast<int64_t>(*v)));
    std::string text = DecimalText(*v, column.decimals);
    // A value that rounds to zero is written without a sign.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string LogbookCsv(const std::vector<LogbookEntry>& entries) {
    auto field = [](std::string_view text) {
        if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
        std::string q = "\"";
        for (char c : text) {
            if (c == '"') q += '"';
            q += c;
        }
        return q + "\"";
    };
    std::string out = "file,copies";
    for (const auto& c : LogbookColumns()) {
        out += ',';
        out.append(c.name);
    }
    out += '\n';
    for (const auto& e : entries) {
        out += field(e.file);
        out += ',';
        out += std::to_string(e.IsFlight() ? e.Copies() : 1);
        for (const auto& c : LogbookColumns()) {
            out += ',';
            if (e.IsFlight()) out += field(LogbookText(c, e.summary));
        }
        out += '\n';
    }
    return out;
}

void SaveLogbookCsv(const std::string& path, const std::vector<LogbookEntry>& entries,
                    const std::string& programFolder) {
    FileId target, id;
    if (IdOf(path, target)) {
        std::string folder = programFolder;
        if (!folder.empty() && folder.back() != '/') folder += '/';
        if (IdOf(folder + kLogbookDatabase, id) && id == target)
            throw Error(CannotCreateFile(path, "it is the logbook's database"));
        for (const LogbookEntry& e : entries)
            for (const std::string& file : e.copies)
                if (IdOf(folder + file, id) && id == target)
                    throw Error(CannotCreateFile(path, "it is the flight file " + file));
    }
    RefuseFlightDataAsOutput(path);
    const std::string text = LogbookCsv(entries);
    RemoveStaleTemporariesOf(path);  // left by an earlier save of this file that was killed
    AtomicFile file;
    if (file.Create(path) != 0 || file.Write(text.data(), text.size()) != 0 || file.Commit() != 0)
        throw Error(UnableToWriteTo(path));
}

}  // namespace krelby
