#include "export/table_columns.h"

#include <algorithm>

#include "replay/item_units.h"

namespace krelby {
namespace {

std::vector<TableItem> MakeAll() {
    std::vector<TableItem> all;
    const auto add = [&all](std::span<const DataItem> items) {
        for (const DataItem& item : items) all.push_back({item.checkBox, 0});
    };
    add(FlightItems());
    add(GpsItems());
    all.push_back({kPositionCheckBox, 0});
    all.push_back({kPositionCheckBox, 1});
    add(AttitudeItems());
    for (const EngineMonitorItems& monitor : EngineItems()) {
        add(monitor.quantities);
        for (const ThermocoupleItems& input : monitor.thermocouples) all.push_back({input.byKind[0].checkBox, 0});
    }
    add(FuelItems());
    add(InputItems());
    add(NavigationItems());
    return all;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

const std::vector<TableItem>& AllTableItems() {
    static const std::vector<TableItem> all = MakeAll();
    return all;
}

const DataItem* DataItemOf(TableItem column, const ThermocoupleKinds& kinds) {
    const ItemBox& box = ItemBoxes()[column.checkBox - 1];
    if (box.source == Source::Position || box.source == Source::None) return nullptr;
    if (box.thermocouple == 0) return &box.item;
    const int kind = ThermocoupleKindIndex(kinds[ThermocoupleIndex(box.monitor, box.thermocouple - 1)]);
    return &EngineItems()[box.monitor - 1u].thermocouples[box.thermocouple - 1u].byKind[size_t(kind)];
}

std::string_view TitleOf(TableItem column, const ThermocoupleKinds& kinds) {
    if (column.checkBox == kPositionCheckBox) return column.part == 0 ? kLatitudeTitle : kLongitudeTitle;
    const DataItem* item = DataItemOf(column, kinds);
    return item ? item->title : std::string_view();
}

std::string HeaderOf(TableItem column, const ThermocoupleKinds& kinds, UnitSystem system, const UnitSettings& chosen) {
    std::string header(TitleOf(column, kinds));
    const DataItem* item = DataItemOf(column, kinds);
    const std::string_view symbol = item ? UnitOfItem(*item, system, chosen).symbol : kDegreeSymbol;
    if (!symbol.empty()) header.append(" [").append(symbol).append("]");
    return header;
}

std::vector<TableItem> TableItemsNamed(std::string_view list, const ThermocoupleKinds& kinds,
                                       std::vector<std::string>& unknown) {
    std::vector<TableItem> named;
    for (size_t at = 0; at <= list.size();) {
        const size_t end = std::min(list.find(',', at), list.size());
        const std::string_view name = Trimmed(list.substr(at, end - at));
        at = end + 1;
        if (name.empty()) continue;
        const auto& all = AllTableItems();
        // The exact title first: titles differ by more than case, but a user's need not.
        auto found = std::find_if(all.begin(), all.end(), [&](TableItem c) { return TitleOf(c, kinds) == name; });
        if (found == all.end())
            found = std::find_if(all.begin(), all.end(), [&](TableItem c) { return SameName(TitleOf(c, kinds), name); });
        if (found == all.end()) unknown.emplace_back(name);
        else if (std::find(named.begin(), named.end(), *found) == named.end()) named.push_back(*found);
    }
    return named;
}

}  // namespace krelby
