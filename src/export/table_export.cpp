#include "export/table_export.h"

#include <algorithm>
#include <array>
#include <optional>

#include "export/table_rows.h"
#include "export/text_file.h"
#include "format/messages.h"
#include "replay/chart_model.h"

namespace krelby {
namespace {

// The first pass: which columns the flight fills, in the table's order.
class ColumnsFound : public ReplaySink {
public:
    ColumnsFound(const TableOptions& options, const Settings& settings) : options_(options), settings_(settings) {}
    void OnItem(const DataItem& item, double, const ItemValue&) override {
        bool isNew = false;
        // The items charted are those that get one of the chart's 16 series slots.
        if (options_.items == TableOptions::Items::Charted && slots_.Claim(item.checkBox, isNew) == kNoSlot) return;
        found_[item.checkBox] = true;
    }
    void OnGps(const GpsMessage& m) override {
        if (CarriesPosition(m)) found_[kPositionCheckBox] = true;
    }
    std::vector<TableItem> Columns() const {
        std::vector<TableItem> columns;
        for (const TableItem& c : AllTableItems()) {
            if (!found_[c.checkBox]) continue;
            if (c.checkBox == kPositionCheckBox && options_.items == TableOptions::Items::Charted &&
                !settings_.selection.Ticked(kPositionCheckBox))
                continue;
            columns.push_back(c);
        }
        return columns;
    }

private:
    const TableOptions& options_;
    const Settings& settings_;
    SlotTable slots_;
    std::array<bool, kCheckBoxCount + 1> found_{};
};

// The replay's settings: the items of the table ticked, in the units it is written in.
Settings ReplaySettings(const TableOptions& options, const Settings& given) {
    Settings s = given;
    if (options.items == TableOptions::Items::All) {
        for (const TableItem& c : AllTableItems()) s.selection.Set(c.checkBox, true);
    } else if (options.items == TableOptions::Items::Listed) {
        s.selection = DataSelection{};
        for (const TableItem& c : options.listed) s.selection.Set(c.checkBox, true);
    }
    if (options.units != UnitSystem::Chosen) s.units = RecordedUnitSettings();
    return s;
}

}  // namespace

void TableExport(const std::string& flight, const ReplayInputs& in, const std::string& out,
                 const TableOptions& options, ReplaySink* chart) {
    const bool asCharted = options.items == TableOptions::Items::Charted && options.units == UnitSystem::Chosen;
    if (!asCharted) chart = nullptr;  // the chart draws what it was told to, not this table
    const Settings settings = ReplaySettings(options, in.settings);
    const ReplayInputs replayed{settings, in.checks, in.progress};

    InputFile input = OpenFlight(flight);
    TextFile file(out, &input);
    std::vector<TableItem> columns = options.listed;
    if (options.items != TableOptions::Items::Listed) {
        ColumnsFound found(options, in.settings);
        FlightReplay(input, replayed, {chart, &found});
        columns = found.Columns();
    }
    TableRows rows(file, columns, settings.thermocouples, options.units, in.settings.units, options.format);
    FlightReplay(input, replayed, {chart, &rows});
    file.Close();
}

}  // namespace krelby
