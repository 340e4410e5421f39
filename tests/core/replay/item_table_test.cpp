// The one table of the 213 check boxes: what no sampled item test can see.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "format/frame.h"
#include "replay/chart_model.h"
#include "export/csv_columns.h"
#include "replay/data_items.h"

using namespace krelby;

namespace {

FrameType FrameOf(Source s) {
    switch (s) {
        case Source::Flight: return FrameType::Flight;
        case Source::Gps: case Source::Position: return FrameType::Gps;
        case Source::Attitude: return FrameType::Attitude;
        case Source::Navigation: return FrameType::Navigation;
        case Source::Engine: return FrameType::Engine;
        case Source::Fuel: return FrameType::Fuel;
        default: return FrameType::Inputs;
    }
}

}  // namespace

TEST(ItemTable, EveryBoxOnceWithAPlaceAColumnAndAFieldInsideItsFrame) {
    static_assert(kAxes == kAxisCount);
    std::set<std::tuple<int, int, int>> places;
    std::set<int> columns;
    std::set<int> decoded;
    for (size_t i = 0; i < ItemBoxes().size(); ++i) {
        const ItemBox& b = ItemBoxes()[i];
        SCOPED_TRACE(int{b.checkBox});
        EXPECT_EQ(b.checkBox, i + 1);
        EXPECT_FALSE(b.caption.empty());
        EXPECT_LT(b.place.page, kSelectionPages);
        EXPECT_TRUE(places.insert({b.place.page, b.place.column, b.place.row}).second) << "two boxes in one place";
        if (b.source == Source::None) continue;
        EXPECT_LT(b.item.column, kCsvColumnCount);
        EXPECT_TRUE(columns.insert(b.item.column).second) << "a CSV column shared";
        if (b.source == Source::Position) continue;
        EXPECT_EQ(b.item.checkBox, b.checkBox);
        EXPECT_LT(static_cast<int>(b.item.axis), kAxisCount);
        EXPECT_FALSE(b.item.title.empty());
        EXPECT_LE(b.item.offset + size_t(Width(b.item.raw)), FrameCapacity(FrameOf(b.source)) - 4) << "field past the data";
        EXPECT_GE(b.item.offset, 8u);
        decoded.insert(b.checkBox);
    }
    // Every box with an item is decoded by exactly one decoder list.
    std::multiset<int> listed;
    for (auto list : {FlightItems(), GpsItems(), AttitudeItems(), NavigationItems(), InputItems()})
        for (const DataItem& d : list) listed.insert(d.checkBox);
    for (const auto& m : EngineItems()) {
        for (const DataItem& d : m.quantities) listed.insert(d.checkBox);
        for (const auto& t : m.thermocouples) listed.insert(t.byKind[0].checkBox);
    }
    for (const DataItem& d : FuelItems()) listed.insert(d.checkBox);
    EXPECT_EQ(std::set<int>(listed.begin(), listed.end()), decoded);
    EXPECT_EQ(listed.size(), decoded.size());
}
