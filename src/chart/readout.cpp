#include "chart/readout.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "replay/series_limits.h"
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

// The engine's revolutions: the quantity the rpm limit is held against.
bool IsRpm(const DataItem& item) {
    const std::vector<LimitKey> limits = LimitsOfItem(item);
    return std::find(limits.begin(), limits.end(), LimitKey::RpmMax) != limits.end();
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
    if (const auto q = UnitQuantityOf(item)) return std::string(ShownUnit(*q, u).symbol);
    switch (item.conv) {
        case Conv::Rate: return "°/s";
        case Conv::Hundredths: return "g";
        case Conv::Tenths:
            if (item.axis == Axis::Angle) return "°";  // headings, tracks, attitude, needles
            if (item.checkBox == 45) return "°/s";     // turn rate
            return {};                                 // angle of attack: an index
        case Conv::None: return IsRpm(item) ? "rpm" : "";
        default: return {};
    }
}

std::string ReadoutValue(const DataItem& item, double value, const UnitSettings& units, char decimalSeparator) {
    std::string text;
    switch (item.conv) {
        case Conv::VerticalSpeed:
        case Conv::NegVerticalSpeed: {
            const int decimals = ShownUnit(UnitQuantity::VerticalSpeed, units).decimals;
            text = decimals > 0 ? FixedText(value, 7, decimals, decimalSeparator)
                                : IntegerText(static_cast<int64_t>(std::llround(value)));
            break;
        }
        case Conv::FuelFlow:  // charted in hundredths, written in whole units
            text = FixedText(value / 100, item.precision, item.decimals, decimalSeparator);
            break;
        case Conv::Baro:
        case Conv::Manifold:
        case Conv::EnginePressure: {
            // Pressures read as a pilot reads them (929.7 mbar, 27.46 inHg), not to the CSV's
            // five decimals; a raw figure stays whole.
            const int decimals = ShownUnit(*UnitQuantityOf(item), units).decimals;
            text = decimals > 0 ? FixedText(value, 7, decimals, decimalSeparator)
                                : IntegerText(static_cast<int64_t>(std::llround(value)));
            break;
        }
        default:
            text = item.precision == 0 ? IntegerText(static_cast<int64_t>(std::llround(value)))
                                       : FixedText(value, item.precision, item.decimals, decimalSeparator);
    }
    // A figure without a unit (an index, a count, a state) says so.
    const std::string unit = UnitOf(item, units);
    return text + ' ' + (unit.empty() ? std::string("(raw)") : unit);
}

}  // namespace krelby
