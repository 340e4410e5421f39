// The analysis table's second pass: the header, then a row at each FlightMessage.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "export/table_export.h"
#include "export/text_file.h"
#include "replay/item_units.h"

namespace krelby {

class TableRows : public ReplaySink {
public:
    TableRows(TextFile& file, const std::vector<TableItem>& columns, const ThermocoupleKinds& kinds,
              UnitSystem system, const UnitSettings& chosen, TableFormat format);
    void OnBegin() override;
    void OnFlightTime(double time) override;
    void OnItem(const DataItem& item, double time, const ItemValue& value) override;
    void OnGps(const GpsMessage& message) override;
    void OnEnd(const ReplayEnd& end) override;

private:
    struct Column {
        std::string name;  // the header's; in JSON Lines a quoted key and ':'
        ItemUnit unit;
        bool position = false;
        bool present = false;  // a value came since the last row
        ItemValue value;       // data items
        double degrees = 0;    // the position's half
    };
    void Row();
    void AppendValue(const Column& c);

    TextFile& file_;
    TableFormat format_;
    char separator_;
    std::vector<Column> columns_;
    std::array<int16_t, kCheckBoxCount + 1> columnOf_;  // by check box; -1 for none
    int latitude_ = -1, longitude_ = -1;
    bool taken_ = false;  // a FlightMessage was taken: there is a row to finish
    double time_ = 0;
    std::string line_;
};

}  // namespace krelby
