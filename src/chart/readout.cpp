#include "chart/readout.h"

#include <cmath>
#include <initializer_list>
#include <map>

#include "replay/value_text.h"

namespace krelby {
namespace {

// Every item by its check box; thermocouples have one per kind, told apart by title.
const std::multimap<int, const DataItem*>& ItemsByCheckBox() {
    static const auto table = [] {
        std::multimap<int, const DataItem*> t;
        const auto add = [&t](const auto& items) {
            for (const DataItem& item : items) t.emplace(item.checkBox, &item);
        };
        add(FlightItems());
        add(GpsItems());
        add(AttitudeItems());
        add(NavigationItems());
        for (const EngineMonitorItems& monitor : EngineItems()) {
            add(monitor.quantities);
            for (const ThermocoupleItems& tc : monitor.thermocouples) add(tc.byKind);
        }
        add(FuelItems());
        add(InputItems());
        return t;
    }();
    return table;
}

// The name of choice `index` of a unit list; a choice outside the list leaves the value in
// its recorded unit.
std::string Pick(int index, std::initializer_list<const char*> names, const char* recorded) {
    return index >= 0 && index < static_cast<int>(names.size()) ? names.begin()[index] : recorded;
}

}  // namespace

const DataItem* SlotItem(const ChartModel& model, int slot) {
    const SeriesSlot& s = model.Slot(slot);
    for (int box = 1; box <= kCheckBoxCount; ++box) {
        if (model.SlotNumber(box) != slot) continue;
        const auto [first, last] = ItemsByCheckBox().equal_range(box);
        for (auto it = first; it != last; ++it)
            if (it->second->title == s.title) return it->second;
    }
    return nullptr;
}

std::string UnitOf(const DataItem& item, const UnitSettings& u) {
    switch (item.conv) {
        case Conv::Altitude: return u.Altitude == 1 ? "m" : "ft";
        case Conv::Speed:
            // Speeds on their axis; the navigation distances take the same choice.
            return item.axis == Axis::Speed ? Pick(u.Speed, {"mph", "km/h", "kt"}, "0.1 km/h")
                                                    : Pick(u.Speed, {"mi", "km", "nm"}, "0.1 km");
        case Conv::VerticalSpeed:
        case Conv::NegVerticalSpeed: return u.VSI == 1 ? "m/s" : "ft/min";
        case Conv::Baro: return Pick(u.Baro, {"mbar", "inHg"}, "0.1 mbar");
        case Conv::Manifold: return Pick(u.MAP, {"mbar", "inHg"}, "0.1 mbar");
        case Conv::Temperature: return u.Temp == 1 ? "°F" : "°C";
        case Conv::EnginePressure: return Pick(u.OilP, {"bar", "psi"}, "0.1 mbar");
        case Conv::FuelFlow: return u.LiqQ == 1 ? "gal/h" : "l/h";
        case Conv::FuelLevel: return u.LiqQ == 1 ? "gal" : "l";
        case Conv::Rate: return "°/s";
        case Conv::Hundredths: return "g";
        case Conv::Tenths:
            if (item.axis == Axis::Angle) return "°";  // headings, tracks, attitude, needles
            if (item.checkBox == 45) return "°/s";              // turn rate
            return {};                                          // angle of attack: an index
        case Conv::None: return item.title.substr(0, 4) == "RPM_" ? "rpm" : "";
        case Conv::Deviation: return {};
    }
    return {};
}

std::string ReadoutValue(const DataItem& item, double value, const UnitSettings& units, char decimalSeparator) {
    std::string text;
    switch (item.conv) {
        case Conv::VerticalSpeed:
        case Conv::NegVerticalSpeed:
            text = units.VSI == 1 ? FixedText(value, 7, 2, decimalSeparator)
                                  : IntegerText(static_cast<int64_t>(std::llround(value)));
            break;
        case Conv::FuelFlow:  // charted in hundredths, written in whole units
            text = FixedText(value / 100, item.precision, item.decimals, decimalSeparator);
            break;
        default:
            text = item.precision == 0 ? IntegerText(static_cast<int64_t>(std::llround(value)))
                                       : FixedText(value, item.precision, item.decimals, decimalSeparator);
    }
    const std::string unit = UnitOf(item, units);
    return unit.empty() ? text : text + ' ' + unit;
}

}  // namespace krelby
